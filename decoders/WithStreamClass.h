// Runs a decoding loop with the stream's own class when it is one of ours. Both classes are final,
// so the loop can read through a StreamCursor of that class: its small reads are inline code, with
// the stream's place in registers, instead of calls through the table of operations. Any other
// stream is read through the table. The reads are the same either way.
#pragma once

#include <typeinfo>

#include "stream/ByteStream.h"
#include "stream/FileStream.h"
#include "stream/MemoryStream.h"

template <class Loop>
decltype(auto) WithStreamClass(ByteStream& stream, Loop&& loop) {
    if (typeid(stream) == typeid(MemoryStream)) return loop(static_cast<MemoryStream&>(stream));
    if (typeid(stream) == typeid(FileStream)) return loop(static_cast<FileStream&>(stream));
    return loop(stream);
}
