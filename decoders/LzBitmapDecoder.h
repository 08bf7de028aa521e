// "KMLZ" compressed bitmaps: a 33-byte header ("KMLZ" at 0, the decompressed size at 9, the rest
// not used), then an LZSS stream whose content is a Windows bitmap file: a 14-byte file header
// (ignored), a 40-byte BITMAPINFOHEADER, for 8-bit pictures the colour table, then the pixel rows.
// 8-, 16- and 24-bit BI_RGB pictures are served.
#pragma once

#include <cstdint>

#include "decoders/BitmapInfoHeader.h"
#include "decoders/LzBitmapDecoderBase.h"
#include "decoders/LzssReader.h"
#include "decoders/PixelLayout.h"
#include "platform/ObjectHeap.h"

class LzBitmapDecoder final : public LzBitmapDecoderBase {
public:
    std::int32_t IsSupported(const char* fileName, ByteStream* stream) override;
    std::int32_t GetPictureInfo(ByteStream* stream, PictureInfo* info) override;
    std::int32_t GetPicture(ByteStream* stream, HLOCAL* pixelBlockOut, HLOCAL* infoBlockOut,
                            ProgressCallback progress, std::int32_t userData) override;
    std::int32_t GetPreview(ByteStream* stream, HLOCAL* pixelBlockOut, HLOCAL* infoBlockOut,
                            ProgressCallback progress, std::int32_t userData) override;
};

enum class HeaderCheck { Refused, Accepted, OutOfMemory };

// Reads the "KMLZ" header and, through a new LzssReader, the bitmap headers. On acceptance the
// reader stands just after the BITMAPINFOHEADER and goes to *readerOut when that is given.
HeaderCheck CheckLzBitmapHeader(ByteStream* stream, BitmapInfoHeader* header, PixelLayout* layout,
                                ObjectPtr<LzssReader>* readerOut);

// The factory of the format table's "KMLZ" row.
PictureDecoder* CreateLzBitmapDecoder();

constexpr std::int32_t kLzHeaderSize = 33;
constexpr std::int32_t kMaxColours = 256;
// The header and a full 256-entry colour table.
constexpr std::int32_t kLzInfoBlockSize = 40 + 4 * kMaxColours;
