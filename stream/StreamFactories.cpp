#include "stream/StreamFactories.h"

#include "platform/ObjectHeap.h"
#include "stream/FileStream.h"
#include "stream/MemoryStream.h"

ByteStream* OpenFileStream(const char* path, std::int32_t windowStart) {
    if (windowStart < 0) return nullptr;
    // One allocation: the stream, then its read-ahead buffer.
    void* memory = AllocateObject(sizeof(FileStream) + FileStream::kReadAhead);
    if (memory == nullptr) return nullptr;
    std::uint8_t* readAhead = static_cast<std::uint8_t*>(memory) + sizeof(FileStream);
    try {
        return new (memory) FileStream(path, windowStart, readAhead, FileStream::kReadAhead);
    } catch (...) {
        // Nothing was opened: only the object's memory is to be given back.
        FreeObject(memory);
        return nullptr;
    }
}

ByteStream* WrapFileHandle(HANDLE handle) { return NewObject<FileStream>(handle); }

ByteStream* WrapMemory(const void* data, std::int32_t size) {
    // The stream never writes unless asked to; nothing in the plug-in asks.
    return NewObject<MemoryStream>(const_cast<void*>(data), size < 0 ? 0 : size);
}
