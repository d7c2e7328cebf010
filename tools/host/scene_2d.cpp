// The 2-D microcodes: a game of family 7 drawing a scrolling background and sprites placed,
// scaled, flipped and turned; and a family-4 room whose pre-rendered picture is drawn by
// S2DEX2, loaded in the middle of the 3-D list and left again for the characters in front
#include <cmath>

#include "dl_rdp.h"
#include "dl_s2dex.h"
#include "dl_ucode4.h"
#include "scenes.h"

namespace {

constexpr uint32_t kList      = 0x100000;
constexpr uint32_t kRecords   = 0x180000; // background, sprites, matrices, load records
constexpr uint32_t kVertices  = 0x181000;
constexpr uint32_t kViewport  = 0x182000;
constexpr uint32_t kMatrices  = 0x182100;
constexpr uint32_t kUcodes    = 0x190000; // text and data of the two microcodes of the room
constexpr uint32_t kSprite    = 0x1A0000; // 32 x 32 RGBA 5-5-5-1
constexpr uint32_t kPicture   = 0x300000; // 320 x 240 (the room) or 256 x 192 (the sky)
constexpr uint32_t kFrame     = 0x200000;
constexpr uint32_t kDepth     = 0x280000;
constexpr uint32_t kTexelKeys = 0x0E7BE3F1; // texel times the primitive colour, white here

void write_picture(Console& c, int w, int h, uint16_t (*texel)(int x, int y)) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            c.write_u16(kPicture + 2 * uint32_t(y * w + x), texel(x, y));
}

// Hills under a sky, seamless left to right so that the scroll never shows a seam.
uint16_t sky_texel(int x, int y) {
    const float phase = 2.0f * 3.14159265f * float(x) / 256.0f;
    const int hill    = 120 + int(22.0f * std::sin(phase) + 10.0f * std::sin(3.0f * phase));
    if (y > hill) return rgba5551(40 + (x * 3 % 40), 150 - (y - hill), 60);
    return rgba5551(90 + y / 2, 140 + y / 3, 240);
}

// A room: wall, a window, a chequered floor.
uint16_t room_texel(int x, int y) {
    if (y >= 150)
        return ((x / 20 + (y - 150) / 15) & 1) ? rgba5551(150, 110, 70) : rgba5551(110, 80, 50);
    if (x >= 120 && x < 200 && y >= 40 && y < 110) return rgba5551(150, 200, 255);
    return rgba5551(200 - y / 3, 170 - y / 3, 130);
}

// An arrow pointing right and up, on clear texels: every flip and turn shows.
void write_sprite_texture(Console& c) {
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool shaft = y >= 14 && y < 18 && x < 24;
            const bool head  = x >= 20 && std::abs(y - 16) <= 31 - x;
            const bool flag  = y < 8 && x < 8;
            uint16_t t       = 0;
            if (shaft || head) t = rgba5551(255, 220, 40);
            if (flag) t = rgba5551(230, 40, 40);
            c.write_u16(kSprite + 2 * uint32_t(y * 32 + x), t);
        }
}

uint32_t build_sprites(Console& c, int frame) {
    constexpr int f = 7;
    write_picture(c, 256, 192, sky_texel);
    write_sprite_texture(c);
    s2d::Bg sky{kPicture, 256, 192, 0, 0, 320, 240};
    sky.image_x = float(frame * 40 % 256);
    sky.scale_w = sky.scale_h = 0.8f;
    s2d::write_bg(c, kRecords, sky);
    s2d::write_txtr_block(c, kRecords + 0x40, kSprite, 0, 256, 8, 0, 1, 0xFFFFFFFF);
    const uint8_t flip_s = obj::sprite::kFlipS, flip_t = obj::sprite::kFlipT;
    const s2d::Sprite sprites[] = {
        {20, 20, 32, 32, 1, 1, 8},                      // as it is
        {70, 20, 32, 32, 0.5f, 0.5f, 8},                // twice as large
        {150, 20, 32, 32, 1, 1, 8, 0, 0, 2, 0, flip_s}, // mirrored left to right
        {200, 20, 32, 32, 1, 1, 8, 0, 0, 2, 0, flip_t}, // upside down
        {-16, -16, 32, 32, 0.5f, 0.5f, 8},              // turned by the matrix, about its centre
        {0, 0, 32, 32, 1, 1, 8},                        // placed by the sub-matrix
    };
    for (int i = 0; i < 6; ++i)
        s2d::write_sprite(c, kRecords + 0x80 + 0x20 * uint32_t(i), sprites[i]);
    const float turn = 0.5f + 0.4f * float(frame);
    s2d::write_matrix(c, kRecords + 0x200, std::cos(turn), -std::sin(turn), std::sin(turn),
                      std::cos(turn), 100, 160);
    s2d::write_matrix(c, kRecords + 0x220, 1, 0, 0, 1, 220, 150, 0.5f, 0.5f);

    DisplayList dl(c, kList);
    dl.add({cmd::set_color_image(320, kFrame), cmd::set_scissor(0, 0, 320, 240),
            cmd::set_cycle_type(0), cmd::set_combine_keys(kTexelKeys, kTexelKeys),
            cmd::set_prim_color(~0u), s2d::bg_1cyc(f, kRecords)});
    // The background filled texture memory: the sprite's texture is loaded again. Sprites
    // blend by their texels' alpha.
    dl.add({s2d::set_status(f, 0, 0), s2d::load_txtr(f, kRecords + 0x40),
            cmd::set_cycle_type(0, cmd::kRenderXluSurf)});
    for (uint32_t i = 0; i < 4; ++i)
        dl.add(s2d::rectangle(f, kRecords + 0x80 + 0x20 * i));
    dl.add({s2d::matrix(f, kRecords + 0x200), s2d::sprite(f, kRecords + 0x80 + 0x20 * 4),
            s2d::matrix(f, kRecords + 0x220), s2d::rectangle_r(f, kRecords + 0x80 + 0x20 * 5),
            cmd::full_sync(), s2d::end_dl(f)});
    return dl.start();
}

