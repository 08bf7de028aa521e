#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "decoders/LzBitmapDecoder.h"
#include "tests/native/DecoderHarness.h"

namespace {

class LzBitmapDecoderTest : public testing::Test {
protected:
    void SetUp() override { seams::Reset(); }
    LzBitmapDecoder decoder;
};

struct Picture {
    BitmapInfoHeader header;
    Bytes table;
    Bytes rows;
    Bytes Content() const { return BitmapFile(header, table, rows); }
    // The information block: header, the table that the picture reads, zeros up to 1064 bytes.
    Bytes Info(std::size_t tableRead) const {
        return Concat({HeaderBytes(header), Bytes(table.begin(), table.begin() + static_cast<long>(tableRead)),
                       Bytes(1024 - tableRead, 0)});
    }
};

Picture MakePicture(std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t clrUsed,
                    std::size_t tableEntries) {
    Picture p{MakeHeader(width, height, bits), PatternBytes(4 * tableEntries, 5),
              PatternBytes(static_cast<std::size_t>(StrideOf(width, bits)) * static_cast<std::size_t>(std::abs(height)), 6)};
    p.header.biClrUsed = clrUsed;
    return p;
}

TEST_F(LzBitmapDecoderTest, DecodesEachDepth) {
    struct Case {
        std::int32_t width, height;
        std::uint16_t bits;
        std::uint32_t clrUsed;
        std::size_t tableEntries;  // what the file holds
        std::size_t tableRead;     // bytes of it that belong to the picture
    } const cases[] = {
        {3, 2, 24, 0, 0, 0},     {7, 5, 24, 0, 0, 0},   {5, 3, 16, 0, 0, 0},
        {5, 3, 16, 8, 0, 0},     // a 16-bit picture has no colour table, whatever biClrUsed says
        {9, 4, 8, 0, 256, 1024}, {1, 1, 8, 16, 16, 64}, {13, 2, 8, 256, 256, 1024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bits << " clrUsed " << c.clrUsed);
        const Picture p = MakePicture(c.width, c.height, c.bits, c.clrUsed, c.tableEntries);
        const DecodeOutcome got = RunGetPicture(decoder, KmlzOf(p.Content()));
        ASSERT_EQ(got.result, ResultSuccess);
        EXPECT_EQ(got.info, p.Info(c.tableRead));
        ASSERT_EQ(got.pixels.size(), p.rows.size() + 768);
        EXPECT_TRUE(std::equal(p.rows.begin(), p.rows.end(), got.pixels.begin()));
        EXPECT_TRUE(ZeroFrom(got.pixels, p.rows.size()));

        PictureInfo info;
        ASSERT_EQ(RunGetPictureInfo(decoder, KmlzOf(p.Content()), &info), ResultSuccess);
        const PictureInfo expected{0, 0, c.width, c.height, 0, 0, static_cast<std::int16_t>(c.bits), 0};
        EXPECT_EQ(std::memcmp(&info, &expected, sizeof info), 0);
    }
}

TEST_F(LzBitmapDecoderTest, TheFileHeaderIsIgnored) {
    const Picture p = MakePicture(4, 3, 24, 0, 0);
    Bytes content = p.Content();
    const Bytes plain = RunGetPicture(decoder, KmlzOf(content)).pixels;
    for (int i = 0; i < 14; ++i) content[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(0xA0 + i);  // bfOffBits too
    const DecodeOutcome got = RunGetPicture(decoder, KmlzOf(content));
    ASSERT_EQ(got.result, ResultSuccess);
    EXPECT_EQ(got.pixels, plain);
}

TEST_F(LzBitmapDecoderTest, ShortDataLeavesZeros) {
    const Picture p = MakePicture(6, 4, 24, 0, 0);
    const Bytes content = p.Content();
    const std::size_t kept = 54 + 30;
    // Cut by the end of the compressed data, and by a declared size that is too small.
    const Bytes cut(content.begin(), content.begin() + static_cast<long>(kept));
    for (const Bytes& file : {KmlzOf(cut), KmlzFile(static_cast<std::int32_t>(kept), LiteralLzss(content))}) {
        const DecodeOutcome got = RunGetPicture(decoder, file);
        ASSERT_EQ(got.result, ResultSuccess);
        EXPECT_TRUE(std::equal(p.rows.begin(), p.rows.begin() + 30, got.pixels.begin()));
        EXPECT_TRUE(ZeroFrom(got.pixels, 30));
    }
    // An 8-bit picture whose colour table is cut short.
    const Picture q = MakePicture(2, 2, 8, 0, 256);
    const Bytes qc = q.Content();
    const DecodeOutcome got = RunGetPicture(decoder, KmlzOf(Bytes(qc.begin(), qc.begin() + 54 + 100)));
    ASSERT_EQ(got.result, ResultSuccess);
    EXPECT_EQ(got.info, q.Info(100));
    EXPECT_TRUE(ZeroFrom(got.pixels, 0));
}

TEST_F(LzBitmapDecoderTest, EmptyPictures) {
    for (const auto& [w, h] : {std::pair{0, 5}, {5, 0}, {0, 0}}) {
        const Picture p = MakePicture(w, h, 24, 0, 0);
        const Bytes file = KmlzOf(Concat({p.Content(), PatternBytes(20, 1)}));
        const DecodeOutcome got = RunGetPicture(decoder, file);
        ASSERT_EQ(got.result, ResultSuccess);
        EXPECT_EQ(got.pixels, Bytes(768, 0));
        EXPECT_EQ(got.consumed, 33 + 7 + 54) << "no pixel byte is read";
    }
}

TEST_F(LzBitmapDecoderTest, TopDownRowsAreHandedOverBottomUp) {
    const std::int32_t stride = StrideOf(3, 24);
    const Bytes stored = PatternBytes(static_cast<std::size_t>(3 * stride), 8);
    Bytes bottomUp;
    for (int r = 2; r >= 0; --r) bottomUp.insert(bottomUp.end(), stored.begin() + r * stride, stored.begin() + (r + 1) * stride);
    const Bytes content = BitmapFile(MakeHeader(3, -3, 24), {}, stored);
    const DecodeOutcome got = RunGetPicture(decoder, KmlzOf(content));
    ASSERT_EQ(got.result, ResultSuccess);
    EXPECT_EQ(Bytes(got.info.begin(), got.info.begin() + 40), HeaderBytes(MakeHeader(3, 3, 24)));
    EXPECT_TRUE(std::equal(bottomUp.begin(), bottomUp.end(), got.pixels.begin()));

    // Only the first stored row arrives: it is the top row, the last one handed over.
    const DecodeOutcome cut = RunGetPicture(decoder, KmlzOf(Bytes(content.begin(), content.begin() + 54 + stride)));
    ASSERT_EQ(cut.result, ResultSuccess);
    EXPECT_EQ(Bytes(cut.pixels.begin(), cut.pixels.begin() + 2 * stride), Bytes(static_cast<std::size_t>(2 * stride), 0));
    EXPECT_TRUE(std::equal(stored.begin(), stored.begin() + stride, cut.pixels.begin() + 2 * stride));
    EXPECT_TRUE(ZeroFrom(cut.pixels, static_cast<std::size_t>(3 * stride)));
}

TEST_F(LzBitmapDecoderTest, RefusesWhatIsNotThisFormat) {
    auto with = [](void (*change)(BitmapInfoHeader&)) {
        BitmapInfoHeader h = MakeHeader(4, 4, 8);
        change(h);
        return KmlzOf(BitmapFile(h, PatternBytes(1024, 1), PatternBytes(64, 2)));
    };
    const Bytes good = with([](BitmapInfoHeader&) {});
    Bytes badMagic = good;
    badMagic[3] = 'z';
    const Bytes cases[] = {
        {},
        {'K', 'M', 'L', 'Z'},
        Bytes(good.begin(), good.begin() + 33),
        Bytes(good.begin(), good.begin() + 33 + 60),  // fewer compressed bytes than the headers need
        badMagic,
        KmlzFile(53, LiteralLzss(Bytes(good.begin() + 33, good.end()))),
        KmlzFile(INT32_MIN, Bytes(good.begin() + 33, good.end())),
        with([](BitmapInfoHeader& h) { h.biSize = 108; }),
        with([](BitmapInfoHeader& h) { h.biSize = 124; }),
        with([](BitmapInfoHeader& h) { h.biPlanes = 0; }),
        with([](BitmapInfoHeader& h) { h.biBitCount = 1; }),
        with([](BitmapInfoHeader& h) { h.biBitCount = 4; }),
        with([](BitmapInfoHeader& h) { h.biBitCount = 32; }),
        with([](BitmapInfoHeader& h) { h.biCompression = 1; }),
        with([](BitmapInfoHeader& h) { h.biCompression = 3; }),
        // More colours than the information block holds.
        with([](BitmapInfoHeader& h) { h.biClrUsed = 257; }),
        with([](BitmapInfoHeader& h) { h.biWidth = -4; }),
        with([](BitmapInfoHeader& h) { h.biWidth = INT_MAX / 8; }),
        with([](BitmapInfoHeader& h) { h.biWidth = 60000, h.biHeight = 60000; }),
        with([](BitmapInfoHeader& h) { h.biHeight = INT_MIN; }),
    };
    for (const Bytes& data : cases) {
        SCOPED_TRACE(testing::Message() << "case of " << data.size() << " bytes");
        ExpectRefusedEverywhere(decoder, data);
    }
    // biClrUsed means nothing to a 24-bit picture.
    BitmapInfoHeader many = MakeHeader(2, 2, 24);
    many.biClrUsed = 1000;
    EXPECT_EQ(RunIsSupported(decoder, KmlzOf(BitmapFile(many, {}, Bytes(16, 1)))), 1);
}

TEST_F(LzBitmapDecoderTest, AllocationFailuresAreReportedAndFreed) {
    const Bytes file = KmlzOf(MakePicture(8, 8, 8, 0, 256).Content());
    struct Case {
        seams::Call call;
        long nth;  // the stream made by the harness is the first object
    } const cases[] = {{seams::Call::ObjectAlloc, 2}, {seams::Call::LocalAlloc, 1}, {seams::Call::LocalAlloc, 2}};
    for (const Case& c : cases) {
        seams::Reset();
        const long objects = seams::LiveObjects(), blocks = seams::LiveLocalBlocks();
        seams::FailNth(c.call, c.nth);
        EXPECT_EQ(RunGetPicture(decoder, file).result, ResultInputError);
        EXPECT_EQ(seams::LiveObjects(), objects);
        EXPECT_EQ(seams::LiveLocalBlocks(), blocks);
    }
    seams::Reset();
    seams::FailNth(seams::Call::ObjectAlloc, 2);
    PictureInfo info;
    EXPECT_EQ(RunGetPictureInfo(decoder, file, &info), ResultInputError);
    seams::FailNth(seams::Call::ObjectAlloc, 2);
    EXPECT_EQ(RunIsSupported(decoder, file), 0);
}

}  // namespace
