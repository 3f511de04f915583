#pragma once
#include "test_bytes.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A fresh directory for one test's files, removed with everything in it afterwards.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path(const std::string& name) const { return (root_ / name).string(); }

  private:
    std::filesystem::path root_;
};

// 0, 1, 2, ... 255, 0, 1, ...: every byte tells its offset modulo 256.
std::vector<std::uint8_t> CountingBytes(std::size_t size);
