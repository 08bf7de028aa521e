#include "tests/tool/TempFolder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    // The clock keeps apart test processes that run side by side.
    path = std::filesystem::temp_directory_path() /
           ("orvane-tool-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path);
}

TempFolder::~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path, error);
}

std::string TempFolder::Write(const std::string& name, const Bytes& bytes) const {
    const std::filesystem::path file = path / name;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file.string();
}

std::set<std::string> TempFolder::Names(const std::string& subfolder) const {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(path / subfolder, error)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
