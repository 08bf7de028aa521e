// Packs a bitmap as "KMLZ": a 33-byte header ("KMLZ" at 0, the decompressed size little-endian at
// byte 9, every other byte 0), then the LZSS coding of the whole bitmap file: file header, info
// header, colour table (8-bit pictures) and rows.
#pragma once

#include "tools/encoders/Bitmap.h"
#include "tools/encoders/LzssEncoder.h"

Bytes EncodeKmlz(const Bitmap& bitmap, const LzssOptions& options = {});

constexpr std::size_t kKmlzHeaderSize = 33;
