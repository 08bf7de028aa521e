#include "tools/encoders/BmpWriter.h"

#include <algorithm>
#include <cstring>

#include "tools/encoders/LittleEndian.h"

Bytes BmpFileBytes(const Bitmap& bitmap) {
    const std::uint32_t offBits = 14 + kBitmapInfoHeaderSize + static_cast<std::uint32_t>(bitmap.colours.size());
    const std::uint32_t fileSize = offBits + static_cast<std::uint32_t>(bitmap.rows.size());
    Bytes out(fileSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    StoreLe32(out.data() + 2, fileSize);
    // Bytes 6 to 9 are two reserved fields, 0.
    StoreLe32(out.data() + 10, offBits);
    std::memcpy(out.data() + 14, &bitmap.header, sizeof bitmap.header);
    std::copy(bitmap.colours.begin(), bitmap.colours.end(), out.begin() + 14 + kBitmapInfoHeaderSize);
    std::copy(bitmap.rows.begin(), bitmap.rows.end(), out.begin() + offBits);
    return out;
}
