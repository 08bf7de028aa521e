// A 5 x 7 block font of our own for the letters and digits the sample pictures show.
#pragma once

// Seven rows of five characters, '#' for a set pixel; a blank glyph for characters not drawn.
const char* const* GlyphRows(char c);

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
