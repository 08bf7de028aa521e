// An uncompressed Windows bitmap held in memory: the 40-byte header, the colour table that the
// pixels index (8-bit pictures only) and the padded pixel rows in the order the header gives
// (bottom row first unless biHeight is negative).
#pragma once

#include <cstdint>
#include <vector>

#include "decoders/BitmapInfoHeader.h"

using Bytes = std::vector<std::uint8_t>;

struct Bitmap {
    BitmapInfoHeader header{};
    Bytes colours;  // 4-byte entries (blue, green, red, 0)
    Bytes rows;     // RowStride(header) x RowCount(header) bytes
};

// Bytes of one padded row: rows are padded to a multiple of four bytes.
std::int64_t RowStride(const BitmapInfoHeader& header);

// |biHeight|: a negative height marks rows stored top row first.
std::int64_t RowCount(const BitmapInfoHeader& header);

// Colour-table entries that follow the header: biClrUsed, or 256 when it is 0, for 8-bit pictures;
// none for 16- and 24-bit pictures.
std::int64_t ColourEntries(const BitmapInfoHeader& header);

// A BI_RGB header of the given size and depth with every other field 0.
BitmapInfoHeader MakeBitmapHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount);
