// The PNG writer on libpng.
#include <png.h>

#include <csetjmp>
#include <stdexcept>

#include "tools/orvane/PngWriter.h"

namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// Everything that libpng can long-jump out of, with plain data only in this frame.
bool WriteImage(png_structp png, png_infop info, const PngImage& image, png_bytep* rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    const bool indexed = image.kind == PngImage::Kind::Indexed;
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (indexed) {
        png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(image.palette.data()),
                     static_cast<int>(image.palette.size() / 3));
    }
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const PngImage& image) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) throw std::runtime_error("libpng could not start");
    png_infop info = png_create_info_struct(png);
    std::vector<std::uint8_t> out;
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * (image.kind == PngImage::Kind::Rgb ? 3 : 1);
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
    for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = const_cast<png_bytep>(image.pixels.data() + y * rowBytes);
    png_set_write_fn(png, &out, AppendToVector, NoFlush);
    const bool ok = info != nullptr && WriteImage(png, info, image, rows.data());
    png_destroy_write_struct(&png, &info);
    if (!ok) throw std::runtime_error("libpng could not write the picture");
    return out;
}

bool PngWriterKeepsPalettes() { return true; }
