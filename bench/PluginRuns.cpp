#include "bench/PluginRuns.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <sstream>

#include "bench/ReferenceDecoders.h"
#include "platform/Platform.h"
#include "stream/FileStream.h"
#include "tools/encoders/GpEncoder.h"
#include "tools/encoders/KmlzEncoder.h"

namespace {

HLOCAL const kUnset = nullptr;

void FreeBlocks(HLOCAL info, HLOCAL pixels) {
    if (info != kUnset) LocalFree(info);
    if (pixels != kUnset) LocalFree(pixels);
}

Decoded Collect(int result, HLOCAL info, HLOCAL pixels) {
    Decoded out;
    out.result = result;
    if (result == 0) {
        const auto* i = static_cast<const std::uint8_t*>(info);
        const auto* p = static_cast<const std::uint8_t*>(pixels);
        out.info.assign(i, i + LocalSize(info));
        out.pixels.assign(p, p + LocalSize(pixels));
    }
    FreeBlocks(info, pixels);
    return out;
}

std::string Hex(std::uint64_t value) {
    std::ostringstream s;
    s << std::hex << std::setw(16) << std::setfill('0') << value;
    return s.str();
}

// The fingerprint of one decode: its result, then both blocks with their sizes.
std::string DecodedPrint(const Decoded& d) {
    if (d.result != 0) return "result " + std::to_string(d.result);
    std::uint64_t h = Fingerprint(d.info.data(), d.info.size());
    h = Fingerprint(d.pixels.data(), d.pixels.size(), h);
    return Hex(h) + " " + std::to_string(d.info.size()) + "+" + std::to_string(d.pixels.size());
}

Bytes Prefixed(const Bytes& file, std::size_t junk) {
    Bytes out(junk + file.size(), 0xA5);
    std::copy(file.begin(), file.end(), out.begin() + static_cast<long>(junk));
    return out;
}

struct ChecksumCase {
    std::string name;
    Bytes file;
};

std::vector<ChecksumCase> ChecksumCases() {
    std::vector<ChecksumCase> cases;
    for (const BenchPicture& p : MakeBenchPictures(8)) cases.push_back({p.name + " /8", p.file});

    const Look looks[] = {Look::Natural, Look::Incompressible, Look::OneColour};
    for (const std::uint16_t bits : {24, 16, 8}) {
        for (const Look look : looks) {
            Bitmap b = DrawPicture(333, 77, bits, look);
            const std::string kind = std::to_string(bits) + "-bit " + LookName(look);
            if (bits == 24) cases.push_back({"GP " + kind + " 333x77", EncodeGp(b)});
            cases.push_back({"KMLZ " + kind + " 333x77", EncodeKmlz(b)});
            // The same rows declared top-down.
            b.header.biHeight = -b.header.biHeight;
            if (bits == 24) cases.push_back({"GP " + kind + " top-down", EncodeGp(b)});
            cases.push_back({"KMLZ " + kind + " top-down", EncodeKmlz(b)});
        }
    }
    for (std::int32_t width = 1; width <= 7; ++width) {
        const Bitmap b = DrawPicture(width, 5, 24, Look::Natural);
        cases.push_back({"GP 24-bit " + std::to_string(width) + "x5", EncodeGp(b)});
        cases.push_back({"KMLZ 24-bit " + std::to_string(width) + "x5", EncodeKmlz(b)});
    }
    {
        // A short colour table.
        Bitmap b = DrawPicture(64, 32, 8, Look::Natural);
        b.header.biClrUsed = 100;
        b.colours.resize(4 * 100);
        cases.push_back({"KMLZ 8-bit 100 colours", EncodeKmlz(b)});
    }
    // Files cut off anywhere: the data ends inside a packet, a group, a reference.
    std::vector<ChecksumCase> cut;
    for (const ChecksumCase& c : cases) {
        if (c.name.find("333x77") == std::string::npos) continue;
        for (int k = 1; k <= 6; ++k) {
            const std::size_t size = c.file.size() * static_cast<std::size_t>(k) / 7 + static_cast<std::size_t>(k);
            if (size >= c.file.size()) continue;
            cut.push_back({c.name + " cut at " + std::to_string(size),
                           Bytes(c.file.begin(), c.file.begin() + static_cast<long>(size))});
        }
        cut.push_back({c.name + " less one byte", Bytes(c.file.begin(), c.file.end() - 1)});
    }
    cases.insert(cases.end(), cut.begin(), cut.end());
    return cases;
}

}  // namespace

