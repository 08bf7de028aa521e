// The native benchmarks (Google Benchmark) of the plug-in's exports on the benchmark pictures, with
// the reference lines measured in the same run, and the ratio table printed at the end.
//
//   orvane_bench [benchmark flags]   runs the benchmarks, then prints the ratio table
//   orvane_bench --checksums         prints the fingerprint table of everything the exports hand over
#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>
#include <map>
#include <memory>

#include "bench/PluginRuns.h"
#include "platform/PlatformSeams.h"
#include "plugin/Exports.h"

namespace {

PluginApi CoreApi() { return PluginApi{GetPluginInfo, IsSupported, GetPictureInfo, GetPicture, GetPreview}; }

struct Subject {
    BenchPicture picture;
    std::unique_ptr<BenchFile> file;
    double heapPeakBytes = 0;
    double readCallsByPath = 0;
};

// Heap bytes beyond the two blocks at the worst moment of one decode by path, and its ReadFile calls.
void MeasureHeap(const PluginApi& api, Subject& s) {
    seams::Reset();
    const std::size_t before = seams::LiveObjectBytes();
    if (!GetPictureByPath(api, s.file->Path(), 0)) std::abort();
    s.heapPeakBytes = static_cast<double>(seams::PeakObjectBytes() - before);
    s.readCallsByPath = static_cast<double>(seams::Calls(seams::Call::ReadFile));
    if (seams::Calls(seams::Call::LocalAlloc) != 2) {
        std::cerr << s.picture.name << ": " << seams::Calls(seams::Call::LocalAlloc) << " local blocks\n";
        std::abort();
    }
    seams::Reset();
    const std::size_t beforeMemory = seams::LiveObjectBytes();
    if (!GetPictureFromMemory(api, s.picture.file)) std::abort();
    const double fromMemory = static_cast<double>(seams::PeakObjectBytes() - beforeMemory);
    if (fromMemory > s.heapPeakBytes) s.heapPeakBytes = fromMemory;
}

// Keeps every run's CPU seconds per iteration by name, and shows the runs as the console does.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With repetitions, the median stands for the benchmark.
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const double s = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") {
                    seconds[name] = s;
                    medians[name] = true;
                }
            } else if (!medians[name]) {
                seconds[name] = s;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
    std::map<std::string, bool> medians;
};

template <class Body>
void Register(const std::string& name, double bytes, Body body) {
    benchmark::RegisterBenchmark(name.c_str(), [bytes, body](benchmark::State& state) {
        for (auto _ : state) {
            if (!body()) {
                state.SkipWithError("the call failed");
                break;
            }
        }
        state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * static_cast<std::int64_t>(state.iterations()));
    });
}

}  // namespace

int main(int argc, char** argv) {
    const PluginApi api = CoreApi();
    if (argc >= 2 && std::strcmp(argv[1], "--checksums") == 0) {
        PrintChecksums(api, std::cout);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    std::vector<Subject> subjects;
    for (BenchPicture& picture : MakeBenchPictures()) {
        Subject s;
        s.file = std::make_unique<BenchFile>(picture.name, picture.file);
        s.picture = std::move(picture);
        const std::string wrong = VerifyPicture(api, s.picture, s.file->Path());
        if (!wrong.empty()) {
            std::cerr << s.picture.name << ": " << wrong << "\n";
            return 1;
        }
        MeasureHeap(api, s);
        subjects.push_back(std::move(s));
    }

    // Buffers of the reference lines, made once: the floor allocates nothing while it is timed.
    std::vector<Bytes> outputs(subjects.size());
    for (std::size_t i = 0; i < subjects.size(); ++i) {
        const Subject& s = subjects[i];
        const BenchPicture& p = s.picture;
        const double bytes = static_cast<double>(p.decodedBytes);
        outputs[i].assign(ReferenceOutputSize(p), 0);
        std::uint8_t* out = outputs[i].data();
        const std::string path = s.file->Path();
        HANDLE handle = OpenHostHandle(path);
        if (handle == INVALID_HANDLE_VALUE) return 1;  // kept open for the run
        Register(p.name + "/by path", bytes, [&api, path] { return GetPictureByPath(api, path, 0); });
        Register(p.name + "/from memory", bytes, [&api, &p] { return GetPictureFromMemory(api, p.file); });
        Register(p.name + "/IsSupported on a handle", bytes, [&api, handle] { return IsSupportedOnHandle(api, handle); });
        Register(p.name + "/memcpy", bytes, [&p, out] {
            std::memcpy(out, p.bitmap.rows.data(), p.bitmap.rows.size());
            benchmark::ClobberMemory();
            return true;
        });
        Register(p.name + "/fresh block", bytes, [&p] { return CopyIntoFreshBlock(p); });
        Register(p.name + "/file read", bytes, [path] { return ReadWholeFile(path); });
        Register(p.name + "/reference in a fresh block", bytes, [&p] { return ReferenceIntoFreshBlock(p); });
        Register(p.name + "/reference", bytes, [&p, out] {
            benchmark::DoNotOptimize(RunReference(p, out));
            benchmark::ClobberMemory();
            return true;
        });
    }

    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::vector<Timings> rows;
    for (const Subject& s : subjects) {
        const std::string& n = s.picture.name;
        if (reporter.seconds.count(n + "/by path") == 0) continue;  // filtered out
        Timings t;
        t.name = n;
        t.decodedBytes = static_cast<double>(s.picture.decodedBytes);
        t.byPath = reporter.seconds[n + "/by path"];
        t.fromMemory = reporter.seconds[n + "/from memory"];
        t.isSupported = reporter.seconds[n + "/IsSupported on a handle"];
        t.memcpyLine = reporter.seconds[n + "/memcpy"];
        t.reference = reporter.seconds[n + "/reference"];
        t.freshBlock = reporter.seconds[n + "/fresh block"];
        t.fileRead = reporter.seconds[n + "/file read"];
        t.referenceInFreshBlock = reporter.seconds[n + "/reference in a fresh block"];
        t.heapPeakBytes = s.heapPeakBytes;
        rows.push_back(t);
    }
    std::cout << "\nCPU time ratios (one run, same data):\n\n";
    PrintRatioTable(rows, std::cout);
    std::cout << "\nReadFile calls of one decode by path:";
    for (const Subject& s : subjects) std::cout << "\n  " << s.picture.name << ": " << static_cast<long long>(s.readCallsByPath);
    std::cout << "\n";
    benchmark::Shutdown();
    return 0;
}
