#include "tools/orvane/PluginHost.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "tools/orvane/ResultText.h"

namespace {

constexpr std::size_t kProbeBytes = 2048;  // what hosts hand to IsSupported
constexpr unsigned int kFromMemory = 1;
constexpr std::size_t kMaxInput = 0x7FFFFFFF;

// A local block's bytes, copied; the block is freed.
Bytes TakeBlock(HLOCAL block) {
    if (block == nullptr) return Bytes{};
#ifdef _WIN32
    const auto* bytes = static_cast<const std::uint8_t*>(LocalLock(block));
#else
    const auto* bytes = static_cast<const std::uint8_t*>(block);
#endif
    Bytes copy(bytes, bytes + LocalSize(block));
#ifdef _WIN32
    LocalUnlock(block);
#endif
    LocalFree(block);
    return copy;
}

void CheckHeader(const BitmapInfoHeader& h) {
    if (h.biSize < kBitmapInfoHeaderSize || h.biPlanes != 1 || h.biCompression != kBiRgb) {
        throw std::runtime_error("the plug-in delivered a picture in a layout orvane does not read");
    }
    if (h.biBitCount != 8 && h.biBitCount != 16 && h.biBitCount != 24) {
        throw std::runtime_error("the plug-in delivered a " + std::to_string(h.biBitCount) +
                                 "-bit picture; orvane writes 8-, 16- and 24-bit pictures");
    }
    if (h.biBitCount == 8 && h.biClrUsed > 256) {
        throw std::runtime_error("the plug-in delivered " + std::to_string(h.biClrUsed) + " colours for an 8-bit picture");
    }
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) {
        throw std::runtime_error("the picture has no pixels (width " + std::to_string(h.biWidth) + ", height " +
                                 std::to_string(h.biHeight) + ")");
    }
}

// The delivered blocks as a bitmap; a colour table cut short by the block's end is filled with black.
Bitmap AssembleBitmap(const Bytes& info, const Bytes& pixels) {
    Bitmap bitmap;
    if (info.size() < sizeof bitmap.header) throw std::runtime_error("the plug-in's information block is too small");
    std::memcpy(&bitmap.header, info.data(), sizeof bitmap.header);
    CheckHeader(bitmap.header);
    const std::size_t tableAt = bitmap.header.biSize;
    const std::size_t colourBytes = static_cast<std::size_t>(4 * ColourEntries(bitmap.header));
    bitmap.colours.assign(colourBytes, 0);
    if (info.size() > tableAt) {
        std::copy_n(info.begin() + static_cast<long>(tableAt), std::min(colourBytes, info.size() - tableAt),
                    bitmap.colours.begin());
    }
    bitmap.header.biSize = kBitmapInfoHeaderSize;
    const std::int64_t rowBytes = RowStride(bitmap.header) * RowCount(bitmap.header);
    if (static_cast<std::int64_t>(pixels.size()) < rowBytes) {
        throw std::runtime_error("the plug-in delivered " + std::to_string(pixels.size()) + " pixel bytes; the picture needs " +
                                 std::to_string(rowBytes));
    }
    bitmap.rows.assign(pixels.begin(), pixels.begin() + rowBytes);
    return bitmap;
}

void CheckInputSize(const Bytes& file) {
    if (file.empty()) throw std::runtime_error("the file is empty");
    if (file.size() > kMaxInput) throw std::runtime_error("the file is too large for the plug-in");
}

}  // namespace

PluginHost::PluginHost(const std::string& path) : path(path) {
    std::string error;
    library = PluginLibrary::Load(path, &error);
    if (!library) throw std::runtime_error(error);
    char version[8] = {};
    if (library->Api().GetPluginInfo(0, version, sizeof version) <= 0 || std::strncmp(version, "00IN", 4) != 0) {
        throw std::runtime_error(path + " is not an import filter (its interface version is not 00IN)");
    }
}

void PluginHost::CheckRecognised(const std::string& name, const Bytes& file) const {
    CheckInputSize(file);
    Bytes probe(kProbeBytes, 0);
    std::copy_n(file.begin(), std::min(file.size(), kProbeBytes), probe.begin());
    if (library->Api().IsSupported(name.c_str(), reinterpret_cast<ULONG_PTR>(probe.data())) == 0) {
        throw std::runtime_error("not a picture that the plug-in recognises");
    }
}

PictureInfo PluginHost::Describe(const std::string& name, const Bytes& file) const {
    CheckRecognised(name, file);
    PictureInfo info{};
    const int result = library->Api().GetPictureInfo(reinterpret_cast<LPCSTR>(file.data()),
                                                     static_cast<std::int32_t>(file.size()), kFromMemory, &info);
    if (result != 0) throw std::runtime_error(ResultText(result));
#ifdef _WIN32
    // The text handle is the host's to free; this host shows no text.
    if (info.textInfo != 0) LocalFree(reinterpret_cast<HLOCAL>(static_cast<ULONG_PTR>(info.textInfo)));
#endif
    return info;
}

Bitmap PluginHost::Decode(const std::string& name, const Bytes& file) const {
    CheckRecognised(name, file);
    HLOCAL info = nullptr;
    HLOCAL pixels = nullptr;
    const int result = library->Api().GetPicture(reinterpret_cast<LPCSTR>(file.data()),
                                                 static_cast<std::int32_t>(file.size()), kFromMemory, &info, &pixels,
                                                 nullptr, 0);
    if (result != 0) throw std::runtime_error(ResultText(result));
    const Bytes infoBytes = TakeBlock(info);
    const Bytes pixelBytes = TakeBlock(pixels);
    return AssembleBitmap(infoBytes, pixelBytes);
}