BenchFile::BenchFile(const std::string& name, const Bytes& content) {
    static unsigned serial = 0;
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    std::string safe;
    for (const char c : name) safe += (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ? c : '-';
    path = (std::filesystem::temp_directory_path() /
            ("orvane-bench-" + std::to_string(tick) + "-" + std::to_string(serial++) + "-" + safe + ".bin"))
               .string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || std::fwrite(content.data(), 1, content.size(), f) != content.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(2);
    }
}

BenchFile::~BenchFile() { std::remove(path.c_str()); }

bool GetPictureByPath(const PluginApi& api, const std::string& path, std::int32_t offset) {
    HLOCAL info = kUnset, pixels = kUnset;
    const int result = api.GetPicture(path.c_str(), offset, 0, &info, &pixels, nullptr, 0);
    FreeBlocks(info, pixels);
    return result == 0;
}

bool GetPictureFromMemory(const PluginApi& api, const Bytes& file) {
    HLOCAL info = kUnset, pixels = kUnset;
    const int result = api.GetPicture(reinterpret_cast<LPCSTR>(file.data()), static_cast<std::int32_t>(file.size()),
                                      1, &info, &pixels, nullptr, 0);
    FreeBlocks(info, pixels);
    return result == 0;
}

bool ReadWholeFile(const std::string& path) {
    std::vector<std::uint8_t> buffer(FileStream::kReadAhead);
    HANDLE handle = OpenHostHandle(path);
    if (handle == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    for (DWORD got = 1; ok && got > 0;) ok = ReadFile(handle, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) != 0;
    CloseHandle(handle);
    return ok;
}

HANDLE OpenHostHandle(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool IsSupportedOnHandle(const PluginApi& api, HANDLE handle) {
    SetFilePointer(handle, 0, nullptr, FILE_BEGIN);
    return api.IsSupported("picture", reinterpret_cast<ULONG_PTR>(handle)) != 0;
}

Decoded DecodeByPath(const PluginApi& api, const std::string& path, std::int32_t offset) {
    HLOCAL info = kUnset, pixels = kUnset;
    const int result = api.GetPicture(path.c_str(), offset, 0, &info, &pixels, nullptr, 0);
    return Collect(result, info, pixels);
}

Decoded DecodeFromMemory(const PluginApi& api, const Bytes& file) {
    HLOCAL info = kUnset, pixels = kUnset;
    const int result = api.GetPicture(reinterpret_cast<LPCSTR>(file.data()), static_cast<std::int32_t>(file.size()),
                                      1, &info, &pixels, nullptr, 0);
    return Collect(result, info, pixels);
}

bool CopyIntoFreshBlock(const BenchPicture& picture) {
    HLOCAL block = LocalAlloc(LMEM_FIXED, static_cast<SIZE_T>(picture.decodedBytes) + 768);
    if (block == nullptr) return false;
    std::memcpy(block, picture.bitmap.rows.data(), picture.bitmap.rows.size());
    const bool stored = static_cast<const std::uint8_t*>(block)[0] == picture.bitmap.rows[0];
    LocalFree(block);
    return stored;
}

std::size_t ReferenceOutputSize(const BenchPicture& picture) {
    const std::size_t output = picture.format == PackedFormat::Gp ? static_cast<std::size_t>(picture.decodedBytes) + 768
                                                                  : KmlzDeclaredSize(picture.file.data());
    return std::max(output, picture.bitmap.rows.size());
}

std::size_t RunReference(const BenchPicture& picture, std::uint8_t* out) {
    return picture.format == PackedFormat::Gp ? DecodeGpPlain(picture.file.data(), picture.file.size(), out)
                                              : DecodeKmlzPlain(picture.file.data(), picture.file.size(), out);
}

bool ReferenceIntoFreshBlock(const BenchPicture& picture) {
    HLOCAL block = LocalAlloc(LMEM_FIXED, ReferenceOutputSize(picture));
    if (block == nullptr) return false;
    const bool decoded = RunReference(picture, static_cast<std::uint8_t*>(block)) > 0;
    LocalFree(block);
    return decoded;
}

std::string VerifyPicture(const PluginApi& api, const BenchPicture& picture, const std::string& path) {
    const Decoded byPath = DecodeByPath(api, path, 0);
    const Decoded fromMemory = DecodeFromMemory(api, picture.file);
    if (byPath.result != 0 || fromMemory.result != 0) return "GetPicture failed";
    if (byPath.info != fromMemory.info || byPath.pixels != fromMemory.pixels) return "path and memory differ";
    const Bitmap& b = picture.bitmap;
    const std::size_t rows = b.rows.size();
    if (fromMemory.pixels.size() < rows || !std::equal(b.rows.begin(), b.rows.end(), fromMemory.pixels.begin())) {
        return "the pixel rows are not the picture's";
    }
    if (std::memcmp(fromMemory.info.data(), &b.header, sizeof b.header) != 0 ||
        !std::equal(b.colours.begin(), b.colours.end(), fromMemory.info.begin() + sizeof b.header)) {
        return "the information block is not the picture's";
    }
    Bytes reference(ReferenceOutputSize(picture));
    RunReference(picture, reference.data());
    const std::size_t at = picture.format == PackedFormat::Gp ? 0 : 54 + b.colours.size();
    if (reference.size() < at + rows || !std::equal(b.rows.begin(), b.rows.end(), reference.begin() + static_cast<long>(at))) {
        return "the reference decoder disagrees";
    }
    return "";
}

void PrintChecksums(const PluginApi& api, std::ostream& out) {
    constexpr std::size_t kJunk = 13;
    out << "| picture | bytes | by path | by path at " << kJunk << " | from memory | info | IsSupported on a handle |\n";
    out << "|---|---|---|---|---|---|---|\n";
    for (const ChecksumCase& c : ChecksumCases()) {
        const BenchFile file(c.name, c.file);
        const BenchFile later(c.name, Prefixed(c.file, kJunk));
        PictureInfo info;
        std::memset(&info, 0x3C, sizeof info);
        const int infoResult = api.GetPictureInfo(reinterpret_cast<LPCSTR>(c.file.data()),
                                                  static_cast<std::int32_t>(c.file.size()), 1, &info);
        std::string supported = "no handle";
        HANDLE handle = OpenHostHandle(later.Path());
        if (handle != INVALID_HANDLE_VALUE) {
            SetFilePointer(handle, static_cast<LONG>(kJunk), nullptr, FILE_BEGIN);
            const int answer = api.IsSupported("picture", reinterpret_cast<ULONG_PTR>(handle));
            supported = std::to_string(answer) + " at " + std::to_string(SetFilePointer(handle, 0, nullptr, FILE_CURRENT));
            CloseHandle(handle);
        }
        out << "| " << c.name << " | " << c.file.size() << " | " << DecodedPrint(DecodeByPath(api, file.Path(), 0))
            << " | " << DecodedPrint(DecodeByPath(api, later.Path(), kJunk)) << " | "
            << DecodedPrint(DecodeFromMemory(api, c.file)) << " | " << infoResult << " "
            << Hex(Fingerprint(reinterpret_cast<const std::uint8_t*>(&info), sizeof info)) << " | " << supported
            << " |\n";
    }
}

void PrintRatioTable(const std::vector<Timings>& rows, std::ostream& out) {
    const auto mbps = [](double bytes, double seconds) { return seconds > 0 ? bytes / seconds / 1e6 : 0.0; };
    out << std::fixed;
    out << "| picture | decoded MB | by path MB/s | from memory MB/s | reference MB/s | memcpy MB/s "
           "| path / memory | path / (memory + file read) | memory / reference | memory / reference in a fresh block "
           "| reference / memcpy | memory / fresh block | IsSupported on a handle µs | heap beyond the blocks, bytes |\n";
    out << "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const Timings& t : rows) {
        out << "| " << t.name << " | " << std::setprecision(2) << t.decodedBytes / 1e6 << " | " << std::setprecision(0)
            << mbps(t.decodedBytes, t.byPath) << " | " << mbps(t.decodedBytes, t.fromMemory) << " | "
            << mbps(t.decodedBytes, t.reference) << " | " << mbps(t.decodedBytes, t.memcpyLine) << " | "
            << std::setprecision(2) << t.byPath / t.fromMemory << " | " << t.byPath / (t.fromMemory + t.fileRead)
            << " | " << t.fromMemory / t.reference << " | " << t.fromMemory / t.referenceInFreshBlock << " | "
            << t.reference / t.memcpyLine << " | " << t.fromMemory / t.freshBlock << " | " << std::setprecision(1) << t.isSupported * 1e6 << " | ";
        if (t.heapPeakBytes >= 0) {
            out << std::setprecision(0) << t.heapPeakBytes;
        } else {
            out << "-";
        }
        out << " |\n";
    }
    out.unsetf(std::ios::floatfield);
}
