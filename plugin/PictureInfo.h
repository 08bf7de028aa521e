// The host interface's picture-information record: byte-packed, 26 bytes on every build.
#pragma once

#include <cstdint>

#pragma pack(push, 1)
struct PictureInfo {
    std::int32_t left;  // where the picture is placed; always 0 here
    std::int32_t top;
    std::int32_t width;   // biWidth as stored
    std::int32_t height;  // biHeight as stored: negative for a top-down picture
    std::uint16_t xDensity;
    std::uint16_t yDensity;
    std::int16_t colorDepth;  // bits per pixel
    // Handle of the picture's text information. A 32-bit field even on the 64-bit build; this
    // plug-in has no text and always writes 0, since hosts free any handle that is not 0.
    std::uint32_t textInfo;
};
#pragma pack(pop)

static_assert(sizeof(PictureInfo) == 26, "PictureInfo must be 26 bytes, as the host expects");
