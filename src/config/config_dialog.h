// The configuration dialog in which the user picks a microcode family
#pragma once

void open_config_dialog(); // body of DllConfig: opens the dialog unless it is open
