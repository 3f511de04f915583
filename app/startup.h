#pragma once

// Banner lines around the version and the maker's notice.
void PrintBanner();

// One console run: parse, search, run one operation, quit prompt. Returns the exit status.
int RunConsoleMode(const char* commandLine);
