// The configuration dialog in which the user picks a microcode family
#pragma once
#include <atomic>

#include "platform/platform.h"

// The open dialog, null when none is open. The dialog may run on a thread of its own.
extern std::atomic<DialogHandle> config_dialog;

void open_config_dialog(); // body of DllConfig: opens the dialog unless it is open

// The dialog procedure: what the dialog does with its messages, on every platform.
bool config_dialog_proc(DialogHandle dialog, DialogMessage message, int control);
