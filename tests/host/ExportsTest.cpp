// The five exports as a viewer calls them. On Windows this runs under Wine against orvane01.spi,
// loaded with LoadLibrary and called through stdcall pointers from GetProcAddress.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "plugin/PictureInfo.h"
#include "tests/host/PluginUnderTest.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TempFile.h"

namespace {

constexpr unsigned kFromFile = 0;
constexpr unsigned kFromMemory = 1;

// A picture as the host received it, copied out of the two blocks, which are then freed.
struct Received {
    int result = -99;
    Bytes info;
    Bytes pixels;
};

HLOCAL const kUnset = reinterpret_cast<HLOCAL>(static_cast<LONG_PTR>(-1));

Received Take(int result, HLOCAL info, HLOCAL pixels) {
    Received r;
    r.result = result;
    if (result == 0) {
        const auto* i = static_cast<const std::uint8_t*>(info);
        const auto* p = static_cast<const std::uint8_t*>(pixels);
        r.info.assign(i, i + LocalSize(info));
        r.pixels.assign(p, p + LocalSize(pixels));
        LocalFree(info);
        LocalFree(pixels);
    } else {
        EXPECT_EQ(info, kUnset) << "a failed call must leave the host's variables alone";
        EXPECT_EQ(pixels, kUnset);
    }
    return r;
}

Received FromMemory(const Bytes& data, unsigned flag = kFromMemory) {
    HLOCAL info = kUnset, pixels = kUnset;
    const int result = Plugin().GetPicture(reinterpret_cast<LPCSTR>(data.data()),
                                           static_cast<std::int32_t>(data.size()), flag, &info,
                                           &pixels, nullptr, 0);
    return Take(result, info, pixels);
}

Received FromPath(const std::string& path, std::int32_t offset, unsigned flag = kFromFile) {
    HLOCAL info = kUnset, pixels = kUnset;
    const int result = Plugin().GetPicture(path.c_str(), offset, flag, &info, &pixels, nullptr, 0);
    return Take(result, info, pixels);
}

// What the host must receive for a picture: the info block as given, then the rows followed by
// zero bytes up to the block's length.
void ExpectPicture(const Received& got, const Bytes& info, const Bytes& rows) {
    ASSERT_EQ(got.result, 0);
    EXPECT_EQ(got.info, info);
    ASSERT_EQ(got.pixels.size(), rows.size() + 768);
    EXPECT_TRUE(std::equal(rows.begin(), rows.end(), got.pixels.begin())) << "pixel rows differ";
    EXPECT_TRUE(std::all_of(got.pixels.begin() + static_cast<long>(rows.size()), got.pixels.end(),
                            [](std::uint8_t b) { return b == 0; }))
        << "the spare bytes must be zero";
}

// A GP picture with pattern rows, coded as literal packets, and the blocks it must give.
struct GpCase {
    Bytes file;
    Bytes info;
    Bytes rows;
};

GpCase MakeGp(std::int32_t width, std::int32_t height, std::uint32_t seed) {
    GpCase c;
    const BitmapInfoHeader header = MakeHeader(width, height, 24);
    c.rows = PatternBytes(static_cast<std::size_t>(StrideOf(width, 24) * height), seed);
    c.file = GpFile(header, GpLiteralPackets(c.rows));
    c.info = Concat({HeaderBytes(header), Bytes(4, 0)});
    return c;
}

// A KMLZ picture of the given depth; 8-bit pictures carry a colour table of `colours` entries.
struct KmlzCase {
    Bytes file;
    Bytes info;
    Bytes rows;
    std::int32_t neededForHeaders;  // compressed bytes that the 54 header bytes take
};

KmlzCase MakeKmlz(std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t colours,
                  std::uint32_t seed) {
    KmlzCase c;
    BitmapInfoHeader header = MakeHeader(width, height, bits);
    header.biClrUsed = colours;
    const std::uint32_t entries = bits == 8 ? (colours != 0 ? colours : 256) : 0;
    const Bytes table = PatternBytes(4 * entries, seed + 1);
    c.rows = PatternBytes(static_cast<std::size_t>(StrideOf(width, bits) * std::abs(height)), seed);
    c.file = KmlzOf(BitmapFile(header, table, c.rows));
    c.info = Concat({HeaderBytes(header), table, Bytes(1024 - table.size(), 0)});
    c.neededForHeaders = 33 + 7 + 54;  // seven flag bytes announce the 54 literals
    return c;
}

TEST(GetPluginInfo, AnswersEveryNumber) {
    struct Case {
        int number;
        int length;
        const char* text;
        int result;
    } const cases[] = {
        {0, 100, "00IN", 5},  {2, 100, "*.bmp", 6},           {3, 100, "hogehoge imamge", 16},
        {4, 100, "*.gpc", 6}, {5, 100, "hogehoge imamge", 16}, {2, 3, "*.", 3},
        {0, 5, "00IN", 5},    {0, 4, "00I", 4},                {0, 1, "", 1},
    };
    for (const Case& c : cases) {
        char buffer[128];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(Plugin().GetPluginInfo(c.number, buffer, c.length), c.result) << c.number;
        EXPECT_STREQ(buffer, c.text) << c.number;
        EXPECT_EQ(buffer[c.length], 'x') << "nothing written past the buffer, number " << c.number;
    }
}

TEST(GetPluginInfo, TitleIsOneLineNamingThePlugin) {
    char buffer[256] = {};
    const int n = Plugin().GetPluginInfo(1, buffer, sizeof buffer);
    EXPECT_EQ(n, static_cast<int>(std::strlen(buffer)) + 1);
    EXPECT_EQ(std::string(buffer).rfind("Orvane", 0), 0u) << buffer;
    EXPECT_EQ(std::strpbrk(buffer, "\r\n"), nullptr);
}

TEST(GetPluginInfo, UnknownNumbersAndEmptyBuffersTouchNothing) {
    for (const auto& [number, length] : {std::pair{6, 100}, {-1, 100}, {INT_MIN, 100}, {0, 0}, {1, -5}}) {
        char buffer[8];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(Plugin().GetPluginInfo(number, buffer, length), 0);
        EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(8, 'x'));
    }
}

