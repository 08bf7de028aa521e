#include "tools/orvane/OutputPath.h"

#include <filesystem>

std::string OutputPath(const std::string& input, const std::string& outputDir, const std::string& extension) {
    std::filesystem::path output(input);
    output.replace_extension(extension);
    if (!outputDir.empty()) output = std::filesystem::path(outputDir) / output.filename();
    return output.string();
}
