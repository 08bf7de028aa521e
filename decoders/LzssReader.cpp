#include "decoders/LzssReader.h"

#include <cstring>

#include "decoders/WithStreamClass.h"

namespace {
// The writer's window places output byte 0 at 4078: window index i is writer position i - 18.
constexpr std::int32_t kWriterOffset = LzssReader::kMaxMatch;
constexpr std::int32_t kWindowMask = LzssReader::kWindowSize - 1;
}  // namespace

LzssReader::LzssReader(ByteStream& source, std::int32_t limit) : source(source), limit(limit) {
    std::memset(ring, 0, sizeof ring);
}

// Decodes into [out, end) until it is full or the source has no more, and returns where it stopped.
// The state lives in locals while the loop runs: every byte stored may alias a member, so members
// would be written back and fetched again around each compressed byte.
template <class Source>
std::uint8_t* LzssReader::Decode(Source& from, std::uint8_t* out, std::uint8_t* const end) {
    std::uint8_t* const window = ring;
    std::int32_t at = ringPos;
    std::int32_t bits = flagBits;
    std::uint32_t flags = flagByte;
    bool pending = hasPending != 0;
    std::uint8_t low = pendingLow;
    while (out < end) {
        std::uint8_t c;
        if (from.Read(&c, 1) < 1) break;
        if (pending) {
            // A reference is expanded whole the moment its second byte arrives, byte by byte so
            // that it may overlap what it produces.
            pending = false;
            const std::int32_t length = (c & 0x0F) + 3;
            std::int32_t copyFrom = ((((c << 4) & 0xF00) | low) + kWriterOffset) & kWindowMask;
            const std::int32_t room = static_cast<std::int32_t>(end - out);
            // Straight into the caller's buffer when it fits; otherwise into matchBytes, from
            // which the caller takes what it has room for now and a later call the rest.
            std::uint8_t* const into = length <= room ? out : matchBytes;
            for (std::int32_t i = 0; i < length; ++i) {
                const std::uint8_t b = window[copyFrom];
                window[at] = b;
                into[i] = b;
                at = (at + 1) & kWindowMask;
                copyFrom = (copyFrom + 1) & kWindowMask;
            }
            if (length <= room) {
                out += length;
            } else {
                std::memcpy(out, matchBytes, static_cast<std::size_t>(room));
                out = end;
                matchIndex = room;
                matchLeft = length - room;
            }
        } else if (bits <= 0) {
            flags = c;
            bits = 8;
        } else {
            if (flags & 1) {
                *out++ = c;
                window[at] = c;
                at = (at + 1) & kWindowMask;
            } else {
                low = c;
                pending = true;
            }
            flags >>= 1;
            --bits;
        }
    }
    ringPos = at;
    flagBits = bits;
    flagByte = static_cast<std::uint8_t>(flags);
    hasPending = pending ? 1 : 0;
    pendingLow = low;

    return out;
}

std::int32_t LzssReader::Read(void* buffer, std::int32_t count) {
    const std::int32_t allowed = limit - delivered;
    if (count >= allowed) count = allowed;
    if (count <= 0) return 0;

    std::uint8_t* const first = static_cast<std::uint8_t*>(buffer);
    std::uint8_t* out = first;
    std::uint8_t* const end = first + count;
    // Bytes of a reference that an earlier call could not hand out come first.
    if (matchLeft > 0) {
        const std::int32_t n = matchLeft < count ? matchLeft : count;
        std::memcpy(out, matchBytes + matchIndex, static_cast<std::size_t>(n));
        out += n;
        matchIndex += n;
        matchLeft -= n;
    }

    out = WithStreamClass(source, [&](auto& from) { return Decode(from, out, end); });

    const std::int32_t written = static_cast<std::int32_t>(out - first);
    delivered += written;
    return written;
}
