#include "tools/orvane/UprightImage.h"

#include <array>

namespace {

// The stored row that is the y-th from the top.
const std::uint8_t* RowFromTop(const Bitmap& bitmap, std::int64_t y) {
    const std::int64_t rows = RowCount(bitmap.header);
    const std::int64_t stored = bitmap.header.biHeight < 0 ? y : rows - 1 - y;
    return bitmap.rows.data() + stored * RowStride(bitmap.header);
}

std::uint8_t Widen5(unsigned v) { return static_cast<std::uint8_t>(v << 3 | v >> 2); }

void AppendRgbRow(const Bitmap& bitmap, const std::uint8_t* row, std::vector<std::uint8_t>& out) {
    for (std::int32_t x = 0; x < bitmap.header.biWidth; ++x) {
        if (bitmap.header.biBitCount == 24) {
            const std::uint8_t* p = row + 3 * x;  // blue, green, red
            out.insert(out.end(), {p[2], p[1], p[0]});
        } else {
            const unsigned v = row[2 * x] | static_cast<unsigned>(row[2 * x + 1]) << 8;
            out.insert(out.end(), {Widen5(v >> 10 & 31), Widen5(v >> 5 & 31), Widen5(v & 31)});
        }
    }
}

PngImage RgbImage(const Bitmap& bitmap) {
    PngImage image;
    image.width = bitmap.header.biWidth;
    image.height = static_cast<std::int32_t>(RowCount(bitmap.header));
    image.pixels.reserve(static_cast<std::size_t>(image.width) * image.height * 3);
    for (std::int32_t y = 0; y < image.height; ++y) AppendRgbRow(bitmap, RowFromTop(bitmap, y), image.pixels);
    return image;
}

// Indices renumbered so that the palette holds the used entries only, in their table order.
PngImage IndexedImage(const Bitmap& bitmap) {
    PngImage image;
    image.kind = PngImage::Kind::Indexed;
    image.width = bitmap.header.biWidth;
    image.height = static_cast<std::int32_t>(RowCount(bitmap.header));
    std::array<bool, 256> used{};
    for (std::int32_t y = 0; y < image.height; ++y) {
        const std::uint8_t* row = RowFromTop(bitmap, y);
        for (std::int32_t x = 0; x < image.width; ++x) used[row[x]] = true;
    }
    std::array<std::uint8_t, 256> renumbered{};
    const std::size_t entries = bitmap.colours.size() / 4;
    for (std::size_t i = 0, next = 0; i < 256; ++i) {
        if (!used[i]) continue;
        renumbered[i] = static_cast<std::uint8_t>(next++);
        // An index past the table has no colour: it shows black.
        const std::uint8_t* c = i < entries ? bitmap.colours.data() + 4 * i : nullptr;
        image.palette.insert(image.palette.end(), {c ? c[2] : std::uint8_t{0}, c ? c[1] : std::uint8_t{0},
                                                   c ? c[0] : std::uint8_t{0}});
    }
    image.pixels.reserve(static_cast<std::size_t>(image.width) * image.height);
    for (std::int32_t y = 0; y < image.height; ++y) {
        const std::uint8_t* row = RowFromTop(bitmap, y);
        for (std::int32_t x = 0; x < image.width; ++x) image.pixels.push_back(renumbered[row[x]]);
    }
    return image;
}

}  // namespace

PngImage UprightImage(const Bitmap& bitmap) {
    return bitmap.header.biBitCount == 8 ? IndexedImage(bitmap) : RgbImage(bitmap);
}

PngImage ExpandPalette(const PngImage& indexed) {
    PngImage rgb;
    rgb.width = indexed.width;
    rgb.height = indexed.height;
    rgb.pixels.reserve(indexed.pixels.size() * 3);
    for (const std::uint8_t index : indexed.pixels) {
        const std::uint8_t* c = indexed.palette.data() + 3 * index;
        rgb.pixels.insert(rgb.pixels.end(), c, c + 3);
    }
    return rgb;
}
