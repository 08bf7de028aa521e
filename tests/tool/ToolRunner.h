// Runs the built orvane program as a user would, with its output captured.
#pragma once

#include <string>
#include <vector>

struct ToolRun {
    int exitCode = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// The program at ORVANE_TOOL_PATH with args, in the current folder, standard input empty.
ToolRun RunTool(const std::vector<std::string>& args);

#ifndef _WIN32
// The same in a pseudo-terminal: what the terminal showed, both streams together.
ToolRun RunToolInTerminal(const std::vector<std::string>& args);
#endif
