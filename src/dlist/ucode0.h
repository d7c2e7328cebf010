// Family-0 commands that other code reuses: those that steer the walk through a display list
// (the disassembler runs them too), and those that families 1 to 3, 5 and 6 vary by a
// parameter
#pragma once
#include <cstdint>

#include "geometry/vertex.h" // ExcessLights

void uc0_displaylist(); // 0x06: call or branch
void uc0_enddl();       // 0xB8: return, or end of the task
void uc0_moveword();    // 0xBC: among others the segment table

// Family-0 commands that families 5 and 6 decode the same way at the same bytes.
void uc0_cleargeometrymode(); // 0xB6
void uc0_setgeometrymode();   // 0xB7

// Family 0's commands with the few decodings that later families vary given as parameters.
// Each reads cmd0 and cmd1 as the family-0 handler at the same byte does; an address mask
// applies to the translated RDRAM offset of cmd1.
void matrix_command(uint32_t address_mask);                            // 0x01
void movemem_command(uint32_t record_mask);                            // 0x03: viewport, look-at
void load_vertices(uint32_t first, uint32_t count);                    // 0x04, tile index kept
void displaylist_command(uint32_t address_mask);                       // 0x06
void sprite2d_command(uint32_t address_mask);                          // 0x09
void setothermode_l_command(bool depth_test, bool depth_range = true); // 0xB9
void setothermode_h_command(bool depth_calls);                         // 0xBA
void moveword_command(uint32_t (*numlight_count)(uint32_t cmd1),
                      ExcessLights excess = ExcessLights::clamp); // 0xBC

// Decodes the triangle index held in the byte of a command word that starts at bit lo.
using IndexField = uint32_t (*)(uint32_t word, int lo);
// One triangle from the bytes at bits 16..23, 8..15 and 0..7 of word.
void add_triangle_from(uint32_t word, IndexField index);
// Triangles (a, b, c) and (d, a, c) from the bytes at bits 24, 16, 8 and 0 of word.
void add_quad_from(uint32_t word, IndexField index);
