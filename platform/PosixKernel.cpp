// The native stand-in for KERNEL32: files over POSIX descriptors, local memory over the C heap,
// with the test seams of PlatformSeams.h.
#include "platform/PosixKernel.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/ObjectHeap.h"
#include "platform/PlatformSeams.h"

namespace {

// The seams' bookkeeping. It lives here and not in the plug-in, which keeps no state of its own.
struct SeamState {
    long calls[static_cast<int>(seams::Call::Count)] = {};
    long failAt[static_cast<int>(seams::Call::Count)] = {};
    long failures[static_cast<int>(seams::Call::Count)] = {};
    long fallibleCalls = 0;
    long fallibleFailAt = 0;
    std::size_t localAllocLimit = 0;
    int localAllocFill = -1;
    long liveLocalBlocks = 0;
    long liveObjects = 0;
    long openHandles = 0;
    std::size_t liveObjectBytes = 0;
    std::size_t peakObjectBytes = 0;
};

SeamState& State() {
    static SeamState state;
    return state;
}

thread_local DWORD lastError = ERROR_SUCCESS;

bool IsFallible(seams::Call call) {
    switch (call) {
    case seams::Call::CreateFile:
    case seams::Call::ReadFile:
    case seams::Call::WriteFile:
    case seams::Call::SetFilePointer:
    case seams::Call::LocalAlloc:
    case seams::Call::ObjectAlloc:
        return true;
    default:
        return false;
    }
}

// Counts the call and answers whether it is the one planned to fail.
bool Enter(seams::Call call) {
    SeamState& s = State();
    const int index = static_cast<int>(call);
    const long nth = ++s.calls[index];
    bool fail = s.failAt[index] > 0 && nth == s.failAt[index];
    if (IsFallible(call)) {
        const long any = ++s.fallibleCalls;
        fail = fail || (s.fallibleFailAt > 0 && any == s.fallibleFailAt);
    }
    if (fail) ++s.failures[index];
    return fail;
}

int Descriptor(HANDLE handle) { return static_cast<int>(reinterpret_cast<LONG_PTR>(handle)); }

bool IsValid(HANDLE handle) { return handle != INVALID_HANDLE_VALUE && Descriptor(handle) >= 0; }

DWORD ErrorFromErrno(int error) {
    switch (error) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    default:
        return ERROR_GEN_FAILURE;
    }
}

// Local blocks carry their size in front, so that LocalSize answers as on Windows.
struct alignas(std::max_align_t) LocalHeader {
    SIZE_T size;
};

