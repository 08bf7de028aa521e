// orvane pack: a plain BMP file packed as GP or KMLZ by our own encoders.
#include <cstdio>
#include <stdexcept>

#include "tools/encoders/BmpReader.h"
#include "tools/encoders/BmpWriter.h"
#include "tools/encoders/GpEncoder.h"
#include "tools/encoders/KmlzEncoder.h"
#include "tools/orvane/AtomicFile.h"
#include "tools/orvane/Commands.h"
#include "tools/orvane/FileBytes.h"
#include "tools/orvane/Report.h"

namespace {

std::string Percent(std::size_t part, std::size_t whole) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%%", whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return text;
}

}  // namespace

int RunPack(const Options& options) {
    const std::string& input = options.files[0];
    const std::string& output = options.files[1];
    try {
        const Bitmap bitmap = ReadBmp(ReadFileBytes(input));
        const Bytes packed = options.to == "gpc" ? EncodeGp(bitmap) : EncodeKmlz(bitmap);
        WriteFileAtomically(output, packed, options.force);
        const std::size_t plain = BmpFileBytes(bitmap).size();
        const std::string line = output + ": " + options.to + ", " + std::to_string(packed.size()) + " bytes from a " +
                                 std::to_string(plain) + "-byte bitmap (" + Percent(packed.size(), plain) + ")\n";
        std::fputs(line.c_str(), stdout);
        return 0;
    } catch (const std::exception& e) {
        ReportFailure(input, e.what());
        return 1;
    }
}
