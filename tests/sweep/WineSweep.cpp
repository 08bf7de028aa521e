// A viewer's worst day, through the real orvane01.spi: every truncation of every sample and of a
// few pictures made here (by path and from memory), then thousands of random bit flips. The host
// must never crash, every call must come back within a second (a watchdog ends the run on the first
// call that does not), results are only the plug-in's own codes, the host's variables are touched
// only on success, and every picture handed over is freed with LocalFree.
//
// Usage: orvane_wine_sweep PLUGIN [SAMPLE_DIR]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/Fixtures.h"
#include "tools/PluginLibrary.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kCallBound = std::chrono::seconds(1);

// Every length of a sample is tried up to this size; above it the first and last 2 KiB of lengths
// and 4096 lengths spread evenly between, so that one large sample cannot eat CI's time.
constexpr std::size_t kEveryLengthUpTo = 32 * 1024;
constexpr int kBitFlips = 4000;

struct Input {
    std::string name;
    Bytes bytes;
};

// What the watchdog and the crash filter print: the call under way.
char currentCall[512] = "none";
std::atomic<long long> callStartedAt{0};  // steady-clock ticks, 0 between calls

long long Now() { return Clock::now().time_since_epoch().count(); }

LONG WINAPI OnCrash(EXCEPTION_POINTERS* e) {
    std::fprintf(stderr, "CRASH: exception 0x%08lx in %s\n",
                 static_cast<unsigned long>(e->ExceptionRecord->ExceptionCode), currentCall);
    std::fflush(stderr);
    return EXCEPTION_EXECUTE_HANDLER;
}

void Watchdog() {
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const long long started = callStartedAt.load();
        if (started != 0 && Clock::duration(Now() - started) > kCallBound) {
            std::fprintf(stderr, "HANG: no answer within 1 s from %s\n", currentCall);
            std::fflush(stderr);
            ExitProcess(3);
        }
    }
}

class Sweep {
public:
    Sweep(const PluginApi& api, std::string path) : api(api), path(std::move(path)) {}

    // GetPictureInfo and GetPicture over the data from memory, and GetPicture by path when asked.
    void Try(const Input& input, const std::string& what, const Bytes& data, bool byPath) {
        // A copy of exactly the given length: whatever lies past it belongs to no one.
        std::vector<char> memory(data.begin(), data.end());
        const char* address = memory.empty() ? "" : memory.data();
        const auto size = static_cast<std::int32_t>(data.size());
        Describe(input, what + " in memory", address, size, 1);
        // Every other call with a host option bit beside the input kind, which changes nothing.
        Decode(input, what + " in memory", address, size, size % 2 == 0 ? 1 : 0x81);
        if (byPath) {
            StoreFile(data);
            Decode(input, what + " by path", path.c_str(), 0, 0);
        }
    }

    void Report() const {
        std::printf("wine sweep: %ld calls, %ld pictures handed over and freed, %ld faults\n", calls, pictures,
                    faults);
        std::printf("slowest call: %.1f ms, %s\n", slowest.count() * 1000.0, slowestCall.c_str());
    }
    long Faults() const { return faults; }

private:
    template <class Call>
    int Timed(const std::string& what, Call call) {
        std::snprintf(currentCall, sizeof currentCall, "%s", what.c_str());
        const auto start = Clock::now();
        callStartedAt = start.time_since_epoch().count();
        const int result = call();
        const auto took = Clock::now() - start;
        callStartedAt = 0;
        ++calls;
        if (took > slowest) {
            slowest = took;
            slowestCall = what;
        }
        if (took > kCallBound) Fault(what, "took longer than a second");
        return result;
    }

    void Describe(const Input& input, const std::string& what, const char* source, std::int32_t length,
                  unsigned flag) {
        const std::string call = input.name + ": GetPictureInfo of " + what;
        PictureInfo info;
        std::memset(&info, 0x3C, sizeof info);
        const PictureInfo unset = info;
        const int result = Timed(call, [&] { return api.GetPictureInfo(source, length, flag, &info); });
        if (result == 0) {
            if (info.textInfo != 0) Fault(call, "text information handle is not 0");
        } else if (result != 2 && result != 4) {
            Fault(call, "result " + std::to_string(result));
        } else if (std::memcmp(&info, &unset, sizeof info) != 0) {
            Fault(call, "the record was written although the call failed");
        }
    }