// Heap objects carry theirs too, so that the bytes alive can be counted when they are freed.
struct alignas(std::max_align_t) ObjectHeader {
    std::size_t size;
};

}  // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                   DWORD creationDisposition, DWORD, HANDLE) {
    if (Enter(seams::Call::CreateFile)) {
        lastError = ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    if (fileName == nullptr) {
        lastError = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    const bool reads = (desiredAccess & GENERIC_READ) != 0;
    const bool writes = (desiredAccess & GENERIC_WRITE) != 0;
    int flags = reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
    switch (creationDisposition) {
    case CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_EXISTING:
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    case TRUNCATE_EXISTING:
        flags |= O_TRUNC;
        break;
    default:
        lastError = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    const int fd = ::open(fileName, flags | O_CLOEXEC, 0644);
    if (fd < 0) {
        lastError = ErrorFromErrno(errno);
        return INVALID_HANDLE_VALUE;
    }
    // Windows opens no directory as a file.
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        lastError = ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    ++State().openHandles;
    lastError = ERROR_SUCCESS;
    return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(fd));
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED) {
    if (bytesRead != nullptr) *bytesRead = 0;
    if (Enter(seams::Call::ReadFile)) {
        lastError = ERROR_GEN_FAILURE;
        return FALSE;
    }
    if (!IsValid(file)) {
        lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    // A synchronous read of a file delivers everything up to the end, as Windows does.
    DWORD done = 0;
    char* out = static_cast<char*>(buffer);
    while (done < bytesToRead) {
        const ssize_t got = ::read(Descriptor(file), out + done, bytesToRead - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            lastError = ErrorFromErrno(errno == EBADF ? EACCES : errno);
            if (bytesRead != nullptr) *bytesRead = done;
            return FALSE;
        }
        if (got == 0) break;
        done += static_cast<DWORD>(got);
    }
    if (bytesRead != nullptr) *bytesRead = done;
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED) {
    if (bytesWritten != nullptr) *bytesWritten = 0;
    if (Enter(seams::Call::WriteFile)) {
        lastError = ERROR_GEN_FAILURE;
        return FALSE;
    }
    if (!IsValid(file)) {
        lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    DWORD done = 0;
    const char* in = static_cast<const char*>(buffer);
    while (done < bytesToWrite) {
        const ssize_t put = ::write(Descriptor(file), in + done, bytesToWrite - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            // A descriptor opened for reading only answers EBADF; Windows says access denied.
            lastError = ErrorFromErrno(errno == EBADF ? EACCES : errno);
            if (bytesWritten != nullptr) *bytesWritten = done;
            return FALSE;
        }
        done += static_cast<DWORD>(put);
    }
    if (bytesWritten != nullptr) *bytesWritten = done;
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh, DWORD moveMethod) {
    if (Enter(seams::Call::SetFilePointer)) {
        lastError = ERROR_GEN_FAILURE;
        return INVALID_SET_FILE_POINTER;
    }
    if (!IsValid(file)) {
        lastError = ERROR_INVALID_HANDLE;
        return INVALID_SET_FILE_POINTER;
    }
    // Without a high part the distance is a signed 32-bit number; with one, a signed 64-bit one.
    long long distance = distanceToMove;
    if (distanceToMoveHigh != nullptr) {
        distance = static_cast<long long>((static_cast<unsigned long long>(
                       static_cast<std::uint32_t>(*distanceToMoveHigh)) << 32) |
                   static_cast<std::uint32_t>(distanceToMove));
    }
    const int fd = Descriptor(file);
    const long long before = ::lseek(fd, 0, SEEK_CUR);
    long long base = 0;
    if (moveMethod == FILE_CURRENT) {
        base = before;
    } else if (moveMethod == FILE_END) {
        struct stat info;
        base = ::fstat(fd, &info) == 0 ? static_cast<long long>(info.st_size) : -1;
    } else if (moveMethod != FILE_BEGIN) {
        lastError = ERROR_INVALID_PARAMETER;
        return INVALID_SET_FILE_POINTER;
    }
    if (base < 0 || before < 0) {
        lastError = ErrorFromErrno(errno);
        return INVALID_SET_FILE_POINTER;
    }
    const long long target = base + distance;
    if (target < 0) {
        // Refused, and the position stays where it was.
        lastError = ERROR_NEGATIVE_SEEK;
        return INVALID_SET_FILE_POINTER;
    }
    if (::lseek(fd, target, SEEK_SET) < 0) {
        lastError = ErrorFromErrno(errno);
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceToMoveHigh != nullptr) *distanceToMoveHigh = static_cast<LONG>(target >> 32);
    lastError = ERROR_SUCCESS;
    return static_cast<DWORD>(target);
}

BOOL CloseHandle(HANDLE object) {
    Enter(seams::Call::CloseHandle);
    if (!IsValid(object) || ::close(Descriptor(object)) != 0) {
        lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    --State().openHandles;
    return TRUE;
}

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD errorCode) { lastError = errorCode; }

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
    SeamState& s = State();
    const bool fail = Enter(seams::Call::LocalAlloc);
    // Only fixed blocks exist here; a movable block would need a lock to reach its memory.
    if (fail || (flags & ~static_cast<UINT>(LMEM_ZEROINIT)) != 0 ||
        (s.localAllocLimit != 0 && bytes > s.localAllocLimit) ||
        bytes > static_cast<SIZE_T>(-1) - sizeof(LocalHeader)) {
        lastError = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    void* raw = (flags & LMEM_ZEROINIT) != 0 ? std::calloc(1, sizeof(LocalHeader) + bytes)
                                             : std::malloc(sizeof(LocalHeader) + bytes);
    if (raw == nullptr) {
        lastError = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    static_cast<LocalHeader*>(raw)->size = bytes;
    if ((flags & LMEM_ZEROINIT) == 0 && s.localAllocFill >= 0) {
        std::memset(static_cast<LocalHeader*>(raw) + 1, s.localAllocFill, bytes);
    }
    ++s.liveLocalBlocks;
    return static_cast<LocalHeader*>(raw) + 1;
}

HLOCAL LocalFree(HLOCAL memory) {
    Enter(seams::Call::LocalFree);
    if (memory == nullptr) return nullptr;
    std::free(static_cast<LocalHeader*>(memory) - 1);
    --State().liveLocalBlocks;
    return nullptr;
}

SIZE_T LocalSize(HLOCAL memory) {
    return memory == nullptr ? 0 : (static_cast<LocalHeader*>(memory) - 1)->size;
}

LPSTR lstrcpynA(LPSTR destination, LPCSTR source, int maxLength) {
    Enter(seams::Call::CopyString);
    if (destination == nullptr || maxLength <= 0) return destination;
    int i = 0;
    if (source != nullptr) {
        for (; i < maxLength - 1 && source[i] != '\0'; ++i) destination[i] = source[i];
    }
    destination[i] = '\0';
    return destination;
}

int lstrlenA(LPCSTR text) {
    Enter(seams::Call::StringLength);
    return text == nullptr ? 0 : static_cast<int>(std::strlen(text));
}

void* AllocateObject(std::size_t bytes) noexcept {
    if (Enter(seams::Call::ObjectAlloc)) return nullptr;
    if (bytes > static_cast<std::size_t>(-1) - sizeof(ObjectHeader)) return nullptr;
    void* raw = ::operator new(sizeof(ObjectHeader) + bytes, std::nothrow);
    if (raw == nullptr) return nullptr;
    static_cast<ObjectHeader*>(raw)->size = bytes;
    SeamState& s = State();
    ++s.liveObjects;
    s.liveObjectBytes += bytes;
    if (s.liveObjectBytes > s.peakObjectBytes) s.peakObjectBytes = s.liveObjectBytes;
    return static_cast<ObjectHeader*>(raw) + 1;
}

void FreeObject(void* object) noexcept {
    Enter(seams::Call::ObjectFree);
    if (object == nullptr) return;
    ObjectHeader* header = static_cast<ObjectHeader*>(object) - 1;
    SeamState& s = State();
    --s.liveObjects;
    s.liveObjectBytes -= header->size;
    ::operator delete(header);
}

namespace seams {

long Calls(Call call) { return State().calls[static_cast<int>(call)]; }

void Reset() {
    SeamState& s = State();
    for (long& c : s.calls) c = 0;
    for (long& f : s.failAt) f = 0;
    for (long& f : s.failures) f = 0;
    s.fallibleCalls = 0;
    s.fallibleFailAt = 0;
    s.localAllocLimit = 0;
    s.localAllocFill = -1;
    s.peakObjectBytes = s.liveObjectBytes;
}

void FailNth(Call call, long n) {
    SeamState& s = State();
    const int index = static_cast<int>(call);
    s.failAt[index] = n > 0 ? s.calls[index] + n : 0;
}

void FailNthFallible(long n) {
    SeamState& s = State();
    s.fallibleFailAt = n > 0 ? s.fallibleCalls + n : 0;
}

long FallibleCalls() { return State().fallibleCalls; }

long Failures(Call call) { return State().failures[static_cast<int>(call)]; }

void SetLocalAllocLimit(std::size_t bytes) { State().localAllocLimit = bytes; }

void SetLocalAllocFill(int byte) { State().localAllocFill = byte < 0 ? -1 : (byte & 0xFF); }

long LiveLocalBlocks() { return State().liveLocalBlocks; }
long LiveObjects() { return State().liveObjects; }
long OpenHandles() { return State().openHandles; }
std::size_t LiveObjectBytes() { return State().liveObjectBytes; }
std::size_t PeakObjectBytes() { return State().peakObjectBytes; }

}  // namespace seams
