#pragma once
// A fresh directory for one test's files, with the helpers that fill and read them.
#include "test_bytes.h"

#include <filesystem>
#include <string>

// Made under the system's temporary directory; removed with everything in it afterwards.
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
