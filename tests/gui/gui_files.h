#pragma once
// Image files for the dialog tests, in a directory of their own under the temporary directory.
#include "test_bytes.h"

#include <string>

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
