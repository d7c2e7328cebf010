// A console and an OpenGL context for tests that drive the core directly
#include "support/test_host.h"

#include <gtest/gtest.h>

#include "dlist/interpreter.h"
#include "framebuffer/color_images.h"
#include "host/plugin.h"
#include "state/rdp_reg.h"

Console& test_console() {
    static Console* console = new Console;
    return *console;
}

void attach_test_host() {
    static bool attached = false;
    if (attached) return;
    attached         = true;
    HostGfxInfo info = test_console().gfx_info(nullptr);
    ASSERT_EQ(initiate_gfx(info), 1) << "no OpenGL context";
}

void reset_core_state() {
    rdp_reg       = RdpReg{};
    dlist_counter = 0;
    UcodeType     = 0;
    reset_color_images();
    Console& c = test_console();
    std::fill(c.rdram.begin(), c.rdram.end(), 0);
    c.mi_interrupt = 0;
}

void run_interpreted_task(uint32_t address) {
    if ((dlist_counter & 1) == 0) run_display_list(address);
    test_console().mi_interrupt = 0; // only what the interpreted task signals remains
    run_display_list(address);
}

static MessageAnswer record(const char* text, const char* caption, MessageIcon icon,
                            MessageButtons buttons, void* user) {
    auto* ui = static_cast<ScriptedUi*>(user);
    ui->shown.push_back({text, caption, icon, buttons});
    if (ui->while_shown) ui->while_shown(ui->shown.back());
    return ui->answer;
}

ScriptedUi::ScriptedUi() : script_{record, this} {
    script_.create_dialog  = create_dialog;
    script_.button_checked = button_checked;
    script_.check_button   = check_button;
    script_.end_dialog     = end_dialog;
    platform_install_ui_script(&script_);
}

// Radio buttons 1000 to 1008; other controls have no check.
static int radio_index(int control) {
    const int n = control - 1000;
    return n >= 0 && n < kFamilyCount ? n : -1;
}

DialogHandle ScriptedUi::create_dialog(DialogProc proc, void* user) {
    auto* ui = static_cast<ScriptedUi*>(user);
    ui->dialogs_opened++;
    ui->dialog_ = Dialog{proc, {}, true};
    proc(&ui->dialog_, DialogMessage::init, 0);
    return &ui->dialog_;
}

bool ScriptedUi::button_checked(DialogHandle dialog, int control, void*) {
    const int n = radio_index(control);
    return n >= 0 && static_cast<Dialog*>(dialog)->checked[n];
}

void ScriptedUi::check_button(DialogHandle dialog, int control, void*) {
    const int n = radio_index(control);
    if (n >= 0) static_cast<Dialog*>(dialog)->checked[n] = true;
}

void ScriptedUi::end_dialog(DialogHandle dialog, int, void*) {
    static_cast<Dialog*>(dialog)->open = false;
}

std::vector<int> ScriptedUi::checked_controls() const {
    std::vector<int> controls;
    for (int n = 0; n < kFamilyCount; ++n)
        if (dialog_.checked[n]) controls.push_back(1000 + n);
    return controls;
}

void ScriptedUi::click(int control) {
    ASSERT_TRUE(dialog_.open) << "no dialog open to click " << control;
    const int n = radio_index(control);
    if (n >= 0) {
        for (int i = 0; i < kFamilyCount; ++i)
            dialog_.checked[i] = i == n;
        return;
    }
    dialog_.proc(&dialog_, DialogMessage::command, control);
}
ScriptedUi::~ScriptedUi() { platform_install_ui_script(nullptr); }
