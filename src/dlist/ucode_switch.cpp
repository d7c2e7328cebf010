// Loading another microcode inside a task: G_RDPHALF_1 names the new microcode's data, whose
// identification text G_LOAD_UCODE reads; the rest of the task runs in that family's row
#include "dlist/ucode_switch.h"

#include <cstdio>
#include <string>

#include "config/ucode_text.h"
#include "config/ucode_without_dialog.h"
#include "dlist/interpreter.h"
#include "dlist/ucode7_8_fields.h"
#include "geometry/viewport.h"
#include "platform/platform.h"
#include "state/host_state.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"

uint32_t ucode_texts_read;

namespace {

// Games switch back and forth every frame between two or three microcodes.
constexpr int kCachedTexts = 16;
struct CachedText {
    bool used;
    uint32_t address;
    int32_t family; // -1: the text names no family
};
CachedText cached[kCachedTexts];
int next_slot;

int32_t family_at(uint32_t address, uint32_t size) {
    for (const CachedText& c : cached)
        if (c.used && c.address == address) return c.family;
    ++ucode_texts_read;
    const uint32_t rdram_size = m64p_rdram_size ? m64p_rdram_size : kRdramSize;
    const std::string text    = find_ucode_text(host.rdram, rdram_size, address, size);
    const int32_t family      = family_of_ucode_text(text);
    cached[next_slot]         = {true, address, family};
    next_slot                 = (next_slot + 1) % kCachedTexts;
    if (family < 0) {
        char line[256];
        std::snprintf(line, sizeof line,
                      "G_LOAD_UCODE: the microcode data at 0x%06X holds %s%s%s, which names no "
                      "microcode family known to this plug-in; the list goes on as before",
                      address, text.empty() ? "no identification text" : "the text \"",
                      text.c_str(), text.empty() ? "" : "\"");
        platform_log(LogLevel::error, line);
    }
    return family;
}

// Families 1 to 3 share one command numbering, so one set of texts.
uint32_t numbering(uint32_t family) { return family >= 1 && family <= 3 ? 1 : family; }

// What the console loses when a microcode is loaded: the new one's data replaces the old
// one's in DMEM. The segments survive (games set them before switching and use them after);
// the 2-D state starts afresh, and the 3-D modes a list must set again are cleared.
void reset_lost_state() {
    rdp_reg.obj           = ObjState{};
    rdp_reg.geometry_mode = 0;
    rdp_reg.fog_factors   = 0; // the new microcode's data overwrites them
    set_cull_both(0);
    empty_matrix_stack();
}

} // namespace

uint32_t row_after_switch(int32_t text_family, uint32_t task_family) {
    if (numbering(static_cast<uint32_t>(text_family)) == numbering(task_family)) return task_family;
    return static_cast<uint32_t>(text_family);
}

void rdphalf_1() { rdp_reg.rdphalf_address = translate_address(rdp_reg.cmd1); }

bool switch_to_loaded_ucode() {
    const int32_t family =
        family_at(rdp_reg.rdphalf_address & kRdramMask, obj::ucode_data_size(rdp_reg.cmd0));
    if (family < 0 || family >= kUcodeFamilies) return false;
    UcodeType = row_after_switch(family, TaskFamily);
    return true;
}

void load_ucode() {
    if (switch_to_loaded_ucode()) reset_lost_state();
}

void forget_ucode_texts() {
    for (CachedText& c : cached)
        c = CachedText{};
    next_slot = 0;
}
