// A fixed local-memory block on its way to the host: freed on every path unless handed over.
// A zeroed block comes from the allocator already cleared: a large one is then fresh pages that
// cost nothing until written, so a header that declares a huge picture over little data costs
// only the bytes the data reaches.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

class LocalBlock {
public:
    enum Content { Unset, Zeroed };
    LocalBlock(std::int32_t bytes, Content content)
        : handle(LocalAlloc(content == Zeroed ? LPTR : LMEM_FIXED, static_cast<SIZE_T>(bytes))) {}
    ~LocalBlock() {
        if (handle != nullptr) LocalFree(handle);
    }
    LocalBlock(const LocalBlock&) = delete;
    LocalBlock& operator=(const LocalBlock&) = delete;

    bool Allocated() const { return handle != nullptr; }
    // A fixed block's handle is its address.
    std::uint8_t* Bytes() const { return static_cast<std::uint8_t*>(handle); }
    // The host owns the block from now on.
    HLOCAL HandOver() {
        HLOCAL h = handle;
        handle = nullptr;
        return h;
    }

private:
    HLOCAL handle;
};
