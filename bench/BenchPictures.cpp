#include "bench/BenchPictures.h"

#include <algorithm>

#include "tools/encoders/GpEncoder.h"
#include "tools/encoders/KmlzEncoder.h"

namespace {

// A counter-based hash: the same value for the same pixel whatever order pixels are drawn in.
std::uint32_t Hash(std::uint32_t x, std::uint32_t y, std::uint32_t salt) {
    std::uint32_t h = x * 0x9E3779B1u ^ (y + 0x7F4A7C15u) * 0x85EBCA77u ^ salt * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

std::uint8_t Clamp(std::int32_t v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); }

struct Rgb {
    std::uint8_t r, g, b;
};

// A landscape: a sky of smooth gradients with a disc of sun, a noisy ground lit from one side, a
// road with less noise, and a row of flat-fronted blocks with lit windows standing on the horizon.
Rgb NaturalPixel(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    const std::int32_t horizon = h * 2 / 5;  // rows are stored bottom row first: y = 0 is the ground
    // Blocks on the horizon: flat fronts with a grid of windows.
    const std::int32_t blockWidth = std::max(w / 9, 1);
    const std::int32_t block = x / blockWidth;
    if (block % 2 == 1) {
        const std::int32_t top = horizon + (h / 6) * (1 + block % 3) / 3 + h / 20;
        if (y >= horizon - h / 40 && y < top) {
            const std::int32_t bx = x % blockWidth, by = y - horizon;
            const bool window = bx % 16 >= 5 && bx % 16 < 12 && by % 20 >= 6 && by % 20 < 15 &&
                                Hash(static_cast<std::uint32_t>(bx / 16), static_cast<std::uint32_t>(by / 20),
                                     static_cast<std::uint32_t>(block)) % 3 == 0;
            if (window) return {230, 210, 120};
            const std::uint8_t shade = static_cast<std::uint8_t>(70 + 20 * (block % 3));
            return {shade, static_cast<std::uint8_t>(shade + 5), static_cast<std::uint8_t>(shade + 15)};
        }
    }
    if (y >= horizon) {
        const std::int64_t dx = x - w * 3 / 4, dy = y - h * 4 / 5, radius = h / 12;
        if (dx * dx + dy * dy < radius * radius) return {255, 236, 160};
        const std::int32_t up = 256 * (y - horizon) / std::max(h - horizon, 1);
        const std::int32_t across = 40 * x / std::max(w, 1);
        return {Clamp(200 - up / 2 + across / 2), Clamp(210 - up / 3), Clamp(235 + up / 16 - across / 4)};
    }
    // The ground: a gradient towards the horizon with grain, and a road running into the distance.
    const std::uint32_t grain = Hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), 1);
    const std::int32_t middle = w / 2, halfRoad = (w / 5) * (horizon - y) / std::max(horizon, 1) + 2;
    if (x > middle - halfRoad && x < middle + halfRoad) {
        const std::int32_t n = static_cast<std::int32_t>(grain % 5) - 2;
        return {Clamp(95 + n), Clamp(95 + n), Clamp(100 + n)};
    }
    const std::int32_t n = static_cast<std::int32_t>(grain % 13) - 6;
    const std::int32_t light = 60 * y / std::max(horizon, 1) + 30 * x / std::max(w, 1);
    return {Clamp(50 + light / 2 + n), Clamp(90 + light + n), Clamp(30 + light / 4 + (n >> 1))};
}

void StorePixel(Bitmap& bitmap, std::int64_t at, std::uint16_t bits, Rgb c) {
    std::uint8_t* p = bitmap.rows.data() + at;
    switch (bits) {
    case 24:
        p[0] = c.b, p[1] = c.g, p[2] = c.r;
        break;
    case 16: {
        // 5-5-5, blue in the low bits.
        const std::uint16_t v = static_cast<std::uint16_t>((c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3));
        p[0] = static_cast<std::uint8_t>(v), p[1] = static_cast<std::uint8_t>(v >> 8);
        break;
    }
    default:
        // An index into the colour table's ramp, by brightness.
        p[0] = static_cast<std::uint8_t>((c.r * 3 + c.g * 6 + c.b) / 10);
        break;
    }
}

}  // namespace

