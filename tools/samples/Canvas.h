// A small RGB drawing surface for the pictures we bundle as samples: gradients, discs, rectangles
// and block-letter text. Row 0 is the top row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    std::uint8_t red, green, blue;
};

class Canvas {
public:
    Canvas(int width, int height);

    int Width() const { return width; }
    int Height() const { return height; }
    Rgb At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

    // Top to bottom from `top` to `bottom`.
    void VerticalGradient(Rgb top, Rgb bottom);
    void Rectangle(int left, int top, int right, int bottom, Rgb colour);  // right, bottom exclusive
    void Disc(int centreX, int centreY, int radius, Rgb colour);
    // Rows below the curve y = base - amplitude * sin(x / period) are filled.
    void Hill(int base, int amplitude, double period, Rgb colour);
    // Text in the 5 x 7 block font, each font pixel scale x scale, one pixel between letters.
    void Text(int left, int top, const std::string& text, int scale, Rgb colour);

private:
    void Put(int x, int y, Rgb colour);

    int width, height;
    std::vector<Rgb> pixels;
};
