#include "tests/host/PluginUnderTest.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#ifndef _WIN32
#include "plugin/Exports.h"
#endif

const PluginApi& Plugin() {
#ifdef _WIN32
    static const PluginApi api = [] {
        const char* override = std::getenv("ORVANE_PLUGIN");
        const std::string path = override != nullptr ? override : "orvane01.spi";
        std::string error;
        static std::unique_ptr<PluginLibrary> library = PluginLibrary::Load(path, &error);
        if (!library) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
        return library->Api();
    }();
#else
    static const PluginApi api{GetPluginInfo, IsSupported, GetPictureInfo, GetPicture, GetPreview};
#endif
    return api;
}
