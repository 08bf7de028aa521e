// The native stand-in for the kernel services: files, local memory, strings, and the seams that
// count calls and make a chosen one fail.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/ObjectHeap.h"
#include "platform/Platform.h"
#include "platform/PlatformSeams.h"
#include "tests/support/TempFile.h"

namespace {

HANDLE Open(const std::string& path, DWORD access) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

Bytes FileContent(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

DWORD Position(HANDLE file) { return SetFilePointer(file, 0, nullptr, FILE_CURRENT); }

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override { seams::Reset(); }
    void TearDown() override { seams::Reset(); }
};

// A 20-byte file open for reading, standing at offset 10.
class PlatformFileTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        handle = Open(file.Path(), GENERIC_READ);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        ASSERT_EQ(SetFilePointer(handle, 10, nullptr, FILE_BEGIN), 10u);
    }
    void TearDown() override {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
        PlatformTest::TearDown();
    }

    const Bytes content = PatternBytes(20, 7);
    TempFile file{content};
    HANDLE handle = INVALID_HANDLE_VALUE;
};

struct Move {
    LONG distance;
    DWORD method;
    DWORD expected;  // INVALID_SET_FILE_POINTER: refused
};

TEST_F(PlatformFileTest, SetFilePointerMovesFromEachOriginAndRefusesTargetsBeforeTheStart) {
    const Move moves[] = {
        {5, FILE_BEGIN, 5},
        {0, FILE_BEGIN, 0},
        {3, FILE_CURRENT, 13},
        {-10, FILE_CURRENT, 0},
        {-4, FILE_END, 16},
        {5, FILE_END, 25},       // past the end: accepted
        {1000, FILE_BEGIN, 1000},
        {-1, FILE_BEGIN, INVALID_SET_FILE_POINTER},
        {-11, FILE_CURRENT, INVALID_SET_FILE_POINTER},
        {-21, FILE_END, INVALID_SET_FILE_POINTER},
        {0x7fffffff, FILE_CURRENT, 0x7fffffffu + 10u},
    };
    for (const Move& m : moves) {
        SCOPED_TRACE(testing::Message() << "distance " << m.distance << " method " << m.method);
        ASSERT_EQ(SetFilePointer(handle, 10, nullptr, FILE_BEGIN), 10u);
        EXPECT_EQ(SetFilePointer(handle, m.distance, nullptr, m.method), m.expected);
        const DWORD now = m.expected == INVALID_SET_FILE_POINTER ? 10u : m.expected;
        if (m.expected == INVALID_SET_FILE_POINTER) {
            EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
        }
        EXPECT_EQ(Position(handle), now);
        // The next read starts where the pointer stands, and delivers nothing past the end.
        std::uint8_t byte = 0;
        DWORD got = 99;
        ASSERT_TRUE(ReadFile(handle, &byte, 1, &got, nullptr));
        if (now < content.size()) {
            ASSERT_EQ(got, 1u);
            EXPECT_EQ(byte, content[now]);
        } else {
            EXPECT_EQ(got, 0u);
        }
    }
}

TEST_F(PlatformFileTest, SetFilePointerRejectsAnUnknownMethodWithoutMoving) {
    EXPECT_EQ(SetFilePointer(handle, 0, nullptr, 3), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Position(handle), 10u);
}

