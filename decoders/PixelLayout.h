// The pixel rows of a device-independent bitmap as the plug-in hands them over: rows padded to four
// bytes, bottom row first, in a block 768 bytes longer than the rows need.
#pragma once

#include <cstdint>

// Room after the rows; it also takes the overhang of a run-length packet that ends past the rows.
constexpr std::int32_t kPixelBlockSpare = 768;

struct PixelLayout {
    std::int32_t stride;     // bytes a row, a multiple of 4
    std::int32_t rows;       // |biHeight|
    std::int32_t rowBytes;   // stride x rows
    std::int32_t blockSize;  // rowBytes + kPixelBlockSpare
    bool topDown;            // biHeight was negative: rows are stored top row first
};

// False for a negative width, or for sizes that do not fit in a signed 32-bit number: such a
// header describes no picture that a block could hold.
bool ComputePixelLayout(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                        PixelLayout* layout);

// Reverses the order of count rows of stride bytes in place, turning top-down into bottom-up. Only
// the first filled rows may hold anything other than zero bytes; the others are left alone where
// they would only change places with zero rows.
void ReverseRows(std::uint8_t* rows, std::int32_t stride, std::int32_t count, std::int32_t filled);
