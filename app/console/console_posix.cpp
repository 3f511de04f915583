#include "console.h"

#include <cstdio>
#include <unistd.h>

void OpenConsole() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
}

void ConsoleWrite(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

int ConsoleReadChar() {
    return std::getchar();
}

bool OutputIsTerminal() {
    return isatty(STDOUT_FILENO) == 1;
}

bool ErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

void ErrorWrite(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}
