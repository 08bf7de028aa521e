#include "decoders/LzssReader.h"

#include <cstring>

namespace {
// The writer's window places output byte 0 at 4078: window index i is writer position i - 18.
constexpr std::int32_t kWriterOffset = LzssReader::kMaxMatch;
constexpr std::int32_t kWindowMask = LzssReader::kWindowSize - 1;
}  // namespace

LzssReader::LzssReader(ByteStream& source, std::int32_t limit) : source(source), limit(limit) {
    std::memset(ring, 0, sizeof ring);
}

std::int32_t LzssReader::Read(void* buffer, std::int32_t count) {
    const std::int32_t allowed = limit - delivered;
    if (count >= allowed) count = allowed;
    if (count <= 0) return 0;

    std::uint8_t* out = static_cast<std::uint8_t*>(buffer);
    std::int32_t written = 0;
    while (written < count) {
        if (matchLeft > 0) {
            const std::int32_t n = matchLeft < count - written ? matchLeft : count - written;
            std::memcpy(out + written, matchBytes + matchIndex, static_cast<std::size_t>(n));
            written += n;
            matchIndex += n;
            matchLeft -= n;
            continue;
        }
        std::uint8_t c;
        if (source.Read(&c, 1) < 1) break;
        if (hasPending) {
            // A reference is expanded whole the moment its second byte arrives; what the caller
            // does not take now waits in matchBytes.
            const std::int32_t length = (c & 0x0F) + 3;
            std::int32_t from = ((((c << 4) & 0xF00) | pendingLow) + kWriterOffset) & kWindowMask;
            for (std::int32_t i = 0; i < length; ++i) {
                matchBytes[i] = ring[from];
                ring[ringPos] = matchBytes[i];
                ringPos = (ringPos + 1) & kWindowMask;
                from = (from + 1) & kWindowMask;
            }
            matchLeft = length;
            matchIndex = 0;
            hasPending = 0;
        } else if (flagBits <= 0) {
            flagByte = c;
            flagBits = 8;
        } else {
            if (flagByte & 1) {
                out[written++] = c;
                ring[ringPos] = c;
                ringPos = (ringPos + 1) & kWindowMask;
            } else {
                pendingLow = c;
                hasPending = 1;
            }
            flagByte = static_cast<std::uint8_t>(flagByte >> 1);
            --flagBits;
        }
    }
    delivered += written;
    return written;
}
