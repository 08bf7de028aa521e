// The PNG writer on stb's image writer, for the Windows build: it writes RGB images only, so a
// palette picture is written with its colours applied (the same colours, in an RGB file).
#include <stdexcept>

#include "tools/orvane/PngWriter.h"
#include "tools/orvane/UprightImage.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include "stb_image_write.h"

namespace {

void AppendToVector(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const PngImage& image) {
    const PngImage rgb = image.kind == PngImage::Kind::Indexed ? ExpandPalette(image) : image;
    std::vector<std::uint8_t> out;
    if (stbi_write_png_to_func(AppendToVector, &out, rgb.width, rgb.height, 3, rgb.pixels.data(), rgb.width * 3) == 0) {
        throw std::runtime_error("the PNG writer could not write the picture");
    }
    return out;
}

bool PngWriterKeepsPalettes() { return false; }
