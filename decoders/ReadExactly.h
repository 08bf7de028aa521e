// One Read of count bytes: true when exactly that many arrived.
#pragma once

#include <cstdint>

#include "stream/ByteStream.h"

inline bool ReadExactly(ByteStream* stream, void* buffer, std::int32_t count) {
    return stream->Read(buffer, count) == count;
}
