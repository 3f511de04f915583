#pragma once
#include <string_view>

// Gives the process a console for a console-mode run. Standard handles that the caller already
// redirected (a file or a pipe, as from a batch file) are kept, so the output can be captured.
void OpenConsole();

// Writes to standard output at once (unbuffered).
void ConsoleWrite(std::string_view text);

// Reads one character from standard input; -1 at its end.
int ConsoleReadChar();

// Whether standard output, or standard error, is a terminal a person watches (a console window
// on Windows) rather than a file or a pipe.
bool OutputIsTerminal();
bool ErrorIsTerminal();

// Writes to standard error at once.
void ErrorWrite(std::string_view text);