TEST_F(PlatformFileTest, ReadFileDeliversWhatIsLeftThenSucceedsWithZeroAtTheEnd) {
    std::uint8_t buffer[32] = {};
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(handle, buffer, sizeof buffer, &got, nullptr));
    ASSERT_EQ(got, 10u);
    EXPECT_EQ(Bytes(buffer, buffer + 10), Bytes(content.begin() + 10, content.end()));

    got = 99;
    EXPECT_TRUE(ReadFile(handle, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(got, 0u);
}

TEST_F(PlatformFileTest, AReadOnlyHandleRefusesWritesAndAWritableOneStores) {
    const std::uint8_t bytes[3] = {1, 2, 3};
    DWORD put = 99;
    EXPECT_FALSE(WriteFile(handle, bytes, sizeof bytes, &put, nullptr));
    EXPECT_EQ(put, 0u);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(FileContent(file.Path()), content);

    HANDLE writable = Open(file.Path(), GENERIC_READ | GENERIC_WRITE);
    ASSERT_NE(writable, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(WriteFile(writable, bytes, sizeof bytes, &put, nullptr));
    EXPECT_EQ(put, 3u);
    CloseHandle(writable);
    Bytes expected = content;
    std::copy(bytes, bytes + 3, expected.begin());
    EXPECT_EQ(FileContent(file.Path()), expected);
}

TEST_F(PlatformTest, CreateFileRefusesMissingFilesAndDirectoriesAndCountsOpenHandles) {
    const long open = seams::OpenHandles();
    const std::string missing =
        (std::filesystem::temp_directory_path() / "orvane-no-such-file.bin").string();
    EXPECT_EQ(Open(missing, GENERIC_READ), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Open(std::filesystem::temp_directory_path().string(), GENERIC_READ),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(seams::OpenHandles(), open);

    TempFile file(Bytes{1});
    HANDLE handle = Open(file.Path(), GENERIC_READ);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(seams::OpenHandles(), open + 1);
    EXPECT_TRUE(CloseHandle(handle));
    EXPECT_EQ(seams::OpenHandles(), open);
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_EQ(seams::OpenHandles(), open);
}

TEST(PlatformStringTest, CopyNTakesAtMostOneLessThanTheLimitAndTerminates) {
    struct Case {
        const char* source;
        int limit;
        const char* expected;
    };
    const Case cases[] = {
        {"hello", 6, "hello"}, {"hello", 9, "hello"}, {"hello", 5, "hell"},
        {"hello", 2, "h"},     {"hello", 1, ""},      {"", 4, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.source << "\" limit " << c.limit);
        char buffer[12];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(lstrcpynA(buffer, c.source, c.limit), buffer);
        EXPECT_STREQ(buffer, c.expected);
        const std::size_t written = std::strlen(c.expected) + 1;
        for (std::size_t i = written; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 'x') << i;
    }
    char untouched[4] = {'x', 'x', 'x', 'x'};
    lstrcpynA(untouched, "abc", 0);
    EXPECT_EQ(untouched[0], 'x');
}

TEST(PlatformStringTest, LengthCountsUpToTheTerminator) {
    EXPECT_EQ(lstrlenA("Orvane"), 6);
    EXPECT_EQ(lstrlenA(""), 0);
    EXPECT_EQ(lstrlenA("ab\0cd"), 2);
    EXPECT_EQ(lstrlenA(nullptr), 0);
}

TEST_F(PlatformTest, LocalBlocksKnowTheirSizeAndAreCountedUntilFreed) {
    const long live = seams::LiveLocalBlocks();
    HLOCAL block = LocalAlloc(LMEM_FIXED, 37);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(LocalSize(block), 37u);
    EXPECT_EQ(seams::LiveLocalBlocks(), live + 1);
    std::memset(block, 0xAB, 37);  // the whole block is usable
    EXPECT_EQ(LocalFree(block), nullptr);
    EXPECT_EQ(seams::LiveLocalBlocks(), live);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
    EXPECT_EQ(seams::LiveLocalBlocks(), live);
}

TEST_F(PlatformTest, ZeroInitialisedBlocksAreZeroEvenWhenTheHeapReusesMemory) {
    HLOCAL dirty = LocalAlloc(LMEM_FIXED, 256);
    ASSERT_NE(dirty, nullptr);
    std::memset(dirty, 0xAB, 256);
    LocalFree(dirty);
    auto* block = static_cast<std::uint8_t*>(LocalAlloc(LPTR, 256));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(Bytes(block, block + 256), Bytes(256, 0));
    LocalFree(block);
}

TEST_F(PlatformTest, LocalAllocRefusesRequestsAboveTheLimitAndResetLiftsIt) {
    const long live = seams::LiveLocalBlocks();
    seams::SetLocalAllocLimit(100);
    EXPECT_EQ(LocalAlloc(LMEM_FIXED, 101), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    HLOCAL atLimit = LocalAlloc(LMEM_FIXED, 100);
    EXPECT_NE(atLimit, nullptr);
    LocalFree(atLimit);
    seams::Reset();
    HLOCAL large = LocalAlloc(LMEM_FIXED, 101);
    EXPECT_NE(large, nullptr);
    LocalFree(large);
    EXPECT_EQ(LocalAlloc(LMEM_FIXED, static_cast<SIZE_T>(-1)), nullptr);
    EXPECT_EQ(seams::LiveLocalBlocks(), live);
}

TEST_F(PlatformTest, EachCallIsCountedByKind) {
    TempFile file(Bytes{1, 2, 3});
    HANDLE handle = Open(file.Path(), GENERIC_READ);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    std::uint8_t byte;
    DWORD got;
    ReadFile(handle, &byte, 1, &got, nullptr);
    ReadFile(handle, &byte, 1, &got, nullptr);
    SetFilePointer(handle, 0, nullptr, FILE_BEGIN);
    CloseHandle(handle);
    LocalFree(LocalAlloc(LMEM_FIXED, 4));
    char text[4];
    lstrcpynA(text, "ab", 4);
    lstrlenA(text);
    lstrlenA(text);

    using seams::Call;
    EXPECT_EQ(seams::Calls(Call::CreateFile), 1);
    EXPECT_EQ(seams::Calls(Call::ReadFile), 2);
    EXPECT_EQ(seams::Calls(Call::WriteFile), 0);
    EXPECT_EQ(seams::Calls(Call::SetFilePointer), 1);
    EXPECT_EQ(seams::Calls(Call::CloseHandle), 1);
    EXPECT_EQ(seams::Calls(Call::LocalAlloc), 1);
    EXPECT_EQ(seams::Calls(Call::LocalFree), 1);
    EXPECT_EQ(seams::Calls(Call::CopyString), 1);
    EXPECT_EQ(seams::Calls(Call::StringLength), 2);
    EXPECT_EQ(seams::FallibleCalls(), 5);  // open, two reads, the move, the allocation

    seams::Reset();
    EXPECT_EQ(seams::Calls(Call::ReadFile), 0);
    EXPECT_EQ(seams::FallibleCalls(), 0);
}

TEST_F(PlatformTest, FailNthFailsExactlyThePlannedCreateFile) {
    TempFile file(Bytes{1});
    const long open = seams::OpenHandles();
    seams::FailNth(seams::Call::CreateFile, 2);
    HANDLE first = Open(file.Path(), GENERIC_READ);
    HANDLE second = Open(file.Path(), GENERIC_READ);
    HANDLE third = Open(file.Path(), GENERIC_READ);
    EXPECT_NE(first, INVALID_HANDLE_VALUE);
    EXPECT_EQ(second, INVALID_HANDLE_VALUE);
    EXPECT_NE(third, INVALID_HANDLE_VALUE);
    EXPECT_EQ(seams::OpenHandles(), open + 2);
    CloseHandle(first);
    CloseHandle(third);
}

TEST_F(PlatformTest, APlannedReadFailureReportsNothingReadAndMovesNothing) {
    TempFile file(Bytes{5, 6, 7});
    HANDLE handle = Open(file.Path(), GENERIC_READ);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    seams::FailNth(seams::Call::ReadFile, 1);
    std::uint8_t buffer[3] = {0, 0, 0};
    DWORD got = 99;
    EXPECT_FALSE(ReadFile(handle, buffer, 3, &got, nullptr));
    EXPECT_EQ(got, 0u);
    EXPECT_TRUE(ReadFile(handle, buffer, 3, &got, nullptr));
    EXPECT_EQ(Bytes(buffer, buffer + got), (Bytes{5, 6, 7}));
    CloseHandle(handle);
}

TEST_F(PlatformTest, APlannedLocalAllocFailureYieldsNoBlock) {
    const long live = seams::LiveLocalBlocks();
    seams::FailNth(seams::Call::LocalAlloc, 1);
    EXPECT_EQ(LocalAlloc(LMEM_FIXED, 8), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(seams::LiveLocalBlocks(), live);
    HLOCAL next = LocalAlloc(LMEM_FIXED, 8);
    EXPECT_NE(next, nullptr);
    LocalFree(next);
}

struct Probe {
    explicit Probe(int& constructed) { ++constructed; }
};

TEST_F(PlatformTest, APlannedObjectAllocFailureYieldsNoObjectAndConstructsNothing) {
    const long live = seams::LiveObjects();
    int constructed = 0;
    seams::FailNth(seams::Call::ObjectAlloc, 1);
    EXPECT_EQ(NewObject<Probe>(constructed), nullptr);
    EXPECT_EQ(constructed, 0);
    EXPECT_EQ(seams::LiveObjects(), live);

    ObjectPtr<Probe> made(NewObject<Probe>(constructed));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(constructed, 1);
    EXPECT_EQ(seams::LiveObjects(), live + 1);
    made.reset();
    EXPECT_EQ(seams::LiveObjects(), live);
    EXPECT_EQ(seams::Calls(seams::Call::ObjectAlloc), 2);
    EXPECT_EQ(seams::Calls(seams::Call::ObjectFree), 1);
}

TEST_F(PlatformTest, ObjectBytesCountWhatIsAliveAndTheMostAliveAtOnce) {
    const std::size_t live = seams::LiveObjectBytes();
    ASSERT_EQ(seams::PeakObjectBytes(), live);
    void* a = AllocateObject(100);
    void* b = AllocateObject(50);
    FreeObject(a);
    void* c = AllocateObject(30);
    EXPECT_EQ(seams::LiveObjectBytes(), live + 80);
    EXPECT_EQ(seams::PeakObjectBytes(), live + 150);
    // A failed allocation adds nothing.
    seams::FailNth(seams::Call::ObjectAlloc, 1);
    EXPECT_EQ(AllocateObject(1000), nullptr);
    EXPECT_EQ(seams::PeakObjectBytes(), live + 150);
    seams::Reset();
    EXPECT_EQ(seams::PeakObjectBytes(), live + 80);
    FreeObject(b);
    FreeObject(c);
    EXPECT_EQ(seams::LiveObjectBytes(), live);
    EXPECT_EQ(seams::PeakObjectBytes(), live + 80);
}

TEST_F(PlatformTest, FailNthFallibleCountsOnlyCallsThatCanFail) {
    seams::FailNthFallible(2);
    HLOCAL first = LocalAlloc(LMEM_FIXED, 4);  // fallible call 1
    lstrlenA("not counted");
    LocalFree(first);                                     // not counted
    EXPECT_EQ(AllocateObject(8), nullptr);                // fallible call 2: fails
    void* third = AllocateObject(8);
    EXPECT_NE(first, nullptr);
    EXPECT_NE(third, nullptr);
    FreeObject(third);
    EXPECT_EQ(seams::FallibleCalls(), 3);
}

TEST_F(PlatformTest, ResetAndNonPositiveCountsPlanNoFailure) {
    seams::FailNth(seams::Call::LocalAlloc, 1);
    seams::FailNthFallible(1);
    seams::Reset();
    seams::FailNth(seams::Call::LocalAlloc, 0);
    seams::FailNthFallible(-1);
    HLOCAL block = LocalAlloc(LMEM_FIXED, 4);
    EXPECT_NE(block, nullptr);
    LocalFree(block);
}

}  // namespace
