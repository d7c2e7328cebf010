// Disassembler rows of family 0's own commands
#include "dis_commands.h"
#include "dlist/ucode0.h"
#include "dlist/ucode0_fields.h"
#include "dlist/ucode1_3_fields.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"

using namespace uc0_fields;

namespace {

uint32_t cmd0() { return rdp_reg.cmd0; }
uint32_t cmd1() { return rdp_reg.cmd1; }

template <uint32_t Mask> void matrix(std::string& out) {
    const uint32_t p = param(cmd0());
    if (p > kProjectionPushLoad)
        append(out, "param %u (none) ", p);
    else
        append(out, "%s %s %s ", (p & kMatrixProjection) ? "projection" : "modelview",
               (p & kMatrixLoad) ? "load" : "mul", (p & kMatrixPush) ? "push" : "nopush");
    append_address(out, cmd1(), Mask);
}

// Mask applies to the viewport and look-at records.
template <uint32_t Mask> void movemem(std::string& out) {
    const uint32_t index = param(cmd0());
    if (index == kMoveViewport)
        append(out, "VIEWPORT ");
    else if (index == kMoveLookAtY)
        append(out, "LOOKATY ");
    else if (index == kMoveLookAtX)
        append(out, "LOOKATX ");
    else if (is_move_light(index))
        append(out, "LIGHT %u ", (index - kMoveLight0) / 2);
    else
        append(out, "index %02X (none) ", index);
    append_address(out, cmd1(), is_move_light(index) ? kRdramMask : Mask);
}

} // namespace

void print_vertices(std::string& out, uint32_t first, uint32_t count) {
    append(out, "%u vertices to vtx[%u..%u] from ", count, first, first + count - 1);
    append_address(out, cmd1());
}

namespace {

void vertex(std::string& out) { print_vertices(out, vtx_first(cmd0()), vtx_count(cmd0())); }

template <uint32_t Mask> void displaylist(std::string& out) {
    const uint32_t p = param(cmd0());
    if (p == kDlistCall)
        append(out, "call ");
    else if (p == kDlistBranch)
        append(out, "branch ");
    else
        append(out, "param %u (none) ", p);
    append_address(out, cmd1(), Mask);
}
bool displaylist_calls(uint32_t w0) { return param(w0) == kDlistCall; }

template <uint32_t Mask> void sprite(std::string& out) {
    append(out, "sprite record ");
    append_address(out, cmd1(), Mask);
}

void line(std::string& out) { append(out, "v%u v%u", tri_index(cmd1(), 16), tri_index(cmd1(), 8)); }

} // namespace

// One triangle from the bytes at bits 16, 8 and 0 of w, as the family decodes an index.
void print_triangle_of(std::string& out, uint32_t w, IndexField index) {
    append(out, "v%u v%u v%u", index(w, 16), index(w, 8), index(w, 0));
}
namespace {

template <IndexField Index> void triangle(std::string& out) {
    print_triangle_of(out, cmd1(), Index);
}
template <IndexField Index> void triangle2(std::string& out) {
    print_triangle_of(out, cmd0(), Index);
    out += ", ";
    print_triangle_of(out, cmd1(), Index);
}
// Triangles (a, b, c) and (d, a, c) from the bytes at bits 24, 16, 8 and 0.
template <IndexField Index> void quad(std::string& out) {
    const uint32_t w = cmd1();
    append(out, "v%u v%u v%u, v%u v%u v%u", Index(w, 24), Index(w, 16), Index(w, 8), Index(w, 0),
           Index(w, 24), Index(w, 8));
}

void geometry_bits(std::string& out) {
    static const struct {
        uint32_t bit;
        const char* name;
    } names[]     = {{0x00000001, "zbuffer"},     {0x00000002, "texture"},
                     {0x00000004, "shade"},       {0x00000200, "shade_smooth"},
                     {0x00001000, "cull_front"},  {0x00002000, "cull_back"},
                     {0x00010000, "fog"},         {0x00020000, "lightning"},
                     {0x00040000, "texture_gen"}, {0x00080000, "texture_gen_lin"},
                     {0x00100000, "lod"}};
    uint32_t rest = cmd1();
    for (const auto& n : names)
        if (rest & n.bit) {
            append(out, "%s ", n.name);
            rest &= ~n.bit;
        }
    if (rest) append(out, "%08X", rest);
}

void other_mode_l(std::string& out) { print_other_mode_field(out, false, mode_shift(cmd0())); }
void other_mode_h(std::string& out) { print_other_mode_field(out, true, mode_shift(cmd0())); }

} // namespace

template <int N>
static void other_mode_field(std::string& out, const OtherModeField (&fields)[N], int32_t shift) {
    const OtherModeField* f = shift < 0 ? nullptr : othermode_field(fields, shift);
    if (!f)
        append(out, "shift %d (none)", shift);
    else
        append(out, "%s %u", f->name, (cmd1() & f->mask) >> f->shift);
}

void print_other_mode_field(std::string& out, bool high, int32_t shift) {
    if (high)
        other_mode_field(out, kOtherModeH, shift);
    else
        other_mode_field(out, kOtherModeL, shift);
}

