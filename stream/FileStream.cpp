#include "stream/FileStream.h"

#include <cstring>

#include "platform/ObjectHeap.h"

FileStream::FileStream(const char* path, std::int32_t windowStart, std::uint8_t* readAhead,
                       std::int32_t readAheadSize)
    : handle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr)),
      windowStart(windowStart),
      ownsHandle(true),
      readAhead(readAhead),
      readAheadSize(readAheadSize) {
    if (handle == INVALID_HANDLE_VALUE) throw FileOpenError{GetLastError()};
    // A freshly opened file stands at its beginning: only a later start needs a move.
    if (windowStart > 0) SetFilePointer(handle, windowStart, nullptr, FILE_BEGIN);
}

FileStream::FileStream(HANDLE borrowed) : handle(borrowed), windowStart(0), ownsHandle(false) {}

void FileStream::Release() {
    if (ownsHandle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    this->~FileStream();
    FreeObject(this);
}

std::int32_t FileStream::Seek(std::int32_t offset, std::int32_t origin) {
    if (origin < FromStart || origin > FromEnd) return -1;
    std::int64_t target = offset;
    if (origin == FromStart) target += windowStart;
    // The platform stands after the bytes read ahead: a move from the current position starts that
    // much earlier. Whatever the move, the bytes read ahead are dropped.
    if (origin == FromCurrent) target -= Held();
    next = filled = 0;
    // A target outside the 32-bit range cannot be asked of the platform: treated as refused.
    std::int64_t reached = -1;
    if (target >= INT32_MIN && target <= INT32_MAX) {
        const DWORD p = SetFilePointer(handle, static_cast<LONG>(target), nullptr,
                                       static_cast<DWORD>(origin));
        reached = p == INVALID_SET_FILE_POINTER ? -1 : static_cast<std::int64_t>(p);
    }
    const std::int64_t relative = reached - windowStart;
    if (relative < 0) {
        // Before the window, or refused: back to the window start.
        SetFilePointer(handle, windowStart, nullptr, FILE_BEGIN);
        return 0;
    }
    return relative > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(relative);
}

std::int32_t FileStream::Read(void* buffer, std::int32_t count) {
    if (count < 0) return 0;
    if (readAhead != nullptr) return ReadThroughBuffer(static_cast<std::uint8_t*>(buffer), count);
    DWORD got = 0;
    if (!ReadFile(handle, buffer, static_cast<DWORD>(count), &got, nullptr)) return -1;
    return static_cast<std::int32_t>(got);
}

std::int32_t FileStream::ReadThroughBuffer(std::uint8_t* out, std::int32_t count) {
    const std::int32_t held = Held();
    if (count <= held) {
        // What is held already: no platform read.
        std::memcpy(out, readAhead + next, static_cast<std::size_t>(count));
        next += count;
        return count;
    }
    DWORD got = 0;
    if (count > readAheadSize) {
        // More than the buffer holds: what is held, then the rest straight from the platform, which
        // is then where the stream stands.
        std::memcpy(out, readAhead + next, static_cast<std::size_t>(held));
        next = filled = 0;
        if (!ReadFile(handle, out + held, static_cast<DWORD>(count - held), &got, nullptr)) return -1;
        return held + static_cast<std::int32_t>(got);
    }
    // Keep what is held at the front and fill the rest. Nothing is delivered until the platform read
    // has succeeded, so a failed read takes nothing and the next one goes on from the same place.
    std::memmove(readAhead, readAhead + next, static_cast<std::size_t>(held));
    next = 0;
    const BOOL ok = ReadFile(handle, readAhead + held, static_cast<DWORD>(readAheadSize - held), &got, nullptr);
    // Bytes that arrived before a failure are the file's all the same, and the platform is past them.
    filled = held + static_cast<std::int32_t>(got);
    if (!ok) return -1;
    const std::int32_t n = count < filled ? count : filled;
    std::memcpy(out, readAhead, static_cast<std::size_t>(n));
    next = n;
    return n;
}

std::int32_t FileStream::Write(const void* buffer, std::int32_t count) {
    if (count < 0) return 0;
    if (Held() > 0) {
        // A write lands at the stream's position, not after the bytes read ahead.
        SetFilePointer(handle, -Held(), nullptr, FILE_CURRENT);
        next = filled = 0;
    }
    DWORD put = 0;
    if (!WriteFile(handle, buffer, static_cast<DWORD>(count), &put, nullptr)) return -1;
    return static_cast<std::int32_t>(put);
}
