// The central state record of the interpreter
#include "dlist/rdp_reg.h"

RdpReg rdp_reg;
uint32_t UcodeType;
