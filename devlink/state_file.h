#pragma once
#include <string>

// Where the program keeps what it remembers between runs, and how a file there is replaced.

// The program's state folder: $XDG_STATE_HOME/tevrix (by default ~/.local/state/tevrix) on
// Linux, %LOCALAPPDATA%\Tevrix on Windows. Empty, with the reason in `why`, when the environment
// names no such place.
std::string StateDirectory(std::string* why);

// Puts the file `from` in the place of `to` in one step, replacing what was there, so that a
// reader finds either the old file or the new one whole. The reason in `why` when it fails.
bool ReplaceFileWith(const std::string& from, const std::string& to, std::string* why);
