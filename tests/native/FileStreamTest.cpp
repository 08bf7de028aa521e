// Streams over files: opened by path with a window start (OpenFileStream), or over a handle that
// the host opened and keeps (WrapFileHandle).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/PlatformSeams.h"
#include "stream/StreamFactories.h"
#include "tests/support/TempFile.h"
#include "tests/native/LeakCheckedTest.h"

namespace {

struct Releaser {
    void operator()(ByteStream* stream) const { stream->Release(); }
};
using StreamPtr = std::unique_ptr<ByteStream, Releaser>;

Bytes FileContent(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Up to count bytes read from the stream.
Bytes ReadSome(ByteStream& stream, std::int32_t count) {
    Bytes buffer(static_cast<std::size_t>(count));
    const std::int32_t got = stream.Read(buffer.data(), count);
    EXPECT_GE(got, 0);
    buffer.resize(static_cast<std::size_t>(std::max(got, 0)));
    return buffer;
}

// A 500-byte file; the fixture checks that every test gives back what it made.
class FileStreamTest : public LeakCheckedTest {
protected:
    StreamPtr Open(std::int32_t windowStart) {
        StreamPtr stream(OpenFileStream(file.Path().c_str(), windowStart));
        EXPECT_NE(stream, nullptr);
        return stream;
    }
    HANDLE HostHandle(DWORD access = GENERIC_READ) {
        HANDLE handle = CreateFileA(file.Path().c_str(), access, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(handle, INVALID_HANDLE_VALUE);
        return handle;
    }
    // The bytes of the file from offset on, at most count of them.
    Bytes At(std::int64_t offset, std::int64_t count) const {
        const std::int64_t begin = std::min<std::int64_t>(offset, 500);
        const std::int64_t end = std::min<std::int64_t>(offset + count, 500);
        return Bytes(content.begin() + begin, content.begin() + end);
    }

    const Bytes content = PatternBytes(500, 11);
    TempFile file{content};
};

struct SeekCase {
    std::int32_t offset;
    std::int32_t origin;
    std::int32_t expected;      // the result of Seek
    std::int64_t fileOffset;    // where the file stands afterwards
};

TEST_F(FileStreamTest, SeekCountsFromTheWindowStartAndFallsBackToIt) {
    // Window start 100 on a 500-byte file, just opened.
    const SeekCase cases[] = {
        {0, 1, 0, 100},      {-1, 0, 0, 100},     {0, 0, 0, 100},     {50, 0, 50, 150},
        {0, 2, 400, 500},    {-150, 2, 250, 350}, {-450, 2, 0, 100},  {-600, 2, 0, 100},
        {600, 0, 600, 700},  {30, 1, 30, 130},    {-101, 1, 0, 100},  {-1, 1, 0, 100},
        {0, 3, -1, 100},     {0, -1, -1, 100},    {5, 100, -1, 100},
    };
    for (const SeekCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "Seek(" << c.offset << ", " << c.origin << ")");
        StreamPtr stream = Open(100);
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(stream->Seek(c.offset, c.origin), c.expected);
        EXPECT_EQ(stream->Seek(0, 1), c.fileOffset - 100);
        EXPECT_EQ(ReadSome(*stream, 4), At(c.fileOffset, 4));
    }
}

TEST_F(FileStreamTest, AtWindowStartZeroARefusedMoveLeavesTheFileAtItsBeginning) {
    struct Case {
        std::int32_t from, offset, origin;
    };
    for (const Case c : {Case{0, -1, 0}, Case{10, -20, 1}, Case{10, -501, 2}}) {
        SCOPED_TRACE(testing::Message() << "from " << c.from << ": Seek(" << c.offset << ", "
                                        << c.origin << ")");
        StreamPtr stream = Open(0);
        ASSERT_NE(stream, nullptr);
        ASSERT_EQ(stream->Seek(c.from, 0), c.from);
        EXPECT_EQ(stream->Seek(c.offset, c.origin), 0);
        EXPECT_EQ(ReadSome(*stream, 4), At(0, 4));
    }
}

TEST_F(FileStreamTest, ReadsRunForwardFromTheWindow) {
    StreamPtr stream = Open(100);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ReadSome(*stream, 10), At(100, 10));
    EXPECT_EQ(ReadSome(*stream, 1), At(110, 1));
    // The whole small file came in with the first read.
    EXPECT_EQ(seams::Calls(seams::Call::ReadFile), 1);

    ASSERT_EQ(stream->Seek(395, 0), 395);
    EXPECT_EQ(ReadSome(*stream, 10), At(495, 5));
    EXPECT_EQ(ReadSome(*stream, 10), Bytes{});
}

TEST_F(FileStreamTest, AHostHandleIsReadWithOnePlatformReadForEachRead) {
    HANDLE host = HostHandle();
    StreamPtr stream(WrapFileHandle(host));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ReadSome(*stream, 10), At(0, 10));
    EXPECT_EQ(ReadSome(*stream, 1), At(10, 1));
    EXPECT_EQ(seams::Calls(seams::Call::ReadFile), 2);
    // Nothing was read ahead: the host's handle stands right after the bytes delivered.
    EXPECT_EQ(SetFilePointer(host, 0, nullptr, FILE_CURRENT), 11u);
    stream.reset();
    CloseHandle(host);
}

