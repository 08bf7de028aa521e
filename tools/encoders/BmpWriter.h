// Writes a standard Windows bitmap file: the 14-byte file header, the 40-byte header, the colour
// table and the rows directly after it.
#pragma once

#include "tools/encoders/Bitmap.h"

Bytes BmpFileBytes(const Bitmap& bitmap);
