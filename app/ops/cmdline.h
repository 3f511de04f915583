#pragma once
#include "hex_number.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum : std::int32_t { OP_READ = 0, OP_WRITE = 1, OP_VERIFY = 2, OP_MONITOR = 3 };

constexpr std::size_t kMaxPath = 260;

// A longer path is refused rather than cut: cut, it could name another file, which a read would
// then overwrite.
inline constexpr const char* kPathTooLongMessage = "FAILURE: File path longer than 259 characters";

// The one record of the operation to run, filled by the command line or by the dialog.
struct OperationParams {
    std::int32_t keepRunning;
    std::int32_t operation;
    std::uint32_t fileAddress;
    std::uint32_t emuAddress;
    std::uint32_t size;
    char filePath[kMaxPath];
    std::int32_t noBackBuf;
    std::int32_t large;
};

// Options of a console run that are not part of the operation.
struct ConsoleOptions {
    std::int32_t noQuitPrompt;
    std::int32_t usageShown;
};

extern OperationParams g_params;
extern ConsoleOptions g_consoleOptions;

// Copies the path into the record; false, with the record unchanged, when it is longer than the
// record holds.
bool SetFilePath(OperationParams* params, const char* path);

// The switches and their values, each token exactly as given (a POSIX argument vector needs no
// further splitting). 1 when every token was understood (also for no token at all); 0 for an
// unknown token, reported with the usage text after the last one, for a path longer than the
// record holds, reported with kPathTooLongMessage, or for a number that is not one (ParseHex),
// reported with NotHexMessage naming the switch as given. Fills g_params and g_consoleOptions as it goes.
std::int32_t ParseArguments(const std::vector<std::string>& tokens);

// The tokens of a command line, as NextToken cuts them.
std::vector<std::string> SplitCommandLine(const char* commandLine);

// ParseArguments on the tokens of the line; 0 for a null or empty line.
std::int32_t ParseCommandLine(const char* commandLine);

// The next token as a new NUL-terminated copy (free with delete[]), or null at the end of the
// line. The cursor moves just behind the token; length gets its length.
char* NextToken(const char** cursor, std::size_t* length);

// The line that refuses a number: "FAILURE: <field>: '<text>' is not a hexadecimal number".
std::string NotHexMessage(const char* field, const char* text);

void PrintUsage();
