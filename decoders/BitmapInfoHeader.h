// The Windows BITMAPINFOHEADER, 40 bytes, little-endian, used by layout: the bytes read from a file
// are copied into it and handed on unchanged.
#pragma once

#include <cstdint>

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "bitmap structures are read by layout: a little-endian target is needed"
#endif

#pragma pack(push, 1)
struct BitmapInfoHeader {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;  // negative for rows stored top row first
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};
#pragma pack(pop)

static_assert(sizeof(BitmapInfoHeader) == 40, "BITMAPINFOHEADER is 40 bytes");

constexpr std::uint32_t kBitmapInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;  // biCompression of uncompressed pixels
