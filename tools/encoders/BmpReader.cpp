#include "tools/encoders/BmpReader.h"

#include <cstring>
#include <string>

#include "tools/encoders/BitmapError.h"
#include "tools/encoders/LittleEndian.h"

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kHeadersSize = kFileHeaderSize + kBitmapInfoHeaderSize;
constexpr std::size_t kOffBitsAt = 10;
// Larger pictures could not be handed to a host by a 32-bit plug-in anyway.
constexpr std::int64_t kMaxPixelBytes = std::int64_t{1} << 30;

std::string HeaderName(std::uint32_t size) {
    switch (size) {
    case 12:
        return "a 12-byte OS/2 core header";
    case 108:
        return "a 108-byte version 4 header";
    case 124:
        return "a 124-byte version 5 header";
    default:
        return "a " + std::to_string(size) + "-byte header";
    }
}

void CheckSignature(const Bytes& file) {
    if (file.size() < 2 || file[0] != 'B' || file[1] != 'M') {
        throw BitmapError("not a BMP file (it does not start with \"BM\")");
    }
    if (file.size() < kHeadersSize) throw BitmapError("truncated BMP file: the headers are incomplete");
}

void CheckHeader(const BitmapInfoHeader& h) {
    if (h.biSize != kBitmapInfoHeaderSize) {
        throw BitmapError("the BMP file has " + HeaderName(h.biSize) +
                          "; only the 40-byte BITMAPINFOHEADER is supported");
    }
    if (h.biPlanes != 1) throw BitmapError("the BMP header has " + std::to_string(h.biPlanes) + " planes, not 1");
    if (h.biCompression != kBiRgb) {
        throw BitmapError("the BMP file is compressed or uses bit fields (biCompression " +
                          std::to_string(h.biCompression) + "); only uncompressed pictures can be packed");
    }
    if (h.biBitCount != 8 && h.biBitCount != 16 && h.biBitCount != 24) {
        throw BitmapError("the BMP file has " + std::to_string(h.biBitCount) +
                          " bits per pixel; only 8-, 16- and 24-bit pictures can be packed");
    }
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) {
        throw BitmapError("the BMP file has no pixels (width " + std::to_string(h.biWidth) + ", height " +
                          std::to_string(h.biHeight) + ")");
    }
    if (h.biBitCount == 8 && h.biClrUsed > 256) {
        throw BitmapError("the BMP file declares " + std::to_string(h.biClrUsed) +
                          " colours; an 8-bit picture has at most 256");
    }
    if (RowStride(h) * RowCount(h) > kMaxPixelBytes) throw BitmapError("the picture is too large to pack");
}

// The byte range [at, at + count) of file, or a BitmapError naming what is missing.
Bytes Slice(const Bytes& file, std::int64_t at, std::int64_t count, const char* what) {
    if (at < 0 || at + count > static_cast<std::int64_t>(file.size())) {
        throw BitmapError(std::string("truncated BMP file: the ") + what + " need " + std::to_string(count) +
                          " bytes from offset " + std::to_string(at) + ", the file has " +
                          std::to_string(file.size()));
    }
    return Bytes(file.begin() + at, file.begin() + at + count);
}

}  // namespace

Bitmap ReadBmp(const Bytes& file) {
    CheckSignature(file);
    Bitmap bitmap;
    std::memcpy(&bitmap.header, file.data() + kFileHeaderSize, sizeof bitmap.header);
    CheckHeader(bitmap.header);

    const std::int64_t colourBytes = 4 * ColourEntries(bitmap.header);
    bitmap.colours = Slice(file, kHeadersSize, colourBytes, "colour table");
    const std::int64_t offBits = ReadLe32(file.data() + kOffBitsAt);
    if (offBits < static_cast<std::int64_t>(kHeadersSize) + colourBytes) {
        throw BitmapError("the BMP file's pixel offset " + std::to_string(offBits) + " points into its headers");
    }
    bitmap.rows = Slice(file, offBits, RowStride(bitmap.header) * RowCount(bitmap.header), "pixel rows");
    if (bitmap.header.biBitCount != 8) {
        bitmap.header.biClrUsed = 0;
        bitmap.header.biClrImportant = 0;
    }
    return bitmap;
}