// Two triangles of one colour each at console x (-100 .. 100 across the screen).
void write_pair(Console& c, uint32_t at, int x, uint8_t r, uint8_t g, uint8_t b) {
    const int16_t corners[6][2] = {{0, 60}, {-30, -50}, {30, -50}, {0, -70}, {-25, 20}, {25, 20}};
    for (int i = 0; i < 6; ++i)
        uc0::write_vertex(c, at + 16 * uint32_t(i), int16_t(x + corners[i][0] / (i < 3 ? 1 : 2)),
                          corners[i][1], -10, 0, 0, uint8_t(r / (i < 3 ? 1 : 2)), g, b, 255);
}

void add_pair(DisplayList& dl, uint32_t at) {
    dl.add({uc4::loadvtx(0, 6, at), uc4::tri2(0, 1, 2, 3, 4, 5)});
}

uint32_t build_room(Console& c, int frame) {
    write_picture(c, 320, 240, room_texel);
    s2d::Bg room{0x03000000, 320, 240, 40, 30, 240, 180};
    room.image_x = float(40 + 8 * frame); // the camera pans
    room.image_y = 30;
    s2d::write_bg(c, kRecords, room);
    s2d::write_text(c, kUcodes + 0x1138, s2d::kS2dex2Text);
    s2d::write_text(c, kUcodes + 0x2138, s2d::kF3dex2Text);
    write_pair(c, kVertices, -85, 230, 60, 60);       // left of the picture
    write_pair(c, kVertices + 0x60, 85, 230, 60, 60); // right of it
    write_pair(c, kVertices + 0xC0, 0, 60, 90, 230);  // in front of it
    uc0::write_viewport(c, kViewport, 160, 120, 160, 120);
    uc0::write_matrix(c, kMatrices, uc0::scaling(0.01f));
    uc0::write_matrix(c, kMatrices + 64, uc0::rotation_x(0.0f));

    const uint32_t shaded = uc4::kShade | uc4::kShadeSmooth;
    DisplayList dl(c, kList);
    dl.add({cmd::set_color_image(320, kFrame), cmd::set_depth_image(kDepth),
            cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(3),
            cmd::set_fill_color(cmd::fill_color16(20, 20, 30)), cmd::fill_rect(0, 0, 320, 240),
            cmd::set_cycle_type(0), uc4::segment(3, kPicture)});
    dl.add({uc0::combine_shade(), uc4::render_mode(0), uc4::viewport(kViewport),
            uc4::matrix(uc4::kProjection | uc4::kLoad | uc4::kNoPush, kMatrices),
            uc4::matrix(uc4::kLoad | uc4::kNoPush, kMatrices + 64), uc4::geometry_mode(0, shaded)});
    add_pair(dl, kVertices);
    add_pair(dl, kVertices + 0x60);
    // The pre-rendered room, drawn by the 2-D microcode through the segment set before.
    s2d::load_ucode(dl, 4, kUcodes, kUcodes + 0x1000);
    dl.add({cmd::pipe_sync(), cmd::set_cycle_type(2), s2d::bg_copy(8, kRecords), cmd::pipe_sync()});
    s2d::load_ucode(dl, 8, kUcodes, kUcodes + 0x2000);
    // The 3-D microcode starts without its modes: they are set again.
    dl.add({cmd::set_cycle_type(0), uc0::combine_shade(), uc4::geometry_mode(0, shaded)});
    add_pair(dl, kVertices + 0xC0);
    dl.add({cmd::full_sync(), uc4::end_dl()});
    return dl.start();
}

} // namespace

static SceneRegistrar sprites_scene({"sprites2d",
                                     "family 7 (S2DEX): a scrolling, scaled background; sprites "
                                     "as they are, scaled, mirrored, turned by the 2-D matrix",
                                     7, 0x56455832u, 0x00000044u, 3, build_sprites});
static SceneRegistrar room_scene({"room2d",
                                  "family 4 loads S2DEX2 inside its list for a pre-rendered "
                                  "room between its 3-D draws, then loads itself again",
                                  4, 0x56455834u, 0x00000052u, 2, build_room});
