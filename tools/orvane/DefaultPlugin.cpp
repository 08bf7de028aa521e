#include "tools/orvane/DefaultPlugin.h"

#include <filesystem>

#ifdef _WIN32
#include "platform/Platform.h"
#else
#include <climits>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
constexpr const char* kPluginName = "orvane01.spi";
#else
constexpr const char* kPluginName = "orvane01.so";
#endif

// The folder of the running program, or empty when the system does not say.
std::filesystem::path ProgramFolder() {
#ifdef _WIN32
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::filesystem::path(std::string(path, length)).parent_path();
#else
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    return std::filesystem::path(std::string(path, static_cast<std::size_t>(length))).parent_path();
#endif
}

}  // namespace

std::string DefaultPluginPath() {
    const std::filesystem::path folder = ProgramFolder();
    return (folder.empty() ? std::filesystem::path(kPluginName) : folder / kPluginName).string();
}
