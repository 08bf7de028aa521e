// One reading interface over a file named by path, a file handle that the host opened, or a block
// of memory. Positions count from the stream's window start. A stream is destroyed only through its
// own Release, so the interface has no virtual destructor.
#pragma once

#include <cstdint>

class ByteStream {
public:
    // Origins of Seek: the window start, the current position, the end.
    enum Origin : std::int32_t { FromStart = 0, FromCurrent = 1, FromEnd = 2 };

    // Destroys the stream and frees its object; called exactly once.
    virtual void Release() = 0;
    // The new position from the window start, or -1 for an unknown origin (nothing moves).
    virtual std::int32_t Seek(std::int32_t offset, std::int32_t origin) = 0;
    // Bytes delivered (0 at the end), or -1 when the platform read fails.
    virtual std::int32_t Read(void* buffer, std::int32_t count) = 0;
    // Bytes stored, or -1 when the platform write fails.
    virtual std::int32_t Write(const void* buffer, std::int32_t count) = 0;

protected:
    ByteStream() = default;
    ~ByteStream() = default;
};
