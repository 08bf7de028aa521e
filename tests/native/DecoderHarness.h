// Drives one decoder directly over a memory stream, as the exports would, and keeps what it hands
// over. The stream's position afterwards tells how much the decoder read.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/PlatformSeams.h"
#include "plugin/PictureDecoder.h"
#include "plugin/ResultCode.h"
#include "stream/StreamFactories.h"
#include "tests/support/Fixtures.h"

struct DecodeOutcome {
    std::int32_t result = -99;
    Bytes info;
    Bytes pixels;
    std::int32_t consumed = -1;  // bytes of the data read by the operation
};

inline DecodeOutcome RunGetPicture(PictureDecoder& decoder, const Bytes& data) {
    DecodeOutcome out;
    ByteStream* stream = WrapMemory(data.data(), static_cast<std::int32_t>(data.size()));
    HLOCAL const unset = reinterpret_cast<HLOCAL>(0x1234);
    HLOCAL pixels = unset, info = unset;
    out.result = decoder.GetPicture(stream, &pixels, &info, nullptr, 0);
    out.consumed = stream->Seek(0, ByteStream::FromCurrent);
    stream->Release();
    if (out.result == ResultSuccess) {
        const auto* i = static_cast<const std::uint8_t*>(info);
        const auto* p = static_cast<const std::uint8_t*>(pixels);
        out.info.assign(i, i + LocalSize(info));
        out.pixels.assign(p, p + LocalSize(pixels));
        LocalFree(info);
        LocalFree(pixels);
    } else {
        EXPECT_EQ(pixels, unset);
        EXPECT_EQ(info, unset);
    }
    return out;
}

inline std::int32_t RunGetPictureInfo(PictureDecoder& decoder, const Bytes& data, PictureInfo* info) {
    ByteStream* stream = WrapMemory(data.data(), static_cast<std::int32_t>(data.size()));
    const std::int32_t result = decoder.GetPictureInfo(stream, info);
    stream->Release();
    return result;
}

inline std::int32_t RunIsSupported(PictureDecoder& decoder, const Bytes& data) {
    ByteStream* stream = WrapMemory(data.data(), static_cast<std::int32_t>(data.size()));
    const std::int32_t result = decoder.IsSupported(nullptr, stream);
    stream->Release();
    return result;
}

// Refused by all three operations, with the record untouched and no block allocated.
inline void ExpectRefusedEverywhere(PictureDecoder& decoder, const Bytes& data) {
    seams::Reset();
    EXPECT_EQ(RunIsSupported(decoder, data), 0);
    PictureInfo info;
    std::memset(&info, 0x3C, sizeof info);
    EXPECT_EQ(RunGetPictureInfo(decoder, data, &info), ResultUnsupported);
    EXPECT_EQ(info.width, 0x3C3C3C3C);
    EXPECT_EQ(RunGetPicture(decoder, data).result, ResultUnsupported);
    EXPECT_EQ(seams::Calls(seams::Call::LocalAlloc), 0);
}

// Bytes [from, end) of a block are all zero.
inline bool ZeroFrom(const Bytes& block, std::size_t from) {
    return from <= block.size() &&
           std::all_of(block.begin() + static_cast<long>(from), block.end(), [](std::uint8_t b) { return b == 0; });
}
