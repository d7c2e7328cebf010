// Texture and fill rectangles, drawn at once in a 2-D projection
#include "rdp/rectangles.h"

#include "dlist/interpreter.h"
#include "dlist/rdram.h"

// Consumes its 24 bytes; drawing comes with the rectangle work.
void rdp_tex_rect() { active_pc() = (active_pc() + 16) & kRdramMask; }
void rdp_tex_rect_flip() {}
void rdp_fill_rect() {}
