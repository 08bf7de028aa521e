// Test seams of the native platform stand-in: every call is counted, and a chosen call can be made
// to fail as the real service would fail (an invalid handle, FALSE, INVALID_SET_FILE_POINTER, NULL).
// Not part of the Windows build, where the plug-in calls KERNEL32 itself.
#pragma once

#include <cstddef>

namespace seams {

enum class Call {
    CreateFile,
    ReadFile,
    WriteFile,
    SetFilePointer,
    CloseHandle,
    LocalAlloc,
    LocalFree,
    ObjectAlloc,
    ObjectFree,
    CopyString,
    StringLength,
    Count
};

// Calls of one kind made since the last Reset.
long Calls(Call call);
// Forget the counts, every planned failure, the limit and the fill; the live counts are kept.
void Reset();
// The n-th call (1 for the next one) of this kind from now on fails; n <= 0 plans nothing.
void FailNth(Call call, long n);
// The n-th call from now on of any kind that can fail for real (CreateFile, ReadFile, WriteFile,
// SetFilePointer, LocalAlloc, ObjectAlloc) fails.
void FailNthFallible(long n);
// Failable calls made since the last Reset.
long FallibleCalls();
// Calls of this kind made to fail since the last Reset.
long Failures(Call call);
// LocalAlloc refuses requests above this many bytes (0: no limit), as a 32-bit process would.
void SetLocalAllocLimit(std::size_t bytes);
// New local blocks without LMEM_ZEROINIT are filled with this byte (below 0: left as the C heap
// leaves them). Decoding the same input under two fills shows any byte that was handed over
// without being written.
void SetLocalAllocFill(int byte);

// What is alive right now, whoever made it: local blocks, heap objects, open file handles.
long LiveLocalBlocks();
long LiveObjects();
long OpenHandles();
// Bytes of the heap objects alive right now, and the most that were alive at one time since the
// last Reset (which starts the peak again from what is alive).
std::size_t LiveObjectBytes();
std::size_t PeakObjectBytes();

}  // namespace seams
