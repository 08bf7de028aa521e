// What every fuzz target checks after a call: a broken promise prints where and aborts, which
// libFuzzer reports as a crash and keeps the input that caused it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include "platform/PlatformSeams.h"

#define FUZZ_CHECK(condition)                                                          \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                              \
        }                                                                              \
    } while (0)

// Blocks above this are refused as a 32-bit process would refuse them, so that a declared size
// costs no more than this much memory; the plug-in must then answer ResultInputError.
constexpr std::size_t kFuzzLocalAllocLimit = 16u << 20;

// Everything alive before a call; Unchanged() is true once the call has given all of it back.
struct LiveCounts {
    long blocks = seams::LiveLocalBlocks();
    long objects = seams::LiveObjects();
    long handles = seams::OpenHandles();

    bool Unchanged() const {
        return blocks == seams::LiveLocalBlocks() && objects == seams::LiveObjects() &&
               handles == seams::OpenHandles();
    }
};
