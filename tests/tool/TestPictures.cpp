#include "tests/tool/TestPictures.h"

#include <cstring>

namespace {

class Random {
public:
    explicit Random(std::uint32_t seed) : state(seed * 2654435761u + 0x9E3779B9u) {}
    std::uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }

private:
    std::uint32_t state;
};

// The value of pixel (x, y) as a number below `range`, by the content's rule.
std::uint32_t PixelValue(Content content, std::int32_t x, std::int32_t y, std::uint32_t range, Random& random) {
    switch (content) {
    case Content::Random:
        return random.Next() % range;
    case Content::Gradient:
        return static_cast<std::uint32_t>(x * 7 + y * 3) % range;
    case Content::Flat:
        return range / 3;
    case Content::Stripes:
        return ((x / 5 + y / 3) % 2 == 0 ? 1u : range - 1) % range;
    }
    return 0;
}

void StorePixel(std::uint8_t* at, std::uint16_t bits, std::uint32_t value) {
    for (int i = 0; i < bits / 8; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

Bytes MakePalette(int entries, std::uint32_t seed) {
    Random random(seed ^ 0x5A5A);
    Bytes colours(4 * static_cast<std::size_t>(entries), 0);
    for (int i = 0; i < entries; ++i) {
        const std::uint32_t c = random.Next();
        colours[4 * i] = static_cast<std::uint8_t>(c);
        colours[4 * i + 1] = static_cast<std::uint8_t>(c >> 8);
        colours[4 * i + 2] = static_cast<std::uint8_t>(c >> 16);
    }
    return colours;
}

}  // namespace

std::string ContentName(Content content) {
    switch (content) {
    case Content::Random:
        return "Random";
    case Content::Gradient:
        return "Gradient";
    case Content::Flat:
        return "Flat";
    case Content::Stripes:
        return "Stripes";
    }
    return "?";
}

Bitmap MakeBitmap(std::int32_t width, std::int32_t height, std::uint16_t bits, Content content,
                  std::uint32_t seed, int paletteSize) {
    Bitmap bitmap;
    bitmap.header = MakeBitmapHeader(width, height, bits);
    std::uint32_t range = bits == 24 ? 1u << 24 : bits == 16 ? 1u << 15 : static_cast<std::uint32_t>(paletteSize);
    if (bits == 8) {
        bitmap.header.biClrUsed = paletteSize == 256 ? 0 : static_cast<std::uint32_t>(paletteSize);
        bitmap.colours = MakePalette(paletteSize, seed);
    }
    const std::int64_t stride = RowStride(bitmap.header);
    const std::int64_t rows = RowCount(bitmap.header);
    bitmap.rows.assign(static_cast<std::size_t>(stride * rows), 0);
    Random random(seed);
    for (std::int64_t y = 0; y < rows; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint32_t value = PixelValue(content, x, static_cast<std::int32_t>(y), range, random);
            StorePixel(bitmap.rows.data() + y * stride + x * (bits / 8), bits, value);
        }
    }
    bitmap.header.biSizeImage = static_cast<std::uint32_t>(bitmap.rows.size());
    return bitmap;
}

Bitmap AsHandedOver(const Bitmap& stored) {
    Bitmap out = stored;
    if (stored.header.biHeight >= 0) return out;
    out.header.biHeight = -stored.header.biHeight;
    const std::size_t stride = static_cast<std::size_t>(RowStride(stored.header));
    const std::size_t rows = static_cast<std::size_t>(RowCount(stored.header));
    for (std::size_t y = 0; y < rows; ++y) {
        std::memcpy(out.rows.data() + y * stride, stored.rows.data() + (rows - 1 - y) * stride, stride);
    }
    return out;
}
