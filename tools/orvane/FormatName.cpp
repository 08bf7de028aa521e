#include "tools/orvane/FormatName.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

namespace {

bool StartsWith(const std::vector<std::uint8_t>& file, const char* magic) {
    const std::size_t length = std::strlen(magic);
    return file.size() >= length && std::memcmp(file.data(), magic, length) == 0;
}

}  // namespace

std::string FormatName(const std::string& path, const std::vector<std::uint8_t>& file) {
    if (StartsWith(file, "KMLZ")) return "kmlz";
    if (StartsWith(file, "GP")) return "gpc";
    std::string extension = std::filesystem::path(path).extension().string();
    if (extension.size() < 2) return "unknown";
    extension.erase(0, 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}
