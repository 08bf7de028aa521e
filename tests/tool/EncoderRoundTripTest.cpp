// Every packed picture decodes through the plug-in to exactly the header, colour table and rows
// that went in (bottom-up, as the plug-in hands pictures over).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "tests/tool/PluginDecode.h"
#include "tests/tool/TestPictures.h"
#include "tools/encoders/GpEncoder.h"
#include "tools/encoders/KmlzEncoder.h"

namespace {

struct Size {
    std::int32_t width;
    std::int32_t height;
};

void ExpectDecodesTo(const Bytes& packed, const Bitmap& stored) {
    const Decoded decoded = DecodeThroughPlugin(packed);
    ASSERT_EQ(decoded.result, 0);
    const Bitmap expected = AsHandedOver(stored);
    ASSERT_EQ(std::memcmp(&decoded.header, &expected.header, sizeof expected.header), 0) << "header differs";
    ASSERT_GE(decoded.infoBlock.size(), sizeof expected.header + expected.colours.size());
    EXPECT_TRUE(std::equal(expected.colours.begin(), expected.colours.end(),
                           decoded.infoBlock.begin() + sizeof expected.header))
        << "colour table differs";
    ASSERT_GE(decoded.pixelBlock.size(), expected.rows.size());
    EXPECT_TRUE(std::equal(expected.rows.begin(), expected.rows.end(), decoded.pixelBlock.begin()))
        << "pixel rows differ";
}

using RoundTripCase = std::tuple<std::uint16_t, Size, Content>;

class EncoderRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(EncoderRoundTrip, KmlzAndGpDecodeToTheInput) {
    const auto [bits, size, content] = GetParam();
    const Bitmap bitmap = MakeBitmap(size.width, size.height, bits, content, size.width * 31u + bits);
    ExpectDecodesTo(EncodeKmlz(bitmap), bitmap);
    if (bits == 24) ExpectDecodesTo(EncodeGp(bitmap), bitmap);
}

// Odd widths make rows whose padding and 3-byte units straddle row ends; negative heights are
// top-down; 333 x 50 x 3 bytes runs the LZSS window round several times.
INSTANTIATE_TEST_SUITE_P(
    Sizes, EncoderRoundTrip,
    ::testing::Combine(::testing::Values<std::uint16_t>(8, 16, 24),
                       ::testing::Values(Size{1, 1}, Size{2, 3}, Size{5, -4}, Size{13, 7}, Size{64, 33},
                                         Size{129, -20}, Size{333, 50}),
                       ::testing::Values(Content::Random, Content::Gradient, Content::Flat, Content::Stripes)),
    [](const ::testing::TestParamInfo<RoundTripCase>& info) {
        const Size size = std::get<1>(info.param);
        return std::to_string(std::get<0>(info.param)) + "bit_" + std::to_string(size.width) + "x" +
               (size.height < 0 ? "m" + std::to_string(-size.height) : std::to_string(size.height)) + "_" +
               ContentName(std::get<2>(info.param));
    });

class PaletteRoundTrip : public ::testing::TestWithParam<int> {};

// biClrUsed from 1 to 256 entries (256 written as 0): the table ends where the rows begin.
TEST_P(PaletteRoundTrip, ColourTableOfEverySizeSurvives) {
    const Bitmap bitmap = MakeBitmap(37, -11, 8, Content::Random, 7, GetParam());
    ExpectDecodesTo(EncodeKmlz(bitmap), bitmap);
}

INSTANTIATE_TEST_SUITE_P(Entries, PaletteRoundTrip, ::testing::Values(1, 2, 16, 255, 256));

TEST(EncoderRoundTrip, LargePictureWithLongRuns) {
    // Over 128 equal units in a row and far more than one window of data.
    const Bitmap bitmap = MakeBitmap(700, 90, 24, Content::Flat, 3);
    const Bytes gp = EncodeGp(bitmap);
    const Bytes kmlz = EncodeKmlz(bitmap);
    ExpectDecodesTo(gp, bitmap);
    ExpectDecodesTo(kmlz, bitmap);
    // One colour: GP packs 128 units in 4 bytes; LZSS at best 18 bytes in 17 bits.
    EXPECT_LT(gp.size(), bitmap.rows.size() / 50);
    EXPECT_LT(kmlz.size(), bitmap.rows.size() / 8);
}

}  // namespace
