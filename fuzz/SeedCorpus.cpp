// Writes the seed corpus of the three fuzz targets: small pictures of every served kind made with
// the test fixtures, and every file given on the command line (the samples). Usage:
//   orvane_fuzz_seeds CORPUS_DIR [SAMPLE...]
// Each seed is named by a hash of its content, so writing the corpus again changes nothing.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/Fixtures.h"

namespace fs = std::filesystem;

namespace {

std::string NameOf(const Bytes& content) {
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (std::uint8_t b : content) h = (h ^ b) * 1099511628211ull;
    char name[20];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(h));
    return name;
}

void Write(const fs::path& dir, const Bytes& content) {
    fs::create_directories(dir);
    std::ofstream(dir / NameOf(content), std::ios::binary)
        .write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
}

// One picture file, as each target takes it.
void AddPicture(const fs::path& corpus, const Bytes& file) {
    // The picture target's first byte holds the host's flag bits: none, and "ignore case" (0x80).
    Write(corpus / "picture", Concat({Bytes{0x00}, file}));
    Write(corpus / "picture", Concat({Bytes{0x80}, file}));
    Write(corpus / "is_supported", Bytes(file.begin(), file.begin() + static_cast<long>(std::min<std::size_t>(file.size(), 2048))));
    // The reader target: a KMLZ file's LZSS data under its declared size, in reads of 1, 14, 40,
    // 300 and -1 bytes, then the rest.
    if (file.size() > 33 && file[0] == 'K' && file[1] == 'M' && file[2] == 'L' && file[3] == 'Z') {
        const Bytes script{file[9], file[10], file[11], file[12], 5, 1, 0, 14, 0, 40, 0, 0x2C, 0x01, 0xFF, 0xFF};
        Write(corpus / "lzss_reader", Concat({script, Bytes(file.begin() + 33, file.end())}));
    }
}

Bytes Kmlz(std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t colours) {
    BitmapInfoHeader h = MakeHeader(width, height, bits);
    h.biClrUsed = colours;
    const std::int32_t rows = height < 0 ? -height : height;
    const std::size_t tableEntries = bits == 8 ? (colours != 0 ? colours : 256) : 0;
    return KmlzOf(BitmapFile(h, PatternBytes(4 * tableEntries, 7),
                             PatternBytes(static_cast<std::size_t>(StrideOf(width, bits) * rows), bits)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR [SAMPLE...]\n", argv[0]);
        return 2;
    }
    const fs::path corpus = argv[1];

    // GP: one run packet over a 4 x 2 picture, literal rows, a top-down picture, an empty one.
    AddPicture(corpus, GpFile(MakeHeader(4, 2, 24), Bytes{0x0F, 1, 2, 3}));
    AddPicture(corpus, GpFile(MakeHeader(5, 3, 24), GpLiteralPackets(PatternBytes(StrideOf(5, 24) * 3, 1))));
    AddPicture(corpus, GpFile(MakeHeader(3, -2, 24), GpLiteralPackets(PatternBytes(StrideOf(3, 24) * 2, 2))));
    AddPicture(corpus, GpFile(MakeHeader(0, 0, 24), Bytes{}));
    // KMLZ: each depth, a short colour table, a top-down picture, and references in the LZSS data.
    AddPicture(corpus, Kmlz(3, 2, 24, 0));
    AddPicture(corpus, Kmlz(5, 3, 16, 8));
    AddPicture(corpus, Kmlz(6, 2, 8, 0));
    AddPicture(corpus, Kmlz(7, 3, 8, 16));
    AddPicture(corpus, Kmlz(4, -3, 24, 0));
    // A row of 20 bytes 0x61: two literals, then one 18-byte reference to the byte just written.
    BitmapInfoHeader twoColours = MakeHeader(19, 1, 8);
    twoColours.biClrUsed = 2;
    const Bytes prefix = Concat({BitmapFile(twoColours, PatternBytes(8, 3), Bytes{}), Bytes{0x61, 0x61}});
    AddPicture(corpus, KmlzFile(static_cast<std::int32_t>(prefix.size()) + 18,
                                Concat({LiteralLzss(prefix), Bytes{0x00, 0x2D, 0x0F}})));

    // Huge pictures over a few bytes (once a very long loop, and blocks cleared in full).
    AddPicture(corpus, KmlzOf(BitmapFile(MakeHeader(0, -0x7FFFFFFF, 24), Bytes{}, Bytes{})));
    AddPicture(corpus, KmlzOf(BitmapFile(MakeHeader(1 << 27, 2, 8), PatternBytes(16, 7), PatternBytes(48, 1))));
    AddPicture(corpus, KmlzOf(BitmapFile(MakeHeader(1, -(1 << 25), 24), Bytes{}, PatternBytes(48, 2))));
    AddPicture(corpus, GpFile(MakeHeader(3, -(1 << 24), 24), Bytes{0x01, 1, 2, 3}));

    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        const Bytes file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (!file.empty()) AddPicture(corpus, file);
    }
    return 0;
}
