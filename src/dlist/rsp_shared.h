// Geometry commands whose decoding several microcode families share
#pragma once
#include <cstdint>

// TEXTURE (0xBB in most families, 0xD7 in family 4): the on byte and the S and T scales of
// the tile in bits 8..10 of cmd0. The level bits 11..13 are not read.
void rsp_texture();

// MOVEWORD LIGHTCOL: the colour in the top three bytes of cmd1 goes to light (cmd0 bits 13..15),
// to its main colour when cmd0 bit 10 is set, else to its copy.
void moveword_lightcol(uint32_t cmd0, uint32_t cmd1);

// MOVEWORD FOG: the fog multiplier and offset (signed halves of cmd1) at offset 0; other
// offsets write past the fog word and are not kept.
void moveword_fog(uint32_t offset, uint32_t cmd1);

// MOVEMEM VIEWPORT: scale x, y, z, w then translation x, y, z, w in quarter pixels at an RDRAM
// offset, applied at once.
void load_viewport(uint32_t address);
