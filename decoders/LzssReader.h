// Pull-based LZSS decompressor over a ByteStream that it does not own.
//
// The compressed data is a sequence of groups: a flag byte, then up to eight items described by its
// bits from bit 0 up. A 1 bit is a literal byte; a 0 bit is a two-byte reference lo, hi: length
// (hi & 0x0F) + 3, window position ((hi & 0xF0) << 4) | lo. The writer's 4096-byte window puts
// output byte k at (4078 + k) mod 4096 and starts out filled with zero bytes. A reference is copied
// a byte at a time, so it may overlap the bytes it produces. The data ends where the source ends.
//
// The whole decoding state is kept between calls of Read, so a call may stop anywhere (inside a
// group, between a reference's two bytes, with reference bytes not yet handed out) and the next one
// goes on from there. Each compressed byte is taken as a one-byte Read of the source gives it: from
// a stream of ours through a StreamCursor, straight from the bytes that it holds, from any other
// stream by calling its Read. Nothing is read ahead, and no byte is read that the output asked for
// does not need.
#pragma once

#include <cstdint>

#include "stream/ByteStream.h"

class LzssReader {
public:
    static constexpr std::int32_t kWindowSize = 4096;
    static constexpr std::int32_t kMaxMatch = 18;

    // Delivers at most limit bytes over its life; a negative limit delivers nothing.
    LzssReader(ByteStream& source, std::int32_t limit);

    // Writes up to count decompressed bytes and returns how many: fewer when the limit is reached
    // or the source has no more.
    std::int32_t Read(void* buffer, std::int32_t count);

private:
    template <class Source>
    std::uint8_t* Decode(Source& stream, std::uint8_t* out, std::uint8_t* end);

    ByteStream& source;
    std::int32_t limit;
    std::int32_t delivered = 0;
    std::uint8_t matchBytes[kMaxMatch];  // the latest reference, expanded
    std::int32_t matchIndex = 0;         // next of matchBytes to hand out
    std::int32_t matchLeft = 0;          // matchBytes not handed out yet
    std::uint8_t pendingLow = 0;         // a reference's first byte, waiting for its second
    std::int32_t hasPending = 0;
    std::int32_t ringPos = 0;   // where the next output byte goes in the window
    // The items of the current group still to come, bit 0 describing the next, under a marker bit
    // just above them: the group is over when only the marker is left.
    std::uint32_t groupFlags = 1;
    std::uint8_t ring[kWindowSize];
};
