// Every platform call that can fail is made to fail, one at a time, in a decode of each format by
// path, by path at an offset and from memory. Whatever fails, the export must give back all it made,
// touch the host's variables only on success, and hand over either the exact picture or, when a
// file read failed (which the decoders take as the data ending there), a fully written one.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plugin/Exports.h"
#include "plugin/ResultCode.h"
#include "platform/PlatformSeams.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TempFile.h"

namespace {

enum class Source { Path, PathAtOffset, Memory };

constexpr std::int32_t kOffset = 7;
HLOCAL const kUnset = reinterpret_cast<HLOCAL>(static_cast<std::uintptr_t>(0x5EED0002));

struct Picture {
    const char* name;
    Bytes file;
};

Bytes Kmlz(std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t colours) {
    BitmapInfoHeader h = MakeHeader(width, height, bits);
    h.biClrUsed = colours;
    const std::size_t table = bits == 8 ? 4 * (colours != 0 ? colours : 256) : 0;
    return KmlzOf(BitmapFile(h, PatternBytes(table, 5), PatternBytes(StrideOf(width, bits) * height, bits)));
}

std::vector<Picture> Pictures() {
    return {
        {"GP 5x3", GpFile(MakeHeader(5, 3, 24),
                          Concat({Bytes{0x03, 1, 2, 3}, GpLiteralPackets(PatternBytes(StrideOf(5, 24) * 3 - 6, 1))}))},
        {"KMLZ 24-bit 3x2", Kmlz(3, 2, 24, 0)},
        {"KMLZ 16-bit 5x2", Kmlz(5, 2, 16, 8)},
        {"KMLZ 8-bit 6x2, 3 colours", Kmlz(6, 2, 8, 3)},
    };
}

struct Outcome {
    int result = -99;
    HLOCAL info = kUnset;
    HLOCAL pixels = kUnset;
    Bytes infoBytes, pixelBytes;
};

// One GetPicture under the seams as they are set; the blocks are copied and freed.
Outcome Decode(const Bytes& file, Source source, const std::string& path) {
    Outcome out;
    if (source == Source::Memory) {
        out.result = GetPicture(reinterpret_cast<LPCSTR>(file.data()), static_cast<std::int32_t>(file.size()), 1,
                                &out.info, &out.pixels, nullptr, 0);
    } else {
        out.result = GetPicture(path.c_str(), source == Source::PathAtOffset ? kOffset : 0, 0, &out.info,
                                &out.pixels, nullptr, 0);
    }
    if (out.result == ResultSuccess) {
        const auto* i = static_cast<const std::uint8_t*>(out.info);
        const auto* p = static_cast<const std::uint8_t*>(out.pixels);
        out.infoBytes.assign(i, i + LocalSize(out.info));
        out.pixelBytes.assign(p, p + LocalSize(out.pixels));
        EXPECT_EQ(LocalFree(out.info), nullptr);
        EXPECT_EQ(LocalFree(out.pixels), nullptr);
    }
    return out;
}

class FailureSweep : public testing::TestWithParam<Source> {};

TEST_P(FailureSweep, GetPictureSurvivesEveryFailedCall) {
    const Source source = GetParam();
    for (const Picture& picture : Pictures()) {
        SCOPED_TRACE(picture.name);
        const TempFile file(source == Source::PathAtOffset ? Concat({PatternBytes(kOffset, 9), picture.file})
                                                           : picture.file);
        seams::Reset();
        const Outcome expected = Decode(picture.file, source, file.Path());
        ASSERT_EQ(expected.result, ResultSuccess);
        const long calls = seams::FallibleCalls();
        ASSERT_GT(calls, 2);

        for (long k = 1; k <= calls; ++k) {
            SCOPED_TRACE("fallible call " + std::to_string(k) + " of " + std::to_string(calls));
            const long blocks = seams::LiveLocalBlocks(), objects = seams::LiveObjects(),
                       handles = seams::OpenHandles();
            // Twice, into blocks prefilled differently: a byte not written would differ.
            Outcome run[2];
            bool readFailed = false;
            for (int fill = 0; fill < 2; ++fill) {
                seams::Reset();
                seams::SetLocalAllocFill(fill == 0 ? 0x00 : 0xFF);
                seams::FailNthFallible(k);
                run[fill] = Decode(picture.file, source, file.Path());
                readFailed = seams::Failures(seams::Call::ReadFile) == 1;
                EXPECT_EQ(seams::LiveLocalBlocks(), blocks);
                EXPECT_EQ(seams::LiveObjects(), objects);
                EXPECT_EQ(seams::OpenHandles(), handles);
            }
            const Outcome& got = run[0];
            EXPECT_EQ(got.result, run[1].result);
            if (got.result != ResultSuccess) {
                EXPECT_TRUE(got.result == ResultInputError || got.result == ResultUnsupported) << got.result;
                EXPECT_EQ(got.info, kUnset);
                EXPECT_EQ(got.pixels, kUnset);
                continue;
            }
            EXPECT_EQ(got.infoBytes, run[1].infoBytes);
            EXPECT_EQ(got.pixelBytes, run[1].pixelBytes);
            if (readFailed) {
                // The data ended early: same header and block sizes, the rest as far as it came.
                ASSERT_EQ(got.infoBytes.size(), expected.infoBytes.size());
                EXPECT_TRUE(std::equal(got.infoBytes.begin(), got.infoBytes.begin() + 40, expected.infoBytes.begin()));
                EXPECT_EQ(got.pixelBytes.size(), expected.pixelBytes.size());
            } else {
                EXPECT_EQ(got.infoBytes, expected.infoBytes);
                EXPECT_EQ(got.pixelBytes, expected.pixelBytes);
            }
        }
    }
}

TEST_P(FailureSweep, GetPictureInfoSurvivesEveryFailedCall) {
    const Source source = GetParam();
    for (const Picture& picture : Pictures()) {
        SCOPED_TRACE(picture.name);
        const TempFile file(source == Source::PathAtOffset ? Concat({PatternBytes(kOffset, 9), picture.file})
                                                           : picture.file);
        auto describe = [&](PictureInfo* info) {
            return source == Source::Memory
                       ? GetPictureInfo(reinterpret_cast<LPCSTR>(picture.file.data()),
                                        static_cast<std::int32_t>(picture.file.size()), 1, info)
                       : GetPictureInfo(file.Path().c_str(), source == Source::PathAtOffset ? kOffset : 0, 0, info);
        };
        seams::Reset();
        PictureInfo expected;
        ASSERT_EQ(describe(&expected), ResultSuccess);
        const long calls = seams::FallibleCalls();
        for (long k = 1; k <= calls; ++k) {
            SCOPED_TRACE("fallible call " + std::to_string(k) + " of " + std::to_string(calls));
            const long objects = seams::LiveObjects(), handles = seams::OpenHandles();
            seams::Reset();
            seams::FailNthFallible(k);
            PictureInfo info;
            std::memset(&info, 0x3C, sizeof info);
            const PictureInfo unset = info;
            const int result = describe(&info);
            EXPECT_EQ(seams::LiveObjects(), objects);
            EXPECT_EQ(seams::OpenHandles(), handles);
            EXPECT_EQ(seams::Calls(seams::Call::LocalAlloc), 0);
            if (result == ResultSuccess) {
                EXPECT_EQ(std::memcmp(&info, &expected, sizeof info), 0);
            } else {
                EXPECT_TRUE(result == ResultInputError || result == ResultUnsupported) << result;
                EXPECT_EQ(std::memcmp(&info, &unset, sizeof info), 0);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sources, FailureSweep,
                         testing::Values(Source::Path, Source::PathAtOffset, Source::Memory),
                         [](const testing::TestParamInfo<Source>& p) {
                             return p.param == Source::Path           ? std::string("Path")
                                    : p.param == Source::PathAtOffset ? std::string("PathAtOffset")
                                                                      : std::string("Memory");
                         });

}  // namespace
