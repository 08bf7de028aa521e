// Reading plain bitmap files for packing: what is taken, and every form that is refused and why.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "tests/tool/TestPictures.h"
#include "tools/encoders/BitmapError.h"
#include "tools/encoders/BmpReader.h"
#include "tools/encoders/BmpWriter.h"
#include "tools/encoders/LittleEndian.h"

namespace {

constexpr std::size_t kHeaderAt = 14;

// A valid 8-bit 5 x 3 file with 4 colours, then changed by `edit`.
Bytes EditedFile(const std::function<void(Bytes&)>& edit) {
    Bytes file = BmpFileBytes(MakeBitmap(5, 3, 8, Content::Gradient, 1, 4));
    edit(file);
    return file;
}

void SetField32(Bytes& file, std::size_t offset, std::uint32_t value) { StoreLe32(file.data() + offset, value); }

struct RefusalCase {
    const char* name;
    std::function<void(Bytes&)> edit;
    const char* reason;  // a part of the message
};

class BmpRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(BmpRefusal, SaysWhy) {
    const Bytes file = EditedFile(GetParam().edit);
    try {
        ReadBmp(file);
        FAIL() << "accepted";
    } catch (const BitmapError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, BmpRefusal,
    ::testing::Values(
        RefusalCase{"NoSignature", [](Bytes& f) { f[0] = 'X'; }, "not a BMP file"},
        RefusalCase{"Empty", [](Bytes& f) { f.clear(); }, "not a BMP file"},
        RefusalCase{"HeadersCut", [](Bytes& f) { f.resize(40); }, "headers are incomplete"},
        RefusalCase{"Version5Header", [](Bytes& f) { SetField32(f, kHeaderAt, 124); }, "124-byte version 5"},
        RefusalCase{"CoreHeader", [](Bytes& f) { SetField32(f, kHeaderAt, 12); }, "OS/2"},
        RefusalCase{"TwoPlanes", [](Bytes& f) { f[kHeaderAt + 12] = 2; }, "2 planes"},
        RefusalCase{"Bitfields", [](Bytes& f) { SetField32(f, kHeaderAt + 16, 3); }, "biCompression 3"},
        RefusalCase{"RunLength8", [](Bytes& f) { SetField32(f, kHeaderAt + 16, 1); }, "uncompressed"},
        RefusalCase{"FourBit", [](Bytes& f) { f[kHeaderAt + 14] = 4; }, "4 bits per pixel"},
        RefusalCase{"ThirtyTwoBit", [](Bytes& f) { f[kHeaderAt + 14] = 32; }, "32 bits per pixel"},
        RefusalCase{"WidthZero", [](Bytes& f) { SetField32(f, kHeaderAt + 4, 0); }, "no pixels"},
        RefusalCase{"HeightZero", [](Bytes& f) { SetField32(f, kHeaderAt + 8, 0); }, "no pixels"},
        RefusalCase{"TooManyColours", [](Bytes& f) { SetField32(f, kHeaderAt + 32, 300); }, "300 colours"},
        RefusalCase{"ColourTableCut", [](Bytes& f) { SetField32(f, kHeaderAt + 32, 0); }, "colour table"},
        RefusalCase{"RowsCut", [](Bytes& f) { f.pop_back(); }, "pixel rows"},
        RefusalCase{"OffsetIntoHeaders", [](Bytes& f) { SetField32(f, 10, 54); }, "points into its headers"},
        RefusalCase{"Huge", [](Bytes& f) { SetField32(f, kHeaderAt + 4, 70000); SetField32(f, kHeaderAt + 8, 70000); },
                    "too large"}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

TEST(BmpReader, TakesTheRowsFromThePixelOffset) {
    const Bitmap bitmap = MakeBitmap(7, -3, 8, Content::Random, 4, 16);
    Bytes file = BmpFileBytes(bitmap);
    // A gap of 10 bytes between the colour table and the rows, as some writers leave.
    const std::size_t rowsAt = file.size() - bitmap.rows.size();
    file.insert(file.begin() + static_cast<long>(rowsAt), 10, 0xEE);
    SetField32(file, 10, static_cast<std::uint32_t>(rowsAt + 10));

    const Bitmap read = ReadBmp(file);
    EXPECT_EQ(std::memcmp(&read.header, &bitmap.header, sizeof bitmap.header), 0);
    EXPECT_EQ(read.colours, bitmap.colours);
    EXPECT_EQ(read.rows, bitmap.rows);
}

TEST(BmpReader, DropsTheOptionalColourTableOfA24BitFile) {
    Bitmap bitmap = MakeBitmap(3, 2, 24, Content::Gradient, 2);
    bitmap.header.biClrUsed = 2;
    bitmap.header.biClrImportant = 1;
    bitmap.colours.assign(8, 0x77);  // written between header and rows

    const Bitmap read = ReadBmp(BmpFileBytes(bitmap));
    EXPECT_EQ(read.header.biClrUsed, 0u);
    EXPECT_EQ(read.header.biClrImportant, 0u);
    EXPECT_TRUE(read.colours.empty());
    EXPECT_EQ(read.rows, bitmap.rows);
}

}  // namespace
