// The pictures that the end-to-end tests hand to orvane, packed by our encoders: both formats,
// 8, 16 and 24 bits, bottom-up and top-down, odd widths.
#pragma once

#include <string>
#include <vector>

#include "tests/tool/TempFolder.h"

struct ToolInput {
    std::string name;  // file name in the folder
    Bitmap bitmap;     // the picture packed into it
};

// sun.gpc, band.gpc (top-down), eight.bmp (8-bit, 16 colours), sixteen.bmp (top-down), true.bmp.
std::vector<ToolInput> StandardInputs();

// Writes each input into folder (packed as its extension says) and returns their paths.
std::vector<std::string> WriteInputs(const TempFolder& folder, const std::vector<ToolInput>& inputs);
