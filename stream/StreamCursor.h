// A decoding loop's hold on its stream while the loop runs; the loop makes it, a local of its own.
//
// Over one of our own streams, named by its final class, the bytes that the stream already has in
// memory (the rest of a memory block, what a file has read ahead) are taken straight from there,
// with the place kept in the cursor. Being a local of the loop, the cursor is something that the
// loop's stores into pixels and windows cannot alias, so the compiler keeps it in registers instead
// of writing the stream's position back and fetching it again around every byte.
// A read that those bytes do not hold whole goes to the stream itself, with the place handed back
// first. Whenever the stream is reached, and when the cursor ends, the stream stands exactly where
// the same Reads made on it one by one would have left it.
#pragma once

#include <cstdint>
#include <cstring>

#include "stream/ByteStream.h"

// Read(&c, 1) on the stream itself, for when what it holds has run out.
template <class Stream>
#if defined(__GNUC__)
__attribute__((noinline))
#endif
std::int32_t ReadByteOf(Stream& stream) {
    std::uint8_t c;
    return stream.Read(&c, 1) < 1 ? -1 : c;
}

template <class Stream>
class StreamCursor {
public:
    explicit StreamCursor(Stream& stream) : stream(stream) { Take(); }
    ~StreamCursor() { GiveBack(); }
    StreamCursor(const StreamCursor&) = delete;
    StreamCursor& operator=(const StreamCursor&) = delete;

    // As the stream's Read.
    std::int32_t Read(void* buffer, std::int32_t count) {
        if (count > 0 && count <= end - at) {
            std::memcpy(buffer, at, static_cast<std::size_t>(count));
            at += count;
            return count;
        }
        GiveBack();
        const std::int32_t got = stream.Read(buffer, count);
        Take();
        return got;
    }

    // Read(&c, 1) as a value: the byte c, or -1 when that Read delivers nothing. The byte never
    // goes through memory, and nothing of the cursor's is handed to a call, so it can stay in
    // registers.
    std::int32_t ReadByte() {
        if (at < end) return *at++;
        GiveBack();
        const std::int32_t c = ReadByteOf(stream);
        Take();
        return c;
    }

    // Whether the stream holds at least count more bytes, and then the next of them, unchecked:
    // for a loop that knows ahead how many bytes a step can take.
    bool Holds(std::int32_t count) const { return end - at >= count; }
    std::uint8_t TakeByte() { return *at++; }

private:
    void Take() {
        at = stream.HeldBegin();
        end = stream.HeldEnd();
    }
    // The stream stood at HeldBegin since the last Take: nothing else reads it meanwhile.
    void GiveBack() { stream.Skip(static_cast<std::int32_t>(at - stream.HeldBegin())); }

    Stream& stream;
    const std::uint8_t* at = nullptr;   // the stream's place
    const std::uint8_t* end = nullptr;  // the end of what the stream holds
};

// A stream of any other class holds nothing that a cursor could take: every Read goes through its
// table of operations.
template <>
class StreamCursor<ByteStream> {
public:
    explicit StreamCursor(ByteStream& stream) : stream(stream) {}

    std::int32_t Read(void* buffer, std::int32_t count) { return stream.Read(buffer, count); }
    std::int32_t ReadByte() { return ReadByteOf(stream); }
    // Holds nothing, so a loop never takes a byte unchecked.
    bool Holds(std::int32_t) const { return false; }
    std::uint8_t TakeByte() { return 0; }

private:
    ByteStream& stream;
};
