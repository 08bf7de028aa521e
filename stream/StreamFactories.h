// The three ways to make a stream. Each yields a new stream, or none (nullptr) when nothing could be
// made; a stream that is yielded is destroyed with its Release.
#pragma once

#include <cstdint>

#include "platform/Platform.h"
#include "stream/ByteStream.h"

// A file opened by path, read-only, whose window begins at windowStart. None when the file cannot
// be opened, memory runs out, or windowStart is negative.
ByteStream* OpenFileStream(const char* path, std::int32_t windowStart);
// A host's open file handle, read from its current position and never closed.
ByteStream* WrapFileHandle(HANDLE handle);
// A caller's block of size bytes; a negative size gives an empty block.
ByteStream* WrapMemory(const void* data, std::int32_t size);
