#include "decoders/LzssReader.h"

#include <cstring>

#include "decoders/WithStreamClass.h"
#include "stream/StreamCursor.h"

namespace {
// The writer's window places output byte 0 at 4078: window index i is writer position i - 18.
constexpr std::int32_t kWriterOffset = LzssReader::kMaxMatch;
constexpr std::int32_t kWindowMask = LzssReader::kWindowSize - 1;
}  // namespace

LzssReader::LzssReader(ByteStream& source, std::int32_t limit) : source(source), limit(limit) {
    std::memset(ring, 0, sizeof ring);
}

// Decodes into [out, end) until it is full or the source has no more, and returns where it stopped.
// The state, and the source's place in a cursor, live in locals while the loop runs: every byte
// stored may alias a member, so members would be written back and fetched again around each
// compressed byte.
template <class Source>
std::uint8_t* LzssReader::Decode(Source& stream, std::uint8_t* out, std::uint8_t* const end) {
    StreamCursor<Source> from(stream);
    std::uint8_t* const window = ring;
    std::int32_t at = ringPos;
    std::uint32_t flags = groupFlags;

    // A reference is expanded whole the moment its second byte arrives, byte by byte so that it
    // may overlap what it produces: straight into the caller's buffer when it fits, otherwise into
    // matchBytes, from which the caller takes what it has room for now and a later call the rest.
    const auto expand = [&](std::uint32_t low, std::uint32_t high) {
        const std::int32_t length = static_cast<std::int32_t>(high & 0x0F) + 3;
        std::int32_t copyFrom = static_cast<std::int32_t>((((high << 4) & 0xF00) | low) + kWriterOffset) & kWindowMask;
        const std::int32_t room = static_cast<std::int32_t>(end - out);
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
    };

    bool pending = hasPending != 0;
    std::uint32_t low = pendingLow;
    if (pending && out < end) {
        // An earlier call stopped between a reference's two bytes.
        const std::int32_t high = from.ReadByte();
        if (high >= 0) {
            pending = false;
            expand(low, static_cast<std::uint32_t>(high));
        }
    }
    // One step: a flag byte, or one item of the group. False when the source had no more.
    const auto step = [&](auto&& next) {
        const std::int32_t c = next();
        if (c < 0) return false;
        if (flags == 1) {
            flags = static_cast<std::uint32_t>(c) | 0x100;
            return true;
        }
        const std::uint32_t item = flags & 1;
        flags >>= 1;
        if (item) {
            *out++ = static_cast<std::uint8_t>(c);
            window[at] = static_cast<std::uint8_t>(c);
            at = (at + 1) & kWindowMask;
            return true;
        }
        const std::int32_t high = next();
        if (high < 0) {
            low = static_cast<std::uint32_t>(c);
            pending = true;
            return false;
        }
        expand(static_cast<std::uint32_t>(c), static_cast<std::uint32_t>(high));
        return true;
    };
    while (!pending && out < end) {
        // A step takes at most two bytes. While the cursor holds that many, steps make no call
        // and no check of the source, so the loop keeps its state in registers.
        while (out < end && from.Holds(2)) step([&] { return static_cast<std::int32_t>(from.TakeByte()); });
        if (out >= end || !step([&] { return from.ReadByte(); })) break;
    }
    ringPos = at;
    groupFlags = flags;
    hasPending = pending ? 1 : 0;
    pendingLow = static_cast<std::uint8_t>(low);
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
