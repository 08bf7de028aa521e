// A picture ready for a PNG writer: rows top row first, packed without padding, either 8-bit
// RGB triples or 8-bit indices into a palette of RGB triples.
#pragma once

#include <cstdint>
#include <vector>

struct PngImage {
    enum class Kind { Rgb, Indexed };
    Kind kind = Kind::Rgb;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> pixels;   // width x height x (3 for Rgb, 1 for Indexed)
    std::vector<std::uint8_t> palette;  // Indexed: red, green, blue of each entry, at most 256
};
