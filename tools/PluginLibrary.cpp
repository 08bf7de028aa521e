#include "tools/PluginLibrary.h"

#ifndef _WIN32
#include <dlfcn.h>
#endif

namespace {

#ifdef _WIN32
void* OpenModule(const std::string& path, std::string* error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) *error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return reinterpret_cast<void*>(module);
}
void* FindSymbol(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}
void CloseModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }
#else
void* OpenModule(const std::string& path, std::string* error) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) *error = "cannot load " + path + ": " + dlerror();
    return module;
}
void* FindSymbol(void* module, const char* name) { return dlsym(module, name); }
void CloseModule(void* module) { dlclose(module); }
#endif

template <class Function>
bool Bind(void* module, const char* name, Function* slot, std::string* error) {
    void* symbol = FindSymbol(module, name);
    if (symbol == nullptr) {
        *error = std::string("the library has no export ") + name;
        return false;
    }
    *slot = reinterpret_cast<Function>(symbol);
    return true;
}

}  // namespace

std::unique_ptr<PluginLibrary> PluginLibrary::Load(const std::string& path, std::string* error) {
    void* module = OpenModule(path, error);
    if (module == nullptr) return nullptr;
    std::unique_ptr<PluginLibrary> library(new PluginLibrary(module));
    PluginApi& api = library->api;
    if (!Bind(module, "GetPluginInfo", &api.GetPluginInfo, error) ||
        !Bind(module, "IsSupported", &api.IsSupported, error) ||
        !Bind(module, "GetPictureInfo", &api.GetPictureInfo, error) ||
        !Bind(module, "GetPicture", &api.GetPicture, error) ||
        !Bind(module, "GetPreview", &api.GetPreview, error)) {
        return nullptr;
    }
    return library;
}

PluginLibrary::~PluginLibrary() { CloseModule(module); }
