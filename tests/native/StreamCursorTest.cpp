// A decoding loop reads through a StreamCursor. Whatever mix of reads it makes, the cursor must
// deliver what the same reads made on the stream itself deliver, cost the same platform reads, and
// leave the stream where those reads would have left it.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/Platform.h"
#include "platform/PlatformSeams.h"
#include "stream/FileStream.h"
#include "stream/MemoryStream.h"
#include "stream/StreamCursor.h"
#include "stream/StreamFactories.h"
#include "tests/native/LeakCheckedTest.h"
#include "tests/support/TempFile.h"

namespace {

constexpr std::int32_t kBuffer = FileStream::kReadAhead;

struct Releaser {
    void operator()(ByteStream* stream) const { stream->Release(); }
};
using StreamPtr = std::unique_ptr<ByteStream, Releaser>;

// A stream read through cursors, side by side with a twin that is read directly.
template <class Stream>
class Pair {
public:
    Pair(ByteStream* cursorStream, ByteStream* directStream)
        : viaCursor(cursorStream), direct(directStream) {
        cursor.emplace(static_cast<Stream&>(*viaCursor));
    }

    // One step of the mix: 0 a byte, 1 held bytes taken unchecked, 2 any read, 3 the end of the
    // loop with a move of the stream itself.
    void Step(std::uint32_t kind, std::int32_t count) {
        if (kind == 3) {
            CheckPositions();
            if (::testing::Test::HasFatalFailure()) return;
            ASSERT_EQ(viaCursor->Seek(count, ByteStream::FromCurrent), direct->Seek(count, ByteStream::FromCurrent));
            cursor.emplace(static_cast<Stream&>(*viaCursor));
            return;
        }
        const bool held = cursor->Holds(count);
        if (kind == 1 && !held) return;
        Bytes expected(static_cast<std::size_t>(count) + 1, 0xEE), got(expected.size(), 0xEE);
        std::int32_t expectedResult, gotResult;
        const long readsBefore = seams::Calls(seams::Call::ReadFile);
        if (kind == 0) {
            std::uint8_t c = 0;
            expectedResult = direct->Read(&c, 1) < 1 ? -1 : c;
        } else {
            expectedResult = direct->Read(expected.data(), count);
        }
        const long readsBetween = seams::Calls(seams::Call::ReadFile);
        if (kind == 0) {
            gotResult = cursor->ReadByte();
        } else if (kind == 1) {
            for (std::int32_t i = 0; i < count; ++i) got[static_cast<std::size_t>(i)] = cursor->TakeByte();
            gotResult = count;
        } else {
            gotResult = cursor->Read(got.data(), count);
        }
        ASSERT_EQ(gotResult, expectedResult);
        ASSERT_EQ(got, expected);
        ASSERT_EQ(seams::Calls(seams::Call::ReadFile) - readsBetween, readsBetween - readsBefore)
            << "the cursor makes the platform reads that the stream makes";
        if (held && count > 0) {
            EXPECT_EQ(readsBetween, readsBefore) << "held bytes cost no platform read";
        }
    }
    // Ends the cursor: the stream must stand where its twin stands.
    void CheckPositions() {
        cursor.reset();
        ASSERT_EQ(viaCursor->Seek(0, ByteStream::FromCurrent), direct->Seek(0, ByteStream::FromCurrent));
    }

private:
    StreamPtr viaCursor, direct;
    std::optional<StreamCursor<Stream>> cursor;
};

class StreamCursorTest : public LeakCheckedTest {
protected:
    // A long mix of the steps that the decoders make, with the loop ending now and then.
    template <class Stream>
    void RunMix(Pair<Stream>& pair) {
        std::uint32_t x = 2024;
        const auto next = [&x](std::uint32_t range) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            return x % range;
        };
        for (int i = 0; i < 6000 && !HasFatalFailure(); ++i) {
            SCOPED_TRACE(testing::Message() << "step " << i);
            const std::uint32_t kind = next(16);
            if (kind < 9) pair.Step(0, 1);
            else if (kind < 12) pair.Step(1, static_cast<std::int32_t>(next(3)) + 1);
            else if (kind < 15) pair.Step(2, static_cast<std::int32_t>(next(kind == 14 ? 2 * kBuffer : 400)));
            else pair.Step(3, static_cast<std::int32_t>(next(200)) - 100);
        }
        pair.CheckPositions();
    }

    const Bytes content = PatternBytes(3 * kBuffer + 555, 91);
    TempFile file{content};
};

TEST_F(StreamCursorTest, ReadsAsTheStreamItselfReads) {
    for (const std::int32_t windowStart : {0, 4097}) {
        SCOPED_TRACE(testing::Message() << "a file opened by path, window start " << windowStart);
        Pair<FileStream> pair(OpenFileStream(file.Path().c_str(), windowStart),
                              OpenFileStream(file.Path().c_str(), windowStart));
        RunMix(pair);
    }
    {
        SCOPED_TRACE("a host's file handle");
        const auto open = [&] {
            return CreateFileA(file.Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        };
        HANDLE a = open(), b = open();
        ASSERT_NE(a, INVALID_HANDLE_VALUE);
        ASSERT_NE(b, INVALID_HANDLE_VALUE);
        {
            Pair<FileStream> pair(WrapFileHandle(a), WrapFileHandle(b));
            RunMix(pair);
        }
        CloseHandle(a);
        CloseHandle(b);
    }
    {
        SCOPED_TRACE("memory");
        Pair<MemoryStream> pair(WrapMemory(content.data(), static_cast<std::int32_t>(content.size())),
                                WrapMemory(content.data(), static_cast<std::int32_t>(content.size())));
        RunMix(pair);
    }
}

TEST_F(StreamCursorTest, AFailedPlatformReadIsMinusOneAndTheNextReadGoesOn) {
    StreamPtr stream(OpenFileStream(file.Path().c_str(), 0));
    ASSERT_NE(stream, nullptr);
    {
        StreamCursor<FileStream> cursor(static_cast<FileStream&>(*stream));
        for (std::int32_t i = 0; i < kBuffer; ++i) ASSERT_EQ(cursor.ReadByte(), content[static_cast<std::size_t>(i)]);
        EXPECT_FALSE(cursor.Holds(1)) << "the first buffer is used up";
        seams::FailNth(seams::Call::ReadFile, 1);
        EXPECT_EQ(cursor.ReadByte(), -1);
        std::uint8_t two[2];
        seams::FailNth(seams::Call::ReadFile, 1);
        EXPECT_EQ(cursor.Read(two, 2), -1);
        EXPECT_EQ(cursor.ReadByte(), content[kBuffer]) << "nothing was taken by the failed reads";
    }
    EXPECT_EQ(stream->Seek(0, ByteStream::FromCurrent), kBuffer + 1);
}

}  // namespace
