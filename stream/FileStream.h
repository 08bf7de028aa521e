// A stream over a platform file handle. Its window begins at windowStart in the file and runs to
// the end of the file. A stream that opened its file itself closes it on Release; a handle that
// the host lent is never closed.
//
// A stream over a file that it opened reads ahead through a buffer that lives in the same
// allocation as the stream, so that the decoders' small reads (one byte at a time through the LZSS
// reader) cost a platform read per buffer and not per byte. Nothing of that shows from outside:
// positions, Seek and the end of the file behave as if every Read went straight to the platform.
// A stream over a host's handle reads nothing ahead, since the host sees the handle's position.
#pragma once

#include <cstdint>

#include "platform/Platform.h"
#include "stream/ByteStream.h"

// Raised by the opening constructor when the platform cannot open the file.
struct FileOpenError {
    DWORD errorNumber;
};

class FileStream final : public ByteStream {
public:
    // Bytes that a stream made by OpenFileStream reads ahead.
    static constexpr std::int32_t kReadAhead = 64 * 1024;

    // Opens path read-only, shared for reading; throws FileOpenError when that fails. readAhead
    // (readAheadSize bytes) belongs to the caller and must live as long as the stream: it is
    // allocated together with the stream's object.
    FileStream(const char* path, std::int32_t windowStart, std::uint8_t* readAhead, std::int32_t readAheadSize);
    // Reads through a handle that somebody else owns, from wherever that handle stands, with no
    // read-ahead.
    explicit FileStream(HANDLE borrowed);

    void Release() override;
    std::int32_t Seek(std::int32_t offset, std::int32_t origin) override;
    std::int32_t Read(void* buffer, std::int32_t count) override;
    std::int32_t Write(const void* buffer, std::int32_t count) override;

    // The bytes read ahead and not yet delivered (none for a host's handle), for a StreamCursor,
    // and the step past count of them.
    const std::uint8_t* HeldBegin() const { return readAhead + next; }
    const std::uint8_t* HeldEnd() const { return readAhead + filled; }
    void Skip(std::int32_t count) { next += count; }

private:
    ~FileStream() = default;
    std::int32_t ReadThroughBuffer(std::uint8_t* out, std::int32_t count);
    // Bytes read from the platform and not yet delivered: the platform's file position is that far
    // past the stream's position.
    std::int32_t Held() const { return filled - next; }

    HANDLE handle;
    std::int32_t windowStart;
    bool ownsHandle;
    std::uint8_t* readAhead = nullptr;  // none for a host's handle
    std::int32_t readAheadSize = 0;
    std::int32_t next = 0;    // index in readAhead of the next byte to deliver
    std::int32_t filled = 0;  // bytes of readAhead that hold file data
};
