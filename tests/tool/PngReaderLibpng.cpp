#include <png.h>

#include <cstdio>

#include "tests/tool/PngReader.h"

namespace {

bool ReadInto(png_structp png, png_infop info, std::FILE* file, ReadPng* out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_read_info(png, info);
    out->width = static_cast<int>(png_get_image_width(png, info));
    out->height = static_cast<int>(png_get_image_height(png, info));
    out->palette = png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE;
    if (out->palette) {
        png_colorp entries = nullptr;
        png_get_PLTE(png, info, &entries, &out->paletteEntries);
        png_set_palette_to_rgb(png);
    }
    if (png_get_bit_depth(png, info) != 8 || (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA)) return false;
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(out->width) * 3) return false;
    out->rgb.resize(static_cast<std::size_t>(out->width) * out->height * 3);
    for (int y = 0; y < out->height; ++y) png_read_row(png, out->rgb.data() + static_cast<std::size_t>(y) * out->width * 3, nullptr);
    png_read_end(png, nullptr);
    return true;
}

}  // namespace

ReadPng ReadPngFile(const std::string& path) {
    ReadPng out;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return out;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    out.ok = info != nullptr && ReadInto(png, info, file, &out);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return out;
}
