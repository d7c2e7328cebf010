// Disassembler rows of the RDP commands and the reserved RSP bytes, shared by every family
#include "dis_commands.h"
#include "dlist/interpreter.h"
#include "rdp/rdp_fields.h"
#include "render/combiner.h"
#include "render/combiner_fields.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"
#include "texture/tile_fields.h"

namespace {

const char* const kFormatNames[8] = {"RGBA", "YUV", "CI", "IA", "I", "fmt5", "fmt6", "fmt7"};
const char* const kSizeNames[4]   = {"4b", "8b", "16b", "32b"};
const char* const kCycleNames[4]  = {"1cycle", "2cycle", "copy", "fill"};

// Colour inputs 0..31 and alpha inputs 0..7, one table for every position of the formula.
const char* cc_name(uint32_t v) {
    static const char* const names[16] = {
        "CC_COMBINED",     "CC_TEXEL0",       "CC_TEXEL1",          "CC_PRIMITIVE",
        "CC_SHADE",        "CC_ENVIRONMENT",  "CC_CENTER",          "CC_COMBINED_ALPHA",
        "CC_TEXEL0_ALPHA", "CC_TEXEL1_ALPHA", "CC_PRIMITIVE_ALPHA", "CC_SHADE_ALPHA",
        "CC_ENV_ALPHA",    "CC_LOD_FRACTION", "CC_PRIM_LOD_FRAC",   "CC_K5"};
    if (v < 16) return names[v];
    return v == 31 ? "CC_0" : "CC_UNDEFINED";
}
const char* ac_name(uint32_t v) {
    static const char* const names[8] = {"AC_COMBINED",      "AC_TEXEL0", "AC_TEXEL1",
                                         "AC_PRIMITIVE",     "AC_SHADE",  "AC_ENVIRONMENT",
                                         "AC_PRIM_LOD_FRAC", "AC_0"};
    return names[v & 7];
}

uint32_t cmd0() { return rdp_reg.cmd0; }
uint32_t cmd1() { return rdp_reg.cmd1; }

float fixed_10_2(uint32_t v) { return static_cast<float>(v) / 4.0f; }

void texture_rect(std::string& out) {
    append(out, "tile %u (%g,%g)-(%g,%g) s %g t %g dsdx %g dtdy %g", rect_tile(cmd1()),
           rect_ulx(cmd1()), rect_uly(cmd1()), rect_lrx(cmd0()), rect_lry(cmd0()),
           rect_s(rdp_reg.lookahead1), rect_t(rdp_reg.lookahead1), rect_dsdx(rdp_reg.lookahead2),
           rect_dtdy(rdp_reg.lookahead2));
}

void fill_rect(std::string& out) {
    append(out, "(%d,%d)-(%d,%d)", fill_ulx(cmd1()), fill_uly(cmd1()), fill_lrx(cmd0()),
           fill_lry(cmd0()));
}

void scissor(std::string& out) {
    append(out, "(%d,%d)-(%d,%d)", scissor_ulx(cmd0()), scissor_uly(cmd0()), scissor_lrx(cmd1()),
           scissor_lry(cmd1()));
}

void other_mode(std::string& out) {
    const uint32_t h = other_mode_bits(cmd0()), l = other_mode_bits(cmd1());
    append(out, "h %06X l %06X %s%s%s", h, l, kCycleNames[cycle_type_of(h)],
           (l & 0x10) ? " z_cmp" : "", (l & 0x20) ? " z_upd" : "");
}

void color_word(std::string& out) { append(out, "%08X", cmd1()); }

// Red in the most significant byte.
void rgba_word(std::string& out) {
    const uint32_t w = cmd1();
    append(out, "r %u g %u b %u a %u", w >> 24, field(w, 16, 8), field(w, 8, 8), field(w, 0, 8));
}

void image_address(std::string& out) { append_address(out, cmd1()); }

void color_image(std::string& out) {
    append(out, "%s %s width %u ", kFormatNames[image_format(cmd0())],
           kSizeNames[color_image_size(cmd0())], color_image_width(cmd0()));
    append_address(out, cmd1());
}

void texture_image(std::string& out) {
    append(out, "%s %s width %u ", kFormatNames[image_format(cmd0())],
           kSizeNames[image_size(cmd0())], image_width(cmd0()));
    append_address(out, cmd1());
}

void axis(std::string& out, const char* name, uint32_t clamp, uint32_t mirror, uint32_t mask,
          uint32_t shift) {
    append(out, " %s%s%s mask %u shift %u", name, clamp ? " clamp" : "", mirror ? " mirror" : "",
           mask, shift);
}

void set_tile(std::string& out) {
    const uint32_t w0 = cmd0(), w1 = cmd1();
    append(out, "tile %u %s %s line %u tmem %u palette %u", tile_number(w1),
           kFormatNames[image_format(w0)], kSizeNames[image_size(w0)], tile_line(w0), tile_tmem(w0),
           tile_palette(w1));
    axis(out, "s", tile_clamp_s(w1), tile_mirror_s(w1), tile_mask_s(w1), tile_shift_s(w1));
    axis(out, "t", tile_clamp_t(w1), tile_mirror_t(w1), tile_mask_t(w1), tile_shift_t(w1));
}

void tile_rect(std::string& out) {
    append(out, "tile %u (%g,%g)-(%g,%g)", tile_number(cmd1()), fixed_10_2(upper_s(cmd0())),
           fixed_10_2(upper_t(cmd0())), fixed_10_2(lower_s(cmd1())), fixed_10_2(lower_t(cmd1())));
}

void load_block(std::string& out) {
    // The lower s of a block is its texel count less one, not a 10.2 coordinate.
    append(out, "tile %u uls %g ult %g lrs %u dxt %u", tile_number(cmd1()),
           fixed_10_2(upper_s(cmd0())), fixed_10_2(upper_t(cmd0())), lower_s(cmd1()),
           field(cmd1(), 0, 12));
}

void tile_only(std::string& out) { append(out, "tile %u", tile_number(cmd1())); }

void combine_cycle(std::string& out, int n, uint32_t a, uint32_t b, uint32_t c, uint32_t d,
                   uint32_t Aa, uint32_t Ab, uint32_t Ac, uint32_t Ad) {
    append(out, "%scycle %d: (%s - %s) * %s + %s, (%s - %s) * %s + %s", n ? "; " : "", n,
           cc_name(a), cc_name(b), cc_name(c), cc_name(d), ac_name(Aa), ac_name(Ab), ac_name(Ac),
           ac_name(Ad));
}

void combine(std::string& out) {
    const uint32_t w0 = cmd0(), w1 = cmd1();
    combine_cycle(out, 0, cc_a0(w0), cc_b0(w1), cc_c0(w0), cc_d0(w1), ac_a0(w0), ac_b0(w1),
                  ac_c0(w0), ac_d0(w1));
    combine_cycle(out, 1, cc_a1(w0), cc_b1(w1), cc_c1(w0), cc_d1(w1), ac_a1(w1), ac_b1(w1),
                  ac_c1(w1), ac_d1(w1));
    append(out, "; keys %07X %07X",
           pack_mux_key(cc_a0(w0), cc_b0(w1), cc_c0(w0), cc_d0(w1), ac_a0(w0), ac_b0(w1), ac_c0(w0),
                        ac_d0(w1)),
           pack_mux_key(cc_a1(w0), cc_b1(w1), cc_c1(w0), cc_d1(w1), ac_a1(w1), ac_b1(w1), ac_c1(w1),
                        ac_d1(w1)));
}

// TEXRECT's two operand units are part of the command: the walk steps over them.
void skip_rect_operands() { active_pc() = (active_pc() + kTexRectOperandBytes) & kRdramMask; }

} // namespace

