#include "bench/ReferenceDecoders.h"

#include <cstring>

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

std::size_t DecodeGpPlain(const std::uint8_t* file, std::size_t size, std::uint8_t* out) {
    const std::size_t width = Le32(file + 6), rows = Le32(file + 10);
    const std::size_t pixelBytes = (width * 24 + 31) / 32 * 4 * rows;
    const std::uint8_t* in = file + 42;
    const std::uint8_t* end = file + size;
    std::uint8_t* at = out;
    std::uint8_t* const stop = out + pixelBytes;
    while (at < stop && end - in >= 4) {
        const std::size_t units = (in[0] >> 1) + 1u;
        if (in[0] & 1) {
            for (std::size_t u = 0; u < units; ++u) std::memcpy(at + 3 * u, in + 1, 3);
            in += 4;
        } else {
            std::memcpy(at, in + 1, 3 * units);
            in += 1 + 3 * units;
        }
        at += 3 * units;
    }
    return pixelBytes;
}

std::size_t KmlzDeclaredSize(const std::uint8_t* file) { return Le32(file + 9); }

std::size_t DecodeKmlzPlain(const std::uint8_t* file, std::size_t size, std::uint8_t* out) {
    const std::size_t limit = KmlzDeclaredSize(file);
    const std::uint8_t* in = file + 33;
    const std::uint8_t* end = file + size;
    std::size_t k = 0;  // output bytes so far
    while (k < limit && in < end) {
        unsigned flags = *in++;
        for (int item = 0; item < 8 && k < limit; ++item, flags >>= 1) {
            if (flags & 1) {
                if (in == end) return k;
                out[k++] = *in++;
                continue;
            }
            if (end - in < 2) return k;
            const unsigned lo = in[0], hi = in[1];
            in += 2;
            std::size_t length = (hi & 0x0Fu) + 3;
            // Window index w holds the latest output byte j with j = w mod 4096, j < k.
            const std::size_t w = ((((hi & 0xF0u) << 4) | lo) + 18) & 0xFFFu;
            const std::size_t distance = ((k - w - 1) & 0xFFFu) + 1;
            if (length > limit - k) length = limit - k;
            for (std::size_t i = 0; i < length; ++i, ++k) out[k] = k >= distance ? out[k - distance] : 0;
        }
    }
    return k;
}
