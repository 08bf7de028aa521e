// The floor of the benchmarks: the two formats decoded by the shortest plain loops over a byte
// array, with no stream, no virtual call and no window of their own. They handle whole, well-formed
// files only (the benchmark pictures); what the plug-in does with damaged data is not their business.
#pragma once

#include <cstddef>
#include <cstdint>

// Expands the packets of a whole "GP" file into out, which holds stride x rows + 768 bytes (the
// last packet may run past the rows). Returns the pixel bytes of the picture, stride x rows.
std::size_t DecodeGpPlain(const std::uint8_t* file, std::size_t size, std::uint8_t* out);

// Decompresses the LZSS data of a whole "KMLZ" file into out, which holds the declared decompressed
// size (the bitmap file: its headers, its colour table, its rows). Returns the bytes produced.
std::size_t DecodeKmlzPlain(const std::uint8_t* file, std::size_t size, std::uint8_t* out);

// The decompressed size that a "KMLZ" file declares.
std::size_t KmlzDeclaredSize(const std::uint8_t* file);
