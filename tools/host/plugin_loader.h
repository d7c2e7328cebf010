// Loads the plug-in the way an emulator does: the library and its fourteen exports
#pragma once
#include <cstdint>
#include <string>

#include "host/host_records.h"

struct Plugin {
    void* library = nullptr;
    void(VEXA_CALL* GetDllInfo)(PluginInfo*);
    int32_t(VEXA_CALL* InitiateGFX)(HostGfxInfo);
    void(VEXA_CALL* ProcessDList)();
    void(VEXA_CALL* UpdateScreen)();
    void(VEXA_CALL* ChangeWindow)();
    void(VEXA_CALL* DllConfig)(void*);
    void(VEXA_CALL* DllAbout)(void*);
    void(VEXA_CALL* DllTest)(void*);
    void(VEXA_CALL* RomOpen)();
    void(VEXA_CALL* RomClosed)();
    void(VEXA_CALL* ViStatusChanged)();
    void(VEXA_CALL* ViWidthChanged)();
    void(VEXA_CALL* MoveScreen)(int32_t, int32_t);
    void(VEXA_CALL* DrawScreen)();
};

// False with a message in *error when the library or one of the exports is missing.
bool load_plugin(const std::string& path, Plugin* plugin, std::string* error);
