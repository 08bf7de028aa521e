// A canvas stored as an uncompressed bitmap: 24-bit, 16-bit 5-5-5, or 8-bit with the nearest
// colour of a palette; bottom-up, or top-down with a negative height.
#pragma once

#include <vector>

#include "tools/encoders/Bitmap.h"
#include "tools/samples/Canvas.h"

struct StoreAs {
    std::uint16_t bits = 24;
    bool topDown = false;
    std::vector<Rgb> palette;  // 8-bit: the colour table
    bool declareColours = true;  // 8-bit: biClrUsed = palette size; else 0, with 256 entries written
};

Bitmap CanvasBitmap(const Canvas& canvas, const StoreAs& format);
