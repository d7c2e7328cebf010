// A console and an OpenGL context for tests that drive the core directly
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "config/config_template.h"
#include "console.h"
#include "platform/platform.h"

// The console whose memories the core reads; attached on first use.
Console& test_console();

// Attaches the console and creates the plug-in's OpenGL context once per process.
void attach_test_host();

// Interpreter state as at library load (the GL context is kept).
void reset_core_state();

// Runs one interpreted task from address (the skipped task before it included); the MI
// register then holds only what the interpreted task wrote.
void run_interpreted_task(uint32_t address);

// Records message boxes instead of showing them and answers with `answer`.
struct ScriptedUi {
    struct Shown {
        std::string text, caption;
        MessageIcon icon;
        MessageButtons buttons;
    };
    std::vector<Shown> shown;
    MessageAnswer answer = MessageAnswer::ok;
    // Runs while a box is shown, before it is answered: what the user does meanwhile.
    std::function<void(const Shown&)> while_shown;

    // The configuration dialog: created by the plug-in, then clicked by the test.
    int dialogs_opened = 0;
    bool dialog_open() const { return dialog_.open; }
    std::vector<int> checked_controls() const; // checked radio buttons of the dialog
    // A radio button checks itself and clears the others; other controls send their command.
    void click(int control);

    ScriptedUi();
    ~ScriptedUi();

  private:
    struct Dialog {
        DialogProc proc            = nullptr;
        bool checked[kFamilyCount] = {};
        bool open                  = false;
    };
    Dialog dialog_;
    UiScript script_;
    static DialogHandle create_dialog(DialogProc proc, void* user);
    static bool button_checked(DialogHandle dialog, int control, void* user);
    static void check_button(DialogHandle dialog, int control, void* user);
    static void end_dialog(DialogHandle dialog, int result, void* user);
};
