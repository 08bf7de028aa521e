#include "tools/samples/CanvasBitmap.h"

#include <cstdlib>

namespace {

int Distance(Rgb a, Rgb b) {
    return std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue);
}

std::uint8_t NearestIndex(const std::vector<Rgb>& palette, Rgb colour) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < palette.size(); ++i) {
        if (Distance(palette[i], colour) < Distance(palette[best], colour)) best = i;
    }
    return static_cast<std::uint8_t>(best);
}

void StorePixel(std::uint8_t* at, const StoreAs& format, Rgb c) {
    switch (format.bits) {
    case 24:
        at[0] = c.blue;
        at[1] = c.green;
        at[2] = c.red;
        break;
    case 16: {
        const unsigned v = (c.red >> 3) << 10 | (c.green >> 3) << 5 | c.blue >> 3;
        at[0] = static_cast<std::uint8_t>(v);
        at[1] = static_cast<std::uint8_t>(v >> 8);
        break;
    }
    default:
        at[0] = NearestIndex(format.palette, c);
    }
}

Bytes ColourTable(const StoreAs& format) {
    if (format.bits != 8) return {};
    Bytes table(4 * (format.declareColours ? format.palette.size() : 256), 0);
    for (std::size_t i = 0; i < format.palette.size(); ++i) {
        table[4 * i] = format.palette[i].blue;
        table[4 * i + 1] = format.palette[i].green;
        table[4 * i + 2] = format.palette[i].red;
    }
    return table;
}

}  // namespace

Bitmap CanvasBitmap(const Canvas& canvas, const StoreAs& format) {
    Bitmap bitmap;
    bitmap.header = MakeBitmapHeader(canvas.Width(), format.topDown ? -canvas.Height() : canvas.Height(), format.bits);
    if (format.bits == 8 && format.declareColours) bitmap.header.biClrUsed = static_cast<std::uint32_t>(format.palette.size());
    bitmap.colours = ColourTable(format);
    const std::int64_t stride = RowStride(bitmap.header);
    bitmap.rows.assign(static_cast<std::size_t>(stride * canvas.Height()), 0);
    bitmap.header.biSizeImage = static_cast<std::uint32_t>(bitmap.rows.size());
    for (int y = 0; y < canvas.Height(); ++y) {
        const int stored = format.topDown ? y : canvas.Height() - 1 - y;
        for (int x = 0; x < canvas.Width(); ++x) {
            StorePixel(bitmap.rows.data() + stored * stride + x * (format.bits / 8), format, canvas.At(x, y));
        }
    }
    return bitmap;
}
