#include "tools/encoders/KmlzEncoder.h"

#include <cstring>
#include <string>

#include "tools/encoders/BitmapError.h"
#include "tools/encoders/BmpWriter.h"
#include "tools/encoders/LittleEndian.h"

namespace {

constexpr std::size_t kSizeAt = 9;

void CheckPackable(const Bitmap& bitmap) {
    const std::uint16_t bits = bitmap.header.biBitCount;
    if (bits != 8 && bits != 16 && bits != 24) {
        throw BitmapError("KMLZ holds 8-, 16- and 24-bit pictures; this one has " + std::to_string(bits) +
                          " bits per pixel");
    }
    if (static_cast<std::int64_t>(bitmap.colours.size()) != 4 * ColourEntries(bitmap.header)) {
        throw BitmapError("the colour table does not match the header's colour count");
    }
}

}  // namespace

Bytes EncodeKmlz(const Bitmap& bitmap, const LzssOptions& options) {
    CheckPackable(bitmap);
    const Bytes content = BmpFileBytes(bitmap);
    Bytes out(kKmlzHeaderSize, 0);
    std::memcpy(out.data(), "KMLZ", 4);
    StoreLe32(out.data() + kSizeAt, static_cast<std::uint32_t>(content.size()));
    const Bytes compressed = CompressLzss(content, options);
    out.insert(out.end(), compressed.begin(), compressed.end());
    return out;
}
