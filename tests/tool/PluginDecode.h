// Decodes a packed picture through the plug-in's GetPicture with memory input, as a host does, and
// keeps copies of the two blocks that it hands over.
#pragma once

#include <cstdint>

#include "tools/encoders/Bitmap.h"

struct Decoded {
    int result = -99;
    BitmapInfoHeader header{};
    Bytes infoBlock;   // everything in the information block
    Bytes pixelBlock;  // everything in the pixel block
};

Decoded DecodeThroughPlugin(const Bytes& file);
