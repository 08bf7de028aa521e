#include "tools/encoders/GpEncoder.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "tools/encoders/BitmapError.h"

namespace {

constexpr std::size_t kUnit = 3;
constexpr std::size_t kMaxUnits = 128;
constexpr std::uint8_t kRunBit = 1;

// The pixel bytes padded with zeros to whole units.
Bytes PadToUnits(const Bytes& pixelBytes) {
    Bytes units = pixelBytes;
    units.resize((pixelBytes.size() + kUnit - 1) / kUnit * kUnit, 0);
    return units;
}

bool SameUnit(const Bytes& units, std::size_t a, std::size_t b) {
    return std::memcmp(units.data() + a * kUnit, units.data() + b * kUnit, kUnit) == 0;
}

// Units equal to unit `first`, counting it, from first on.
std::size_t RunLength(const Bytes& units, std::size_t first, std::size_t count) {
    std::size_t end = first + 1;
    while (end < count && SameUnit(units, first, end)) ++end;
    return end - first;
}

void AppendPacket(Bytes& out, bool run, const Bytes& units, std::size_t first, std::size_t length) {
    out.push_back(static_cast<std::uint8_t>((length - 1) << 1 | (run ? kRunBit : 0)));
    const std::size_t stored = run ? 1 : length;
    out.insert(out.end(), units.begin() + static_cast<long>(first * kUnit),
               units.begin() + static_cast<long>((first + stored) * kUnit));
}

}  // namespace

Bytes EncodeGpPackets(const Bytes& pixelBytes) {
    const Bytes units = PadToUnits(pixelBytes);
    const std::size_t count = units.size() / kUnit;
    Bytes out;
    std::size_t at = 0;
    while (at < count) {
        const std::size_t run = RunLength(units, at, count);
        if (run >= 2) {
            for (std::size_t done = 0; done < run;) {
                const std::size_t length = std::min(kMaxUnits, run - done);
                AppendPacket(out, true, units, at + done, length);
                done += length;
            }
            at += run;
            continue;
        }
        // A literal reaches up to the next pair of equal units, which starts a run.
        std::size_t end = at + 1;
        while (end < count && end - at < kMaxUnits && !(end + 1 < count && SameUnit(units, end, end + 1))) ++end;
        AppendPacket(out, false, units, at, end - at);
        at = end;
    }
    return out;
}

Bytes EncodeGp(const Bitmap& bitmap) {
    const BitmapInfoHeader& h = bitmap.header;
    if (h.biBitCount != 24) {
        throw BitmapError("GP holds 24-bit pictures only; this one has " + std::to_string(h.biBitCount) +
                          " bits per pixel (pack it as kmlz)");
    }
    if (h.biClrUsed != 0 || h.biClrImportant != 0) {
        throw BitmapError("a GP picture has no colour table: biClrUsed and biClrImportant must be 0");
    }
    const Bytes packets = EncodeGpPackets(bitmap.rows);
    Bytes out(2 + sizeof h + packets.size());
    out[0] = 'G';
    out[1] = 'P';
    std::memcpy(out.data() + 2, &h, sizeof h);
    std::copy(packets.begin(), packets.end(), out.begin() + 2 + sizeof h);
    return out;
}
