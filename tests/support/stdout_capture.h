#pragma once
#include <string>

// Captures what the program writes to standard output while it lives (the real handle or file
// descriptor is pointed at a temporary file and put back afterwards).
class StdoutCapture {
  public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // Everything written so far, with Windows line ends turned back into "\n", and without the
    // line end that the last message wrote ahead of the next one's break: the messages read the
    // same whether or not another follows.
    std::string Text();

  private:
    std::string path_;
#ifdef _WIN32
    void* saved_ = nullptr;
    void* file_ = nullptr;
#else
    int saved_ = -1;
#endif
};
