// Turns a decoded bitmap into an upright PNG image: top row first whether the rows came bottom-up
// or top-down; 8-bit pictures become palette images holding only the entries the pixels use,
// 16-bit 5-5-5 pixels widen to 8 bits a channel exactly (v << 3 | v >> 2), 24-bit stay RGB.
#pragma once

#include "tools/encoders/Bitmap.h"
#include "tools/orvane/PngImage.h"

PngImage UprightImage(const Bitmap& bitmap);

// An indexed image with its palette applied, for writers that keep no palette.
PngImage ExpandPalette(const PngImage& indexed);
