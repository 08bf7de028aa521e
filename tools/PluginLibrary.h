// Loads an import filter of the "00IN" interface and finds its five exports, as a viewer does:
// LoadLibrary and GetProcAddress on Windows, dlopen and dlsym natively.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "plugin/PictureInfo.h"
#include "plugin/ProgressCallback.h"

struct PluginApi {
    int(WINAPI* GetPluginInfo)(int infoNumber, LPSTR buffer, int bufferLength);
    int(WINAPI* IsSupported)(LPCSTR fileName, ULONG_PTR fileOrData);
    int(WINAPI* GetPictureInfo)(LPCSTR input, std::int32_t length, unsigned int flag, PictureInfo* info);
    int(WINAPI* GetPicture)(LPCSTR input, std::int32_t length, unsigned int flag, HLOCAL* infoBlockOut,
                            HLOCAL* pixelBlockOut, ProgressCallback progress, std::int32_t userData);
    int(WINAPI* GetPreview)(LPCSTR input, std::int32_t length, unsigned int flag, HLOCAL* infoBlockOut,
                            HLOCAL* pixelBlockOut, ProgressCallback progress, std::int32_t userData);
};

class PluginLibrary {
public:
    // The library at path with all five exports, or none with the reason in *error.
    static std::unique_ptr<PluginLibrary> Load(const std::string& path, std::string* error);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    const PluginApi& Api() const { return api; }

private:
    explicit PluginLibrary(void* module) : module(module) {}
    void* module;
    PluginApi api{};
};
