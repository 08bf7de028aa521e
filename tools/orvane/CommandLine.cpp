#include "tools/orvane/CommandLine.h"

#include "tools/orvane/UsageError.h"

namespace {

Command CommandNamed(const std::string& name) {
    if (name == "info") return Command::Info;
    if (name == "convert") return Command::Convert;
    if (name == "pack") return Command::Pack;
    if (name == "help" || name == "--help" || name == "-h") return Command::Help;
    throw UsageError("unknown command '" + name + "'");
}

// Splits "--name=value" into name and value; other arguments are left whole.
bool SplitInlineValue(const std::string& arg, std::string* name, std::string* value) {
    const std::size_t eq = arg.find('=');
    if (arg.rfind("--", 0) != 0 || eq == std::string::npos) return false;
    *name = arg.substr(0, eq);
    *value = arg.substr(eq + 1);
    return true;
}

// Whether the option takes a value for this command.
bool TakesValue(Command command, const std::string& name) {
    if (name == "--plugin") return command != Command::Pack;
    if (name == "--to") return command != Command::Info;
    if (name == "-o" || name == "--output") return command == Command::Convert;
    return false;
}

void Store(Options& options, const std::string& name, const std::string& value) {
    if (name == "--plugin") {
        options.pluginPath = value;
    } else if (name == "--to") {
        options.to = value;
    } else {
        options.outputDir = value;
    }
}

void CheckTarget(const Options& options) {
    if (options.command == Command::Convert) {
        if (options.to.empty()) return;
        if (options.to != "png" && options.to != "bmp") throw UsageError("convert writes png or bmp, not '" + options.to + "'");
    } else if (options.command == Command::Pack) {
        if (options.to.empty()) throw UsageError("pack needs --to gpc or --to kmlz");
        if (options.to != "gpc" && options.to != "kmlz") throw UsageError("pack writes gpc or kmlz, not '" + options.to + "'");
    }
}

void CheckFiles(const Options& options) {
    if (options.command == Command::Pack && options.files.size() != 2) {
        throw UsageError("pack takes one input bitmap and one output file");
    }
    if ((options.command == Command::Info || options.command == Command::Convert) && options.files.empty()) {
        throw UsageError("no input files");
    }
}

}  // namespace

Options ParseCommandLine(const std::vector<std::string>& args) {
    Options options;
    if (args.empty()) throw UsageError("no command");
    options.command = CommandNamed(args[0]);
    if (options.command == Command::Help) return options;

    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string name, value;
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            options.files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--force" && options.command != Command::Info) {
            options.force = true;
        } else if (SplitInlineValue(arg, &name, &value) && TakesValue(options.command, name)) {
            Store(options, name, value);
        } else if (TakesValue(options.command, arg)) {
            if (i + 1 == args.size()) throw UsageError(arg + " needs a value");
            Store(options, arg, args[++i]);
        } else {
            throw UsageError("unknown option '" + arg + "' for " + args[0]);
        }
    }
    CheckTarget(options);
    CheckFiles(options);
    return options;
}

const char* UsageText() {
    return "usage:\n"
           "  orvane info [--plugin PATH] FILE...\n"
           "      format, width, height (negative: stored top-down) and bits per pixel of each file\n"
           "  orvane convert [--plugin PATH] [-o DIR] [--to png|bmp] [--force] FILE...\n"
           "      decodes each file with the plug-in and writes NAME.png (or NAME.bmp) beside it or into DIR\n"
           "  orvane pack --to gpc|kmlz [--force] IN.bmp OUT\n"
           "      packs an uncompressed 8-, 16- or 24-bit BMP as KMLZ, or a 24-bit one as GP\n"
           "options:\n"
           "  --plugin PATH  the import filter to load instead of the one beside orvane\n"
           "  --force        replace output files that exist\n";
}
