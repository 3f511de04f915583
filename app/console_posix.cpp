#include "console.h"

#include <cstdio>

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
