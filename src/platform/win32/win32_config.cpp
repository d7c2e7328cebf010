// Profile files, the host executable's folder and the configuration dialog on Win32
#include <windows.h>

#include <cstdlib>

#include "platform/platform.h"

int32_t platform_profile_read_int(const char* section, const char* key, int32_t fallback,
                                  const char* path) {
    return static_cast<int32_t>(GetPrivateProfileIntA(section, key, fallback, path));
}

bool platform_profile_write_string(const char* section, const char* key, const char* value,
                                   const char* path) {
    return WritePrivateProfileStringA(section, key, value, path) != 0;
}

void platform_profile_flush_cache() {
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, L"appname.ini");
}

std::string platform_host_executable_dir() {
    if (const char* dir = platform_host_dir_override()) {
        std::string d = dir;
        if (d.empty() || (d.back() != '\\' && d.back() != '/')) d += '\\';
        return d;
    }
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    char drive[_MAX_DRIVE], dir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT];
    _splitpath(path, drive, dir, name, ext);
    return std::string(drive) + dir;
}

static const UiScript* dialog_script() {
    const UiScript* script = platform_ui_script();
    return script && script->create_dialog ? script : nullptr;
}

static DialogProc config_proc;

static INT_PTR CALLBACK dialog_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    if (!config_proc) return FALSE;
    if (message == WM_INITDIALOG) return config_proc(dialog, DialogMessage::init, 0);
    if (message == WM_COMMAND) return config_proc(dialog, DialogMessage::command, LOWORD(wparam));
    return FALSE;
}

DialogHandle platform_create_config_dialog(void* module, DialogProc proc) {
    if (const UiScript* script = dialog_script()) return script->create_dialog(proc, script->user);
    config_proc = proc;
    return CreateDialogParamA(static_cast<HINSTANCE>(module), "IDD_CONFIG", nullptr,
                              dialog_procedure, 0);
}

bool platform_dialog_button_checked(DialogHandle dialog, int control) {
    if (const UiScript* script = dialog_script())
        return script->button_checked(dialog, control, script->user);
    return SendDlgItemMessageA(static_cast<HWND>(dialog), control, BM_GETCHECK, 0, 0) ==
           BST_CHECKED;
}

void platform_dialog_check_button(DialogHandle dialog, int control) {
    if (const UiScript* script = dialog_script())
        return script->check_button(dialog, control, script->user);
    SendDlgItemMessageA(static_cast<HWND>(dialog), control, BM_SETCHECK, BST_CHECKED, 0);
}

void platform_end_dialog(DialogHandle dialog, int result) {
    if (const UiScript* script = dialog_script())
        return script->end_dialog(dialog, result, script->user);
    EndDialog(static_cast<HWND>(dialog), result);
}
