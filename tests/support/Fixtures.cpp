#include "tests/support/Fixtures.h"

#include <cstring>

BitmapInfoHeader MakeHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount) {
    BitmapInfoHeader h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bitCount;
    return h;
}

std::int32_t StrideOf(std::int32_t width, std::int32_t bitCount) {
    return ((width * bitCount + 31) & ~31) / 8;
}

Bytes HeaderBytes(const BitmapInfoHeader& header) {
    Bytes out(sizeof header);
    std::memcpy(out.data(), &header, sizeof header);
    return out;
}

Bytes GpFile(const BitmapInfoHeader& header, const Bytes& packets) {
    return Concat({Bytes{'G', 'P'}, HeaderBytes(header), packets});
}

Bytes GpLiteralPackets(const Bytes& rowBytes) {
    Bytes units = rowBytes;
    while (units.size() % 3 != 0) units.push_back(0);
    Bytes out;
    for (std::size_t at = 0; at < units.size();) {
        const std::size_t count = std::min<std::size_t>(128, (units.size() - at) / 3);
        out.push_back(static_cast<std::uint8_t>((count - 1) << 1));
        out.insert(out.end(), units.begin() + static_cast<long>(at),
                   units.begin() + static_cast<long>(at + 3 * count));
        at += 3 * count;
    }
    return out;
}

Bytes LiteralLzss(const Bytes& data) {
    Bytes out;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i % 8 == 0) out.push_back(0xFF);
        out.push_back(data[i]);
    }
    return out;
}

Bytes BitmapFile(const BitmapInfoHeader& header, const Bytes& colours, const Bytes& rows) {
    const std::uint32_t offBits = 14 + 40 + static_cast<std::uint32_t>(colours.size());
    const std::uint32_t fileSize = offBits + static_cast<std::uint32_t>(rows.size());
    Bytes file{'B', 'M'};
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(fileSize >> (8 * i)));
    file.insert(file.end(), 4, 0);
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(offBits >> (8 * i)));
    return Concat({file, HeaderBytes(header), colours, rows});
}

Bytes KmlzFile(std::int32_t declaredSize, const Bytes& compressed) {
    Bytes head(33, 0);
    std::memcpy(head.data(), "KMLZ", 4);
    const auto size = static_cast<std::uint32_t>(declaredSize);
    for (int i = 0; i < 4; ++i) head[9 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    return Concat({head, compressed});
}

Bytes KmlzOf(const Bytes& content) {
    return KmlzFile(static_cast<std::int32_t>(content.size()), LiteralLzss(content));
}

Bytes PatternBytes(std::size_t count, std::uint32_t seed) {
    Bytes out(count);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
