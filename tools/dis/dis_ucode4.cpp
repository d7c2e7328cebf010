// Disassembler rows of family 4's own commands
#include "dis_commands.h"
#include "dlist/ucode4.h"
#include "state/rdp_reg.h"

using namespace ucode4;

namespace {

uint32_t cmd0() { return rdp_reg.cmd0; }
uint32_t cmd1() { return rdp_reg.cmd1; }

void load_vertices(std::string& out) {
    const uint32_t count = vtx_count(cmd0()), end = vtx_end(cmd0());
    if (count > end)
        append(out, "%u vertices ending before vtx[%u] (none: too many) ", count, end);
    else
        print_vertices(out, end - count, count);
    if (count > end) append_address(out, cmd1());
}

void triangle(std::string& out) { print_triangle_of(out, cmd0(), vertex_index); }
void triangle2(std::string& out) {
    print_triangle_of(out, cmd0(), vertex_index);
    out += ", ";
    print_triangle_of(out, cmd1(), vertex_index);
}

void branchz(std::string& out) { append(out, "call 0x%06X", rdp_reg.rdphalf_address); }
bool always_calls(uint32_t) { return true; }

void popmatrix(std::string& out) {
    append(out, cmd1() == 64 ? "modelview" : "%u bytes (none)", cmd1());
}

void geometry_mode(std::string& out) {
    append(out, "keep %06X set %08X", geometry_keep(cmd0()), cmd1());
}

void load_matrix(std::string& out) {
    const uint32_t p = mtx_params(cmd0());
    if (p > (kMtxProjection | kMtxLoad | kMtxNoPush))
        append(out, "params %02X (none) ", p);
    else
        append(out, "%s %s %s ", (p & kMtxProjection) ? "projection" : "modelview",
               (p & kMtxLoad) ? "load" : "mul", (p & kMtxNoPush) ? "nopush" : "push");
    append_address(out, cmd1());
}

void moveword(std::string& out) {
    const uint32_t w0 = cmd0(), w1 = cmd1(), offset = moveword_offset(w0);
    switch (moveword_index(w0)) {
    case kMoveWordMatrix: append(out, "MATRIX (none)"); break;
    case kMoveWordNumLight: append(out, "NUMLIGHT %u", numlight_count(w1)); break;
    case kMoveWordSegment:
        if (offset / 4 < kSegmentCount)
            append(out, "SEGMENT %u = %08X", offset / 4, w1 & 0x00FFFFFF);
        else
            append(out, "SEGMENT %u (none: no such segment)", offset / 4);
        break;
    case kMoveWordLightCol: print_light_color(out); break;
    case kMoveWordForceMtx: append(out, "FORCEMTX (none)"); break;
    default: append(out, "index %u offset %u (none)", moveword_index(w0), offset); break;
    }
}

void movemem(std::string& out) {
    const uint32_t index = movemem_index(cmd0()), offset = movemem_offset(cmd0());
    if (index == kMoveMemViewport)
        append(out, "VIEWPORT ");
    else if (index == kMoveMemLight && offset >= kFirstLightOffset &&
             (offset - kFirstLightOffset) / kLightSlotSize < kLightCount)
        append(out, "LIGHT %u ", (offset - kFirstLightOffset) / kLightSlotSize);
    else
        append(out, "index %u offset %u (none) ", index, offset);
    append_address(out, cmd1());
}

void displaylist(std::string& out) {
    const uint32_t kind = dl_kind(cmd0());
    if (kind == 0)
        append(out, "call ");
    else if (kind == 1)
        append(out, "branch ");
    else
        append(out, "kind %u (none) ", kind);
    append_address(out, cmd1());
}
bool displaylist_calls(uint32_t w0) { return dl_kind(w0) == 0; }

void rdphalf(std::string& out) { append_address(out, cmd1()); }

void other_mode_l(std::string& out) { print_other_mode_field(out, false, othermode_shift(cmd0())); }
void other_mode_h(std::string& out) { print_other_mode_field(out, true, othermode_shift(cmd0())); }

} // namespace

const DisEntry kUcode4Dis[] = {
    {0x01, {"UC4_LOADVTX", load_vertices}},
    {0x02, {"UC4_MODIFYVTX"}},
    {0x03, {"UC4_CULLDL"}},
    {0x04, {"UC4_BRANCHZ", branchz, uc4_branchz, always_calls}},
    {0x05, {"UC4_TRI1", triangle}},
    {0x06, {"UC4_TRI2", triangle2}},
    {0x07, {"UC4_QUAD", triangle2}},
    {0xD3, {"special_1"}},
    {0xD4, {"special_2"}},
    {0xD5, {"special_3"}},
    {0xD6, {"dma_io"}},
    {0xD7, {"UC4_TEXTURE", print_texture}},
    {0xD8, {"UC4_POPMATRIX", popmatrix}},
    {0xD9, {"UC4_GEOMETRYMODE", geometry_mode}},
    {0xDA, {"UC4_LOADMTX", load_matrix}},
    {0xDB, {"UC4_MOVEWORD", moveword, uc4_moveword}},
    {0xDC, {"UC4_MOVEMEM", movemem}},
    {0xDD, {"load_ucode"}},
    {0xDE, {"UC4_DISPLAYLIST", displaylist, uc4_displaylist, displaylist_calls}},
    {0xDF, {"UC4_ENDDL", nullptr, uc4_enddl}},
    {0xE0, {"noop"}},
    {0xE1, {"UC4_RDPHALF_1", rdphalf, uc4_rdphalf_1}},
    {0xE2, {"UC4_SETOTHERMODE_L", other_mode_l}},
    {0xE3, {"UC4_SETOTHERMODE_H", other_mode_h}},
};
const int kUcode4DisCount = sizeof kUcode4Dis / sizeof kUcode4Dis[0];
