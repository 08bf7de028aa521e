// The orvane command line: a command, its options and its files.
#pragma once

#include <string>
#include <vector>

enum class Command { Help, Info, Convert, Pack };

struct Options {
    Command command = Command::Help;
    std::vector<std::string> files;
    std::string pluginPath;  // empty: the plug-in beside the program
    std::string outputDir;   // convert -o; empty: beside each input
    std::string to;          // convert: "png" or "bmp"; pack: "gpc" or "kmlz"
    bool force = false;
};

// The options of args (without the program name), or throws UsageError.
Options ParseCommandLine(const std::vector<std::string>& args);

// How to call the program, for --help and usage errors.
const char* UsageText();
