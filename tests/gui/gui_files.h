#pragma once
// Image files for the dialog tests, in a directory of their own under the temporary directory.
#include <cstdint>
#include <string>
#include <vector>

class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }

  private:
    std::string dir_;
};

// Bytes that differ from their neighbours, so misplaced data shows.
std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed);

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
