// The modeless configuration dialog on Win32, from the IDD_CONFIG template
#include <windows.h>

#include "faces/win32/win32_face.h"

// A scripted dialog replaces the real one whole: all four of its calls are set together.
static const UiScript* dialog_script() {
    const UiScript* script = platform_ui_script();
    return script && script->create_dialog ? script : nullptr;
}

static DialogProc config_proc;

// Hands the two messages the configuration needs to its procedure; the rest is the system's.
static INT_PTR CALLBACK dialog_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    if (!config_proc) return FALSE;
    if (message == WM_INITDIALOG) return config_proc(dialog, DialogMessage::init, 0);
    if (message == WM_COMMAND) return config_proc(dialog, DialogMessage::command, LOWORD(wparam));
    return FALSE;
}

DialogHandle win32_create_config_dialog(void* module, DialogProc proc) {
    if (const UiScript* script = dialog_script()) return script->create_dialog(proc, script->user);
    config_proc = proc;
    return CreateDialogParamA(static_cast<HINSTANCE>(module), "IDD_CONFIG", nullptr,
                              dialog_procedure, 0);
}

bool win32_dialog_button_checked(DialogHandle dialog, int control) {
    if (const UiScript* script = dialog_script())
        return script->button_checked(dialog, control, script->user);
    return SendDlgItemMessageA(static_cast<HWND>(dialog), control, BM_GETCHECK, 0, 0) ==
           BST_CHECKED;
}

void win32_dialog_check_button(DialogHandle dialog, int control) {
    if (const UiScript* script = dialog_script()) {
        script->check_button(dialog, control, script->user);
        return;
    }
    SendDlgItemMessageA(static_cast<HWND>(dialog), control, BM_SETCHECK, BST_CHECKED, 0);
}

// A dialog made by CreateDialogParam must go with DestroyWindow: EndDialog only hides a
// modeless dialog, and every close would leave a hidden window behind.
void win32_end_dialog(DialogHandle dialog, int result) {
    if (const UiScript* script = dialog_script()) {
        script->end_dialog(dialog, result, script->user);
        return;
    }
    DestroyWindow(static_cast<HWND>(dialog));
}