TEST(GetPreview, IsNotImplemented) {
    HLOCAL info = kUnset, pixels = kUnset;
    const GpCase gp = MakeGp(2, 2, 1);
    EXPECT_EQ(Plugin().GetPreview(reinterpret_cast<LPCSTR>(gp.file.data()),
                                  static_cast<std::int32_t>(gp.file.size()), kFromMemory, &info, &pixels,
                                  nullptr, 0),
              -1);
    EXPECT_EQ(info, kUnset);
    EXPECT_EQ(pixels, kUnset);
}

TEST(GetPicture, InputKindIsTheFlagsLowTwoBits) {
    const GpCase gp = MakeGp(3, 2, 2);
    const TempFile file(gp.file);
    for (unsigned flag : {0u, 4u, 0x80u}) ExpectPicture(FromPath(file.Path(), 0, flag), gp.info, gp.rows);
    for (unsigned flag : {1u, 5u, 0x81u}) ExpectPicture(FromMemory(gp.file, flag), gp.info, gp.rows);
    for (unsigned flag : {2u, 3u, 6u, 7u}) {
        EXPECT_EQ(FromMemory(gp.file, flag).result, 4) << flag;
        PictureInfo info;
        std::memset(&info, 0x5A, sizeof info);
        EXPECT_EQ(Plugin().GetPictureInfo(reinterpret_cast<LPCSTR>(gp.file.data()),
                                          static_cast<std::int32_t>(gp.file.size()), flag, &info),
                  4);
        EXPECT_EQ(info.width, 0x5A5A5A5A);
    }
}

