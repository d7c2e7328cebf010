// Disassembler rows of family 0's own commands
#include "dis_commands.h"
#include "dlist/rdp_reg.h"
#include "dlist/ucode0.h"
#include "dlist/ucode0_fields.h"

using namespace uc0_fields;

namespace {

uint32_t cmd0() { return rdp_reg.cmd0; }
uint32_t cmd1() { return rdp_reg.cmd1; }

void matrix(std::string& out) {
    const uint32_t p = param(cmd0());
    if (p > kProjectionPushLoad)
        append(out, "param %u (none) ", p);
    else
        append(out, "%s %s %s ", (p & kMatrixProjection) ? "projection" : "modelview",
               (p & kMatrixLoad) ? "load" : "mul", (p & kMatrixPush) ? "push" : "nopush");
    append_address(out, cmd1());
}

void movemem(std::string& out) {
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
    append_address(out, cmd1());
}

void vertex(std::string& out) {
    const uint32_t first = vtx_first(cmd0()), count = vtx_count(cmd0());
    append(out, "%u vertices to vtx[%u..%u] from ", count, first, first + count - 1);
    append_address(out, cmd1());
}

void displaylist(std::string& out) {
    const uint32_t p = param(cmd0());
    if (p == kDlistCall)
        append(out, "call ");
    else if (p == kDlistBranch)
        append(out, "branch ");
    else
        append(out, "param %u (none) ", p);
    append_address(out, cmd1());
}
bool displaylist_calls(uint32_t w0) { return param(w0) == kDlistCall; }

void sprite(std::string& out) {
    append(out, "sprite record ");
    append_address(out, cmd1());
}

void line(std::string& out) { append(out, "v%u v%u", tri_index(cmd1(), 16), tri_index(cmd1(), 8)); }

void triangle(std::string& out) {
    append(out, "v%u v%u v%u", tri_index(cmd1(), 16), tri_index(cmd1(), 8), tri_index(cmd1(), 0));
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

template <int N> void other_mode_field(std::string& out, const OtherModeField (&fields)[N]) {
    const uint32_t shift    = mode_shift(cmd0());
    const OtherModeField* f = othermode_field(fields, shift);
    if (!f)
        append(out, "shift %u (none)", shift);
    else
        append(out, "%s %u", f->name, (cmd1() & f->mask) >> f->shift);
}
void other_mode_l(std::string& out) { other_mode_field(out, kOtherModeL); }
void other_mode_h(std::string& out) { other_mode_field(out, kOtherModeH); }

void texture(std::string& out) {
    append(out, "tile %u on %u scale_s %04X scale_t %04X", texture_tile(cmd0()), texture_on(cmd0()),
           texture_scale_s(cmd1()), texture_scale_t(cmd1()));
}

void moveword(std::string& out) {
    const uint32_t w0 = cmd0(), w1 = cmd1();
    switch (moveword_index(w0)) {
    case kMoveWordMatrix: append(out, "MATRIX (none)"); break;
    case kMoveWordNumLight: append(out, "NUMLIGHT %u", numlight_count(w1)); break;
    case kMoveWordClip: append(out, "CLIP offset %u %08X", moveword_offset(w0), w1); break;
    case kMoveWordSegment: append(out, "SEGMENT %u = %08X", segment_number(w0), w1); break;
    case kMoveWordFog: append(out, "FOG %08X", w1); break;
    case kMoveWordLightCol:
        append(out, "LIGHTCOL light %u %s %08X", lightcol_light(w0),
               lightcol_main(w0) ? "rgba" : "rgba_copy", w1);
        break;
    case kMoveWordPoints: append(out, "POINTS %08X", w1); break;
    case kMoveWordPerspNorm: append(out, "PERSPNORM %08X", w1); break;
    default: append(out, "index %02X (none)", moveword_index(w0)); break;
    }
}

void popmatrix(std::string& out) { append(out, cmd1() == 0 ? "modelview" : "projection (none)"); }

} // namespace

const DisEntry kUcode0Dis[] = {
    {0x01, {"MATRIX", matrix}},
    {0x03, {"MOVEMEM", movemem}},
    {0x04, {"VERTEX", vertex}},
    {0x06, {"DISPLAYLIST", displaylist, uc0_displaylist, displaylist_calls}},
    {0x09, {"SPRITE2D", sprite}},
    {0xB5, {"LINE3D", line}},
    {0xB6, {"CLEARGEOMETRYMODE", geometry_bits}},
    {0xB7, {"SETGEOMETRYMODE", geometry_bits}},
    {0xB8, {"ENDDL", nullptr, uc0_enddl}},
    {0xB9, {"SETOTHERMODE_L", other_mode_l}},
    {0xBA, {"SETOTHERMODE_H", other_mode_h}},
    {0xBB, {"TEXTURE", texture}},
    {0xBC, {"MOVEWORD", moveword, uc0_moveword}},
    {0xBD, {"POPMATRIX", popmatrix}},
    {0xBF, {"TRI1", triangle}},
};
const int kUcode0DisCount = sizeof kUcode0Dis / sizeof kUcode0Dis[0];
