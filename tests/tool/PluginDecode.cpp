#include "tests/tool/PluginDecode.h"

#include <cstring>

#include "plugin/Exports.h"

Decoded DecodeThroughPlugin(const Bytes& file) {
    Decoded out;
    HLOCAL info = nullptr;
    HLOCAL pixels = nullptr;
    constexpr unsigned int kFromMemory = 1;
    out.result = GetPicture(reinterpret_cast<LPCSTR>(file.data()), static_cast<std::int32_t>(file.size()),
                            kFromMemory, &info, &pixels, nullptr, 0);
    if (out.result != 0) return out;
    const auto* i = static_cast<const std::uint8_t*>(info);
    const auto* p = static_cast<const std::uint8_t*>(pixels);
    out.infoBlock.assign(i, i + LocalSize(info));
    out.pixelBlock.assign(p, p + LocalSize(pixels));
    std::memcpy(&out.header, i, sizeof out.header);
    LocalFree(info);
    LocalFree(pixels);
    return out;
}