const DisEntry kRdpDis[] = {
    {0xC0, {"RDP_NOOP"}},
    {0xC8, {"TRIFILL"}},
    {0xC9, {"TRIFILLZ"}},
    {0xCA, {"TRITXTR"}},
    {0xCB, {"TRITXTRZ"}},
    {0xCC, {"TRISHADE"}},
    {0xCD, {"TRISHADEZ"}},
    {0xCE, {"TRISHADETXTR"}},
    {0xCF, {"TRISHADETXTRZ"}},
    {0xE4, {"TEXRECT", texture_rect, skip_rect_operands}},
    {0xE5, {"TEXRECTFLIP"}},
    {0xE6, {"RDP_LOADSYNC"}},
    {0xE7, {"RDP_PIPESYNC"}},
    {0xE8, {"RDP_TILESYNC"}},
    {0xE9, {"RDP_FULLSYNC"}},
    {0xEA, {"RDP_SETKEYG"}},
    {0xEB, {"RDP_SETKEYR"}},
    {0xEC, {"RDP_SETCONVERT"}},
    {0xED, {"RDP_SETSCISSOR", scissor}},
    {0xEE, {"RDP_SETPRIMDEPTH"}},
    {0xEF, {"RDP_SETOTHERMODE", other_mode}},
    {0xF0, {"LOADTLUT", tile_only}},
    {0xF2, {"SETTILESIZE", tile_rect}},
    {0xF3, {"LOADBLOCK", load_block}},
    {0xF4, {"LOADTILE", tile_rect}},
    {0xF5, {"SETTILE", set_tile}},
    {0xF6, {"FILLRECT", fill_rect}},
    {0xF7, {"RDP_SETFILLCOLOR", color_word}},
    {0xF8, {"RDP_SETFOGCOLOR", rgba_word}},
    {0xF9, {"RDP_SETBLENDCOLOR", rgba_word}},
    {0xFA, {"RDP_SETPRIMCOLOR", rgba_word}},
    {0xFB, {"RDP_SETENVCOLOR", rgba_word}},
    {0xFC, {"RDP_SETCOMBINE", combine}},
    {0xFD, {"SETTEXTUREIMAGE", texture_image}},
    {0xFE, {"RDP_SETDEPTHIMAGE", image_address}},
    {0xFF, {"RDP_SETCOLORIMAGE", color_image}},
};
const int kRdpDisCount = sizeof kRdpDis / sizeof kRdpDis[0];

const DisEntry kReservedDis[] = {
    {0x02, {"RSP_RESERVED0"}},
    {0x05, {"RSP_RESERVED1"}},
    {0x07, {"RSP_RESERVED2", image_address}},
    {0x08, {"RSP_RESERVED3"}},
};
const int kReservedDisCount = sizeof kReservedDis / sizeof kReservedDis[0];
