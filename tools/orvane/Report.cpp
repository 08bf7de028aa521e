#include "tools/orvane/Report.h"

#include <cstdio>

void ReportFailure(const std::string& subject, const std::string& reason) {
    const std::string line = "orvane: " + subject + ": " + reason + "\n";
    std::fputs(line.c_str(), stderr);
}
