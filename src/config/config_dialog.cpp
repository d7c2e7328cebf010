// The configuration dialog in which the user picks a microcode family
#include "config/config_dialog.h"

void open_config_dialog() {}
