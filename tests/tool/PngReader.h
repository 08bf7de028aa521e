// Reads a PNG file back for the checks: natively with libpng, which orvane writes with, in the
// Windows build with stb's image reader, the companion of the writer used there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ReadPng {
    bool ok = false;
    int width = 0;
    int height = 0;
    bool palette = false;              // stored as a palette image
    int paletteEntries = 0;            // entries of its palette
    std::vector<std::uint8_t> rgb;     // red, green, blue per pixel, top row first
};

ReadPng ReadPngFile(const std::string& path);
