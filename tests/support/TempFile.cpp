#include "tests/support/TempFile.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#ifdef _WIN32
#include <process.h>
#define ORVANE_PID _getpid()
#else
#include <unistd.h>
#define ORVANE_PID getpid()
#endif

TempFile::TempFile(const Bytes& content) {
    static std::atomic<int> counter{0};
    path = (std::filesystem::temp_directory_path() /
            ("orvane-test-" + std::to_string(ORVANE_PID) + "-" + std::to_string(counter++) + ".bin"))
               .string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) throw std::runtime_error("cannot create " + path);
    const bool ok = content.empty() || std::fwrite(content.data(), 1, content.size(), f) == content.size();
    std::fclose(f);
    if (!ok) throw std::runtime_error("cannot write " + path);
}

TempFile::~TempFile() { std::remove(path.c_str()); }
