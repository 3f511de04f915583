#include "console.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

bool UsableHandle(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool IsConsole(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

// Text mode: every line feed goes out as carriage return and line feed.
void WriteText(DWORD which, std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    DWORD written = 0;
    WriteFile(GetStdHandle(which), out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
}

} // namespace

void OpenConsole() {
    if (UsableHandle(GetStdHandle(STD_OUTPUT_HANDLE))) {
        return;
    }
    AllocConsole();
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(out, &info)) {
        COORD size = info.dwSize;
        size.Y = 500;
        SetConsoleScreenBufferSize(out, size);
    }
    FILE* stream = nullptr;
    freopen_s(&stream, "CONOUT$", "w", stdout);
    freopen_s(&stream, "CONIN$", "r", stdin);
    freopen_s(&stream, "CONOUT$", "w", stderr);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
}

void ConsoleWrite(std::string_view text) {
    WriteText(STD_OUTPUT_HANDLE, text);
}

int ConsoleReadChar() {
    char c = 0;
    DWORD read = 0;
    if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &read, nullptr) || read == 0) {
        return -1;
    }
    return static_cast<unsigned char>(c);
}

bool OutputIsTerminal() {
    return IsConsole(STD_OUTPUT_HANDLE);
}

bool ErrorIsTerminal() {
    return IsConsole(STD_ERROR_HANDLE);
}

void ErrorWrite(std::string_view text) {
    WriteText(STD_ERROR_HANDLE, text);
}