std::string LookName(Look look) {
    switch (look) {
    case Look::Natural:
        return "natural";
    case Look::Incompressible:
        return "incompressible";
    case Look::OneColour:
        return "one colour";
    }
    return "?";
}

Bitmap DrawPicture(std::int32_t width, std::int32_t height, std::uint16_t bits, Look look) {
    Bitmap bitmap;
    bitmap.header = MakeBitmapHeader(width, height, bits);
    if (bits == 8) {
        bitmap.colours.assign(4 * 256, 0);
        for (std::uint32_t i = 0; i < 256; ++i) {
            const std::uint32_t v =
                look == Look::Incompressible ? Hash(i, 0, 7) : (i * 0x010101u) ^ ((i / 4) << 16);
            bitmap.colours[4 * i] = static_cast<std::uint8_t>(v);
            bitmap.colours[4 * i + 1] = static_cast<std::uint8_t>(v >> 8);
            bitmap.colours[4 * i + 2] = static_cast<std::uint8_t>(v >> 16);
        }
    }
    const std::int64_t stride = RowStride(bitmap.header);
    const std::int64_t rows = RowCount(bitmap.header);
    bitmap.rows.assign(static_cast<std::size_t>(stride * rows), 0);
    const std::int32_t bytesPerPixel = bits / 8;
    for (std::int64_t y = 0; y < rows; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const std::int64_t at = y * stride + static_cast<std::int64_t>(x) * bytesPerPixel;
            switch (look) {
            case Look::Natural:
                StorePixel(bitmap, at, bits, NaturalPixel(x, static_cast<std::int32_t>(y), width, height));
                break;
            case Look::OneColour:
                StorePixel(bitmap, at, bits, Rgb{0xC0, 0x80, 0x40});
                break;
            case Look::Incompressible:
                for (std::int32_t i = 0; i < bytesPerPixel; ++i) {
                    bitmap.rows[static_cast<std::size_t>(at + i)] = static_cast<std::uint8_t>(
                        Hash(static_cast<std::uint32_t>(x * bytesPerPixel + i), static_cast<std::uint32_t>(y), 3) >> 7);
                }
                break;
            }
        }
    }
    bitmap.header.biSizeImage = static_cast<std::uint32_t>(bitmap.rows.size());
    return bitmap;
}

BenchPicture PackPicture(const Bitmap& bitmap, PackedFormat format, Look look) {
    BenchPicture picture;
    picture.format = format;
    picture.bits = bitmap.header.biBitCount;
    picture.look = look;
    picture.name = std::string(format == PackedFormat::Gp ? "GP" : "KMLZ") + " " + std::to_string(picture.bits) +
                   "-bit " + LookName(look);
    picture.bitmap = bitmap;
    picture.file = format == PackedFormat::Gp ? EncodeGp(bitmap) : EncodeKmlz(bitmap);
    picture.decodedBytes = static_cast<std::int64_t>(bitmap.rows.size());
    return picture;
}

std::vector<BenchPicture> MakeBenchPictures(std::int32_t scale) {
    struct Size {
        std::int32_t width, height;
        std::uint16_t bits;
    };
    const Size sizes[] = {{1920, 1080, 24}, {1920, 1080, 8}, {1024, 768, 16}};
    const Look looks[] = {Look::Natural, Look::Incompressible, Look::OneColour};
    std::vector<BenchPicture> pictures;
    for (const Size& s : sizes) {
        for (const Look look : looks) {
            const Bitmap bitmap = DrawPicture(s.width / scale, s.height / scale, s.bits, look);
            if (s.bits == 24) pictures.push_back(PackPicture(bitmap, PackedFormat::Gp, look));
            pictures.push_back(PackPicture(bitmap, PackedFormat::Kmlz, look));
        }
    }
    return pictures;
}

std::uint64_t Fingerprint(const std::uint8_t* bytes, std::size_t count, std::uint64_t seed) {
    std::uint64_t h = seed;
    for (std::size_t i = 0; i < count; ++i) {
        h ^= bytes[i];
        h *= 0x100000001B3ull;
    }
    return h;
}
