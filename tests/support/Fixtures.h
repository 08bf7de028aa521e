// Pictures made in test code: GP and KMLZ files from headers, packets and pixel rows, with a
// literal-only LZSS writer (trivially correct) for KMLZ content.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "decoders/BitmapInfoHeader.h"

using Bytes = std::vector<std::uint8_t>;

// A BI_RGB header with the given size and depth and every other field 0.
BitmapInfoHeader MakeHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount);

// Padded row length of a picture.
std::int32_t StrideOf(std::int32_t width, std::int32_t bitCount);

Bytes HeaderBytes(const BitmapInfoHeader& header);

// "GP", the header, then the packet bytes as given.
Bytes GpFile(const BitmapInfoHeader& header, const Bytes& packets);

// Literal packets of up to 128 units covering rowBytes (padded with zero bytes to whole units).
Bytes GpLiteralPackets(const Bytes& rowBytes);

// The LZSS coding of data with literals only.
Bytes LiteralLzss(const Bytes& data);

// A Windows bitmap file: 14-byte file header, the info header, the colour table, the rows.
Bytes BitmapFile(const BitmapInfoHeader& header, const Bytes& colours, const Bytes& rows);

// "KMLZ" with the 33-byte header declaring declaredSize, then compressed as given.
Bytes KmlzFile(std::int32_t declaredSize, const Bytes& compressed);

// The usual KMLZ file: content compressed with literals only, its own size declared.
Bytes KmlzOf(const Bytes& content);

// Deterministic bytes that change from one to the next (a simple counter-based hash).
Bytes PatternBytes(std::size_t count, std::uint32_t seed);

Bytes Concat(std::initializer_list<Bytes> parts);
