#include "stream/FileStream.h"

#include "platform/ObjectHeap.h"

FileStream::FileStream(const char* path, std::int32_t windowStart)
    : handle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr)),
      windowStart(windowStart),
      ownsHandle(true) {
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
    DWORD got = 0;
    if (!ReadFile(handle, buffer, static_cast<DWORD>(count), &got, nullptr)) return -1;
    return static_cast<std::int32_t>(got);
}

std::int32_t FileStream::Write(const void* buffer, std::int32_t count) {
    if (count < 0) return 0;
    DWORD put = 0;
    if (!WriteFile(handle, buffer, static_cast<DWORD>(count), &put, nullptr)) return -1;
    return static_cast<std::int32_t>(put);
}
