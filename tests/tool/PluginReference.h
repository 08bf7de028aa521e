// What the tool's output should show, worked out independently of the tool: the picture decoded
// by the real plug-in file (loaded with the shared loader) and its upright RGB pixels.
#pragma once

#include <string>

#include "tools/encoders/Bitmap.h"

// The picture as the plug-in at ORVANE_PLUGIN_PATH hands it over: its header, the colour table
// of an 8-bit picture, the rows. Fails the current test and returns an empty bitmap if it cannot.
Bitmap DecodeWithPlugin(const Bytes& file);

// Red, green, blue of each pixel, top row first: palettes applied, 5-5-5 widened as v << 3 | v >> 2.
Bytes UprightRgb(const Bitmap& bitmap);
