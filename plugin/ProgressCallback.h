// The host's progress callback. The plug-in accepts it and never calls it.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

typedef int(WINAPI* ProgressCallback)(int done, int total, std::int32_t userData);
