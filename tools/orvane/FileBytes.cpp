#include "tools/orvane/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) throw std::runtime_error("is a folder, not a file");
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) throw std::runtime_error(std::string("cannot open: ") + std::strerror(errno));
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
    const bool failed = std::ferror(file) != 0;
    const std::string reason = std::strerror(errno);
    std::fclose(file);
    if (failed) throw std::runtime_error("cannot read: " + reason);
    return bytes;
}
