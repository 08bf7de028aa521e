// orvane info: what the plug-in says of each file.
#include <cstdio>
#include <stdexcept>

#include "tools/orvane/Commands.h"
#include "tools/orvane/DefaultPlugin.h"
#include "tools/orvane/FileBytes.h"
#include "tools/orvane/FormatName.h"
#include "tools/orvane/PluginHost.h"
#include "tools/orvane/Report.h"

namespace {

std::string InfoLine(const std::string& path, const PluginHost& plugin) {
    const Bytes file = ReadFileBytes(path);
    const PictureInfo info = plugin.Describe(path, file);
    return path + ": " + FormatName(path, file) + ", width " + std::to_string(info.width) + ", height " +
           std::to_string(info.height) + ", " + std::to_string(info.colorDepth) + " bits per pixel\n";
}

}  // namespace

int RunInfo(const Options& options) {
    const PluginHost plugin(options.pluginPath.empty() ? DefaultPluginPath() : options.pluginPath);
    int status = 0;
    for (const std::string& path : options.files) {
        try {
            std::fputs(InfoLine(path, plugin).c_str(), stdout);
        } catch (const std::exception& e) {
            ReportFailure(path, e.what());
            status = 1;
        }
    }
    return status;
}
