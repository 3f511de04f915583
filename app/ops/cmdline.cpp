#include "cmdline.h"

#include "console.h"
#include "hex_number.h"

#include <cstring>
#include <new>

OperationParams g_params;
ConsoleOptions g_consoleOptions;

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void LowerAscii(char* text) {
    for (; *text != '\0'; ++text) {
        if (*text >= 'A' && *text <= 'Z') {
            *text = static_cast<char>(*text - 'A' + 'a');
        }
    }
}

enum class Switch {
    None,
    Write,
    Read,
    Verify,
    Monitor,
    File,
    FileAddress,
    EmuAddress,
    Size,
    NoBackBuf,
    Large,
    NoQuit,
    Help
};

Switch Lookup(const char* token) {
    if (token[0] != '-' && token[0] != '/') {
        return Switch::None;
    }
    static const struct {
        const char* name;
        Switch value;
    } table[] = {
        {"write", Switch::Write},
        {"read", Switch::Read},
        {"verify", Switch::Verify},
        {"monitor", Switch::Monitor},
        {"infile", Switch::File},
        {"outfile", Switch::File},
        {"fileaddress", Switch::FileAddress},
        {"emuaddress", Switch::EmuAddress},
        {"size", Switch::Size},
        {"nobackbuf", Switch::NoBackBuf},
        {"large", Switch::Large},
        {"noquitprompt", Switch::NoQuit},
        {"?", Switch::Help},
    };
    for (const auto& entry : table) {
        if (std::strcmp(token + 1, entry.name) == 0) {
            return entry.value;
        }
    }
    return Switch::None;
}

bool TakesValue(Switch s) {
    return s == Switch::File || s == Switch::FileAddress || s == Switch::EmuAddress || s == Switch::Size;
}

// The failure line when the value cannot be taken (a path too long for the record, a number that
// is not one); empty when it was taken.
std::string ApplyValue(Switch s, const std::string& name, const char* value) {
    std::uint32_t* number = nullptr;
    switch (s) {
    case Switch::File:
        return SetFilePath(&g_params, value) ? std::string() : kPathTooLongMessage;
    case Switch::FileAddress:
        number = &g_params.fileAddress;
        break;
    case Switch::EmuAddress:
        number = &g_params.emuAddress;
        break;
    case Switch::Size:
        number = &g_params.size;
        break;
    default:
        return {};
    }
    if (!ParseHex(value, number)) {
        return NotHexMessage(name.c_str(), value);
    }
    return {};
}

void ApplyFlag(Switch s) {
    switch (s) {
    case Switch::Write:
        g_params.operation = OP_WRITE;
        break;
    case Switch::Read:
        g_params.operation = OP_READ;
        break;
    case Switch::Verify:
        g_params.operation = OP_VERIFY;
        break;
    case Switch::Monitor:
        g_params.operation = OP_MONITOR;
        break;
    case Switch::NoBackBuf:
        g_params.noBackBuf = 1;
        break;
    case Switch::Large:
        g_params.large = 1;
        break;
    case Switch::NoQuit:
        g_consoleOptions.noQuitPrompt = 1;
        break;
    case Switch::Help:
        PrintUsage();
        g_consoleOptions.usageShown = 1;
        break;
    default:
        break;
    }
}

} // namespace

char* NextToken(const char** cursor, std::size_t* length) {
    const char* p = *cursor;
    while (*p != '\0' && IsSpace(*p)) {
        ++p;
    }
    if (*p == '\0') {
        *cursor = p;
        *length = 0;
        return nullptr;
    }
    const char* start = p;
    bool inQuotes = false;
    bool wholeQuoted = *p == '"';
    while (*p != '\0') {
        char c = *p;
        if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == '\\') {
            if (!inQuotes) {
                wholeQuoted = false;
            }
            if (p[1] == '\0') {
                ++p;
                break;
            }
            p += 2;
            continue;
        } else if (IsSpace(c)) {
            if (!inQuotes) {
                break;
            }
        } else if (!inQuotes) {
            wholeQuoted = false;
        }
        ++p;
    }
    *cursor = p;
    std::size_t n = static_cast<std::size_t>(p - start);
    if (wholeQuoted) {
        start += 1;
        n = n >= 2 ? n - 2 : 0;
    }
    char* token = new (std::nothrow) char[n + 1];
    if (token == nullptr) {
        *length = 0;
        return nullptr;
    }
    std::memcpy(token, start, n);
    token[n] = '\0';
    *length = n;
    return token;
}

std::string NotHexMessage(const char* field, const char* text) {
    return std::string("FAILURE: ") + field + ": '" + text + "' is not a hexadecimal number";
}

bool SetFilePath(OperationParams* params, const char* path) {
    const std::size_t length = std::strlen(path);
    if (length >= sizeof params->filePath) {
        return false;
    }
    std::memcpy(params->filePath, path, length + 1);
    return true;
}

std::int32_t ParseArguments(const std::vector<std::string>& tokens) {
    std::int32_t result = 1;
    bool invalid = false;
    std::vector<std::string> refused;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        std::string name = tokens[i];
        LowerAscii(name.data());
        Switch s = Lookup(name.c_str());
        if (s == Switch::None) {
            result = 0;
            invalid = true;
        } else if (TakesValue(s)) {
            if (++i == tokens.size()) {
                break;
            }
            if (tokens[i].empty()) {
                continue;
            }
            if (std::string failure = ApplyValue(s, tokens[i - 1], tokens[i].c_str()); !failure.empty()) {
                result = 0;
                refused.push_back(failure);
            }
        } else {
            ApplyFlag(s);
        }
    }
    if (invalid) {
        ConsoleWrite("\nINVALID SWITCH!\n\n");
        PrintUsage();
    }
    for (const std::string& failure : refused) {
        ConsoleWrite("\n" + failure);
    }
    return result;
}

std::vector<std::string> SplitCommandLine(const char* commandLine) {
    std::vector<std::string> tokens;
    std::size_t length = 0;
    while (char* token = NextToken(&commandLine, &length)) {
        tokens.emplace_back(token, length);
        delete[] token;
    }
    return tokens;
}

std::int32_t ParseCommandLine(const char* commandLine) {
    if (commandLine == nullptr || *commandLine == '\0') {
        return 0;
    }
    return ParseArguments(SplitCommandLine(commandLine));
}

void PrintUsage() {
    static const char* const lines[] = {
        "Usage: tevrix [operation] [options] [input/output file]\n",
        "\n",
        "switches:\n",
        " -write              write to emulator from [infile]\n",
        " -read               read from emulator to [outfile]\n",
        " -verify             verify emulator contents with [infile]\n",
        " -monitor            monitor [infile] for changes and upload when found\n",
        " -infile <file>      upload/verify file path (use quotes if it contains spaces)\n",
        " -outfile <file>     download file path (use quotes if it contains spaces)\n",
        " -fileaddress <0xXX> start address (HEX) within file\n",
        " -emuaddress <0xXX>  if -nobackbuf is specified, start address within the emu\n",
        " -size <0xXX>        number of bytes to read/write/verify\n",
        " -large              use bank 8 (Dravel) for full 4-MBit\n",
        " -nobackbuf          use emuaddress to read/write. If not specified, emuaddress\n",
        "                        is ignored and data is written to the end of RAM.\n",
        " -noquitprompt       do not wait for input to quit (used for batching)\n",
        "\n",
    };
    for (const char* line : lines) {
        ConsoleWrite(line);
    }
}
