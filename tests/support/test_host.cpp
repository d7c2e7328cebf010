// A console and an OpenGL context for tests that drive the core directly
#include "support/test_host.h"

#include <gtest/gtest.h>

#include "dlist/interpreter.h"
#include "dlist/rdp_reg.h"
#include "host/plugin.h"

Console& test_console() {
    static Console* console = new Console;
    return *console;
}

void attach_test_host() {
    static bool attached = false;
    if (attached) return;
    attached = true;
    HostGfxInfo info = test_console().gfx_info(nullptr);
    ASSERT_EQ(initiate_gfx(info), 1) << "no OpenGL context";
}

void reset_core_state() {
    rdp_reg       = RdpReg{};
    dlist_counter = 0;
    UcodeType     = 0;
    Console& c    = test_console();
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
    return ui->answer;
}

ScriptedUi::ScriptedUi() : script_{record, this} { platform_install_ui_script(&script_); }
ScriptedUi::~ScriptedUi() { platform_install_ui_script(nullptr); }
