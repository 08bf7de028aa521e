// A stream over a caller's block of memory. The block is never freed, moved or resized; the
// position stays within 0..size.
#pragma once

#include <cstdint>

#include "stream/ByteStream.h"

class MemoryStream final : public ByteStream {
public:
    MemoryStream(void* data, std::int32_t size) : data(static_cast<std::uint8_t*>(data)), size(size) {}

    void Release() override;
    std::int32_t Seek(std::int32_t offset, std::int32_t origin) override;
    std::int32_t Read(void* buffer, std::int32_t count) override;
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

    std::uint8_t* data;
    std::int32_t size;
    std::int32_t position = 0;
};
