#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "decoders/RunLengthDecoder.h"
#include "tests/native/DecoderHarness.h"

namespace {

class RunLengthDecoderTest : public testing::Test {
protected:
    void SetUp() override { seams::Reset(); }
    RunLengthDecoder decoder;
};

Bytes Repeat(const Bytes& unit, int times) {
    Bytes out;
    for (int i = 0; i < times; ++i) out.insert(out.end(), unit.begin(), unit.end());
    return out;
}

TEST_F(RunLengthDecoderTest, ExpandsPackets) {
    struct Case {
        const char* name;
        std::int32_t width, height;
        Bytes packets;
        Bytes expected;         // the start of the pixel block; every byte after it is zero
        std::int32_t consumed;  // packet bytes read
    } const cases[] = {
        {"one run covers 4 x 2", 4, 2, {0x0F, 1, 2, 3}, Repeat({1, 2, 3}, 8), 4},
        {"a literal crosses the row ends", 1, 2,
         {0x04, 0x10, 0x11, 0x12, 0x20, 0x21, 0x22, 0x30, 0x31, 0x32, 0xAA, 0xBB},
         {0x10, 0x11, 0x12, 0x20, 0x21, 0x22, 0x30, 0x31, 0x32}, 10},
        {"short data leaves the padding zero", 1, 1, {0x00, 9, 8, 7}, {9, 8, 7, 0}, 4},
        {"the last run overhangs into the spare bytes", 1, 1, {0x00, 9, 8, 7, 0xFF, 1, 2, 3},
         Concat({{9, 8, 7}, Repeat({1, 2, 3}, 128)}), 8},
        {"a literal cut short", 4, 40, Concat({{0xFE, 1, 2, 3}, PatternBytes(10, 1)}),
         Concat({{1, 2, 3}, PatternBytes(10, 1)}), 14},
        {"a short head ends decoding", 2, 1, {0x00, 5, 6, 7, 0x01, 8}, {5, 6, 7}, 6},
        {"bytes after a complete picture are not read", 1, 1, {0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9},
         {1, 2, 3, 4, 5, 6}, 7},
        {"no packets", 2, 2, {}, {}, 0},
        {"zero width", 0, 5, {0x01, 1, 2, 3}, {}, 0},
        {"zero height", 5, 0, {0x01, 1, 2, 3}, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BitmapInfoHeader header = MakeHeader(c.width, c.height, 24);
        const DecodeOutcome got = RunGetPicture(decoder, GpFile(header, c.packets));
        ASSERT_EQ(got.result, ResultSuccess);
        EXPECT_EQ(got.pixels.size(), static_cast<std::size_t>(StrideOf(c.width, 24) * c.height + 768));
        ASSERT_GE(got.pixels.size(), c.expected.size());
        EXPECT_TRUE(std::equal(c.expected.begin(), c.expected.end(), got.pixels.begin()));
        EXPECT_TRUE(ZeroFrom(got.pixels, c.expected.size())) << "untouched bytes must be zero";
        EXPECT_EQ(got.consumed, 42 + c.consumed);
    }
}

TEST_F(RunLengthDecoderTest, InfoBlockIsTheHeaderAsRead) {
    BitmapInfoHeader header = MakeHeader(3, 2, 24);
    header.biSizeImage = 0xDEADBEEF;
    header.biXPelsPerMeter = -5;
    header.biYPelsPerMeter = 2835;
    const DecodeOutcome got = RunGetPicture(decoder, GpFile(header, {}));
    ASSERT_EQ(got.result, ResultSuccess);
    EXPECT_EQ(got.info, Concat({HeaderBytes(header), Bytes(4, 0)}));

    PictureInfo info;
    ASSERT_EQ(RunGetPictureInfo(decoder, GpFile(header, {}), &info), ResultSuccess);
    const PictureInfo expected{0, 0, 3, 2, 0, 0, 24, 0};
    EXPECT_EQ(std::memcmp(&info, &expected, sizeof info), 0);
}

TEST_F(RunLengthDecoderTest, TopDownRowsAreHandedOverBottomUp) {
    // Width 1: 4-byte rows, so every unit crosses a row end.
    const Bytes stored = {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0};
    const DecodeOutcome got = RunGetPicture(decoder, GpFile(MakeHeader(1, -3, 24), GpLiteralPackets(stored)));
    ASSERT_EQ(got.result, ResultSuccess);
    const Bytes bottomUp = {3, 3, 3, 0, 2, 2, 2, 0, 1, 1, 1, 0};
    EXPECT_TRUE(std::equal(bottomUp.begin(), bottomUp.end(), got.pixels.begin()));
    EXPECT_TRUE(ZeroFrom(got.pixels, bottomUp.size()));
    EXPECT_EQ(got.info, Concat({HeaderBytes(MakeHeader(1, 3, 24)), Bytes(4, 0)}));

    PictureInfo info;
    ASSERT_EQ(RunGetPictureInfo(decoder, GpFile(MakeHeader(1, -3, 24), {}), &info), ResultSuccess);
    EXPECT_EQ(info.height, -3);
}

TEST_F(RunLengthDecoderTest, RefusesWhatIsNotGp) {
    auto with = [](void (*change)(BitmapInfoHeader&)) {
        BitmapInfoHeader h = MakeHeader(4, 4, 24);
        change(h);
        return GpFile(h, {0x01, 1, 2, 3});
    };
    const Bytes cases[] = {
        {},
        {'G'},
        Bytes{'G', 'P', 40, 0, 0},
        Concat({{'G', 'P'}, Bytes(39, 0)}),
        Concat({{'g', 'P'}, HeaderBytes(MakeHeader(4, 4, 24))}),
        with([](BitmapInfoHeader& h) { h.biSize = 108; }),
        with([](BitmapInfoHeader& h) { h.biPlanes = 0; }),
        with([](BitmapInfoHeader& h) { h.biBitCount = 32; }),
        with([](BitmapInfoHeader& h) { h.biCompression = 1; }),
        with([](BitmapInfoHeader& h) { h.biClrUsed = 1; }),
        with([](BitmapInfoHeader& h) { h.biClrImportant = 1; }),
        // Sizes that describe no picture a block could hold.
        with([](BitmapInfoHeader& h) { h.biWidth = -1; }),
        with([](BitmapInfoHeader& h) { h.biWidth = INT_MAX / 24 + 1; }),
        with([](BitmapInfoHeader& h) { h.biWidth = 60000, h.biHeight = 60000; }),
        with([](BitmapInfoHeader& h) { h.biWidth = 1, h.biHeight = INT_MIN; }),
        with([](BitmapInfoHeader& h) { h.biWidth = 4, h.biHeight = -(INT_MAX / 12); }),
    };
    for (const Bytes& data : cases) {
        SCOPED_TRACE(testing::Message() << "case of " << data.size() << " bytes");
        ExpectRefusedEverywhere(decoder, data);
    }
}

TEST_F(RunLengthDecoderTest, BlocksThatCannotBeAllocatedAreReportedAndFreed) {
    const Bytes data = GpFile(MakeHeader(8, 8, 24), {0x7F, 1, 2, 3});
    for (long nth : {1, 2}) {
        seams::Reset();
        const long blocks = seams::LiveLocalBlocks();
        seams::FailNth(seams::Call::LocalAlloc, nth);
        EXPECT_EQ(RunGetPicture(decoder, data).result, ResultInputError) << nth;
        EXPECT_EQ(seams::LiveLocalBlocks(), blocks);
    }
}

}  // namespace
