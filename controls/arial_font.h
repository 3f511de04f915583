#pragma once
// The "Arial" fonts of the tab sheet and the 2D chart: a cell height in logical units, proof
// quality, variable pitch in the Swiss family, and an optional turn in tenths of a degree.
#include <windows.h>

inline HFONT CreateArialFontTurned(LONG height, LONG weight, LONG escapement) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfEscapement = escapement;
    font.lfOrientation = escapement;
    font.lfWeight = weight;
    font.lfCharSet = ANSI_CHARSET;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpynA(font.lfFaceName, "Arial", LF_FACESIZE);
    return CreateFontIndirectA(&font);
}
