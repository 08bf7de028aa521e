#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include "stb_image.h"

#include "tests/tool/PngReader.h"

ReadPng ReadPngFile(const std::string& path) {
    ReadPng out;
    int channels = 0;
    stbi_uc* pixels = stbi_load(path.c_str(), &out.width, &out.height, &channels, 3);
    if (pixels == nullptr) return out;
    // stb's reader expands palettes on reading; the stb writer never writes one.
    out.rgb.assign(pixels, pixels + static_cast<std::size_t>(out.width) * out.height * 3);
    stbi_image_free(pixels);
    out.ok = channels == 3;
    return out;
}
