// The pictures that the benchmarks decode, drawn here and packed with the tool's encoders: a
// 1920 x 1080 picture at 24 and 8 bits and a 1024 x 768 one at 16 bits, each in three looks.
// Integer arithmetic only, so the native and the Windows builds draw the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/encoders/Bitmap.h"

enum class Look {
    Natural,         // smooth gradients, a noisy ground, shapes with hard edges
    Incompressible,  // every byte random: no run, no match
    OneColour,       // every pixel the same
};

enum class PackedFormat { Gp, Kmlz };

struct BenchPicture {
    std::string name;  // e.g. "KMLZ 24-bit natural"
    PackedFormat format;
    std::uint16_t bits;
    Look look;
    Bitmap bitmap;       // what the file decodes to
    Bytes file;          // the packed file
    std::int64_t decodedBytes;  // stride x rows: the pixel bytes a decode delivers
};

std::string LookName(Look look);

// A picture of width x height pixels (bottom row first) at 8, 16 or 24 bits.
Bitmap DrawPicture(std::int32_t width, std::int32_t height, std::uint16_t bits, Look look);

// The picture packed in the given format.
BenchPicture PackPicture(const Bitmap& bitmap, PackedFormat format, Look look);

// The full set: every look of the three sizes, GP for the 24-bit ones and KMLZ for all. scale
// divides both sides (1 for the real sizes; the emulated timing host may take smaller ones).
std::vector<BenchPicture> MakeBenchPictures(std::int32_t scale = 1);

// FNV-1a over bytes, 64 bits: the fingerprint of a decoded block.
std::uint64_t Fingerprint(const std::uint8_t* bytes, std::size_t count,
                          std::uint64_t seed = 0xCBF29CE484222325ull);
