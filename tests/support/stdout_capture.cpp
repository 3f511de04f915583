#include "stdout_capture.h"

#include "console.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

std::string TempPath() {
    static int counter = 0;
#ifdef _WIN32
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "tevrix-capture-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++counter) + ".txt";
#else
    return "/tmp/tevrix-capture-" + std::to_string(getpid()) + "-" + std::to_string(++counter) + ".txt";
#endif
}

} // namespace

StdoutCapture::StdoutCapture() : path_(TempPath()) {
    std::fflush(stdout);
    ConsoleNewStream();
#ifdef _WIN32
    saved_ = GetStdHandle(STD_OUTPUT_HANDLE);
    file_ = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    SetStdHandle(STD_OUTPUT_HANDLE, file_);
#else
    saved_ = dup(STDOUT_FILENO);
    int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fd, STDOUT_FILENO);
    close(fd);
#endif
}

StdoutCapture::~StdoutCapture() {
    std::fflush(stdout);
#ifdef _WIN32
    SetStdHandle(STD_OUTPUT_HANDLE, saved_);
    CloseHandle(file_);
    DeleteFileA(path_.c_str());
#else
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
    unlink(path_.c_str());
#endif
    ConsoleNewStream();
}

std::string StdoutCapture::Text() {
    std::fflush(stdout);
    std::ifstream in(path_, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i];
    }
    if (ConsoleLineEndedEarly() && !out.empty() && out.back() == '\n') {
        out.pop_back();
    }
    return out;
}
