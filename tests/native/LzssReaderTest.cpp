#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "decoders/LzssReader.h"
#include "platform/Platform.h"
#include "stream/FileStream.h"
#include "stream/MemoryStream.h"
#include "stream/StreamFactories.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TempFile.h"

namespace {

// A reader over a memory stream, which tells how many compressed bytes the reader has taken.
class Source {
public:
    explicit Source(Bytes compressed, std::int32_t limit = INT32_MAX)
        : data(std::move(compressed)),
          stream(WrapMemory(data.data(), static_cast<std::int32_t>(data.size()))),
          reader(*stream, limit) {}
    ~Source() { stream->Release(); }

    Bytes Read(std::int32_t count) {
        Bytes out(static_cast<std::size_t>(count > 0 ? count : 0) + 8, 0xEE);
        const std::int32_t got = reader.Read(out.data(), count);
        EXPECT_TRUE(std::all_of(out.begin() + got, out.end(), [](std::uint8_t b) { return b == 0xEE; }))
            << "nothing written past what was delivered";
        out.resize(static_cast<std::size_t>(got));
        return out;
    }
    std::int32_t Consumed() { return stream->Seek(0, ByteStream::FromCurrent); }

private:
    Bytes data;
    ByteStream* stream;
    LzssReader reader;
};

const Bytes kNineteen = {0x01, 0x61, 0xEE, 0xFF};  // a literal, then 18 bytes copied from it

TEST(LzssReader, DecodesWholeStreams) {
    struct Case {
        const char* name;
        Bytes compressed;
        Bytes expected;
    } const cases[] = {
        {"a reference overlapping the byte just written", kNineteen, Bytes(19, 0x61)},
        {"a reference into the zero-filled window", {0x00, 0x00, 0x00}, Bytes(3, 0)},
        {"a reference as the eighth item, finished before the next flag",
         {0x7F, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0xEE, 0xF0, 0x01, 0x5A},
         {0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x41, 0x42, 0x43, 0x5A}},
        {"a reference without its second byte yields nothing", {0x01, 0x41, 0xEE}, {0x41}},
        {"a flag byte announcing more than follows", {0xFF, 0x10, 0x20}, {0x10, 0x20}},
        {"the low four bits of hi are the length only", {0x03, 0x61, 0x62, 0xEE, 0xF1}, {0x61, 0x62, 0x61, 0x62, 0x61, 0x62}},
        {"empty", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Source source(c.compressed);
        EXPECT_EQ(source.Read(100), c.expected);
        EXPECT_EQ(source.Read(100), Bytes{}) << "the end stays the end";
    }
}

TEST(LzssReader, KeepsItsStateBetweenReads) {
    Source source(kNineteen);
    EXPECT_EQ(source.Read(10), Bytes(10, 0x61));
    EXPECT_EQ(source.Consumed(), 4) << "the whole reference was read and expanded";
    EXPECT_EQ(source.Read(10), Bytes(9, 0x61));

    // Byte by byte across group and reference boundaries gives the same bytes as one read.
    const Bytes stream = {0x7F, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0xEE, 0xF0, 0x01, 0x5A};
    Source whole(stream), pieces(stream);
    Bytes joined;
    for (Bytes b = pieces.Read(1); !b.empty(); b = pieces.Read(1)) joined.insert(joined.end(), b.begin(), b.end());
    EXPECT_EQ(joined, whole.Read(64));
}

TEST(LzssReader, ReadsNoCompressedByteItDoesNotNeed) {
    Bytes data = {0xFF};
    for (int i = 0; i < 8; ++i) data.push_back(static_cast<std::uint8_t>(i));
    data.push_back(0xFF);  // the next group's flag byte
    data.push_back(0x99);
    Source source(data);
    EXPECT_EQ(source.Read(8).size(), 8u);
    EXPECT_EQ(source.Consumed(), 9) << "the second flag byte is left for a later call";
    EXPECT_EQ(source.Read(8), Bytes{0x99});

    Source fresh(kNineteen);
    EXPECT_EQ(fresh.Read(0), Bytes{});
    EXPECT_EQ(fresh.Read(-5), Bytes{});
    EXPECT_EQ(fresh.Consumed(), 0);
}

TEST(LzssReader, StopsAtItsLimit) {
    Source capped(kNineteen, 5);
    EXPECT_EQ(capped.Read(14), Bytes(5, 0x61));
    const std::int32_t consumed = capped.Consumed();
    EXPECT_EQ(capped.Read(40), Bytes{});
    EXPECT_EQ(capped.Consumed(), consumed) << "a reader at its limit leaves the source alone";

    for (std::int32_t limit : {0, -1, INT32_MIN}) {
        Source none(kNineteen, limit);
        EXPECT_EQ(none.Read(19), Bytes{}) << limit;
        EXPECT_EQ(none.Consumed(), 0);
    }
}

TEST(LzssReader, WindowWrapsAfter4096Bytes) {
    // 4096 literals, then a reference at writer position 0xFEE: window index 0, which the next
    // byte to be written overwrites. Each byte is read before it is overwritten, so the copy
    // repeats the first three literals.
    const Bytes literals = PatternBytes(4096, 77);
    Bytes compressed = LiteralLzss(literals);
    compressed.push_back(0x00);
    compressed.push_back(0xEE);
    compressed.push_back(0xF0);
    Source source(compressed);
    const Bytes out = source.Read(5000);
    ASSERT_EQ(out.size(), 4099u);
    EXPECT_TRUE(std::equal(literals.begin(), literals.end(), out.begin()));
    EXPECT_EQ(Bytes(out.begin() + 4096, out.end()), Bytes(literals.begin(), literals.begin() + 3));
}

// A source whose reads fail: the reader answers with what it has and can go on later.
class FailingStream final : public ByteStream {
public:
    explicit FailingStream(Bytes data) : data(std::move(data)) {}
    void Release() override {}
    std::int32_t Seek(std::int32_t, std::int32_t) override { return -1; }
    std::int32_t Read(void* buffer, std::int32_t count) override {
        if (failing || at >= data.size() || count < 1) return failing ? -1 : 0;
        *static_cast<std::uint8_t*>(buffer) = data[at++];
        return 1;
    }
    std::int32_t Write(const void*, std::int32_t) override { return -1; }
    bool failing = false;

private:
    Bytes data;
    std::size_t at = 0;
};

TEST(LzssReader, AFailedSourceReadEndsTheCallOnly) {
    FailingStream stream({0x03, 0x41, 0x42, 0xEE, 0xF0});
    LzssReader reader(stream, 100);
    std::uint8_t out[8];
    ASSERT_EQ(reader.Read(out, 2), 2);
    stream.failing = true;
    EXPECT_EQ(reader.Read(out, 8), 0);
    stream.failing = false;
    ASSERT_EQ(reader.Read(out, 8), 3);
    EXPECT_EQ(Bytes(out, out + 3), (Bytes{0x41, 0x42, 0x41})) << "the reference resumes where it was";

    // A failure at any compressed byte, between a reference's two bytes too, loses nothing.
    const Bytes compressed = {0x05, 0x61, 0xEE, 0xF2, 0x62, 0xEE, 0xF0};
    const Bytes expected = {0x61, 0x61, 0x61, 0x61, 0x61, 0x61, 0x62, 0x61, 0x61, 0x61};
    for (std::size_t failAt = 0; failAt < compressed.size(); ++failAt) {
        SCOPED_TRACE(testing::Message() << "failing at compressed byte " << failAt);
        FailingStream once(compressed);
        LzssReader pieces(once, 100);
        Bytes joined;
        std::uint8_t chunk[4];
        for (std::size_t taken = 0; taken < 40; ++taken) {
            once.failing = taken == failAt;
            const std::int32_t got = pieces.Read(chunk, 1);
            joined.insert(joined.end(), chunk, chunk + got);
        }
        EXPECT_EQ(joined, expected);
    }
}

// Any bytes are LZSS data. Several read-aheads' worth of random bytes put flag bytes, literals and
// both bytes of references on every side of the buffer's edges; read through a cursor over each of
// our streams, in reads of many sizes, they must give what the same reader gives over a stream of
// another class, which reads every byte through the table.
TEST(LzssReader, EveryKindOfStreamGivesTheSameBytes) {
    const Bytes compressed = PatternBytes(3 * FileStream::kReadAhead + 1001, 4242);
    const Bytes prefix = PatternBytes(777, 1);
    const TempFile alone(compressed), inside(Concat({prefix, compressed}));
    const auto decodeAll = [](ByteStream& stream, bool varied) {
        LzssReader reader(stream, INT32_MAX);
        Bytes out;
        std::uint8_t chunk[64];
        for (std::int32_t n = 1;; n = varied ? n % 61 + 1 : 64) {
            const std::int32_t got = reader.Read(chunk, n);
            if (got <= 0) return out;
            out.insert(out.end(), chunk, chunk + got);
        }
    };
    FailingStream plain(compressed);
    const Bytes expected = decodeAll(plain, false);
    ASSERT_GT(expected.size(), compressed.size());

    struct Releaser {
        void operator()(ByteStream* s) const { s->Release(); }
    };
    using StreamPtr = std::unique_ptr<ByteStream, Releaser>;
    HANDLE handle = CreateFileA(alone.Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    struct Case {
        const char* name;
        StreamPtr stream;
    } cases[] = {
        {"memory", StreamPtr(WrapMemory(compressed.data(), static_cast<std::int32_t>(compressed.size())))},
        {"a file by path", StreamPtr(OpenFileStream(alone.Path().c_str(), 0))},
        {"a file by path at an offset", StreamPtr(OpenFileStream(inside.Path().c_str(), static_cast<std::int32_t>(prefix.size())))},
        {"a host's handle", StreamPtr(WrapFileHandle(handle))},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.stream, nullptr);
        EXPECT_EQ(decodeAll(*c.stream, true), expected);
        EXPECT_EQ(c.stream->Seek(0, ByteStream::FromCurrent), static_cast<std::int32_t>(compressed.size()));
    }
    CloseHandle(handle);
}

}  // namespace
