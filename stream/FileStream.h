// A stream over a platform file handle. Its window begins at windowStart in the file and runs to
// the end of the file. A stream that opened its file itself closes it on Release; a handle that
// the host lent is never closed.
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
    // Opens path read-only, shared for reading; throws FileOpenError when that fails.
    FileStream(const char* path, std::int32_t windowStart);
    // Reads through a handle that somebody else owns, from wherever that handle stands.
    explicit FileStream(HANDLE borrowed);

    void Release() override;
    std::int32_t Seek(std::int32_t offset, std::int32_t origin) override;
    std::int32_t Read(void* buffer, std::int32_t count) override;
    std::int32_t Write(const void* buffer, std::int32_t count) override;

private:
    ~FileStream() = default;

    HANDLE handle;
    std::int32_t windowStart;
    bool ownsHandle;
};
