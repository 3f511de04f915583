#pragma once
#include <string>
#include <vector>

// Banner lines around the version and the maker's notice.
void PrintBanner();

// The line that names an emulator found able to emulate: "FOUND: <name>" after a blank line on
// the console, "Found: <name>" in the dialog's log.
void PrintFound(const char* name);

// One console run over the switches, each token as given: parse, search, run one operation,
// quit prompt. Returns the exit status.
int RunConsoleMode(const std::vector<std::string>& arguments);
