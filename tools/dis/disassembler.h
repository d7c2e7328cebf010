// vexa-dis: a display list as the plug-in walks it, one line per command
#pragma once
#include <cstdint>
#include <functional>
#include <string>

// The list at `start` in `rdram` (8 MB, 32-bit words in host byte order), walked with the
// interpreter's own fetch, stack, segment, depth and budget rules for `family`. Each line:
// address, the two words and, unless `raw`, the command's name and decoded fields; lines of
// called lists are indented by their depth. Leaves the plug-in's state as it found it.
std::string disassemble(uint8_t* rdram, uint32_t family, uint32_t start, bool raw);

// The walk alone: `visit` sees each command once the interpreter's handler has steered the
// walk (rdp_reg holds its words, the segments as set so far), with its address and the depth
// and next address it was fetched at. False when the command budget cut the list off.
using DisplayListVisit = std::function<void(uint32_t address, int32_t depth, uint32_t next)>;
bool walk_display_list(uint8_t* rdram, uint32_t family, uint32_t start,
                       const DisplayListVisit& visit);
