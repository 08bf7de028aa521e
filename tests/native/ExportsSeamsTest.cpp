// The exports' handling of streams, decoders and memory, seen through the platform stand-in's seams.
#include <gtest/gtest.h>

#include "platform/PlatformSeams.h"
#include "plugin/Exports.h"
#include "plugin/ResultCode.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TempFile.h"

namespace {

class ExportsSeamsTest : public testing::Test {
protected:
    void SetUp() override {
        seams::Reset();
        objects = seams::LiveObjects();
        blocks = seams::LiveLocalBlocks();
        handles = seams::OpenHandles();
    }
    // Nothing made by a call outlives it but the blocks it hands over.
    void ExpectNothingLeft() {
        EXPECT_EQ(seams::LiveObjects(), objects);
        EXPECT_EQ(seams::LiveLocalBlocks(), blocks);
        EXPECT_EQ(seams::OpenHandles(), handles);
    }
    int Picture(const Bytes& data, unsigned flag = 1) {
        HLOCAL info = nullptr, pixels = nullptr;
        const int r = GetPicture(reinterpret_cast<LPCSTR>(data.data()), static_cast<std::int32_t>(data.size()),
                                 flag, &info, &pixels, nullptr, 0);
        LocalFree(info);
        LocalFree(pixels);
        return r;
    }
    long objects = 0, blocks = 0, handles = 0;
};

const Bytes& Gp() {
    static const Bytes file = GpFile(MakeHeader(4, 4, 24), {0x1F, 1, 2, 3});
    return file;
}
const Bytes& Kmlz() {
    static const Bytes file = KmlzOf(BitmapFile(MakeHeader(4, 4, 24), {}, PatternBytes(48, 1)));
    return file;
}

TEST_F(ExportsSeamsTest, EveryPathReleasesItsStream) {
    const TempFile gp(Gp()), kmlz(Kmlz()), junk(PatternBytes(100, 1));
    PictureInfo info;
    for (const TempFile* f : {&gp, &kmlz, &junk}) {
        GetPictureInfo(f->Path().c_str(), 0, 0, &info);
        HLOCAL a = nullptr, b = nullptr;
        GetPicture(f->Path().c_str(), 0, 0, &a, &b, nullptr, 0);
        LocalFree(a);
        LocalFree(b);
        HANDLE h = CreateFileA(f->Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        IsSupported(nullptr, reinterpret_cast<ULONG_PTR>(h));
        CloseHandle(h);
        ExpectNothingLeft();
    }
    EXPECT_EQ(seams::Calls(seams::Call::CreateFile), seams::Calls(seams::Call::CloseHandle));
}

TEST_F(ExportsSeamsTest, UnknownInputKindsMakeNothing) {
    for (unsigned flag : {2u, 3u, 6u, 7u}) EXPECT_EQ(Picture(Gp(), flag), ResultInputError);
    EXPECT_EQ(seams::Calls(seams::Call::ObjectAlloc), 0);
    EXPECT_EQ(seams::Calls(seams::Call::CreateFile), 0);
}

TEST_F(ExportsSeamsTest, NoStreamNoDecoderNoBlock) {
    const TempFile gp(Gp());
    struct Case {
        const char* name;
        seams::Call call;
        long nth;
        const Bytes* data;
    } const cases[] = {
        {"no stream object", seams::Call::ObjectAlloc, 1, &Gp()},
        {"no decoder for the first row", seams::Call::ObjectAlloc, 2, &Gp()},
        {"no decoder for the second row", seams::Call::ObjectAlloc, 3, &Gp()},
        {"no LZSS reader", seams::Call::ObjectAlloc, 3, &Kmlz()},
        {"no information block", seams::Call::LocalAlloc, 1, &Kmlz()},
        {"no pixel block", seams::Call::LocalAlloc, 2, &Gp()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        seams::Reset();
        seams::FailNth(c.call, c.nth);
        HLOCAL info = reinterpret_cast<HLOCAL>(1), pixels = reinterpret_cast<HLOCAL>(2);
        EXPECT_EQ(GetPicture(reinterpret_cast<LPCSTR>(c.data->data()), static_cast<std::int32_t>(c.data->size()), 1,
                             &info, &pixels, nullptr, 0),
                  ResultInputError);
        EXPECT_EQ(info, reinterpret_cast<HLOCAL>(1));
        EXPECT_EQ(pixels, reinterpret_cast<HLOCAL>(2));
        ExpectNothingLeft();
    }
    // A decoder that reports exhausted memory stops the probing: the second row is never made.
    seams::Reset();
    seams::FailNth(seams::Call::LocalAlloc, 1);
    EXPECT_EQ(Picture(Kmlz()), ResultInputError);
    EXPECT_EQ(seams::Calls(seams::Call::ObjectAlloc), 3) << "stream, first decoder, reader";

    seams::Reset();
    seams::FailNth(seams::Call::CreateFile, 1);
    HLOCAL a = nullptr, b = nullptr;
    EXPECT_EQ(GetPicture(gp.Path().c_str(), 0, 0, &a, &b, nullptr, 0), ResultInputError);
    EXPECT_EQ(GetPicture(gp.Path().c_str(), -1, 0, &a, &b, nullptr, 0), ResultInputError) << "negative offset";
    seams::Reset();
    seams::FailNth(seams::Call::ObjectAlloc, 2);
    EXPECT_EQ(IsSupported(nullptr, reinterpret_cast<ULONG_PTR>(Gp().data())), 0);
    ExpectNothingLeft();
}

TEST_F(ExportsSeamsTest, GetPluginInfoUsesTheStringFunctionsOnce) {
    char buffer[32];
    EXPECT_EQ(GetPluginInfo(0, buffer, sizeof buffer), 5);
    EXPECT_EQ(seams::Calls(seams::Call::CopyString), 1);
    EXPECT_EQ(seams::Calls(seams::Call::StringLength), 1);
    EXPECT_EQ(GetPluginInfo(6, buffer, sizeof buffer), 0);
    EXPECT_EQ(seams::Calls(seams::Call::CopyString), 1);
}

}  // namespace
