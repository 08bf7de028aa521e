// orvane convert: each file decoded by the plug-in and written as PNG or BMP.
#include <cstdio>
#include <filesystem>
#include <set>
#include <stdexcept>

#include "tools/encoders/BmpWriter.h"
#include "tools/orvane/AtomicFile.h"
#include "tools/orvane/Commands.h"
#include "tools/orvane/DefaultPlugin.h"
#include "tools/orvane/FileBytes.h"
#include "tools/orvane/OutputPath.h"
#include "tools/orvane/PluginHost.h"
#include "tools/orvane/PngWriter.h"
#include "tools/orvane/Progress.h"
#include "tools/orvane/Report.h"
#include "tools/orvane/UprightImage.h"

namespace fs = std::filesystem;

namespace {

class Converter {
public:
    Converter(const Options& options, const PluginHost& plugin) : options(options), plugin(plugin) {}

    // Writes the output of one input and returns its path; throws with the reason on failure.
    std::string Convert(const std::string& input) {
        const std::string output = OutputPath(input, options.outputDir, Extension());
        CheckOutput(input, output);
        const Bitmap bitmap = plugin.Decode(input, ReadFileBytes(input));
        WriteFileAtomically(output, Encode(bitmap), options.force);
        written.insert(Key(output));
        return output;
    }

private:
    std::string Extension() const { return options.to == "bmp" ? ".bmp" : ".png"; }

    Bytes Encode(const Bitmap& bitmap) const {
        return options.to == "bmp" ? BmpFileBytes(bitmap) : EncodePng(UprightImage(bitmap));
    }

    static std::string Key(const std::string& path) { return fs::weakly_canonical(path).string(); }

    // Refuses early what the write would refuse, and what would lose a file: replacing the input,
    // or an output that this run has already written from another input.
    void CheckOutput(const std::string& input, const std::string& output) const {
        std::error_code error;
        if (fs::equivalent(input, output, error)) {
            throw std::runtime_error("the output " + output + " would replace the input; choose a folder with -o");
        }
        if (written.count(Key(output)) != 0) {
            throw std::runtime_error(output + " was already written from another input in this run");
        }
        if (!options.force && fs::exists(output, error)) {
            throw std::runtime_error(output + " exists (use --force to replace it)");
        }
    }

    const Options& options;
    const PluginHost& plugin;
    std::set<std::string> written;
};

void PrepareOutputDir(const std::string& dir) {
    if (dir.empty()) return;
    std::error_code error;
    fs::create_directories(dir, error);
    if (!fs::is_directory(dir)) throw std::runtime_error("cannot make the output folder " + dir);
}

}  // namespace

int RunConvert(const Options& options) {
    const PluginHost plugin(options.pluginPath.empty() ? DefaultPluginPath() : options.pluginPath);
    PrepareOutputDir(options.outputDir);
    Converter converter(options, plugin);
    const Progress progress(options.files.size());
    int status = 0;
    for (std::size_t i = 0; i < options.files.size(); ++i) {
        const std::string& input = options.files[i];
        progress.Starting(i + 1, input);
        try {
            const std::string output = converter.Convert(input) + "\n";
            std::fputs(output.c_str(), stdout);
        } catch (const std::exception& e) {
            ReportFailure(input, e.what());
            status = 1;
        }
    }
    return status;
}
