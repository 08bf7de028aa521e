// A stream that opened its file reads ahead through a buffer of its own. From outside it must look
// exactly like a stream whose every Read is one platform read: the same bytes, the same positions
// from the window start, the same Seek results, -1 for a failed platform read. These tests run the
// stream on a file several buffers long against a model of those rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/PlatformSeams.h"
#include "stream/FileStream.h"
#include "stream/StreamFactories.h"
#include "tests/support/TempFile.h"
#include "tests/native/LeakCheckedTest.h"

namespace {

constexpr std::int32_t kBuffer = FileStream::kReadAhead;

struct Releaser {
    void operator()(ByteStream* stream) const { stream->Release(); }
};
using StreamPtr = std::unique_ptr<ByteStream, Releaser>;

// The stream as it must behave, worked out from the file alone.
class Model {
public:
    Model(const Bytes& file, std::int64_t windowStart) : file(file), windowStart(windowStart), at(windowStart) {}

    std::int32_t Seek(std::int32_t offset, std::int32_t origin) {
        std::int64_t target;
        switch (origin) {
        case 0:
            target = windowStart + offset;
            break;
        case 1:
            target = at + offset;
            break;
        case 2:
            target = static_cast<std::int64_t>(file.size()) + offset;
            break;
        default:
            return -1;
        }
        // Refused by the platform (before the file) or before the window: back to the window start.
        if (target < windowStart) {
            at = windowStart;
            return 0;
        }
        at = target;
        return static_cast<std::int32_t>(target - windowStart);
    }
    Bytes Read(std::int32_t count) {
        const std::int64_t size = static_cast<std::int64_t>(file.size());
        const std::int64_t n = std::max<std::int64_t>(0, std::min<std::int64_t>(count, size - at));
        Bytes out(file.begin() + at, file.begin() + at + n);
        at += n;
        return out;
    }
    std::int64_t Position() const { return at - windowStart; }

private:
    const Bytes& file;
    std::int64_t windowStart;
    std::int64_t at;  // file offset
};

struct Op {
    enum Kind { Read, Seek } kind;
    std::int32_t a;  // count, or offset
    std::int32_t b;  // origin
};
Op R(std::int32_t count) { return {Op::Read, count, 0}; }
Op S(std::int32_t offset, std::int32_t origin) { return {Op::Seek, offset, origin}; }

// Three whole buffers and a bit: reads that span the buffer's end happen everywhere.
class FileStreamReadAheadTest : public LeakCheckedTest {
protected:
    StreamPtr Open(std::int32_t windowStart) {
        StreamPtr stream(OpenFileStream(file.Path().c_str(), windowStart));
        EXPECT_NE(stream, nullptr);
        return stream;
    }
    // Runs the operations on a stream and on the model, comparing every result and every byte.
    void Run(std::int32_t windowStart, const std::vector<Op>& ops) {
        StreamPtr stream = Open(windowStart);
        ASSERT_NE(stream, nullptr);
        Model model(content, windowStart);
        for (std::size_t i = 0; i < ops.size(); ++i) {
            const Op& op = ops[i];
            SCOPED_TRACE(testing::Message() << "step " << i << ": " << (op.kind == Op::Read ? "Read(" : "Seek(")
                                            << op.a << (op.kind == Op::Seek ? ", " + std::to_string(op.b) : "")
                                            << ") at " << model.Position());
            if (op.kind == Op::Seek) {
                ASSERT_EQ(stream->Seek(op.a, op.b), model.Seek(op.a, op.b));
                continue;
            }
            const Bytes expected = model.Read(op.a);
            Bytes got(static_cast<std::size_t>(std::max(op.a, 0)) + 1, 0xEE);
            ASSERT_EQ(stream->Read(got.data(), op.a), static_cast<std::int32_t>(expected.size()));
            EXPECT_EQ(got[expected.size()], 0xEE) << "a byte written past what was delivered";
            got.resize(expected.size());
            ASSERT_EQ(got, expected);
        }
        EXPECT_EQ(stream->Seek(0, 1), model.Position());
    }

    const Bytes content = PatternBytes(3 * kBuffer + 777, 23);
    const std::int32_t size = static_cast<std::int32_t>(content.size());
    TempFile file{content};
};

TEST_F(FileStreamReadAheadTest, ReadsAndSeeksAgreeWithPlainPlatformReads) {
    struct Case {
        const char* name;
        std::vector<Op> ops;
    };
    const Case cases[] = {
        {"one byte at a time over two buffer ends",
         [] {
             std::vector<Op> ops;
             for (int i = 0; i < 2 * kBuffer + 10; ++i) ops.push_back(R(1));
             return ops;
         }()},
        {"reads that span the buffer's end", {S(kBuffer - 3, 0), R(1), R(5), R(1), R(kBuffer - 2), R(7), R(0), R(3)}},
        {"a read as large as the buffer, and larger", {R(3), R(kBuffer), R(1), R(kBuffer + 5), R(2 * kBuffer), R(9)}},
        {"back into bytes already read ahead", {R(100), S(-40, 1), R(10), S(5, 0), R(3), S(-8, 1), R(20)}},
        {"forward past bytes read ahead", {R(1), S(30, 1), R(4), S(kBuffer, 1), R(6), S(0, 1), R(2)}},
        {"from the end, then past it", {R(10), S(-10, 2), R(20), R(1), S(5, 2), R(3), S(-3 * kBuffer, 2), R(5)}},
        {"before the window start falls back to it", {R(50), S(-51, 1), R(4), S(-1, 0), R(4), S(-2 * size, 2), R(1)}},
        {"a refused origin moves nothing", {R(10), S(7, 3), R(5), S(0, -1), R(5)}},
        {"the whole file and the end", {R(size + 100), R(1), S(0, 0), R(size), R(0), R(1)}},
        {"a seek far past the end reads nothing", {S(size + 5000, 0), R(10), S(-5001, 1), R(10)}},
    };
    for (const std::int32_t windowStart : {0, 100, kBuffer + 3}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << ", window start " << windowStart);
            Run(windowStart, c.ops);
        }
    }
}

