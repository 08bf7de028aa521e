#include "tools/samples/Canvas.h"

#include <cmath>

#include "tools/samples/PixelFont.h"

namespace {

std::uint8_t Mix(std::uint8_t a, std::uint8_t b, int step, int steps) {
    return static_cast<std::uint8_t>(a + (b - a) * step / (steps > 0 ? steps : 1));
}

}  // namespace

Canvas::Canvas(int width, int height)
    : width(width), height(height), pixels(static_cast<std::size_t>(width) * height, Rgb{0, 0, 0}) {}

void Canvas::Put(int x, int y, Rgb colour) {
    if (x >= 0 && y >= 0 && x < width && y < height) pixels[static_cast<std::size_t>(y) * width + x] = colour;
}

void Canvas::VerticalGradient(Rgb top, Rgb bottom) {
    for (int y = 0; y < height; ++y) {
        const Rgb c{Mix(top.red, bottom.red, y, height - 1), Mix(top.green, bottom.green, y, height - 1),
                    Mix(top.blue, bottom.blue, y, height - 1)};
        for (int x = 0; x < width; ++x) Put(x, y, c);
    }
}

void Canvas::Rectangle(int left, int top, int right, int bottom, Rgb colour) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) Put(x, y, colour);
    }
}

void Canvas::Disc(int centreX, int centreY, int radius, Rgb colour) {
    for (int y = centreY - radius; y <= centreY + radius; ++y) {
        for (int x = centreX - radius; x <= centreX + radius; ++x) {
            const int dx = x - centreX, dy = y - centreY;
            if (dx * dx + dy * dy <= radius * radius) Put(x, y, colour);
        }
    }
}

void Canvas::Hill(int base, int amplitude, double period, Rgb colour) {
    for (int x = 0; x < width; ++x) {
        const int top = base - static_cast<int>(std::lround(amplitude * std::sin(x / period)));
        for (int y = top; y < height; ++y) Put(x, y, colour);
    }
}

void Canvas::Text(int left, int top, const std::string& text, int scale, Rgb colour) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* const* rows = GlyphRows(text[i]);
        const int glyphLeft = left + static_cast<int>(i) * (kGlyphWidth + 1) * scale;
        for (int gy = 0; gy < kGlyphHeight; ++gy) {
            for (int gx = 0; gx < kGlyphWidth; ++gx) {
                if (rows[gy][gx] != '#') continue;
                Rectangle(glyphLeft + gx * scale, top + gy * scale, glyphLeft + (gx + 1) * scale,
                          top + (gy + 1) * scale, colour);
            }
        }
    }
}
