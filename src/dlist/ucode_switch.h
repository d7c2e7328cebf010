// Loading another microcode inside a task: G_RDPHALF_1 names the new microcode's data, whose
// identification text G_LOAD_UCODE reads; the rest of the task runs in that family's row
#pragma once
#include <cstdint>

void rdphalf_1();  // 0xB4 in families 1 to 3 and 7 (families 4 and 8: uc4_rdphalf_1)
void load_ucode(); // 0xAF in families 1 to 3 and 7, 0xDD in families 4 and 8
// The row change alone, without the state the console loses (the disassembler's walk);
// false when the text names no family.
bool switch_to_loaded_ucode();

// The row for a microcode whose text names `text_family`, in a task that started in
// `task_family`: a 3-D text with the task family's numbering gives the task family back
// (families 2 and 3 carry family 1's texts), any other known text its own family.
uint32_t row_after_switch(int32_t text_family, uint32_t task_family);

// Texts read from RDRAM since load: each data address is read once while it stays cached.
extern uint32_t ucode_texts_read;
void forget_ucode_texts(); // a new game: read again
