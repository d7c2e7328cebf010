// The configuration dialog on SDL: the families as buttons of a message box on its own thread
#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "config/config_template.h"
#include "faces/sdl/sdl_face.h"

namespace {

// What a dialog window holds: the radio buttons' checks and whether it was ended.
struct SdlDialog {
    DialogProc proc;
    bool checked[kFamilyCount] = {};
    bool ended                 = false;
};

int checked_family(const SdlDialog& d) {
    for (int n = 0; n < kFamilyCount; ++n)
        if (d.checked[n]) return n;
    return -1;
}

// One round of the box: a family button checks that family and presses OK, as picking a
// radio button and then OK does; "Abbrechen", Escape and the close box cancel. Returns the
// pressed control, or -1 when no box can be shown.
int show_box(SdlDialog& d) {
    SDL_MessageBoxButtonData buttons[kFamilyCount + 1];
    const int preselected = checked_family(d);
    for (int n = 0; n < kFamilyCount; ++n) {
        Uint32 flags = 0; // Return picks the checked family, as Return presses OK
        if (n == preselected) flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        buttons[n] = {flags, kIdFirstFamily + n, kFamilyLabels[n]};
    }
    buttons[kFamilyCount] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kIdCancel, kCancelText};

    char text[256];
    std::snprintf(text, sizeof text, "%s\n\n%s", kGroupCaption, kNoteText);
    SDL_MessageBoxData box{};
    box.flags      = SDL_MESSAGEBOX_INFORMATION;
    box.title      = kDialogCaption;
    box.message    = text;
    box.numbuttons = kFamilyCount + 1;
    box.buttons    = buttons;
    int pressed    = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) return -1;
    return pressed < 0 ? kIdCancel : pressed; // closed without a button: cancel
}

// Without a display there is no dialog to show: the choices go to standard error and the
// dialog ends as if cancelled, so that nothing changes.
void report_no_display() {
    std::fprintf(stderr, "%s: no display to show the dialog on; nothing changed.\n%s\n",
                 kDialogCaption, kGroupCaption);
    for (const char* label : kFamilyLabels)
        std::fprintf(stderr, "  %s\n", label);
}

void run_dialog(SdlDialog* d) {
    while (!d->ended) {
        int pressed = show_box(*d);
        if (pressed < 0) {
            report_no_display();
            pressed = kIdCancel;
        }
        if (pressed >= kIdFirstFamily && pressed < kIdFirstFamily + kFamilyCount) {
            for (int n = 0; n < kFamilyCount; ++n)
                d->checked[n] = pressed == kIdFirstFamily + n;
            pressed = kIdOk;
        }
        d->proc(d, DialogMessage::command, pressed);
    }
    delete d;
}

const UiScript* dialog_script() {
    const UiScript* script = platform_ui_script();
    return script && script->create_dialog ? script : nullptr;
}

} // namespace

// The dialog lives on its own thread, so DllConfig returns at once as it does for a
// modeless dialog. Only that thread touches the dialog after its initialisation.
DialogHandle sdl_create_config_dialog(void* /*module*/, DialogProc proc) {
    if (const UiScript* script = dialog_script()) return script->create_dialog(proc, script->user);
    auto* d = new SdlDialog{proc};
    proc(d, DialogMessage::init, 0);
    try {
        std::thread(run_dialog, d).detach();
    } catch (...) {
        delete d;
        return nullptr;
    }
    return d;
}

bool sdl_dialog_button_checked(DialogHandle dialog, int control) {
    if (const UiScript* script = dialog_script())
        return script->button_checked(dialog, control, script->user);
    const int n = control - kIdFirstFamily;
    return n >= 0 && n < kFamilyCount && static_cast<SdlDialog*>(dialog)->checked[n];
}

void sdl_dialog_check_button(DialogHandle dialog, int control) {
    if (const UiScript* script = dialog_script())
        return script->check_button(dialog, control, script->user);
    const int n = control - kIdFirstFamily;
    if (n >= 0 && n < kFamilyCount) static_cast<SdlDialog*>(dialog)->checked[n] = true;
}

void sdl_end_dialog(DialogHandle dialog, int result) {
    if (const UiScript* script = dialog_script())
        return script->end_dialog(dialog, result, script->user);
    static_cast<SdlDialog*>(dialog)->ended = true;
}
