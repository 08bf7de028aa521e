// Headers that declare pictures no 32-bit process could hold. The ones whose block would not even
// fit in 31 bits are refused before any block is asked for; the ones that fit but exceed what the
// allocator gives are answered ResultInputError, with nothing left behind.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <csignal>
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

// Ends the whole run when a call is not back within a second: a hang detector, not a timing.
class Watchdog {
public:
    Watchdog() {
        std::signal(SIGALRM, [](int) {
            static const char message[] = "HANG: a call did not come back within a second\n";
            (void)!write(2, message, sizeof message - 1);
            _exit(3);
        });
        alarm(1);
    }
    ~Watchdog() { alarm(0); }
};

// Pictures whose block fits but that their data fills only a sliver of. The work must follow the
// data: a zero-width top-down picture of 2^31 - 1 rows used to take one empty read per row, and
// the others used to clear (or reverse) every byte of a block of up to 256 MiB.
TEST(AbsurdSizes, HugePicturesOverLittleDataCostOnlyTheData) {
    const Bytes data = PatternBytes(48, 6);
    const Case cases[] = {
        {"KMLZ 0 x -(2^31 - 1)", Format::Kmlz, 0, -INT32_MAX, 24},
        {"KMLZ 8-bit 2^27 x 2", Format::Kmlz, 1 << 27, 2, 8},
        {"KMLZ 24-bit 1 x -2^25", Format::Kmlz, 1, -(1 << 25), 24},
        {"GP 2^22 x 16", Format::Gp, 1 << 22, 16, 24},
        {"GP 3 x -2^24", Format::Gp, 3, -(1 << 24), 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BitmapInfoHeader h = MakeHeader(c.width, c.height, c.bits);
        const Bytes file = c.format == Format::Gp
                               ? GpFile(h, GpLiteralPackets(data))
                               : KmlzOf(BitmapFile(h, Bytes(c.bits == 8 ? 1024 : 0, 9), data));
        const std::size_t stride = static_cast<std::size_t>(StrideOf(c.width, c.bits));
        const std::size_t rowBytes = stride * static_cast<std::size_t>(c.height < 0 ? -c.height : c.height);
        seams::Reset();
        seams::SetLocalAllocFill(0xFF);
        HLOCAL infoBlock = nullptr, pixelBlock = nullptr;
        int result;
        {
            const Watchdog watchdog;
            result = Picture(file, &infoBlock, &pixelBlock);
        }
        ASSERT_EQ(result, ResultSuccess);
        ASSERT_EQ(LocalSize(pixelBlock), rowBytes + 768);
        const auto* pixels = static_cast<const std::uint8_t*>(pixelBlock);
        // The data's bytes where the rows begin: the first row, or for a top-down picture the last
        // rows, first stored row last. Every other byte is zero, none left as allocated.
        std::size_t from = 0, to = 0;
        if (stride > 0) {
            const std::size_t dataRows = (data.size() + stride - 1) / stride;
            from = c.height < 0 ? rowBytes - dataRows * stride : 0;
            to = from + dataRows * stride;
            const std::uint8_t* firstStored = c.height < 0 ? pixels + rowBytes - stride : pixels;
            EXPECT_TRUE(std::equal(data.begin(), data.begin() + static_cast<long>(std::min(stride, data.size())),
                                   firstStored));
        }
        for (std::size_t i = 0; i < LocalSize(pixelBlock); i += 4093) {
            if (i < from || i >= to) {
                ASSERT_EQ(pixels[i], 0) << "byte " << i;
            }
        }
        EXPECT_EQ(pixels[LocalSize(pixelBlock) - 1], 0);
        LocalFree(infoBlock);
        LocalFree(pixelBlock);
    }
}

}  // namespace
