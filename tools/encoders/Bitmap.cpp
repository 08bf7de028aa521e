#include "tools/encoders/Bitmap.h"

std::int64_t RowStride(const BitmapInfoHeader& header) {
    return ((static_cast<std::int64_t>(header.biWidth) * header.biBitCount + 31) & ~std::int64_t{31}) / 8;
}

std::int64_t RowCount(const BitmapInfoHeader& header) {
    return header.biHeight < 0 ? -static_cast<std::int64_t>(header.biHeight) : header.biHeight;
}

std::int64_t ColourEntries(const BitmapInfoHeader& header) {
    if (header.biBitCount != 8) return 0;
    return header.biClrUsed != 0 ? header.biClrUsed : 256;
}

BitmapInfoHeader MakeBitmapHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount) {
    BitmapInfoHeader header{};
    header.biSize = kBitmapInfoHeaderSize;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = kBiRgb;
    return header;
}
