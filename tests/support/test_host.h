// A console and an OpenGL context for tests that drive the core directly
#pragma once
#include <string>
#include <vector>

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

    ScriptedUi();
    ~ScriptedUi();

private:
    UiScript script_;
};
