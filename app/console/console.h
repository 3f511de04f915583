#pragma once
#include <cstdint>
#include <string_view>

// Gives the process a console for a console-mode run. Standard handles that the caller already
// redirected (a file or a pipe, as from a batch file) are kept, so the output can be captured.
void OpenConsole();

// Writes to standard output at once (unbuffered, flushed).
void ConsoleWrite(std::string_view text);

// One message: `breaks` line breaks, then the text, its line ended as it is written (see
// console_lines.cpp); the next write's first break is then already out.
void ConsoleMessage(std::uint32_t breaks, std::string_view text);

// Whether the last message ended its line ahead of the break that follows it: the output is then
// one "\n" ahead of the messages' own breaks.
bool ConsoleLineEndedEarly();
// Standard output now goes somewhere new (a capture of it): nothing written before is owed there.
void ConsoleNewStream();

// The platform's write to standard output, flushed; ConsoleWrite and ConsoleMessage use it.
void WriteStandardOutput(std::string_view text);

// Reads one character from standard input; -1 at its end.
int ConsoleReadChar();

// Whether standard error is a terminal a person watches (a console window on Windows) rather
// than a file or a pipe.
bool ErrorIsTerminal();

// Writes to standard error at once.
void ErrorWrite(std::string_view text);