// The same picture from memory, from a file of its own, and from inside a larger file with other
// bytes before and after it.
void ExpectFromEveryInput(const Bytes& file, const Bytes& info, const Bytes& rows) {
    ExpectPicture(FromMemory(file), info, rows);
    const TempFile alone(file);
    ExpectPicture(FromPath(alone.Path(), 0), info, rows);
    const Bytes before = PatternBytes(1000, 9);
    const TempFile inside(Concat({before, file, PatternBytes(300, 10)}));
    ExpectPicture(FromPath(inside.Path(), static_cast<std::int32_t>(before.size())), info, rows);
}

TEST(GetPicture, GpFromEveryInput) {
    const GpCase gp = MakeGp(5, 3, 3);
    ExpectFromEveryInput(gp.file, gp.info, gp.rows);
}

TEST(GetPicture, KmlzFromEveryInput) {
    struct Case {
        std::int32_t width, height;
        std::uint16_t bits;
        std::uint32_t colours;
    } const cases[] = {{3, 2, 24, 0}, {5, 3, 16, 8}, {7, 4, 8, 0}, {9, 2, 8, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, " << c.width << " wide");
        const KmlzCase k = MakeKmlz(c.width, c.height, c.bits, c.colours, 7);
        ExpectFromEveryInput(k.file, k.info, k.rows);
    }
}

TEST(GetPicture, TopDownPicturesArriveBottomUp) {
    const std::int32_t w = 3, h = 4;
    const GpCase up = MakeGp(w, h, 21);
    // The same rows stored top row first, with a negative height.
    const std::int32_t stride = StrideOf(w, 24);
    Bytes flipped;
    for (std::int32_t r = h - 1; r >= 0; --r) {
        flipped.insert(flipped.end(), up.rows.begin() + r * stride, up.rows.begin() + (r + 1) * stride);
    }
    ExpectPicture(FromMemory(GpFile(MakeHeader(w, -h, 24), GpLiteralPackets(flipped))), up.info, up.rows);

    const Bytes kmlzInfo = Concat({HeaderBytes(MakeHeader(w, h, 24)), Bytes(1024, 0)});
    ExpectPicture(FromMemory(KmlzOf(BitmapFile(MakeHeader(w, -h, 24), {}, flipped))), kmlzInfo, up.rows);

    PictureInfo info{};
    const Bytes gp = GpFile(MakeHeader(w, -h, 24), {});
    ASSERT_EQ(Plugin().GetPictureInfo(reinterpret_cast<LPCSTR>(gp.data()), static_cast<std::int32_t>(gp.size()),
                                      kFromMemory, &info),
              0);
    EXPECT_EQ(info.height, -h) << "GetPictureInfo reports the height as stored";
}

TEST(GetPicture, MissingFileAndUnknownDataLeaveTheVariables) {
    EXPECT_EQ(FromPath("no-such-folder/no-such-picture.gpc", 0).result, 4);
    EXPECT_EQ(FromMemory(PatternBytes(500, 4)).result, 2);
    EXPECT_EQ(FromMemory({}).result, 2);
}

TEST(GetPictureInfo, FillsTheRecordAndNothingAfterIt) {
    struct Case {
        Bytes file;
        std::int32_t width, height;
        std::int16_t depth;
    };
    BitmapInfoHeader odd = MakeHeader(7, -5, 24);
    odd.biXPelsPerMeter = 3780;
    odd.biSizeImage = 12345;
    const Case cases[] = {
        {GpFile(odd, {}), 7, -5, 24},
        {MakeKmlz(6, 3, 16, 0, 1).file, 6, 3, 16},
        {MakeKmlz(4, -2, 8, 2, 1).file, 4, -2, 8},
    };
    for (const Case& c : cases) {
        std::uint8_t record[40];
        std::memset(record, 0xCC, sizeof record);
        auto* info = reinterpret_cast<PictureInfo*>(record);
        ASSERT_EQ(Plugin().GetPictureInfo(reinterpret_cast<LPCSTR>(c.file.data()),
                                          static_cast<std::int32_t>(c.file.size()), kFromMemory, info),
                  0);
        const PictureInfo expected{0, 0, c.width, c.height, 0, 0, c.depth, 0};
        EXPECT_EQ(std::memcmp(record, &expected, sizeof expected), 0);
        EXPECT_TRUE(std::all_of(record + 26, record + 40, [](std::uint8_t b) { return b == 0xCC; }));
    }
}

TEST(GetPictureInfo, RefusedDataLeavesTheRecord) {
    const TempFile file(MakeGp(2, 2, 5).file);
    for (const Bytes& data : {PatternBytes(64, 3), Bytes{'G'}, Bytes{'K', 'M', 'L', 'Z'}}) {
        PictureInfo info;
        std::memset(&info, 0x77, sizeof info);
        EXPECT_EQ(Plugin().GetPictureInfo(reinterpret_cast<LPCSTR>(data.data()),
                                          static_cast<std::int32_t>(data.size()), kFromMemory, &info),
                  2);
        EXPECT_EQ(info.height, 0x77777777);
    }
    PictureInfo info{};
    EXPECT_EQ(Plugin().GetPictureInfo(file.Path().c_str(), 0, kFromFile, &info), 0);
    EXPECT_EQ(info.width, 2);
}

// IsSupported over a 2048-byte buffer, zero-padded as hosts do for short files.
int SupportedInBuffer(const Bytes& start) {
    Bytes buffer(2048, 0);
    std::copy_n(start.begin(), std::min<std::size_t>(start.size(), buffer.size()), buffer.begin());
    return Plugin().IsSupported("picture", reinterpret_cast<ULONG_PTR>(buffer.data()));
}

TEST(IsSupported, RecognisesTheStartOfAFile) {
    EXPECT_NE(SupportedInBuffer(MakeGp(4, 4, 1).file), 0);
    EXPECT_NE(SupportedInBuffer(MakeKmlz(4, 4, 8, 0, 1).file), 0);
    // A large picture: only its first 2048 bytes are there.
    EXPECT_NE(SupportedInBuffer(MakeKmlz(300, 300, 24, 0, 1).file), 0);
    EXPECT_EQ(SupportedInBuffer(PatternBytes(2048, 1)), 0);
    EXPECT_EQ(SupportedInBuffer({}), 0);
    EXPECT_EQ(SupportedInBuffer(GpFile(MakeHeader(4, 4, 32), {})), 0);
}

// The host's handle position after IsSupported, for data that begins at `at` in the file.
std::int32_t PositionAfter(const Bytes& data, std::int32_t at, int* answer) {
    const TempFile file(Concat({PatternBytes(static_cast<std::size_t>(at), 2), data, PatternBytes(99, 3)}));
    HANDLE h = CreateFileA(file.Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    SetFilePointer(h, at, nullptr, FILE_BEGIN);
    *answer = Plugin().IsSupported(file.Path().c_str(), reinterpret_cast<ULONG_PTR>(h));
    const std::int32_t position = static_cast<std::int32_t>(SetFilePointer(h, 0, nullptr, FILE_CURRENT));
    // The handle is still the host's: open and readable.
    char byte;
    DWORD got = 0;
    SetFilePointer(h, 0, nullptr, FILE_BEGIN);
    EXPECT_TRUE(ReadFile(h, &byte, 1, &got, nullptr) && got == 1);
    CloseHandle(h);
    return position;
}

TEST(IsSupported, OverAHostHandle) {
    int answer = -1;
    EXPECT_EQ(PositionAfter(MakeGp(4, 4, 1).file, 300, &answer), 300 + 42);
    EXPECT_NE(answer, 0);
    const KmlzCase k = MakeKmlz(4, 4, 24, 0, 1);
    EXPECT_EQ(PositionAfter(k.file, 0, &answer), k.neededForHeaders);
    EXPECT_NE(answer, 0);
    EXPECT_EQ(PositionAfter(k.file, 123, &answer), 123 + k.neededForHeaders);
    EXPECT_EQ(PositionAfter(PatternBytes(400, 5), 77, &answer), 77) << "refused: back where it was";
    EXPECT_EQ(answer, 0);
}

}  // namespace
