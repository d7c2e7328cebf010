// The configuration dialog in which the user picks a microcode family
#include "config/config_dialog.h"

#include "config/config_template.h"
#include "config/ucode_select.h"
#include "state/host_state.h"

std::atomic<DialogHandle> config_dialog{nullptr};

void open_config_dialog() {
    if (config_dialog.load()) return;
    // The procedure keeps the handle when it initialises the dialog, before any button
    // can end it; only a failed creation is left to clear here.
    if (!platform_create_config_dialog(module_instance, config_dialog_proc))
        config_dialog = nullptr;
}

// -1 (not chosen yet) starts at family 0; a value that names no family checks nothing.
static void check_initial_family(DialogHandle dialog) {
    const int32_t family = selected_ucode.load();
    if (family == -1 || family == 0) platform_dialog_check_button(dialog, kIdFirstFamily);
    if (family >= 1 && family < kFamilyCount)
        platform_dialog_check_button(dialog, kIdFirstFamily + family);
}

static int32_t checked_family(DialogHandle dialog) {
    for (int n = 0; n < kFamilyCount; ++n)
        if (platform_dialog_button_checked(dialog, kIdFirstFamily + n)) return n;
    return -1;
}

bool config_dialog_proc(DialogHandle dialog, DialogMessage message, int control) {
    if (message == DialogMessage::init) {
        config_dialog = dialog;
        check_initial_family(dialog);
        return true;
    }
    if (control == kIdOk) {
        selected_ucode = checked_family(dialog);
        ucode_chosen   = 1;
    }
    if (control == kIdOk || control == kIdCancel) {
        platform_end_dialog(dialog, 1);
        config_dialog = nullptr;
        return true;
    }
    return false;
}
