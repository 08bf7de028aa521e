// The five functions of the "00IN" import-filter interface, by their plain names, stdcall on Windows.
#pragma once

#include <cstdint>

#include "platform/Platform.h"
#include "plugin/PictureInfo.h"
#include "plugin/ProgressCallback.h"

#if defined(_WIN32)
#define ORVANE_EXPORT
#else
#define ORVANE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// Information strings: 0 the interface version, 1 the title, then pattern and description of
// each format. Returns the characters placed in the buffer with the terminating zero, 0 when there
// is no such number.
ORVANE_EXPORT int WINAPI GetPluginInfo(int infoNumber, LPSTR buffer, int bufferLength);

// fileOrData: an open file handle when its upper 16 bits are zero, else the address of the file's
// first 2048 bytes. Nonzero when a format recognises the data.
ORVANE_EXPORT int WINAPI IsSupported(LPCSTR fileName, ULONG_PTR fileOrData);

// input and length: a path and the offset of the picture in the file (flag & 3 == 0), or the
// address and size of the picture in memory (flag & 3 == 1). Other flag bits are the host's.
ORVANE_EXPORT int WINAPI GetPictureInfo(LPCSTR input, std::int32_t length, unsigned int flag,
                                        PictureInfo* info);
ORVANE_EXPORT int WINAPI GetPicture(LPCSTR input, std::int32_t length, unsigned int flag,
                                    HLOCAL* infoBlockOut, HLOCAL* pixelBlockOut,
                                    ProgressCallback progress, std::int32_t userData);
ORVANE_EXPORT int WINAPI GetPreview(LPCSTR input, std::int32_t length, unsigned int flag,
                                    HLOCAL* infoBlockOut, HLOCAL* pixelBlockOut,
                                    ProgressCallback progress, std::int32_t userData);
}
