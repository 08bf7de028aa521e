// LzssReader reads of arbitrary sizes over arbitrary compressed data, against a one-shot decoder
// written here from the format's rules. Input: the limit (4 bytes, little-endian), a count of reads
// (1 byte, up to 16), each read's size (2 bytes, signed), then the compressed data. Each read must
// deliver exactly the next bytes of the one-shot decoding, as many as the size and the limit allow,
// and must leave the source right after the last compressed byte it needed.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "decoders/LzssReader.h"
#include "fuzz/FuzzChecks.h"
#include "stream/ByteStream.h"
#include "stream/StreamFactories.h"

namespace {

struct Expansion {
    std::vector<std::uint8_t> bytes;
    // consumed[k]: compressed bytes read by the time output byte k exists.
    std::vector<std::int32_t> consumed;
};

// Output byte k lives at window index k mod 4096; a reference names writer position p, which is
// window index p + 18.
Expansion ExpandAll(const std::uint8_t* data, std::int32_t size) {
    Expansion e;
    std::uint8_t window[4096] = {};
    std::uint32_t at = 0;
    std::int32_t i = 0;
    while (i < size) {
        const std::uint8_t flags = data[i++];
        for (int item = 0; item < 8 && i < size; ++item) {
            if (flags >> item & 1) {
                window[at++ & 0xFFF] = data[i];
                e.bytes.push_back(data[i++]);
                e.consumed.push_back(i);
                continue;
            }
            if (i + 1 >= size) return e;  // a reference without its second byte yields nothing
            const std::uint8_t lo = data[i], hi = data[i + 1];
            i += 2;
            std::uint32_t from = ((static_cast<std::uint32_t>(hi & 0xF0) << 4 | lo) + 18) & 0xFFF;
            for (int n = 0; n < (hi & 0x0F) + 3; ++n) {
                const std::uint8_t b = window[from++ & 0xFFF];
                window[at++ & 0xFFF] = b;
                e.bytes.push_back(b);
                e.consumed.push_back(i);
            }
        }
    }
    return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t inputSize) {
    if (inputSize < 5) return 0;
    const auto limit = static_cast<std::int32_t>(input[0] | input[1] << 8 | input[2] << 16 |
                                                 static_cast<std::uint32_t>(input[3]) << 24);
    const int reads = input[4] % 17;
    std::size_t at = 5;
    std::vector<std::int32_t> sizes;
    for (int r = 0; r < reads && at + 2 <= inputSize; ++r, at += 2) {
        sizes.push_back(static_cast<std::int16_t>(input[at] | input[at + 1] << 8));
    }
    // Finally everything that may be left.
    sizes.push_back(0x7FFFFFFF);
    if (inputSize - at > 0x100000) return 0;
    const std::uint8_t* data = input + at;
    const auto size = static_cast<std::int32_t>(inputSize - at);
    const Expansion expected = ExpandAll(data, size);
    const auto total = static_cast<std::int64_t>(expected.bytes.size());

    const LiveCounts before;
    ByteStream* source = WrapMemory(data, size);
    FUZZ_CHECK(source != nullptr);
    {
        std::unique_ptr<LzssReader> reader(new LzssReader(*source, limit));
        std::int64_t delivered = 0;
        for (const std::int32_t count : sizes) {
            const std::int64_t allowed = count < limit - delivered ? count : limit - delivered;
            const std::int64_t want = allowed > 0 ? allowed : 0;
            const std::int64_t expect = want < total - delivered ? want : total - delivered;
            // Exactly as much room as the read may fill: one byte more is an overflow.
            std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[static_cast<std::size_t>(expect > 0 ? expect : 1)]);
            const std::int32_t before = source->Seek(0, ByteStream::FromCurrent);
            const std::int32_t got = reader->Read(buffer.get(), count);
            const std::int32_t after = source->Seek(0, ByteStream::FromCurrent);
            FUZZ_CHECK(got == expect);
            FUZZ_CHECK(got == 0 || std::memcmp(buffer.get(), expected.bytes.data() + delivered,
                                               static_cast<std::size_t>(got)) == 0);
            if (want == 0) {
                FUZZ_CHECK(after == before);
            } else if (got < want) {
                FUZZ_CHECK(after == size);
            } else {
                FUZZ_CHECK(after == expected.consumed[static_cast<std::size_t>(delivered + got - 1)]);
            }
            delivered += got;
        }
    }
    source->Release();
    FUZZ_CHECK(before.Unchanged());
    return 0;
}
