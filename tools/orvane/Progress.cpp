#include "tools/orvane/Progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define ORVANE_ISATTY _isatty
#define ORVANE_FILENO _fileno
#else
#include <unistd.h>
#define ORVANE_ISATTY isatty
#define ORVANE_FILENO fileno
#endif

Progress::Progress(std::size_t total) : total(total), shown(total > 1 && ORVANE_ISATTY(ORVANE_FILENO(stderr))) {}

void Progress::Starting(std::size_t index, const std::string& name) const {
    if (!shown) return;
    const std::string line = "[" + std::to_string(index) + "/" + std::to_string(total) + "] " + name + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}
