#include "decoders/RunLengthDecoder.h"

#include <cstring>

#include "decoders/LocalBlock.h"
#include "decoders/ReadExactly.h"
#include "decoders/WithStreamClass.h"
#include "platform/ObjectHeap.h"
#include "plugin/ResultCode.h"
#include "stream/StreamCursor.h"

namespace {

constexpr std::int32_t kUnit = 3;  // bytes of a unit: one 24-bit pixel's worth

// Repeats the unit at run[0..2] until the run's total bytes are written. Eight units (24 bytes) go
// at a time while they fit, then unit by unit: nothing is written past the run.
void FillRun(std::uint8_t* run, std::int32_t total) {
    std::uint8_t* at = run + kUnit;
    std::uint8_t* const stop = run + total;
    if (stop - at >= 24) {
        std::uint8_t pattern[24];
        for (int i = 0; i < 24; ++i) pattern[i] = run[i % kUnit];
        for (; stop - at >= 24; at += 24) std::memcpy(at, pattern, 24);
    }
    for (; at < stop; at += kUnit) std::memcpy(at, run, kUnit);
}

// Expands the packets into rows of layout.rowBytes bytes, in a zeroed block: what no packet reaches
// stays zero, so that damaged data always gives the same picture. A packet is always expanded
// whole, so the last one may run up to 383 bytes into the spare room. Returns the bytes of the rows
// that packets reached.
template <class Source>
std::int32_t ExpandPackets(Source& source, std::uint8_t* pixels, const PixelLayout& layout) {
    StreamCursor<Source> from(source);
    std::int32_t remaining = layout.rowBytes;
    std::uint8_t* cursor = pixels;
    while (remaining > 0) {
        std::uint8_t head[4];
        if (from.Read(head, 4) < 4) break;  // the end of the data, or a failed read
        const std::int32_t more = head[0] >> 1;
        std::memcpy(cursor, head + 1, kUnit);
        if (head[0] & 1) {
            FillRun(cursor, kUnit * (more + 1));
        } else if (more > 0) {
            // Literal: the n further units straight from the stream into the rows.
            const std::int32_t want = kUnit * more;
            std::int32_t got = from.Read(cursor + kUnit, want);
            if (got < 0) got = 0;
            if (got < want) std::memset(cursor + kUnit + got, 0, static_cast<std::size_t>(want - got));
        }
        cursor += kUnit * (more + 1);
        remaining -= kUnit * (more + 1);
    }
    const std::int32_t reached = static_cast<std::int32_t>(cursor - pixels);
    return reached < layout.rowBytes ? reached : layout.rowBytes;
}

}  // namespace

std::int32_t ReadGpHeader(ByteStream* stream, BitmapInfoHeader* header, PixelLayout* layout) {
    std::uint8_t magic[2];
    if (stream->Read(magic, 2) < 2 || magic[0] != 'G' || magic[1] != 'P') return 0;
    if (!ReadExactly(stream, header, sizeof *header)) return 0;
    if (header->biSize != kBitmapInfoHeaderSize || header->biPlanes != 1 ||
        header->biBitCount != 24 || header->biCompression != kBiRgb || header->biClrUsed != 0 ||
        header->biClrImportant != 0) {
        return 0;
    }
    return ComputePixelLayout(header->biWidth, header->biHeight, 24, layout) ? 1 : 0;
}

std::int32_t RunLengthDecoder::IsSupported(const char*, ByteStream* stream) {
    BitmapInfoHeader header;
    PixelLayout layout;
    return ReadGpHeader(stream, &header, &layout);
}

std::int32_t RunLengthDecoder::GetPictureInfo(ByteStream* stream, PictureInfo* info) {
    BitmapInfoHeader header;
    PixelLayout layout;
    if (!ReadGpHeader(stream, &header, &layout)) return ResultUnsupported;
    *info = PictureInfo{0, 0, header.biWidth, header.biHeight, 0, 0, 24, 0};
    return ResultSuccess;
}

std::int32_t RunLengthDecoder::GetPicture(ByteStream* stream, HLOCAL* pixelBlockOut,
                                          HLOCAL* infoBlockOut, ProgressCallback, std::int32_t) {
    BitmapInfoHeader header;
    PixelLayout layout;
    if (!ReadGpHeader(stream, &header, &layout)) return ResultUnsupported;

    LocalBlock info(kGpInfoBlockSize, LocalBlock::Unset);
    if (!info.Allocated()) return ResultInputError;
    LocalBlock pixels(layout.blockSize, LocalBlock::Zeroed);
    if (!pixels.Allocated()) return ResultInputError;

    // Handed over bottom-up, the layout every host draws.
    if (layout.topDown) header.biHeight = layout.rows;
    std::memcpy(info.Bytes(), &header, sizeof header);
    std::memset(info.Bytes() + sizeof header, 0, kGpInfoBlockSize - sizeof header);

    const std::int32_t reached = WithStreamClass(
        *stream, [&](auto& from) { return ExpandPackets(from, pixels.Bytes(), layout); });
    if (layout.topDown && layout.stride > 0) {
        const auto filledRows = static_cast<std::int32_t>((static_cast<std::int64_t>(reached) + layout.stride - 1) / layout.stride);
        ReverseRows(pixels.Bytes(), layout.stride, layout.rows, filledRows);
    }

    *pixelBlockOut = pixels.HandOver();
    *infoBlockOut = info.HandOver();
    return ResultSuccess;
}

std::int32_t RunLengthDecoder::GetPreview(ByteStream* stream, HLOCAL* pixelBlockOut,
                                          HLOCAL* infoBlockOut, ProgressCallback progress,
                                          std::int32_t userData) {
    return PreviewNotImplemented(stream, pixelBlockOut, infoBlockOut, progress, userData);
}

PictureDecoder* CreateRunLengthDecoder() { return NewObject<RunLengthDecoder>(); }
