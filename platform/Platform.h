// The kernel services the plug-in uses: the real KERNEL32 on Windows, our own stand-in elsewhere.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include "platform/PosixKernel.h"
#endif
