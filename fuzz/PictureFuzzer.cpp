// GetPictureInfo and GetPicture over a memory image, with the host's other flag bits set from the
// first input byte. Each picture is decoded twice, into blocks prefilled with 0x00 and with 0xFF:
// any byte handed over that the decoder did not write differs between the two. Both exports must
// agree on whether the data is a picture and on what it is.
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "decoders/BitmapInfoHeader.h"
#include "fuzz/FuzzChecks.h"
#include "plugin/Exports.h"
#include "plugin/ResultCode.h"

namespace {

// Never a block: the host's variables must still hold it after a refusal.
HLOCAL const kUntouched = reinterpret_cast<HLOCAL>(static_cast<std::uintptr_t>(0x5EED0001));

struct Decoded {
    int result;
    HLOCAL info = kUntouched;
    HLOCAL pixels = kUntouched;
};

Decoded Decode(const std::uint8_t* data, std::int32_t size, unsigned int flag, int fill) {
    seams::Reset();
    seams::SetLocalAllocLimit(kFuzzLocalAllocLimit);
    seams::SetLocalAllocFill(fill);
    Decoded d;
    d.result = GetPicture(reinterpret_cast<LPCSTR>(data), size, flag, &d.info, &d.pixels, nullptr, 0);
    FUZZ_CHECK(d.result == ResultSuccess || d.result == ResultUnsupported || d.result == ResultInputError);
    if (d.result != ResultSuccess) FUZZ_CHECK(d.info == kUntouched && d.pixels == kUntouched);
    return d;
}

bool SameBlock(HLOCAL a, HLOCAL b) {
    return LocalSize(a) == LocalSize(b) && std::memcmp(a, b, LocalSize(a)) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t inputSize) {
    if (inputSize < 1 || inputSize > 0x7FFFFFFF) return 0;
    // Kind 1 (memory) always; the host's own option bits from the first byte, low and high.
    const unsigned int flag = 1u | (input[0] & 0xFCu) | static_cast<unsigned int>(input[0]) << 24;
    const std::uint8_t* data = input + 1;
    const auto size = static_cast<std::int32_t>(inputSize - 1);
    const LiveCounts before;

    PictureInfo info;
    std::memset(&info, 0xA5, sizeof info);
    PictureInfo untouched = info;
    seams::Reset();
    const int infoResult = GetPictureInfo(reinterpret_cast<LPCSTR>(data), size, flag, &info);
    FUZZ_CHECK(infoResult == ResultSuccess || infoResult == ResultUnsupported);
    if (infoResult != ResultSuccess) {
        FUZZ_CHECK(std::memcmp(&info, &untouched, sizeof info) == 0);
    } else {
        FUZZ_CHECK(info.left == 0 && info.top == 0 && info.xDensity == 0 && info.yDensity == 0);
        FUZZ_CHECK(info.textInfo == 0);
        FUZZ_CHECK(info.colorDepth == 8 || info.colorDepth == 16 || info.colorDepth == 24);
    }
    FUZZ_CHECK(before.Unchanged());

    const Decoded zeros = Decode(data, size, flag, 0x00);
    const Decoded ones = Decode(data, size, flag, 0xFF);
    FUZZ_CHECK(zeros.result == ones.result);
    if (infoResult == ResultUnsupported) FUZZ_CHECK(zeros.result == ResultUnsupported);
    if (infoResult == ResultSuccess) FUZZ_CHECK(zeros.result != ResultUnsupported);
    if (zeros.result == ResultInputError) {
        // Only a pixel block beyond the allocation limit may be refused.
        FUZZ_CHECK(infoResult == ResultSuccess);
        const std::int64_t stride = ((static_cast<std::int64_t>(info.width) * info.colorDepth + 31) & ~31) / 8;
        const std::int64_t rows = info.height < 0 ? -static_cast<std::int64_t>(info.height) : info.height;
        FUZZ_CHECK(stride * rows + 768 > static_cast<std::int64_t>(kFuzzLocalAllocLimit));
    }

    if (zeros.result == ResultSuccess) {
        FUZZ_CHECK(SameBlock(zeros.info, ones.info));
        FUZZ_CHECK(SameBlock(zeros.pixels, ones.pixels));
        // The information block describes what GetPictureInfo reported, turned bottom-up.
        BitmapInfoHeader header;
        FUZZ_CHECK(LocalSize(zeros.info) >= sizeof header);
        std::memcpy(&header, zeros.info, sizeof header);
        FUZZ_CHECK(header.biSize == 40 && header.biPlanes == 1 && header.biCompression == 0);
        FUZZ_CHECK(header.biWidth == info.width && header.biBitCount == info.colorDepth);
        FUZZ_CHECK(header.biHeight >= 0 &&
                   static_cast<std::int64_t>(header.biHeight) ==
                       (info.height < 0 ? -static_cast<std::int64_t>(info.height) : info.height));
        if (header.biBitCount == 8) FUZZ_CHECK(LocalSize(zeros.info) >= 40u + 4u * 256u);
        // The rows and the 768 spare bytes, never fewer.
        const std::int64_t stride = ((static_cast<std::int64_t>(header.biWidth) * header.biBitCount + 31) & ~31) / 8;
        FUZZ_CHECK(static_cast<std::int64_t>(LocalSize(zeros.pixels)) >= stride * header.biHeight + 768);
        for (HLOCAL block : {zeros.info, zeros.pixels, ones.info, ones.pixels}) {
            FUZZ_CHECK(LocalFree(block) == nullptr);
        }
    }
    FUZZ_CHECK(before.Unchanged());
    return 0;
}
