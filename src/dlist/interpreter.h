// The display-list interpreter: fetch, dispatch, the display-list stack and segments
#pragma once
#include <cstdint>

// A list that never ends is cut off after this many commands; real frames use far fewer.
constexpr uint32_t kCommandBudget = 1u << 20;
extern uint32_t command_budget; // kCommandBudget; the fuzzers lower it to keep runs short

// A task that builds this many textures is cut off the same way: a build converts and
// uploads up to 65,536 texels (milliseconds), and the cache keeps only 512 textures alive.
constexpr uint32_t kTextureBuildBudget = 2048;
extern uint32_t texture_build_budget; // kTextureBuildBudget; tests lower it

extern uint32_t dlist_counter; // calls of run_display_list since load

void run_display_list(uint32_t start);
void execute_command(); // dispatches cmd0/cmd1 without the batch flush

// The steps of the walk that the disassembler shares: the per-task reset of the stack, and
// the fetch of the command at the active pc into cmd0, cmd1 and the look-ahead words, which
// moves the pc past it. fetch_command returns the command's RDRAM offset.
void start_display_list(uint32_t start);
// The console starts every task, and every loaded microcode, with an empty matrix stack; the
// loaded matrix stays.
void empty_matrix_stack();
uint32_t fetch_command();

// Runs `commands` commands in place from an RDRAM offset, without the batch flush between them
// and without touching the display-list stack. A run may start another run up to
// kRunNesting levels deep; a deeper one is ignored. The runs of a task share a command budget
// as large as the list's, and a run stops early when the task's list ends inside it.
constexpr int kRunNesting = 4;
void run_in_place(uint32_t address, uint32_t commands);

// Display-list stack operations of the families' DISPLAYLIST and ENDDL commands.
void dlist_call(uint32_t address); // ignored beyond the family's depth limit
void dlist_branch(uint32_t address);
void dlist_return();
