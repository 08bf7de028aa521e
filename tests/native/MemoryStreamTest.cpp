// Streams over a caller's block of memory, made by WrapMemory.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/Platform.h"
#include "platform/PlatformSeams.h"
#include "stream/StreamFactories.h"
#include "tests/support/Fixtures.h"

namespace {

struct Releaser {
    void operator()(ByteStream* stream) const { stream->Release(); }
};
using StreamPtr = std::unique_ptr<ByteStream, Releaser>;

class MemoryStreamTest : public ::testing::Test {
protected:
    void SetUp() override { seams::Reset(); }
    void TearDown() override { seams::Reset(); }

    StreamPtr Wrap(std::int32_t size) {
        StreamPtr stream(WrapMemory(block.data(), size));
        EXPECT_NE(stream, nullptr);
        return stream;
    }

    // Ten bytes of block, then guard bytes that no stream over the ten may touch.
    const Bytes original = PatternBytes(16, 3);
    Bytes block = original;
};

struct SeekCase {
    std::int32_t from;  // position before the move
    std::int32_t offset;
    std::int32_t origin;
    std::int32_t expected;  // -1: refused, the position stays at from
};

TEST_F(MemoryStreamTest, SeekStaysWithinTheBlockAndRefusesUnknownOrigins) {
    const SeekCase cases[] = {
        {0, -3, 0, 0},          {0, 15, 0, 10},          {0, 4, 0, 4},
        {0, -2, 2, 8},          {0, 1, 2, 10},           {0, -11, 2, 0},
        {4, 3, 1, 7},           {4, -5, 1, 0},           {4, 7, 1, 10},
        {8, 0, 3, -1},          {8, 0, -1, -1},          {8, 2, 0x7fffffff, -1},
        {3, INT32_MAX, 1, 10},  {3, INT32_MIN, 1, 0},    {0, INT32_MIN, 2, 0},
        {0, INT32_MAX, 2, 10},  {5, INT32_MIN, 0, 0},
    };
    for (const SeekCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.from << ": Seek(" << c.offset << ", "
                                        << c.origin << ")");
        StreamPtr stream = Wrap(10);
        ASSERT_EQ(stream->Seek(c.from, 0), c.from);
        EXPECT_EQ(stream->Seek(c.offset, c.origin), c.expected);
        const std::int32_t now = c.expected < 0 ? c.from : c.expected;
        EXPECT_EQ(stream->Seek(0, 1), now);
        // The next read starts there.
        std::uint8_t byte = 0;
        if (now < 10) {
            ASSERT_EQ(stream->Read(&byte, 1), 1);
            EXPECT_EQ(byte, block[now]);
        } else {
            EXPECT_EQ(stream->Read(&byte, 1), 0);
        }
    }
}

