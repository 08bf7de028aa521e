// "GP" run-length 24-bit pictures: "GP", a 40-byte BITMAPINFOHEADER, then packets. Each packet has
// a control byte (bit 0: 1 run, 0 literal; bits 1-7: n) and a first 3-byte unit; a run repeats that
// unit n more times, a literal is followed by n more units. The units cut the bitmap's padded rows
// into 3-byte pieces straight across the row ends; there is no length and no end marker.
#pragma once

#include <cstdint>

#include "decoders/BitmapInfoHeader.h"
#include "decoders/PixelLayout.h"
#include "decoders/RunLengthDecoderBase.h"

class RunLengthDecoder final : public RunLengthDecoderBase {
public:
    std::int32_t IsSupported(const char* fileName, ByteStream* stream) override;
    std::int32_t GetPictureInfo(ByteStream* stream, PictureInfo* info) override;
    std::int32_t GetPicture(ByteStream* stream, HLOCAL* pixelBlockOut, HLOCAL* infoBlockOut,
                            ProgressCallback progress, std::int32_t userData) override;
    std::int32_t GetPreview(ByteStream* stream, HLOCAL* pixelBlockOut, HLOCAL* infoBlockOut,
                            ProgressCallback progress, std::int32_t userData) override;
};

// Reads "GP" and the header: 1 when they describe a picture this decoder can deliver, else 0.
// A passed check has read exactly 42 bytes.
std::int32_t ReadGpHeader(ByteStream* stream, BitmapInfoHeader* header, PixelLayout* layout);

// The factory of the format table's "GP" row.
PictureDecoder* CreateRunLengthDecoder();

// Size of the information block: the header and room for one colour entry, as BITMAPINFO.
constexpr std::int32_t kGpInfoBlockSize = 44;
