// Reads an uncompressed Windows bitmap file with the 40-byte BITMAPINFOHEADER and 8, 16 or 24 bits
// per pixel: the forms that both packed formats can hold. Anything else is refused with a
// BitmapError that says why.
#pragma once

#include "tools/encoders/Bitmap.h"

// The picture in file; the rows are taken from where bfOffBits points. A 16- or 24-bit file's
// optional colour table is only a display hint and is dropped, with biClrUsed and biClrImportant
// set to 0.
Bitmap ReadBmp(const Bytes& file);