void print_texture(std::string& out) {
    append(out, "tile %u on %u scale_s %04X scale_t %04X", texture_tile(cmd0()), texture_on(cmd0()),
           texture_scale_s(cmd1()), texture_scale_t(cmd1()));
}

void print_light_color(std::string& out) {
    append(out, "LIGHTCOL light %u %s %08X", lightcol_light(cmd0()),
           lightcol_main(cmd0()) ? "rgba" : "rgba_copy", cmd1());
}

namespace {} // namespace

void print_moveword(std::string& out, uint32_t (*count)(uint32_t cmd1)) {
    const uint32_t w0 = cmd0(), w1 = cmd1();
    switch (moveword_index(w0)) {
    case kMoveWordMatrix: append(out, "MATRIX (none)"); break;
    case kMoveWordNumLight: append(out, "NUMLIGHT %u", count(w1)); break;
    case kMoveWordClip: append(out, "CLIP offset %u %08X", moveword_offset(w0), w1); break;
    case kMoveWordSegment: append(out, "SEGMENT %u = %08X", segment_number(w0), w1); break;
    case kMoveWordFog: append(out, "FOG %08X", w1); break;
    case kMoveWordLightCol: print_light_color(out); break;
    case kMoveWordPoints: append(out, "POINTS %08X", w1); break;
    case kMoveWordPerspNorm: append(out, "PERSPNORM %08X", w1); break;
    default: append(out, "index %02X (none)", moveword_index(w0)); break;
    }
}

namespace {

template <uint32_t (*Count)(uint32_t)> void moveword(std::string& out) {
    print_moveword(out, Count);
}

void popmatrix(std::string& out) { append(out, cmd1() == 0 ? "modelview" : "projection (none)"); }

} // namespace

const DisEntry kUcode0Dis[] = {
    {0x01, {"MATRIX", matrix<kRdramMask>}},
    {0x03, {"MOVEMEM", movemem<kRdramMask>}},
    {0x04, {"VERTEX", vertex}},
    {0x06, {"DISPLAYLIST", displaylist<kRdramMask>, uc0_displaylist, displaylist_calls}},
    {0x09, {"SPRITE2D", sprite<kRdramMask>}},
    {0xB5, {"LINE3D", line}},
    {0xB6, {"CLEARGEOMETRYMODE", geometry_bits}},
    {0xB7, {"SETGEOMETRYMODE", geometry_bits}},
    {0xB8, {"ENDDL", nullptr, uc0_enddl}},
    {0xB9, {"SETOTHERMODE_L", other_mode_l}},
    {0xBA, {"SETOTHERMODE_H", other_mode_h}},
    {0xBB, {"TEXTURE", print_texture}},
    {0xBC, {"MOVEWORD", moveword<numlight_count>, uc0_moveword}},
    {0xBD, {"POPMATRIX", popmatrix}},
    {0xBF, {"TRI1", triangle<tri_index>}},
};
const int kUcode0DisCount = sizeof kUcode0Dis / sizeof kUcode0Dis[0];

// Families 1 to 3: family 0's row with the commands whose decoding differs.

const DisEntry kUcode1Dis[] = {
    {0x04,
     {"VERTEX",
      [](std::string& out) {
          print_vertices(out, uc1_fields::vtx_first(cmd0()), uc1_fields::vtx_count(cmd0()));
      }}},
    {0xB1, {"TRI2", triangle2<uc1_fields::tri_index>}},
    {0xB5, {"QUAD", quad<uc1_fields::quad_index>}},
    {0xBC, {"MOVEWORD", moveword<uc1_fields::numlight_count>, uc0_moveword}},
    {0xBF, {"TRI1", triangle<uc1_fields::tri_index>}},
};
const int kUcode1DisCount = sizeof kUcode1Dis / sizeof kUcode1Dis[0];

constexpr uint32_t kMask2   = uc2_fields::kAddressMask;
const DisEntry kUcode2Dis[] = {
    {0x01, {"MATRIX", matrix<kMask2>}},
    {0x03, {"MOVEMEM", movemem<kMask2>}},
    {0x04,
     {"VERTEX",
      [](std::string& out) {
          print_vertices(out, uc2_fields::vtx_first(cmd0()), uc2_fields::vtx_count(cmd0()));
      }}},
    {0x06,
     {"DISPLAYLIST", displaylist<kMask2>, [] { displaylist_command(kMask2); }, displaylist_calls}},
    {0x09, {"SPRITE2D", sprite<kMask2>}},
    {0xB1, {"TRI2", triangle2<uc2_fields::tri_index>}},
    {0xB5, {"QUAD", quad<uc2_fields::tri_index>}},
    {0xBF, {"TRI1", triangle<uc2_fields::tri_index>}},
};
const int kUcode2DisCount = sizeof kUcode2Dis / sizeof kUcode2Dis[0];

const DisEntry kUcode3Dis[] = {
    {0x04,
     {"VERTEX",
      [](std::string& out) {
          print_vertices(out, uc3_fields::vtx_first(cmd0()), uc3_fields::vtx_count(cmd0()));
      }}},
    {0xB1, {"TRI2", triangle2<uc3_fields::tri_index>}},
    {0xBF, {"TRI1", triangle<uc3_fields::tri_index>}},
};
const int kUcode3DisCount = sizeof kUcode3Dis / sizeof kUcode3Dis[0];
