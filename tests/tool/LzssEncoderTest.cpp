// The LZSS encoder against the plug-in's own reader, on data shaped to reach the window's corners:
// the initial zeros, overlapping copies, and distances at the edge of the 4096-byte window.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "decoders/LzssReader.h"
#include "stream/StreamFactories.h"
#include "tools/encoders/LzssEncoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Decompress(const Bytes& compressed, std::size_t size) {
    ByteStream* stream = WrapMemory(compressed.data(), static_cast<std::int32_t>(compressed.size()));
    Bytes out(size + 1);
    LzssReader reader(*stream, static_cast<std::int32_t>(size) + 1);
    out.resize(static_cast<std::size_t>(reader.Read(out.data(), static_cast<std::int32_t>(out.size()))));
    stream->Release();
    return out;
}

Bytes Noise(std::size_t count, std::uint32_t seed) {
    Bytes out(count);
    for (auto& b : out) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(seed >> 16);
    }
    return out;
}

// A block of noise, then the same block again `distance` bytes after its start.
Bytes RepeatAt(std::size_t distance, std::size_t length) {
    Bytes out = Noise(distance, 11);
    const Bytes head(out.begin(), out.begin() + static_cast<long>(length));
    out.insert(out.end(), head.begin(), head.end());
    return out;
}

struct DataCase {
    const char* name;
    std::function<Bytes()> make;
};

class LzssRoundTrip : public ::testing::TestWithParam<DataCase> {};

TEST_P(LzssRoundTrip, ReaderGetsTheDataBack) {
    const Bytes data = GetParam().make();
    EXPECT_EQ(Decompress(CompressLzss(data), data.size()), data);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, LzssRoundTrip,
    ::testing::Values(DataCase{"Empty", [] { return Bytes{}; }}, DataCase{"OneByte", [] { return Bytes{7}; }},
                      DataCase{"TwoZeros", [] { return Bytes{0, 0}; }},
                      DataCase{"Zeros", [] { return Bytes(10000, 0); }},
                      DataCase{"OneByteRepeated", [] { return Bytes(5000, 0xAB); }},
                      DataCase{"PeriodTwo",
                               [] {
                                   Bytes b;
                                   for (int i = 0; i < 3000; ++i) b.push_back(i % 2 ? 0x10 : 0xEF);
                                   return b;
                               }},
                      DataCase{"Noise", [] { return Noise(20000, 5); }},
                      DataCase{"RepeatAt4095", [] { return RepeatAt(4095, 600); }},
                      DataCase{"RepeatAt4096", [] { return RepeatAt(4096, 600); }},
                      DataCase{"RepeatAt4097", [] { return RepeatAt(4097, 600); }},
                      DataCase{"ZerosAfterNoise",
                               [] {
                                   Bytes b = Noise(5000, 9);
                                   b.insert(b.end(), 300, 0);
                                   return b;
                               }}),
    [](const ::testing::TestParamInfo<DataCase>& info) { return std::string(info.param.name); });

TEST(LzssEncoder, LeadingZerosReferToTheZeroWindow) {
    const Bytes compressed = CompressLzss(Bytes(18, 0));
    // One reference of 18 bytes into the initial zeros and nothing else.
    ASSERT_EQ(compressed.size(), 3u);
    EXPECT_EQ(compressed[0] & 1, 0);
    EXPECT_EQ(compressed[2] & 0x0F, 15);
}

TEST(LzssEncoder, OverlappingCopiesCodeLongRuns) {
    // A literal, then references that copy from one byte back: about 2 bytes per 18 of input.
    const Bytes data(18000, 0x41);
    const Bytes compressed = CompressLzss(data);
    EXPECT_LT(compressed.size(), data.size() / 8);
    EXPECT_EQ(Decompress(compressed, data.size()), data);
}

TEST(LzssEncoder, FindsARepeatAcrossTheWholeWindow) {
    // 4000 noise bytes repeated 4096 bytes later: the second copy is all references.
    const Bytes data = RepeatAt(4096, 4000);
    const Bytes compressed = CompressLzss(data);
    EXPECT_LT(compressed.size(), 4096 * 9 / 8 + 4000 / 18 * 2 + 4000 / 8 + 64);
    EXPECT_EQ(Decompress(compressed, data.size()), data);
}

// What the tails cost when coded after the body: the compressed size of body + tails less that of body.
std::size_t CostOfTails(const Bytes& body, const Bytes& tails) {
    Bytes whole = body;
    whole.insert(whole.end(), tails.begin(), tails.end());
    EXPECT_EQ(Decompress(CompressLzss(whole), whole.size()), whole);
    return CompressLzss(whole).size() - CompressLzss(body).size();
}

Bytes Slice(const Bytes& b, std::size_t at, std::size_t count) {
    return Bytes(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + count));
}

TEST(LzssEncoder, TakesTheLongestMatchNotTheNearest) {
    // Four 18-byte blocks seen whole long ago and by their first 3 bytes just before each repeat:
    // each repeat is one reference (17 bits), where the nearest candidate would need two.
    const Bytes noise = Noise(2000, 3);
    Bytes body = noise, tails;
    for (int i = 0; i < 4; ++i) {
        const Bytes block = Slice(noise, 100 + 200 * i, 18);
        body.insert(body.end(), block.begin(), block.begin() + 3);
        const Bytes gap = Noise(40, 50 + i);
        body.insert(body.end(), gap.begin(), gap.end());
    }
    for (int i = 0; i < 4; ++i) {
        const Bytes block = Slice(noise, 100 + 200 * i, 18);
        tails.insert(tails.end(), block.begin(), block.end());
    }
    EXPECT_LE(CostOfTails(body, tails), 10u);
}

TEST(LzssEncoder, DefersAShortMatchForALongerOneAtTheNextByte) {
    // Each tail is a byte c and an 18-byte block; c with the block's first two bytes was seen on its
    // own. Greedy coding takes that 3-byte match and then a 16-byte one (34 bits); lazy coding codes c
    // as a literal and the block as one reference (26 bits).
    const Bytes noise = Noise(3000, 8);
    Bytes body = noise, tails;
    for (int i = 0; i < 4; ++i) {
        const Bytes block = Slice(noise, 100 + 300 * i, 18);
        const std::uint8_t c = static_cast<std::uint8_t>(0x80 + i);
        body.insert(body.end(), {c, block[0], block[1]});
        const Bytes gap = Noise(40, 60 + i);
        body.insert(body.end(), gap.begin(), gap.end());
        tails.push_back(c);
        tails.insert(tails.end(), block.begin(), block.end());
    }
    EXPECT_LE(CostOfTails(body, tails), 14u);
}

TEST(LzssEncoder, NoiseGrowsByTheFlagBytesAtMost) {
    const Bytes data = Noise(8000, 21);
    EXPECT_LE(CompressLzss(data).size(), data.size() + (data.size() + 7) / 8);
}

}  // namespace
