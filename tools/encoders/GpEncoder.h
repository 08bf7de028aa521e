// Packs a 24-bit bitmap as a "GP" run-length picture: "GP", the 40-byte header, then packets over
// the padded rows cut into 3-byte units straight across the row ends (the last unit zero-padded).
// Maximal runs of equal units become run packets and everything else literal packets, each packet
// at most 128 units long.
#pragma once

#include "tools/encoders/Bitmap.h"

// Throws BitmapError for a picture that is not 24-bit or has colour-table fields set.
Bytes EncodeGp(const Bitmap& bitmap);

// The packets alone for the given pixel bytes.
Bytes EncodeGpPackets(const Bytes& pixelBytes);
