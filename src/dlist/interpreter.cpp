// The display-list interpreter: fetch, dispatch, the display-list stack and segments
#include "dlist/interpreter.h"

#include "dlist/command_table.h"
#include "framebuffer/color_images.h"
#include "rdp/rdp_commands.h"
#include "render/combiner.h"
#include "render/frame.h"
#include "state/bits.h"
#include "state/host_state.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"
#include "texture/texture_cache.h"

uint32_t dlist_counter;
uint32_t command_budget       = kCommandBudget;
uint32_t texture_build_budget = kTextureBuildBudget;

// Family 4 and the 2-D family with its numbering nest 16 levels, every other family 10.
static int32_t max_depth() { return UcodeType == 4 || UcodeType == 8 ? 15 : 9; }

void dlist_call(uint32_t address) {
    DisplayListStack& s = rdp_reg.stack;
    if (s.depth < 0 || s.depth + 1 > max_depth()) return;
    s.depth += 1;
    s.pc[s.depth] = address;
}

void dlist_branch(uint32_t address) { active_pc() = address; }

void dlist_return() {
    DisplayListStack& s = rdp_reg.stack;
    if (s.depth <= 0) {
        rdp_reg.dlist_end = 1;
        s.depth           = -1;
        return;
    }
    s.depth -= 1;
}

static int run_depth; // runs in progress, one inside the other

void execute_command() { CommandTable[UcodeType][opcode(rdp_reg.cmd0)](); }

// The command at a and the two words a texture rectangle reads 12 and 20 bytes on.
static void fetch_at(uint32_t a) {
    rdp_reg.cmd0       = read_rdram_u32(a);
    rdp_reg.cmd1       = read_rdram_u32(a + 4);
    rdp_reg.lookahead1 = read_rdram_u32(a + 12);
    rdp_reg.lookahead2 = read_rdram_u32(a + 20);
}

uint32_t fetch_command() {
    const uint32_t a = active_pc() & kRdramMask;
    fetch_at(a);
    active_pc() = (a + 8) & kRdramMask;
    return a;
}

// Runs in place spend from a budget of their own, as large as the list's, so that the list's
// loop keeps its counter in a register.
static uint32_t run_commands_left;
static uint32_t builds_before_task;

static bool texture_budget_spent() {
    return textures_built - builds_before_task >= texture_build_budget;
}

void run_in_place(uint32_t address, uint32_t commands) {
    if (run_depth >= kRunNesting) return;
    uint32_t* const outer = rdp_reg.run_cursor;
    uint32_t next         = address & kRdramMask;
    rdp_reg.run_cursor    = &next;
    run_depth += 1;
    for (uint32_t i = 0;
         i < commands && !rdp_reg.dlist_end && run_commands_left > 0 && !texture_budget_spent();
         ++i) {
        run_commands_left -= 1;
        const uint32_t a = next;
        fetch_at(a);
        next = (a + 8) & kRdramMask;
        execute_command();
    }
    run_depth -= 1;
    rdp_reg.run_cursor = outer;
}

void empty_matrix_stack() {
    ModelViewStack& mv = rdp_reg.modelview;
    mv.entry[0]        = mv.entry[mv.modelview_top % kModelViewDepth];
    mv.modelview_top   = 0;
}

void start_display_list(uint32_t start) {
    DisplayListStack& s  = rdp_reg.stack;
    s.pc[0]              = start;
    s.depth              = 0;
    rdp_reg.dlist_end    = 0;
    rdp_reg.current_tile = 0;
}

void run_display_list(uint32_t start) {
    start_display_list(start);
    // The CPU may have written the texels of the last task's textures since.
    texels_may_change();

    dlist_counter += 1;
    if (frame_rule == FrameRule::every_second_task) {
        if (dlist_counter & 1) {
            rdp_full_sync();
            rdp_reg.dlist_end = 1;
            return;
        }
        swap_frame();
        clear_frame_before_drawing();
    }

    empty_matrix_stack();

    // No row serves an unknown family: the task draws nothing, but the host is still
    // signalled so that it goes on.
    if (UcodeType >= kUcodeFamilies) {
        rdp_full_sync();
        settle_window_clear();
        rdp_reg.dlist_end = 1;
        return;
    }

    // A G_LOAD_UCODE changes the row for the rest of the task; the next one starts again in
    // the game's own family.
    TaskFamily         = UcodeType;
    run_commands_left  = command_budget;
    builds_before_task = textures_built;
    for (uint32_t budget = command_budget; budget > 0; --budget) {
        fetch_command();
        const uint32_t op = opcode(rdp_reg.cmd0);
        if (rdp_reg.batch.count > 0 && !KeepsBatch[UcodeType][op]) {
            flush_batch(rdp_reg.batch.indices);
            rdp_reg.batch.count = 0;
        }
        CommandTable[UcodeType][op]();
        if (rdp_reg.dlist_end) break;
        if (texture_budget_spent()) break;
    }
    // Out of budget, the task ends as if its list had ended. Triangles still waiting were
    // added by a run in place that also ended the list: they belong to this frame.
    if (rdp_reg.batch.count > 0) {
        flush_batch(rdp_reg.batch.indices);
        rdp_reg.batch.count = 0;
    }
    rdp_reg.dlist_end = 1;
    UcodeType         = TaskFamily;
    settle_window_clear();
}
