// A stream over a caller's block of memory. The block is never freed, moved or resized; the
// position stays within 0..size.
#pragma once

#include <cstdint>
#include <cstring>

#include "stream/ByteStream.h"

class MemoryStream final : public ByteStream {
public:
    MemoryStream(void* data, std::int32_t size) : data(static_cast<std::uint8_t*>(data)), size(size) {}

    void Release() override;
    std::int32_t Seek(std::int32_t offset, std::int32_t origin) override;
    // Inline, so that a decoder that knows it reads a MemoryStream takes its bytes without a call
    // through the table, and a read of a fixed small count becomes a plain copy.
    std::int32_t Read(void* buffer, std::int32_t count) override {
        if (count > 0 && count <= size - position) {
            std::memcpy(buffer, data + position, static_cast<std::size_t>(count));
            position += count;
            return count;
        }
        return Copy(buffer, count);
    }
    std::int32_t Write(const void* buffer, std::int32_t count) override;

    // The bytes from the position to the end of the block, for a StreamCursor, and the step past
    // count of them.
    const std::uint8_t* HeldBegin() const { return data + position; }
    const std::uint8_t* HeldEnd() const { return data + size; }
    void Skip(std::int32_t count) { position += count; }

private:
    ~MemoryStream() = default;
    // How many of count bytes lie between the position and the end of the block.
    std::int32_t Available(std::int32_t count) const;
    // Read of any count: up to count bytes from the position on.
#if defined(__GNUC__)
    __attribute__((noinline))
#endif
    std::int32_t Copy(void* buffer, std::int32_t count);

    std::uint8_t* data;
    std::int32_t size;
    std::int32_t position = 0;
};
