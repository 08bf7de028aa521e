// orvane-sample-art DIR: draws the pictures that become our bundled samples and writes them to DIR
// as plain BMP files, named after the sample each one becomes.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "tools/encoders/BmpWriter.h"
#include "tools/samples/CanvasBitmap.h"

namespace {

const Rgb kNight{20, 24, 72}, kDusk{250, 150, 90}, kSun{255, 230, 120}, kHillFar{70, 90, 60},
    kHillNear{34, 60, 30}, kWhite{255, 255, 255}, kInk{16, 16, 32};

Canvas Sunset() {
    Canvas c(96, 64);
    c.VerticalGradient(kNight, kDusk);
    c.Disc(64, 40, 12, kSun);
    c.Hill(48, 5, 9.0, kHillFar);
    c.Hill(56, 3, 5.0, kHillNear);
    c.Text(3, 3, "ORVANE", 1, kWhite);
    return c;
}

Canvas Banner() {
    Canvas c(75, 32);  // an odd width: rows end inside 3-byte units
    c.VerticalGradient(Rgb{230, 240, 255}, Rgb{150, 190, 240});
    c.Rectangle(0, 0, 75, 3, kInk);
    c.Rectangle(0, 29, 75, 32, kInk);
    c.Text(3, 6, "GP", 2, Rgb{180, 30, 40});
    c.Text(30, 9, "KMLZ", 1, kInk);
    c.Text(30, 19, "2468", 1, Rgb{20, 110, 60});
    return c;
}

const std::vector<Rgb>& TwelveColours() {
    static const std::vector<Rgb> palette{{0, 0, 0},     {255, 255, 255}, {200, 30, 30},  {30, 160, 60},
                                          {40, 60, 200}, {240, 200, 40},  {120, 60, 160}, {40, 190, 200},
                                          {240, 120, 30}, {120, 120, 120}, {250, 170, 190}, {90, 50, 20}};
    return palette;
}

Canvas Rings() {
    Canvas c(64, 48);
    const std::vector<Rgb>& p = TwelveColours();
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) c.Rectangle(x, y, x + 1, y + 1, ((x / 8 + y / 8) % 2) ? p[9] : p[1]);
    }
    for (int r = 22, i = 2; r > 0; r -= 3, ++i) c.Disc(32, 24, r, p[i]);  // colours 2 to 9
    c.Text(2, 40, "LZ8", 1, p[0]);
    return c;
}

Canvas Tiles() {
    Canvas c(77, 40);  // an odd width with 2-byte pixels: every row is padded
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 77; ++x) {
            const Rgb colour{static_cast<std::uint8_t>(x * 255 / 76), static_cast<std::uint8_t>(y * 255 / 39),
                             static_cast<std::uint8_t>(((x / 11 + y / 10) % 2) ? 200 : 60)};
            c.Rectangle(x, y, x + 1, y + 1, colour);
        }
    }
    c.Text(4, 16, "16", 1, kWhite);
    return c;
}

struct Sample {
    const char* name;
    std::function<Canvas()> draw;
    StoreAs format;
};

std::vector<Sample> Samples() {
    StoreAs palette8{8, false, TwelveColours(), false};
    StoreAs banner8{8, true, {kInk, {230, 240, 255}, {200, 215, 245}, {175, 200, 240}, {150, 190, 240},
                              {180, 30, 40}, {20, 110, 60}, kWhite}, true};
    return {
        {"gp-sunset24", Sunset, StoreAs{24, false, {}, true}},
        {"gp-banner24-topdown", Banner, StoreAs{24, true, {}, true}},
        {"lz-sunset24", Sunset, StoreAs{24, false, {}, true}},
        {"lz-rings8", Rings, palette8},
        {"lz-tiles16", Tiles, StoreAs{16, false, {}, true}},
        {"lz-banner8-topdown", Banner, banner8},
    };
}

bool WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: orvane-sample-art DIR\n", stderr);
        return 2;
    }
    const std::filesystem::path dir(argv[1]);
    std::filesystem::create_directories(dir);
    for (const Sample& sample : Samples()) {
        const std::filesystem::path path = dir / (std::string(sample.name) + ".bmp");
        if (!WriteFile(path, BmpFileBytes(CanvasBitmap(sample.draw(), sample.format)))) {
            std::fprintf(stderr, "orvane-sample-art: cannot write %s\n", path.string().c_str());
            return 1;
        }
        std::printf("%s\n", path.string().c_str());
    }
    return 0;
}