TEST_F(FileStreamTest, AWindowStartPastTheEndGivesAStreamThatReadsNothing) {
    for (const std::int32_t start : {500, 501, 100000}) {
        SCOPED_TRACE(testing::Message() << "window start " << start);
        StreamPtr stream = Open(start);
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(stream->Seek(0, 1), 0);
        EXPECT_EQ(ReadSome(*stream, 4), Bytes{});
    }
}

TEST_F(FileStreamTest, WindowStartZeroMakesNoPositioningCall) {
    StreamPtr stream = Open(0);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(seams::Calls(seams::Call::SetFilePointer), 0);
    EXPECT_EQ(ReadSome(*stream, 4), At(0, 4));
}

TEST_F(FileStreamTest, NegativeWindowStartYieldsNoStream) {
    for (const std::int32_t start : {-1, -100, INT32_MIN}) {
        SCOPED_TRACE(testing::Message() << "window start " << start);
        EXPECT_EQ(OpenFileStream(file.Path().c_str(), start), nullptr);
    }
}

TEST_F(FileStreamTest, ZeroAndNegativeCountsTransferNothing) {
    HANDLE host = HostHandle(GENERIC_READ | GENERIC_WRITE);
    StreamPtr stream(WrapFileHandle(host));
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(stream->Seek(20, 0), 20);
    for (const std::int32_t count : {0, -1, INT32_MIN}) {
        SCOPED_TRACE(testing::Message() << "count " << count);
        // Larger than the file, so that a count taken as huge would show in the buffer.
        Bytes buffer(600, 0xEE);
        EXPECT_EQ(stream->Read(buffer.data(), count), 0);
        EXPECT_EQ(stream->Write(buffer.data(), count), 0);
        EXPECT_EQ(buffer, Bytes(600, 0xEE));
        EXPECT_EQ(stream->Seek(0, 1), 20);
    }
    stream.reset();
    CloseHandle(host);
    EXPECT_EQ(FileContent(file.Path()), content);
}

TEST_F(FileStreamTest, WriteFailsOnAnOpenedFileAndStoresThroughAWritableHostHandle) {
    const std::uint8_t bytes[3] = {0xA1, 0xA2, 0xA3};
    {
        StreamPtr stream = Open(100);
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(stream->Write(bytes, 3), -1);
    }
    EXPECT_EQ(FileContent(file.Path()), content);

    HANDLE host = HostHandle(GENERIC_READ | GENERIC_WRITE);
    StreamPtr stream(WrapFileHandle(host));
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(stream->Seek(7, 0), 7);
    EXPECT_EQ(stream->Write(bytes, 3), 3);
    stream.reset();
    CloseHandle(host);
    Bytes expected = content;
    std::copy(bytes, bytes + 3, expected.begin() + 7);
    EXPECT_EQ(FileContent(file.Path()), expected);
}

