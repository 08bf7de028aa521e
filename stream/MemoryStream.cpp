#include "stream/MemoryStream.h"

#include <cstring>

#include "platform/ObjectHeap.h"

void MemoryStream::Release() {
    this->~MemoryStream();
    FreeObject(this);
}

std::int32_t MemoryStream::Seek(std::int32_t offset, std::int32_t origin) {
    // 64-bit arithmetic: an offset near the ends of the 32-bit range must not wrap into the block.
    std::int64_t target;
    switch (origin) {
    case FromStart:
        target = offset;
        break;
    case FromCurrent:
        target = static_cast<std::int64_t>(position) + offset;
        break;
    case FromEnd:
        target = static_cast<std::int64_t>(size) + offset;
        break;
    default:
        return -1;
    }
    if (target < 0) target = 0;
    if (target > size) target = size;
    position = static_cast<std::int32_t>(target);
    return position;
}

std::int32_t MemoryStream::Available(std::int32_t count) const {
    if (count <= 0) return 0;
    const std::int32_t left = size - position;
    return left < count ? left : count;
}

std::int32_t MemoryStream::Read(void* buffer, std::int32_t count) {
    const std::int32_t n = Available(count);
    if (n > 0) std::memcpy(buffer, data + position, static_cast<std::size_t>(n));
    position += n;
    return n;
}

std::int32_t MemoryStream::Write(const void* buffer, std::int32_t count) {
    const std::int32_t n = Available(count);
    if (n > 0) std::memcpy(data + position, buffer, static_cast<std::size_t>(n));
    position += n;
    return n;
}
