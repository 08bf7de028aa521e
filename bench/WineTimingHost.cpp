// A small timing host for orvane01.spi: loads the plug-in as a viewer does and times the same lines
// as the native benchmarks, all in one process (every start of Wine is expensive), with plain
// clock readings and the best of a few repetitions.
//
//   orvane_timing_host.exe PLUGIN [SCALE [REPEATS]]   the ratio table; SCALE divides the picture sides
//   orvane_timing_host.exe PLUGIN --checksums         the fingerprint table of the native benchmark
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "bench/PluginRuns.h"

namespace {

// The best time of one call: a batch of calls long enough to read the clock sensibly, repeated.
template <class Body>
double SecondsPerCall(int repeats, Body body) {
    using Clock = std::chrono::steady_clock;
    const auto once = [&](long calls) {
        const auto start = Clock::now();
        for (long i = 0; i < calls; ++i) {
            if (!body()) {
                std::cerr << "a timed call failed\n";
                std::exit(1);
            }
        }
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    const double first = once(1);
    const long calls = first >= 0.02 ? 1 : static_cast<long>(0.02 / std::max(first, 1e-7)) + 1;
    double best = first;
    for (int r = 0; r < repeats; ++r) best = std::min(best, once(calls) / static_cast<double>(calls));
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: " << argv[0] << " PLUGIN [SCALE [REPEATS]] | PLUGIN --checksums\n";
        return 2;
    }
    std::string error;
    const std::unique_ptr<PluginLibrary> library = PluginLibrary::Load(argv[1], &error);
    if (!library) {
        std::cerr << error << "\n";
        return 1;
    }
    const PluginApi& api = library->Api();
    if (argc >= 3 && std::strcmp(argv[2], "--checksums") == 0) {
        PrintChecksums(api, std::cout);
        return 0;
    }
    const int scale = argc >= 3 ? std::max(1, std::atoi(argv[2])) : 2;
    const int repeats = argc >= 4 ? std::max(1, std::atoi(argv[3])) : 3;

    std::vector<Timings> rows;
    for (const BenchPicture& p : MakeBenchPictures(scale)) {
        const BenchFile file(p.name, p.file);
        const std::string wrong = VerifyPicture(api, p, file.Path());
        if (!wrong.empty()) {
            std::cerr << p.name << ": " << wrong << "\n";
            return 1;
        }
        Bytes out(ReferenceOutputSize(p));
        HANDLE handle = OpenHostHandle(file.Path());
        if (handle == INVALID_HANDLE_VALUE) return 1;
        Timings t;
        t.name = p.name;
        t.decodedBytes = static_cast<double>(p.decodedBytes);
        t.byPath = SecondsPerCall(repeats, [&] { return GetPictureByPath(api, file.Path(), 0); });
        t.fromMemory = SecondsPerCall(repeats, [&] { return GetPictureFromMemory(api, p.file); });
        t.isSupported = SecondsPerCall(repeats, [&] { return IsSupportedOnHandle(api, handle); });
        t.memcpyLine = SecondsPerCall(repeats, [&] {
            std::memcpy(out.data(), p.bitmap.rows.data(), p.bitmap.rows.size());
            return out[0] == p.bitmap.rows[0];
        });
        t.reference = SecondsPerCall(repeats, [&] { return RunReference(p, out.data()) > 0; });
        t.freshBlock = SecondsPerCall(repeats, [&] { return CopyIntoFreshBlock(p); });
        t.fileRead = SecondsPerCall(repeats, [&] { return ReadWholeFile(file.Path()); });
        t.referenceInFreshBlock = SecondsPerCall(repeats, [&] { return ReferenceIntoFreshBlock(p); });
        CloseHandle(handle);
        rows.push_back(t);
        std::cerr << p.name << " done\n";
    }
    std::cout << "Wall-clock ratios (one process, same data; pictures at 1/" << scale << " of each side, best of "
              << repeats << "):\n\n";
    PrintRatioTable(rows, std::cout);
    return 0;
}