TEST_F(FileStreamTest, AFailedPlatformReadOrWriteGivesMinusOne) {
    HANDLE host = HostHandle(GENERIC_READ | GENERIC_WRITE);
    StreamPtr stream(WrapFileHandle(host));
    ASSERT_NE(stream, nullptr);
    std::uint8_t buffer[4];
    seams::FailNth(seams::Call::ReadFile, 1);
    EXPECT_EQ(stream->Read(buffer, 4), -1);
    seams::FailNth(seams::Call::WriteFile, 1);
    EXPECT_EQ(stream->Write(buffer, 4), -1);
    // Nothing is stuck: the next read works.
    ASSERT_EQ(stream->Seek(0, 0), 0);
    EXPECT_EQ(ReadSome(*stream, 4), At(0, 4));
    stream.reset();
    CloseHandle(host);
}

TEST_F(FileStreamTest, OpenFailureYieldsNoStreamAndLeavesNothingBehind) {
    const std::string missing =
        (std::filesystem::temp_directory_path() / "orvane-no-such-file.bin").string();
    const std::string directory = std::filesystem::temp_directory_path().string();
    for (const std::string& path : {missing, directory}) {
        SCOPED_TRACE(path);
        ByteStream* stream = nullptr;
        EXPECT_NO_THROW(stream = OpenFileStream(path.c_str(), 0));
        EXPECT_EQ(stream, nullptr);
        EXPECT_EQ(seams::LiveObjects(), objects);
    }
    EXPECT_EQ(seams::Calls(seams::Call::ObjectFree), 2);
}

TEST_F(FileStreamTest, APlannedFailureOfTheOpenOrTheAllocationYieldsNoStream) {
    for (const seams::Call call : {seams::Call::CreateFile, seams::Call::ObjectAlloc}) {
        SCOPED_TRACE(testing::Message() << "call " << static_cast<int>(call));
        seams::FailNth(call, 1);
        ByteStream* stream = nullptr;
        EXPECT_NO_THROW(stream = OpenFileStream(file.Path().c_str(), 100));
        EXPECT_EQ(stream, nullptr);
        EXPECT_EQ(seams::LiveObjects(), objects);
        EXPECT_EQ(seams::OpenHandles(), handles);
    }
    HANDLE host = HostHandle();
    seams::FailNth(seams::Call::ObjectAlloc, 1);
    EXPECT_EQ(WrapFileHandle(host), nullptr);
    EXPECT_EQ(seams::LiveObjects(), objects);
    EXPECT_TRUE(CloseHandle(host));  // still open
}

TEST_F(FileStreamTest, ReleaseClosesTheFileThatTheStreamOpened) {
    ByteStream* stream = OpenFileStream(file.Path().c_str(), 100);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(seams::OpenHandles(), handles + 1);
    EXPECT_EQ(seams::LiveObjects(), objects + 1);
    stream->Release();
    EXPECT_EQ(seams::OpenHandles(), handles);
    EXPECT_EQ(seams::LiveObjects(), objects);
}

TEST_F(FileStreamTest, AHostHandleIsReadFromWhereItStandsAndStaysOpenAfterRelease) {
    HANDLE host = HostHandle();
    ASSERT_EQ(SetFilePointer(host, 10, nullptr, FILE_BEGIN), 10u);
    seams::Reset();
    ByteStream* stream = WrapFileHandle(host);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(seams::Calls(seams::Call::SetFilePointer), 0);
    EXPECT_EQ(stream->Seek(0, 1), 10);
    EXPECT_EQ(ReadSome(*stream, 5), At(10, 5));
    stream->Release();

    // Open, usable, and where the stream left it.
    EXPECT_EQ(seams::OpenHandles(), handles + 1);
    EXPECT_EQ(SetFilePointer(host, 0, nullptr, FILE_CURRENT), 15u);
    std::uint8_t buffer[4];
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(host, buffer, 4, &got, nullptr));
    EXPECT_EQ(Bytes(buffer, buffer + got), At(15, 4));
    EXPECT_TRUE(CloseHandle(host));
}

}  // namespace
