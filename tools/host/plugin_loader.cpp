// Loads the plug-in the way an emulator does: the library and its fourteen exports
#include "plugin_loader.h"

#if defined(_WIN32)
#include <windows.h>
static void* open_library(const std::string& path) { return LoadLibraryA(path.c_str()); }
static void* find_symbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
static std::string last_error() { return "error " + std::to_string(GetLastError()); }
#else
#include <dlfcn.h>
static void* open_library(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW); }
static void* find_symbol(void* library, const char* name) { return dlsym(library, name); }
static std::string last_error() {
    const char* e = dlerror();
    return e ? e : "unknown error";
}
#endif

template <typename F>
static bool bind(void* library, const char* name, F* out, std::string* error) {
    void* symbol = find_symbol(library, name);
    if (!symbol) {
        *error = std::string("the plug-in does not export ") + name;
        return false;
    }
    *out = reinterpret_cast<F>(symbol);
    return true;
}

bool load_plugin(const std::string& path, Plugin* p, std::string* error) {
    p->library = open_library(path);
    if (!p->library) {
        *error = "cannot load the plug-in " + path + ": " + last_error();
        return false;
    }
    void* l = p->library;
    return bind(l, "GetDllInfo", &p->GetDllInfo, error) &&
           bind(l, "InitiateGFX", &p->InitiateGFX, error) &&
           bind(l, "ProcessDList", &p->ProcessDList, error) &&
           bind(l, "UpdateScreen", &p->UpdateScreen, error) &&
           bind(l, "ChangeWindow", &p->ChangeWindow, error) &&
           bind(l, "DllConfig", &p->DllConfig, error) && bind(l, "DllAbout", &p->DllAbout, error) &&
           bind(l, "DllTest", &p->DllTest, error) && bind(l, "RomOpen", &p->RomOpen, error) &&
           bind(l, "RomClosed", &p->RomClosed, error) &&
           bind(l, "ViStatusChanged", &p->ViStatusChanged, error) &&
           bind(l, "ViWidthChanged", &p->ViWidthChanged, error) &&
           bind(l, "MoveScreen", &p->MoveScreen, error) &&
           bind(l, "DrawScreen", &p->DrawScreen, error);
}
