#include "decoders/LzBitmapDecoder.h"

#include <cstring>

#include "decoders/LocalBlock.h"
#include "plugin/ResultCode.h"

namespace {

constexpr std::uint8_t kMagic[4] = {'K', 'M', 'L', 'Z'};
constexpr std::int32_t kSizeOffset = 9;
constexpr std::int32_t kFileHeaderSize = 14;

std::int32_t ReadLe32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                     static_cast<std::uint32_t>(p[2]) << 16 |
                                     static_cast<std::uint32_t>(p[3]) << 24);
}

bool Acceptable(const BitmapInfoHeader& h) {
    if (h.biSize != kBitmapInfoHeaderSize || h.biPlanes != 1 || h.biCompression != kBiRgb) return false;
    if (h.biBitCount != 8 && h.biBitCount != 16 && h.biBitCount != 24) return false;
    // The information block holds 256 colour entries and no more.
    return h.biBitCount != 8 || h.biClrUsed <= static_cast<std::uint32_t>(kMaxColours);
}

// Reads into [at, at + count) and zeroes what the reader did not supply.
void ReadOrZero(LzssReader& reader, std::uint8_t* at, std::int32_t count) {
    const std::int32_t got = reader.Read(at, count);
    if (got < count) std::memset(at + got, 0, static_cast<std::size_t>(count - got));
}

// Fills the rows of a zeroed block from the reader, the first stored row lowest unless the picture
// is top-down. Rows the data does not reach stay zero.
void ReadRows(LzssReader& reader, std::uint8_t* pixels, const PixelLayout& layout) {
    if (!layout.topDown) {
        reader.Read(pixels, layout.rowBytes);
        return;
    }
    // Top-down: the i-th stored row goes to row rows-1-i, so the host gets the picture bottom-up.
    // A short row is where the data ended; rows of no bytes need no reading.
    for (std::int32_t i = 0; layout.stride > 0 && i < layout.rows; ++i) {
        std::uint8_t* row = pixels + static_cast<std::int64_t>(layout.rows - 1 - i) * layout.stride;
        if (reader.Read(row, layout.stride) < layout.stride) break;
    }
}

// The answer for a header that was not accepted: not this format, or no memory for the reader.
std::int32_t Refusal(HeaderCheck check) {
    return check == HeaderCheck::OutOfMemory ? ResultInputError : ResultUnsupported;
}

}  // namespace

HeaderCheck CheckLzBitmapHeader(ByteStream* stream, BitmapInfoHeader* header, PixelLayout* layout,
                                ObjectPtr<LzssReader>* readerOut) {
    if (readerOut != nullptr) readerOut->reset();
    std::uint8_t head[kLzHeaderSize];
    if (stream->Read(head, kLzHeaderSize) < kLzHeaderSize || std::memcmp(head, kMagic, 4) != 0) {
        return HeaderCheck::Refused;
    }
    ObjectPtr<LzssReader> reader(NewObject<LzssReader>(*stream, ReadLe32(head + kSizeOffset)));
    if (!reader) return HeaderCheck::OutOfMemory;

    // The file header is skipped whatever it says: the rows follow the headers directly.
    std::uint8_t fileHeader[kFileHeaderSize];
    reader->Read(fileHeader, kFileHeaderSize);
    if (reader->Read(header, sizeof *header) < static_cast<std::int32_t>(sizeof *header)) {
        return HeaderCheck::Refused;
    }
    if (!Acceptable(*header) || !ComputePixelLayout(header->biWidth, header->biHeight,
                                                    header->biBitCount, layout)) {
        return HeaderCheck::Refused;
    }
    if (readerOut != nullptr) *readerOut = std::move(reader);
    return HeaderCheck::Accepted;
}

std::int32_t LzBitmapDecoder::IsSupported(const char*, ByteStream* stream) {
    BitmapInfoHeader header;
    PixelLayout layout;
    return CheckLzBitmapHeader(stream, &header, &layout, nullptr) == HeaderCheck::Accepted ? 1 : 0;
}

std::int32_t LzBitmapDecoder::GetPictureInfo(ByteStream* stream, PictureInfo* info) {
    BitmapInfoHeader header;
    PixelLayout layout;
    const HeaderCheck check = CheckLzBitmapHeader(stream, &header, &layout, nullptr);
    if (check != HeaderCheck::Accepted) return Refusal(check);
    *info = PictureInfo{0, 0, header.biWidth, header.biHeight, 0, 0,
                        static_cast<std::int16_t>(header.biBitCount), 0};
    return ResultSuccess;
}

std::int32_t LzBitmapDecoder::GetPicture(ByteStream* stream, HLOCAL* pixelBlockOut,
                                         HLOCAL* infoBlockOut, ProgressCallback, std::int32_t) {
    BitmapInfoHeader header;
    PixelLayout layout;
    ObjectPtr<LzssReader> reader;
    const HeaderCheck check = CheckLzBitmapHeader(stream, &header, &layout, &reader);
    if (check != HeaderCheck::Accepted) return Refusal(check);

    LocalBlock info(kLzInfoBlockSize, LocalBlock::Unset);
    if (!info.Allocated()) return ResultInputError;
    LocalBlock pixels(layout.blockSize, LocalBlock::Zeroed);
    if (!pixels.Allocated()) return ResultInputError;

    const std::int32_t colourBytes =
        header.biBitCount == 8 ? 4 * (header.biClrUsed != 0 ? static_cast<std::int32_t>(header.biClrUsed)
                                                            : kMaxColours)
                               : 0;
    // Handed over bottom-up, the layout every host draws.
    if (layout.topDown) header.biHeight = layout.rows;
    std::memcpy(info.Bytes(), &header, sizeof header);
    std::uint8_t* table = info.Bytes() + sizeof header;
    ReadOrZero(*reader, table, colourBytes);
    std::memset(table + colourBytes, 0, static_cast<std::size_t>(4 * kMaxColours - colourBytes));

    ReadRows(*reader, pixels.Bytes(), layout);

    *pixelBlockOut = pixels.HandOver();
    *infoBlockOut = info.HandOver();
    return ResultSuccess;
}

std::int32_t LzBitmapDecoder::GetPreview(ByteStream* stream, HLOCAL* pixelBlockOut,
                                         HLOCAL* infoBlockOut, ProgressCallback progress,
                                         std::int32_t userData) {
    return PreviewNotImplemented(stream, pixelBlockOut, infoBlockOut, progress, userData);
}

PictureDecoder* CreateLzBitmapDecoder() { return NewObject<LzBitmapDecoder>(); }