TEST_F(MemoryStreamTest, ReadDeliversConsecutiveBytesAndStopsAtTheEnd) {
    StreamPtr stream = Wrap(10);
    Bytes buffer(8, 0xEE);
    ASSERT_EQ(stream->Read(buffer.data(), 3), 3);
    ASSERT_EQ(stream->Read(buffer.data() + 3, 3), 3);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 6), Bytes(block.begin(), block.begin() + 6));

    ASSERT_EQ(stream->Seek(8, 0), 8);
    buffer.assign(8, 0xEE);
    EXPECT_EQ(stream->Read(buffer.data(), 5), 2);
    EXPECT_EQ(buffer, (Bytes{block[8], block[9], 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(stream->Seek(0, 1), 10);
    EXPECT_EQ(stream->Read(buffer.data(), 5), 0);
    EXPECT_EQ(stream->Seek(0, 1), 10);
}

TEST_F(MemoryStreamTest, WriteStoresInPlaceAndNeverGrowsTheBlock) {
    StreamPtr stream = Wrap(10);
    const std::uint8_t bytes[4] = {0xA1, 0xA2, 0xA3, 0xA4};
    ASSERT_EQ(stream->Seek(2, 0), 2);
    EXPECT_EQ(stream->Write(bytes, 2), 2);
    EXPECT_EQ(stream->Seek(0, 1), 4);
    ASSERT_EQ(stream->Seek(-1, 2), 9);
    EXPECT_EQ(stream->Write(bytes, 4), 1);
    EXPECT_EQ(stream->Write(bytes, 4), 0);
    EXPECT_EQ(stream->Seek(0, 1), 10);

    Bytes expected = original;
    expected[2] = 0xA1;
    expected[3] = 0xA2;
    expected[9] = 0xA1;
    EXPECT_EQ(block, expected);
}

TEST_F(MemoryStreamTest, EmptyAndNegativeSizedBlocksShowNoBytes) {
    for (const std::int32_t size : {0, -1, -100, INT32_MIN}) {
        SCOPED_TRACE(testing::Message() << "size " << size);
        StreamPtr stream = Wrap(size);
        for (const std::int32_t origin : {0, 1, 2}) {
            for (const std::int32_t offset : {-5, 0, 1, 7}) {
                EXPECT_EQ(stream->Seek(offset, origin), 0) << offset << ", " << origin;
            }
        }
        std::uint8_t buffer[4] = {0xEE, 0xEE, 0xEE, 0xEE};
        EXPECT_EQ(stream->Read(buffer, 4), 0);
        EXPECT_EQ(stream->Write(buffer, 4), 0);
        EXPECT_EQ(Bytes(buffer, buffer + 4), Bytes(4, 0xEE));
        EXPECT_EQ(block, original);
    }
}

TEST_F(MemoryStreamTest, ZeroAndNegativeCountsTransferNothing) {
    for (const std::int32_t count : {0, -1, INT32_MIN}) {
        SCOPED_TRACE(testing::Message() << "count " << count);
        StreamPtr stream = Wrap(10);
        ASSERT_EQ(stream->Seek(4, 0), 4);
        Bytes buffer(16, 0xEE);
        EXPECT_EQ(stream->Read(buffer.data(), count), 0);
        EXPECT_EQ(stream->Write(buffer.data(), count), 0);
        EXPECT_EQ(stream->Seek(0, 1), 4);
        EXPECT_EQ(buffer, Bytes(16, 0xEE));
        EXPECT_EQ(block, original);
    }
}

TEST_F(MemoryStreamTest, ReleaseLeavesTheCallersBlockAllocatedAndUnchanged) {
    const long objects = seams::LiveObjects();
    const long blocks = seams::LiveLocalBlocks();
    auto* data = static_cast<std::uint8_t*>(LocalAlloc(LMEM_FIXED, 10));
    ASSERT_NE(data, nullptr);
    std::memcpy(data, original.data(), 10);

    ByteStream* stream = WrapMemory(data, 10);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(seams::LiveObjects(), objects + 1);
    std::uint8_t buffer[10];
    EXPECT_EQ(stream->Read(buffer, 10), 10);
    stream->Release();

    EXPECT_EQ(seams::LiveObjects(), objects);
    EXPECT_EQ(seams::LiveLocalBlocks(), blocks + 1);
    EXPECT_EQ(LocalSize(data), 10u);
    EXPECT_EQ(Bytes(data, data + 10), Bytes(original.begin(), original.begin() + 10));
    LocalFree(data);
}

TEST_F(MemoryStreamTest, OnlyTheFactoryAllocatesAndNothingTouchesThePlatform) {
    StreamPtr stream = Wrap(10);
    std::uint8_t buffer[4];
    stream->Seek(3, 0);
    stream->Read(buffer, 4);
    stream->Write(buffer, 2);
    stream->Seek(-1, 2);
    stream.reset();
    EXPECT_EQ(seams::FallibleCalls(), 1);
    EXPECT_EQ(seams::Calls(seams::Call::ObjectAlloc), 1);
    EXPECT_EQ(seams::Calls(seams::Call::ObjectFree), 1);
}

TEST_F(MemoryStreamTest, NoStreamWhenTheObjectCannotBeAllocated) {
    const long objects = seams::LiveObjects();
    seams::FailNth(seams::Call::ObjectAlloc, 1);
    EXPECT_EQ(WrapMemory(block.data(), 10), nullptr);
    EXPECT_EQ(seams::LiveObjects(), objects);
    EXPECT_EQ(block, original);
}

}  // namespace