TEST_F(FileStreamReadAheadTest, ALongMixOfReadsAndSeeksAgreesWithPlainPlatformReads) {
    std::uint32_t x = 12345;
    const auto next = [&x](std::uint32_t range) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return static_cast<std::int32_t>(x % range);
    };
    std::vector<Op> ops;
    for (int i = 0; i < 4000; ++i) {
        const std::int32_t kind = next(20);
        if (kind < 12) {
            ops.push_back(R(next(6)));  // the LZSS reader's one byte, packet heads
        } else if (kind < 16) {
            ops.push_back(R(next(400)));  // literal packets
        } else if (kind == 16) {
            ops.push_back(R(next(2 * kBuffer)));
        } else {
            ops.push_back(S(next(2 * size) - size / 2, next(3)));
        }
    }
    for (const std::int32_t windowStart : {0, 4097}) {
        SCOPED_TRACE(testing::Message() << "window start " << windowStart);
        Run(windowStart, ops);
    }
}

TEST_F(FileStreamReadAheadTest, SmallReadsCostAPlatformReadOnlyWhenTheBufferRunsDry) {
    StreamPtr stream = Open(0);
    ASSERT_NE(stream, nullptr);
    std::uint8_t byte;
    for (std::int32_t i = 0; i < size; ++i) ASSERT_EQ(stream->Read(&byte, 1), 1);
    EXPECT_EQ(stream->Read(&byte, 1), 0);
    // Three full buffers, the last 777 bytes, and the read that found the end.
    EXPECT_EQ(seams::Calls(seams::Call::ReadFile), 5);
}

TEST_F(FileStreamReadAheadTest, TheStreamAndItsBufferAreOneAllocation) {
    StreamPtr stream = Open(0);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(seams::Calls(seams::Call::ObjectAlloc), 1);
    EXPECT_GE(seams::LiveObjectBytes(), static_cast<std::size_t>(kBuffer));
    std::uint8_t bytes[600];
    for (int i = 0; i < 300; ++i) stream->Read(bytes, static_cast<std::int32_t>(sizeof bytes));
    stream->Seek(10, 0);
    EXPECT_EQ(seams::Calls(seams::Call::ObjectAlloc), 1) << "no operation allocates";
}

TEST_F(FileStreamReadAheadTest, AFailedPlatformReadGivesMinusOneAndTheNextReadGoesOn) {
    struct Case {
        const char* name;
        std::vector<Op> before;   // run first, all succeeding
        std::int32_t failingRead;  // the Read whose platform read fails
        std::int64_t positionAfter;  // the stream's position after the failure
    };
    const Case cases[] = {
        {"the first read of the stream", {}, 4, 0},
        {"a refill with bytes still held", {R(1), R(kBuffer - 3)}, 5, kBuffer - 2},
        {"a refill with nothing held", {R(1), R(kBuffer - 1)}, 1, kBuffer},
        // Past the buffer's size the rest goes straight from the platform, which then stands where
        // the held bytes end.
        {"a read larger than the buffer", {R(10)}, 2 * kBuffer, kBuffer},
    };
    for (const std::int32_t windowStart : {0, 100}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << ", window start " << windowStart);
            StreamPtr stream = Open(windowStart);
            ASSERT_NE(stream, nullptr);
            Model model(content, windowStart);
            for (const Op& op : c.before) {
                Bytes got(static_cast<std::size_t>(op.a));
                ASSERT_EQ(stream->Read(got.data(), op.a), op.a);
                ASSERT_EQ(got, model.Read(op.a));
            }
            seams::FailNth(seams::Call::ReadFile, 1);
            Bytes buffer(static_cast<std::size_t>(c.failingRead));
            EXPECT_EQ(stream->Read(buffer.data(), c.failingRead), -1);
            EXPECT_EQ(seams::Failures(seams::Call::ReadFile), 1) << "the read went to the platform";
            // The next read delivers the file from where the stream stands.
            model.Seek(static_cast<std::int32_t>(c.positionAfter), 0);
            const Bytes expected = model.Read(8);
            Bytes got(8);
            ASSERT_EQ(stream->Read(got.data(), 8), 8);
            EXPECT_EQ(got, expected);
            EXPECT_EQ(stream->Seek(0, 1), c.positionAfter + 8);
            seams::Reset();
        }
    }
}

TEST_F(FileStreamReadAheadTest, AWindowStartBeyondTheFileReadsNothing) {
    for (const std::int32_t start : {size, size + 1, size + kBuffer}) {
        SCOPED_TRACE(testing::Message() << "window start " << start);
        StreamPtr stream = Open(start);
        ASSERT_NE(stream, nullptr);
        std::uint8_t byte;
        EXPECT_EQ(stream->Read(&byte, 1), 0);
        EXPECT_EQ(stream->Seek(0, 1), 0);
        EXPECT_EQ(stream->Seek(-1, 2), 0) << "the end lies before the window";
    }
}

}  // namespace
