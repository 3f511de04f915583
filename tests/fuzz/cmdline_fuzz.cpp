// Feeds arbitrary command lines to the parser: tokens, values and the usage output must stay
// within their buffers whatever the line holds.
#include "cmdline.h"
#include "console.h"

#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    const char* text = line.c_str();

    const char* cursor = text;
    std::size_t length = 0;
    while (char* token = NextToken(&cursor, &length)) {
        if (std::strlen(token) != length) {
            __builtin_trap();
        }
        std::uint32_t value = 0;
        ParseHex(token, &value);
        delete[] token;
    }

    g_params = OperationParams{};
    g_consoleOptions = ConsoleOptions{};
    ParseCommandLine(text);
    if (std::memchr(g_params.filePath, '\0', sizeof g_params.filePath) == nullptr) {
        __builtin_trap();
    }
    return 0;
}
