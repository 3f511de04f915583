#pragma once
// The "Arial" fonts the charts, the tab sheet and the gauges draw with: a cell height in logical
// units, the ANSI character set, proof quality, and an optional turn in tenths of a degree.
#include <windows.h>

inline HFONT CreateProofArialFont(LONG height, LONG weight, BYTE pitchAndFamily, LONG escapement = 0) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfEscapement = escapement;
    font.lfOrientation = escapement;
    font.lfWeight = weight;
    font.lfCharSet = ANSI_CHARSET;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = pitchAndFamily;
    lstrcpynA(font.lfFaceName, "Arial", LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

// The tab sheet's and the 2D chart's: variable pitch in the modern family, as the gauges'.
inline HFONT CreateArialFontTurned(LONG height, LONG weight, LONG escapement) {
    return CreateProofArialFont(height, weight, VARIABLE_PITCH | FF_MODERN, escapement);
}
