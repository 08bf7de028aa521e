// orvane: shows, converts and packs pictures of the GP and KMLZ formats, decoding through a
// "00IN" import filter as a viewer does.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/orvane/AtomicFile.h"
#include "tools/orvane/CommandLine.h"
#include "tools/orvane/Commands.h"
#include "tools/orvane/Report.h"
#include "tools/orvane/UsageError.h"

namespace {

int Run(const Options& options) {
    switch (options.command) {
    case Command::Help:
        std::fputs(UsageText(), stdout);
        return 0;
    case Command::Info:
        return RunInfo(options);
    case Command::Convert:
        return RunConvert(options);
    case Command::Pack:
        return RunPack(options);
    }
    return kUsageFailure;
}

}  // namespace

int main(int argc, char** argv) {
    RemoveTemporaryFilesOnSignals();
    Options options;
    try {
        options = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& e) {
        ReportFailure("usage", e.what());
        std::fputs(UsageText(), stderr);
        return kUsageFailure;
    }
    try {
        return Run(options);
    } catch (const std::exception& e) {
        // What stops the whole run: the plug-in cannot be loaded, or the output folder made.
        ReportFailure("error", e.what());
        return kUsageFailure;
    }
}
