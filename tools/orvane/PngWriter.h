// Encodes a PNG file in memory with a library: libpng natively, stb's image writer in the
// Windows build, which has no palette images and writes indexed pictures as RGB.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/orvane/PngImage.h"

// The PNG file's bytes; throws std::runtime_error when the library fails.
std::vector<std::uint8_t> EncodePng(const PngImage& image);

// Whether EncodePng writes Indexed images as palette images.
bool PngWriterKeepsPalettes();