    void Decode(const Input& input, const std::string& what, const char* source, std::int32_t length,
                unsigned flag) {
        const std::string call = input.name + ": GetPicture of " + what;
        HLOCAL infoBlock = INVALID_HANDLE_VALUE, pixelBlock = INVALID_HANDLE_VALUE;
        const int result =
            Timed(call, [&] { return api.GetPicture(source, length, flag, &infoBlock, &pixelBlock, nullptr, 0); });
        if (result != 0) {
            if (result != 2 && result != 4) Fault(call, "result " + std::to_string(result));
            if (infoBlock != INVALID_HANDLE_VALUE || pixelBlock != INVALID_HANDLE_VALUE) {
                Fault(call, "the handle variables were written although the call failed");
            }
            return;
        }
        // What a host relies on: a 40-byte header in front, and no fewer pixel bytes than it describes.
        BITMAPINFOHEADER header{};
        if (LocalSize(infoBlock) < sizeof header) {
            Fault(call, "information block shorter than its header");
        } else {
            std::memcpy(&header, infoBlock, sizeof header);
            const long long stride = ((static_cast<long long>(header.biWidth) * header.biBitCount + 31) & ~31LL) / 8;
            const long long rows = header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
            if (header.biSize != 40) Fault(call, "biSize is not 40");
            if (static_cast<long long>(LocalSize(pixelBlock)) < stride * rows) Fault(call, "pixel block too short");
        }
        if (LocalFree(infoBlock) != nullptr) Fault(call, "LocalFree refused the information block");
        if (LocalFree(pixelBlock) != nullptr) Fault(call, "LocalFree refused the pixel block");
        ++pictures;
    }

    void StoreFile(const Bytes& data) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    }

    void Fault(const std::string& call, const std::string& what) {
        if (++faults <= 40) std::fprintf(stderr, "FAULT: %s: %s\n", call.c_str(), what.c_str());
    }

    const PluginApi& api;
    const std::string path;
    long calls = 0, pictures = 0, faults = 0;
    std::chrono::duration<double> slowest{0};
    std::string slowestCall;
};

Bytes Kmlz(std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t colours) {
    BitmapInfoHeader h = MakeHeader(width, height, bits);
    h.biClrUsed = colours;
    const std::int32_t rows = height < 0 ? -height : height;
    const std::size_t table = bits == 8 ? 4 * (colours != 0 ? colours : 256) : 0;
    return KmlzOf(BitmapFile(h, PatternBytes(table, 5), PatternBytes(StrideOf(width, bits) * rows, bits)));
}

