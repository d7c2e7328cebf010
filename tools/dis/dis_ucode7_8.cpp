// Disassembler rows of the 2-D families: their own commands, and G_LOAD_UCODE with the family
// the walk goes on in
#include "dis_commands.h"
#include "dlist/interpreter.h"
#include "dlist/ucode7_8_fields.h"
#include "dlist/ucode_switch.h"
#include "rdp/rdp_fields.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"

using namespace obj;

namespace {

uint32_t record() { return translate_address(rdp_reg.cmd1); }
uint32_t u32_at(uint32_t a) { return uint32_t(read_rdram_u16(a)) << 16 | read_rdram_u16(a + 2); }
double s16_at(uint32_t a) { return static_cast<int16_t>(read_rdram_u16(a)); }

void background(std::string& out, bool scaled) {
    using namespace bg;
    const uint32_t a = record();
    append_address(out, rdp_reg.cmd1);
    append(out, ": image ");
    append_address(out, u32_at(a + kImagePtr));
    append(out, " fmt %u siz %u pal %u %ux%u from (%.2f, %.2f), frame (%.2f, %.2f) %.2fx%.2f",
           read_rdram_u8(a + kImageFmt), read_rdram_u8(a + kImageSiz),
           read_rdram_u16(a + kImagePal), read_rdram_u16(a + kImageW) >> 2,
           read_rdram_u16(a + kImageH) >> 2, read_rdram_u16(a + kImageX) / 32.0,
           read_rdram_u16(a + kImageY) / 32.0, s16_at(a + kFrameX) / 4, s16_at(a + kFrameY) / 4,
           read_rdram_u16(a + kFrameW) / 4.0, read_rdram_u16(a + kFrameH) / 4.0);
    if (scaled)
        append(out, " scale %.3f x %.3f", read_rdram_u16(a + kScaleW) / 1024.0,
               read_rdram_u16(a + kScaleH) / 1024.0);
    if (read_rdram_u16(a + kImageFlip) & kFlipS) out += " flipped";
}
void bg_1cyc(std::string& out) { background(out, true); }
void bg_copy(std::string& out) { background(out, false); }

void print_sprite(std::string& out, uint32_t a) {
    using namespace sprite;
    append(out,
           "at (%.2f, %.2f) %.2fx%.2f texels, scale %.3f x %.3f, fmt %u siz %u pal %u, "
           "tmem %u line %u",
           s16_at(a + kObjX) / 4, s16_at(a + kObjY) / 4, read_rdram_u16(a + kImageW) / 32.0,
           read_rdram_u16(a + kImageH) / 32.0, read_rdram_u16(a + kScaleW) / 1024.0,
           read_rdram_u16(a + kScaleH) / 1024.0, read_rdram_u8(a + kFmt), read_rdram_u8(a + kSiz),
           read_rdram_u8(a + kPal), read_rdram_u16(a + kAdrs), read_rdram_u16(a + kStride));
    const uint8_t flags = read_rdram_u8(a + kFlags);
    if (flags & kFlipS) out += " flip s";
    if (flags & kFlipT) out += " flip t";
}
void sprite_record(std::string& out) {
    append_address(out, rdp_reg.cmd1);
    out += ": ";
    print_sprite(out, record());
}

void print_txtr(std::string& out, uint32_t a) {
    using namespace txtr;
    const uint32_t type = u32_at(a + kType);
    const char* kind    = type == kBlock  ? "block"
                          : type == kTile ? "tile"
                          : type == kTlut ? "tlut"
                                          : "(none)";
    append(out, "%s ", kind);
    append_address(out, u32_at(a + kImage));
    append(out, " tmem %u size %u line %u unless status %u & %08X == %08X",
           read_rdram_u16(a + kTmem), read_rdram_u16(a + kSize), read_rdram_u16(a + kLine),
           read_rdram_u16(a + kSid), u32_at(a + kMask), u32_at(a + kFlag));
}
void loadtxtr(std::string& out) {
    append_address(out, rdp_reg.cmd1);
    out += ": ";
    print_txtr(out, record());
}
void ldtx(std::string& out) {
    loadtxtr(out);
    out += "; then ";
    print_sprite(out, record() + txtr::kBytes);
}

void movemem(std::string& out) {
    const uint32_t index = movemem_index(rdp_reg.cmd0);
    append(out, "%s ",
           index == kMoveMemMatrix      ? "matrix"
           : index == kMoveMemSubMatrix ? "sub-matrix"
                                        : "(none)");
    append_address(out, rdp_reg.cmd1);
}

void select_dl(std::string& out) {
    const ObjState& o = rdp_reg.obj;
    const uint32_t dl = select_high(rdp_reg.cmd0) << 16 | o.select_low;
    append(out, "%s ", select_kind(rdp_reg.cmd0) == 0 ? "call" : "branch");
    append_address(out, dl);
    append(out, " unless status %u & %08X == %08X", o.select_sid, rdp_reg.cmd1, o.select_flag);
}

void rendermode(std::string& out) { append(out, "%08X", rdp_reg.cmd1); }

// The walk steers as the interpreter does, but leaves the status words alone: both ways of
// a G_SELECT_DL are shown as its call.
void select_steer() {
    const uint32_t dl = translate_address(select_high(rdp_reg.cmd0) << 16 | rdp_reg.obj.select_low);
    if (select_kind(rdp_reg.cmd0) == 0) dlist_call(dl);
    if (select_kind(rdp_reg.cmd0) == 1) dlist_branch(dl);
}
bool select_calls(uint32_t w0) { return select_kind(w0) == 0; }

bool next_is_select() {
    const uint8_t select = UcodeType == 8 ? kFamily8.select_dl : kFamily7.select_dl;
    return opcode(read_rdram_u32(active_pc())) == select;
}
void rdphalf_0(std::string& out) {
    append(out, "status %u flag %08X, list low %04X", select_sid(rdp_reg.cmd0), rdp_reg.cmd1,
           select_low(rdp_reg.cmd0));
}
void rdphalf_0_steer() {
    if (!next_is_select()) {
        active_pc() = (active_pc() + kTexRectOperandBytes) & kRdramMask;
        return;
    }
    rdp_reg.obj.select_sid  = select_sid(rdp_reg.cmd0);
    rdp_reg.obj.select_flag = rdp_reg.cmd1;
    rdp_reg.obj.select_low  = select_low(rdp_reg.cmd0);
}

} // namespace

