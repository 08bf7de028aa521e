// Bitmaps made for the tool's tests: given sizes and depths with random or structured content.
#pragma once

#include <cstdint>
#include <string>

#include "tools/encoders/Bitmap.h"

enum class Content { Random, Gradient, Flat, Stripes };

std::string ContentName(Content content);

// A picture of width x |height| pixels; height < 0 stores it top-down. 8-bit pictures get a
// colour table of paletteSize entries (biClrUsed = paletteSize, or 0 for 256) and use every index
// below it. Row padding is zero, as a BMP writer leaves it.
Bitmap MakeBitmap(std::int32_t width, std::int32_t height, std::uint16_t bits, Content content,
                  std::uint32_t seed, int paletteSize = 256);

// The bitmap as the plug-in hands it over: bottom-up, biHeight = |height|, rows reversed when the
// stored picture was top-down.
Bitmap AsHandedOver(const Bitmap& stored);
