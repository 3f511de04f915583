#pragma once
// The program's version numbers come from the build (version_numbers.h, made from the project's
// version); the Windows version resource and the native build's version text both use them.
#include "version_numbers.h"

#define TEVRIX_MAKER_NOTICE "Copyright (C) 2026 The Tevrix developers"
#define TEVRIX_DESCRIPTION "Tevrix memory emulator transfer utility"

#ifndef RC_INVOKED
#include <cstddef>
#include <cstdint>

constexpr std::size_t kVersionTextSize = 100;

// "%i.%.2i.%.4i.%.2i" of the four 16-bit parts of a file version; 1.0.92.1 gives 1.00.0092.01.
void FormatVersionText(const std::uint16_t parts[4], char* text, std::size_t size);

// Makes the version text (kVersionTextSize bytes) of the given module, or of the running program
// for a null path (natively always the running program); returns 0 and leaves the text untouched
// when the version cannot be read.
int GetModuleVersionString(const char* modulePath, char* text);

// The running program's version text, made on first use; empty when it cannot be read. The banner
// and the About box show it.
const char* ProgramVersionText();
#endif