// G_LOAD_UCODE in every row that has it: the addresses and the family the walk goes on in.
void print_load_ucode(std::string& out) {
    append(out, "text ");
    append_address(out, rdp_reg.cmd1);
    append(out, " data 0x%06X, %u bytes -> family %u", rdp_reg.rdphalf_address,
           ucode_data_size(rdp_reg.cmd0), UcodeType);
}
void load_ucode_steer() { switch_to_loaded_ucode(); }
void rdphalf_1_steer() { rdphalf_1(); }

void install_2d_dis(DisCommand* row, const Opcodes& op, const DisCommand* own_3d_row) {
    for (uint8_t kept : {op.displaylist, op.enddl, op.setothermode_l, op.setothermode_h,
                         op.rdphalf_1, op.rdphalf_2, op.moveword, op.load_ucode})
        row[kept] = own_3d_row[kept];
    row[kRdpHalf0]          = {"RDPHALF_0/TEXRECT", rdphalf_0, rdphalf_0_steer};
    row[op.bg_1cyc]         = {"OBJ_BG_1CYC", bg_1cyc};
    row[op.bg_copy]         = {"OBJ_BG_COPY", bg_copy};
    row[op.obj_rectangle]   = {"OBJ_RECTANGLE", sprite_record};
    row[op.obj_sprite]      = {"OBJ_SPRITE", sprite_record};
    row[op.obj_movemem]     = {"OBJ_MOVEMEM", movemem};
    row[op.select_dl]       = {"SELECT_DL", select_dl, select_steer, select_calls};
    row[op.obj_rendermode]  = {"OBJ_RENDERMODE", rendermode};
    row[op.obj_rectangle_r] = {"OBJ_RECTANGLE_R", sprite_record};
    row[op.obj_loadtxtr]    = {"OBJ_LOADTXTR", loadtxtr};
    row[op.obj_ldtx_sprite] = {"OBJ_LDTX_SPRITE", ldtx};
    row[op.obj_ldtx_rect]   = {"OBJ_LDTX_RECT", ldtx};
    row[op.obj_ldtx_rect_r] = {"OBJ_LDTX_RECT_R", ldtx};
}
