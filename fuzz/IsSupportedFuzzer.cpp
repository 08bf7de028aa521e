// IsSupported over the 2048 bytes that hosts pass from the start of a file (zero-padded, as hosts
// pad short files). It must read nothing outside them, write nothing, leave nothing behind, and
// recognise exactly the data that GetPictureInfo describes from the same bytes.
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz/FuzzChecks.h"
#include "plugin/Exports.h"
#include "plugin/ResultCode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t inputSize) {
    constexpr std::size_t kWindow = 2048;
    // A block of exactly the window: a read past it is a heap overflow that ASan reports.
    std::unique_ptr<std::uint8_t[]> window(new std::uint8_t[kWindow]());
    std::memcpy(window.get(), input, inputSize < kWindow ? inputSize : kWindow);
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[kWindow]);
    std::memcpy(copy.get(), window.get(), kWindow);
    const LiveCounts before;

    seams::Reset();
    const int supported = IsSupported(nullptr, reinterpret_cast<ULONG_PTR>(window.get()));
    FUZZ_CHECK(supported == 0 || supported == 1);
    FUZZ_CHECK(std::memcmp(window.get(), copy.get(), kWindow) == 0);
    FUZZ_CHECK(before.Unchanged());

    PictureInfo info;
    const int described = GetPictureInfo(reinterpret_cast<LPCSTR>(window.get()), kWindow, 1, &info);
    FUZZ_CHECK((described == ResultSuccess) == (supported == 1));
    FUZZ_CHECK(before.Unchanged());
    return 0;
}
