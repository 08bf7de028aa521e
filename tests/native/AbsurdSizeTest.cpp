// Headers that declare pictures no 32-bit process could hold. The ones whose block would not even
// fit in 31 bits are refused before any block is asked for; the ones that fit but exceed what the
// allocator gives are answered ResultInputError, with nothing left behind.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "plugin/Exports.h"
#include "plugin/ResultCode.h"
#include "platform/PlatformSeams.h"
#include "tests/support/Fixtures.h"

namespace {

enum class Format { Gp, Kmlz };

Bytes FileDeclaring(Format format, std::int32_t width, std::int32_t height, std::uint16_t bits) {
    const BitmapInfoHeader h = MakeHeader(width, height, bits);
    // A little pixel data, so that a decoder that went ahead would have something to write.
    const Bytes some = PatternBytes(96, 4);
    if (format == Format::Gp) return GpFile(h, GpLiteralPackets(some));
    return KmlzFile(INT32_MAX, LiteralLzss(BitmapFile(h, PatternBytes(bits == 8 ? 1024 : 0, 3), some)));
}

struct Case {
    const char* name;
    Format format;
    std::int32_t width, height;
    std::uint16_t bits;
};

int Picture(const Bytes& file, HLOCAL* info, HLOCAL* pixels) {
    return GetPicture(reinterpret_cast<LPCSTR>(file.data()), static_cast<std::int32_t>(file.size()), 1, info, pixels,
                      nullptr, 0);
}

TEST(AbsurdSizes, BlocksBeyond31BitsAreNeverAskedFor) {
    const Case cases[] = {
        {"GP 60000 x 60000", Format::Gp, 60000, 60000, 24},
        {"KMLZ 60000 x 60000 x 24", Format::Kmlz, 60000, 60000, 24},
        {"KMLZ 60000 x -60000 (top-down) x 24", Format::Kmlz, 60000, -60000, 24},
        {"KMLZ stride x height is 2^32, which wraps to 0", Format::Kmlz, 65536, 65536, 8},
        {"KMLZ width x bits is 2^34, which wraps to 0", Format::Kmlz, 0x40000000, 1, 16},
        {"GP width x 24 + 31 overflows", Format::Gp, INT32_MAX, 1, 24},
        {"GP just past 2^31 bytes", Format::Gp, 46341, 15447, 24},
        {"KMLZ 8-bit just past 2^31 bytes", Format::Kmlz, 46341, 46341, 8},
        {"GP height -2^31 has no magnitude", Format::Gp, 1, INT32_MIN, 24},
        {"KMLZ height -2^31 has no magnitude", Format::Kmlz, 1, INT32_MIN, 16},
        {"GP negative width", Format::Gp, -1, 1, 24},
        {"KMLZ negative width", Format::Kmlz, -100000, 100000, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = FileDeclaring(c.format, c.width, c.height, c.bits);
        const long blocks = seams::LiveLocalBlocks(), objects = seams::LiveObjects();
        seams::Reset();

        EXPECT_EQ(IsSupported(nullptr, reinterpret_cast<ULONG_PTR>(Concat({file, Bytes(2048, 0)}).data())), 0);
        PictureInfo info;
        const int described = GetPictureInfo(reinterpret_cast<LPCSTR>(file.data()),
                                              static_cast<std::int32_t>(file.size()), 1, &info);
        EXPECT_TRUE(described == ResultUnsupported || described == ResultInputError) << described;
        HLOCAL infoBlock = nullptr, pixelBlock = nullptr;
        const int result = Picture(file, &infoBlock, &pixelBlock);
        EXPECT_TRUE(result == ResultUnsupported || result == ResultInputError) << result;
        EXPECT_EQ(infoBlock, nullptr);
        EXPECT_EQ(pixelBlock, nullptr);
        EXPECT_EQ(seams::Calls(seams::Call::LocalAlloc), 0);
        EXPECT_EQ(seams::LiveLocalBlocks(), blocks);
        EXPECT_EQ(seams::LiveObjects(), objects);
    }
}

TEST(AbsurdSizes, BlocksTheAllocatorRefusesAreInputErrors) {
    // Each fits in 31 bits, and none in what a 32-bit process may be given in one piece here.
    const Case cases[] = {
        {"GP 20000 x 20000", Format::Gp, 20000, 20000, 24},
        {"GP top-down 20000 x 20000", Format::Gp, 20000, -20000, 24},
        {"KMLZ 24-bit 30000 x 20000", Format::Kmlz, 30000, 20000, 24},
        {"KMLZ 16-bit 40000 x 20000", Format::Kmlz, 40000, 20000, 16},
        {"KMLZ 8-bit 46340 x 46340", Format::Kmlz, 46340, 46340, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = FileDeclaring(c.format, c.width, c.height, c.bits);
        const long blocks = seams::LiveLocalBlocks(), objects = seams::LiveObjects();
        seams::Reset();
        seams::SetLocalAllocLimit(256u << 20);

        PictureInfo info;
        ASSERT_EQ(GetPictureInfo(reinterpret_cast<LPCSTR>(file.data()), static_cast<std::int32_t>(file.size()), 1, &info),
                  ResultSuccess);
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        HLOCAL const unset = reinterpret_cast<HLOCAL>(static_cast<std::uintptr_t>(0x5EED0003));
        HLOCAL infoBlock = unset, pixelBlock = unset;
        EXPECT_EQ(Picture(file, &infoBlock, &pixelBlock), ResultInputError);
        EXPECT_EQ(infoBlock, unset);
        EXPECT_EQ(pixelBlock, unset);
        // The information block, then the refused pixel block, and no further try.
        EXPECT_EQ(seams::Calls(seams::Call::LocalAlloc), 2);
        EXPECT_EQ(seams::LiveLocalBlocks(), blocks);
        EXPECT_EQ(seams::LiveObjects(), objects);
        seams::Reset();
    }
}

}  // namespace
