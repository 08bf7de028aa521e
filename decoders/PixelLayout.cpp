#include "decoders/PixelLayout.h"

#include <algorithm>

bool ComputePixelLayout(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                        PixelLayout* layout) {
    if (width < 0 || height == INT32_MIN) return false;
    const std::int64_t bits = static_cast<std::int64_t>(width) * bitsPerPixel + 31;
    if (bits > INT32_MAX) return false;
    const std::int64_t stride = (bits & ~static_cast<std::int64_t>(31)) / 8;
    const std::int64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    const std::int64_t rowBytes = stride * rows;
    if (rowBytes + kPixelBlockSpare > INT32_MAX) return false;
    layout->stride = static_cast<std::int32_t>(stride);
    layout->rows = static_cast<std::int32_t>(rows);
    layout->rowBytes = static_cast<std::int32_t>(rowBytes);
    layout->blockSize = static_cast<std::int32_t>(rowBytes + kPixelBlockSpare);
    layout->topDown = height < 0;
    return true;
}

void ReverseRows(std::uint8_t* rows, std::int32_t stride, std::int32_t count, std::int32_t filled) {
    const std::int32_t pairs = std::min(filled, count / 2);
    for (std::int32_t i = 0; i < pairs; ++i) {
        std::uint8_t* low = rows + static_cast<std::int64_t>(stride) * i;
        std::uint8_t* high = rows + static_cast<std::int64_t>(stride) * (count - 1 - i);
        std::swap_ranges(low, low + stride, high);
    }
}
