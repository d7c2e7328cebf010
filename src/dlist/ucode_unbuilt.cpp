// Families whose command sets are not interpreted yet keep the shared and RDP commands only
#include "dlist/command_table.h"

void install_ucode5(CommandHandler*) {}
void install_ucode6(CommandHandler*) {}
