#include "tests/tool/PluginReference.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tools/PluginLibrary.h"

namespace {

const PluginApi* Plugin() {
    static std::unique_ptr<PluginLibrary> library;
    static std::string error;
    if (!library && error.empty()) library = PluginLibrary::Load(ORVANE_PLUGIN_PATH, &error);
    EXPECT_TRUE(library) << error;
    return library ? &library->Api() : nullptr;
}

std::uint8_t Widen(unsigned v) { return static_cast<std::uint8_t>(v << 3 | v >> 2); }

}  // namespace

Bitmap DecodeWithPlugin(const Bytes& file) {
    Bitmap bitmap;
    const PluginApi* api = Plugin();
    if (api == nullptr) return bitmap;
    HLOCAL info = nullptr, pixels = nullptr;
    const int result = api->GetPicture(reinterpret_cast<LPCSTR>(file.data()), static_cast<std::int32_t>(file.size()), 1,
                                       &info, &pixels, nullptr, 0);
    EXPECT_EQ(result, 0) << "the plug-in did not decode the file";
    if (result != 0) return bitmap;
    const auto* infoBytes = static_cast<const std::uint8_t*>(info);
    std::memcpy(&bitmap.header, infoBytes, sizeof bitmap.header);
    const std::size_t colourBytes = static_cast<std::size_t>(4 * ColourEntries(bitmap.header));
    bitmap.colours.assign(infoBytes + 40, infoBytes + 40 + colourBytes);
    const auto* pixelBytes = static_cast<const std::uint8_t*>(pixels);
    bitmap.rows.assign(pixelBytes, pixelBytes + RowStride(bitmap.header) * RowCount(bitmap.header));
    LocalFree(info);
    LocalFree(pixels);
    return bitmap;
}

Bytes UprightRgb(const Bitmap& bitmap) {
    const BitmapInfoHeader& h = bitmap.header;
    const std::int64_t rows = RowCount(h), stride = RowStride(h);
    Bytes rgb;
    for (std::int64_t y = 0; y < rows; ++y) {
        const std::uint8_t* row = bitmap.rows.data() + (h.biHeight < 0 ? y : rows - 1 - y) * stride;
        for (std::int32_t x = 0; x < h.biWidth; ++x) {
            if (h.biBitCount == 8) {
                const std::uint8_t* c = bitmap.colours.data() + 4 * row[x];
                rgb.insert(rgb.end(), {c[2], c[1], c[0]});
            } else if (h.biBitCount == 16) {
                const unsigned v = row[2 * x] | row[2 * x + 1] << 8;
                rgb.insert(rgb.end(), {Widen(v >> 10 & 31), Widen(v >> 5 & 31), Widen(v & 31)});
            } else {
                rgb.insert(rgb.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
            }
        }
    }
    return rgb;
}
