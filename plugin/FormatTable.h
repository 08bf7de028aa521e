// The formats that the plug-in serves, probed in this order.
#pragma once

#include "plugin/PictureDecoder.h"

struct FormatEntry {
    const char* extension;    // a file pattern for the host, "*.ext"
    const char* description;  // handed to the host unchanged
    PictureDecoder* (*factory)();  // a new decoder of the row's format, or none when memory is out
};

constexpr int kFormatCount = 2;

extern const FormatEntry FormatTable[kFormatCount];
