// Messages to the user: one line on the standard error stream for each file that failed.
#pragma once

#include <string>

void ReportFailure(const std::string& subject, const std::string& reason);