std::vector<Input> Inputs(int argc, char** argv) {
    std::vector<Input> inputs = {
        {"GP 9x5", GpFile(MakeHeader(9, 5, 24), GpLiteralPackets(PatternBytes(StrideOf(9, 24) * 5, 1)))},
        {"GP runs 16x4 top-down", GpFile(MakeHeader(16, -4, 24), Bytes{0x7F, 1, 2, 3, 0x3F, 4, 5, 6})},
        {"KMLZ 24-bit 7x3", Kmlz(7, 3, 24, 0)},
        {"KMLZ 16-bit 5x4 top-down", Kmlz(5, -4, 16, 8)},
        {"KMLZ 8-bit 6x2", Kmlz(6, 2, 8, 0)},
        {"KMLZ 8-bit 9x3, 16 colours", Kmlz(9, 3, 8, 16)},
        // Declared sizes no 32-bit process can hold.
        {"GP 60000x60000", GpFile(MakeHeader(60000, 60000, 24), Bytes{0x01, 1, 2, 3})},
        {"KMLZ 65536x65536x8", KmlzOf(BitmapFile(MakeHeader(65536, 65536, 8), Bytes(1024, 7), Bytes(64, 1)))},
        // Huge pictures over a few bytes, which once cost time by the declared size.
        {"KMLZ 0 x -(2^31 - 1)", KmlzOf(BitmapFile(MakeHeader(0, -0x7FFFFFFF, 24), {}, {}))},
        {"KMLZ 8-bit 2^27 x 2", KmlzOf(BitmapFile(MakeHeader(1 << 27, 2, 8), Bytes(16, 7), Bytes(48, 1)))},
        {"KMLZ 24-bit 1 x -2^25", KmlzOf(BitmapFile(MakeHeader(1, -(1 << 25), 24), {}, Bytes(48, 2)))},
        {"GP 3 x -2^24", GpFile(MakeHeader(3, -(1 << 24), 24), Bytes{0x01, 1, 2, 3})},
    };
    if (argc > 2 && fs::is_directory(argv[2])) {
        std::vector<fs::path> samples;
        for (const auto& entry : fs::directory_iterator(argv[2])) {
            if (entry.is_regular_file()) samples.push_back(entry.path());
        }
        std::sort(samples.begin(), samples.end());
        for (const fs::path& p : samples) {
            std::ifstream in(p, std::ios::binary);
            inputs.push_back({p.filename().string(), Bytes{std::istreambuf_iterator<char>(in), {}}});
        }
    }
    return inputs;
}

std::vector<std::size_t> Lengths(std::size_t size) {
    std::vector<std::size_t> lengths;
    if (size <= kEveryLengthUpTo) {
        for (std::size_t n = 0; n <= size; ++n) lengths.push_back(n);
        return lengths;
    }
    const std::size_t edge = 2048, spread = 4096;
    for (std::size_t n = 0; n <= edge; ++n) lengths.push_back(n);
    for (std::size_t i = 1; i < spread; ++i) lengths.push_back(edge + (size - 2 * edge) * i / spread);
    for (std::size_t n = size - edge; n <= size; ++n) lengths.push_back(n);
    return lengths;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PLUGIN [SAMPLE_DIR]\n", argv[0]);
        return 2;
    }
    SetUnhandledExceptionFilter(OnCrash);
    std::string error;
    const std::unique_ptr<PluginLibrary> library = PluginLibrary::Load(argv[1], &error);
    if (!library) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    std::thread(Watchdog).detach();

    const std::string path = (fs::temp_directory_path() / ("orvane-sweep-" + std::to_string(GetCurrentProcessId()) + ".bin")).string();
    Sweep sweep(library->Api(), path);
    const std::vector<Input> inputs = Inputs(argc, argv);

    for (const Input& input : inputs) {
        const std::vector<std::size_t> lengths = Lengths(input.bytes.size());
        for (std::size_t n : lengths) {
            sweep.Try(input, "the first " + std::to_string(n) + " bytes",
                      Bytes(input.bytes.begin(), input.bytes.begin() + static_cast<long>(n)), true);
        }
        std::printf("%s: %zu bytes, %zu truncations\n", input.name.c_str(), input.bytes.size(), lengths.size());
    }

    std::mt19937 random(20261211);
    for (int i = 0; i < kBitFlips; ++i) {
        const Input& input = inputs[static_cast<std::size_t>(i) % inputs.size()];
        if (input.bytes.empty()) continue;
        Bytes flipped = input.bytes;
        // Half the flips land in the first 128 bytes, where the headers are.
        const std::size_t span = i % 2 == 0 ? std::min<std::size_t>(flipped.size(), 128) : flipped.size();
        const int bits = 1 + static_cast<int>(random() % 3);
        std::string what = "bits";
        for (int b = 0; b < bits; ++b) {
            const std::size_t at = random() % span;
            const int bit = static_cast<int>(random() % 8);
            flipped[at] ^= static_cast<std::uint8_t>(1u << bit);
            what += " " + std::to_string(at) + "." + std::to_string(bit);
        }
        sweep.Try(input, what + " flipped", flipped, i % 4 == 0);
    }

    std::remove(path.c_str());
    sweep.Report();
    return sweep.Faults() == 0 ? 0 : 1;
}
