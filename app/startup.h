#pragma once
#include <string>
#include <vector>

// Banner lines around the version and the maker's notice.
void PrintBanner();

// One console run over the switches, each token as given: parse, search, run one operation,
// quit prompt. Returns the exit status.
int RunConsoleMode(const std::vector<std::string>& arguments);
