// What the benchmarks do with the plug-in, written once over its five exports: natively they are
// the core library's functions, under Wine those of orvane01.spi loaded as a viewer loads it.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "bench/BenchPictures.h"
#include "tools/PluginLibrary.h"

// The blocks of one GetPicture, copied out (their full LocalSize) and freed.
struct Decoded {
    int result = -99;
    Bytes info;
    Bytes pixels;
};

// A file in a folder of the benchmark's own, removed with the object.
class BenchFile {
public:
    BenchFile(const std::string& name, const Bytes& content);
    ~BenchFile();
    BenchFile(const BenchFile&) = delete;
    BenchFile& operator=(const BenchFile&) = delete;
    const std::string& Path() const { return path; }

private:
    std::string path;
};

// One GetPicture whose blocks are freed at once: what the timed loops call. False unless it
// succeeded.
bool GetPictureByPath(const PluginApi& api, const std::string& path, std::int32_t offset);
bool GetPictureFromMemory(const PluginApi& api, const Bytes& file);
// IsSupported over a host handle rewound to the start of the file first.
bool IsSupportedOnHandle(const PluginApi& api, HANDLE handle);
// Opens the file, reads it whole through a buffer as large as a file opened by path reads ahead,
// and closes it: the platform's share of any decode by path. False when a call fails.
bool ReadWholeFile(const std::string& path);
// A host's read-only handle on the file, or INVALID_HANDLE_VALUE.
HANDLE OpenHostHandle(const std::string& path);

Decoded DecodeByPath(const PluginApi& api, const std::string& path, std::int32_t offset);
Decoded DecodeFromMemory(const PluginApi& api, const Bytes& file);

// Checks that the picture decodes by path and from memory to the bitmap it was packed from, and
// that the plain reference decoder agrees; an empty string when all is well, else what is wrong.
std::string VerifyPicture(const PluginApi& api, const BenchPicture& picture, const std::string& path);

// A table of fingerprints of everything the exports hand over for a wide set of pictures (the
// benchmark pictures at a small scale, odd sizes, top-down rows, cut-off files), by path, by path
// at an offset, from memory, and IsSupported over a host handle with the handle's position after
// it. Two builds or two versions of the plug-in agree when their tables are equal.
void PrintChecksums(const PluginApi& api, std::ostream& out);

// One row of the ratio table: seconds for one call of each line.
struct Timings {
    std::string name;
    double decodedBytes = 0;
    double byPath = 0, fromMemory = 0, isSupported = 0, memcpyLine = 0, reference = 0;
    double freshBlock = 0;  // memcpy of the decoded bytes into a new local block, freed again
    double fileRead = 0;    // ReadWholeFile
    double referenceInFreshBlock = 0;  // ReferenceIntoFreshBlock
    double heapPeakBytes = -1;  // beyond the two blocks; below 0 when not measured
};

// The ratio table in Markdown: throughputs and the ratios that the targets are set in.
void PrintRatioTable(const std::vector<Timings>& rows, std::ostream& out);

// The least that any GetPicture pays for handing over new pixels: a local block of the pixel
// block's size, the decoded bytes copied into it, the block freed.
bool CopyIntoFreshBlock(const BenchPicture& picture);

// Runs the reference decoder of the picture's format into out (sized by ReferenceOutputSize).
std::size_t RunReference(const BenchPicture& picture, std::uint8_t* out);
// Bytes that a buffer needs for the reference decoder's output and for the decoded rows.
std::size_t ReferenceOutputSize(const BenchPicture& picture);
// The reference decoder into a new local block, freed again: a stand-alone decoder that, like
// GetPicture, hands its pixels over in memory of their own.
bool ReferenceIntoFreshBlock(const BenchPicture& picture);
