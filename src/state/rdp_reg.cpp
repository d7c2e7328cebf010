// The central state record of the interpreter
#include "state/rdp_reg.h"

RdpReg rdp_reg;
uint32_t UcodeType;
uint32_t TaskFamily;
