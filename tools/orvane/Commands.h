// The three commands of orvane. Each returns the exit status: 0 when every file went through,
// 1 when any failed (each failure was reported on the standard error stream).
#pragma once

#include "tools/orvane/CommandLine.h"

int RunInfo(const Options& options);
int RunConvert(const Options& options);
int RunPack(const Options& options);

// Exit status of a command line that cannot be run, or a plug-in that cannot be loaded.
constexpr int kUsageFailure = 2;
