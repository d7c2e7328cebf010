// The fourteen functions the host emulator calls
#include "config/config_dialog.h"
#include "config/ucode_select.h"
#include "host/fullscreen.h"
#include "host/plugin.h"
#include "platform/platform.h"

#if defined(_WIN32)
#include <windows.h>
#define VEXA_EXPORT extern "C" __declspec(dllexport)
#else
#define VEXA_EXPORT extern "C" __attribute__((visibility("default")))
#endif

VEXA_EXPORT void VEXA_CALL GetDllInfo(PluginInfo* info) { fill_plugin_info(info); }

VEXA_EXPORT int32_t VEXA_CALL InitiateGFX(HostGfxInfo info) { return initiate_gfx(info); }

VEXA_EXPORT void VEXA_CALL ProcessDList() { process_dlist(); }

VEXA_EXPORT void VEXA_CALL UpdateScreen() { update_screen(); }

VEXA_EXPORT void VEXA_CALL ChangeWindow() { toggle_fullscreen(); }

VEXA_EXPORT void VEXA_CALL DllConfig(void* /*owner*/) { open_config_dialog(); }

VEXA_EXPORT void VEXA_CALL DllAbout(void* /*owner*/) { show_about_box(); }

VEXA_EXPORT void VEXA_CALL DllTest(void* /*owner*/) { show_test_box(); }

// The game's texture pack and dump folder, beside the emulator unless the settings name others.
VEXA_EXPORT void VEXA_CALL RomOpen() { open_texture_packs(platform_host_executable_dir()); }

VEXA_EXPORT void VEXA_CALL RomClosed() { save_ucode_prompt(); }

VEXA_EXPORT void VEXA_CALL ViStatusChanged() {}

VEXA_EXPORT void VEXA_CALL ViWidthChanged() {}

VEXA_EXPORT void VEXA_CALL MoveScreen(int32_t /*x*/, int32_t /*y*/) {}

VEXA_EXPORT void VEXA_CALL DrawScreen() {}

#if defined(_WIN32)
// Runs for every process and thread attach and detach alike.
BOOL WINAPI DllMain(HINSTANCE module, DWORD /*reason*/, LPVOID /*reserved*/) {
    library_entry(module);
    return TRUE;
}
#else
// Linux has no thread notifications: the entry routine runs once, at load.
__attribute__((constructor)) static void on_library_load() { library_entry(nullptr); }
#endif
