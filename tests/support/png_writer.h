#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Pixels as 0x00RRGGBB, row by row from the top.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Writes an uncompressed (stored-deflate) RGB PNG; returns false when the file cannot be written.
bool WritePng(const std::string& path, const Image& image);

// The directory where tests leave their screenshots (TEVRIX_ARTIFACTS, else "artifacts"),
// created when missing.
std::string ArtifactPath(const std::string& fileName);
