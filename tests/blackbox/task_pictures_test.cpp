// Frames drawn through the loaded plug-in's exports: what one task leaves behind does not
// change the next task's picture, and the render mode decides whether a surface's alpha counts
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "console.h"
#include "dl_rdp.h"
#include "host_ini.h"
#include "scene_terrain.h"
#include "support/geometry_helpers.h"
#include "support/loaded_plugin.h"
#include "support/render_modes.h"

namespace {

constexpr int kWidth = 640, kHeight = 480; // the window of a host that gives none
using Frame = std::vector<unsigned char>;  // RGBA, bottom row first

// One console whose game is saved as family 0, handed to the plug-in once.
Console& console() {
    static Console* c = [] {
        auto* started = new Console;
        started->set_rom_header(0x5441534Bu, 0x50494354u, 0x45, "TASK PICTURES");
        std::string error;
        EXPECT_TRUE(save_family_choice(started->rom_header, 0, &error)) << error;
        EXPECT_EQ(loaded_plugin().InitiateGFX(started->gfx_info(nullptr)), 1);
        return started;
    }();
    return *c;
}

// Runs the list at kListAddress as the next drawn task and reads its frame. The plug-in draws
// every second task and only a skipped one raises the DP interrupt (the lists here have no
// FULLSYNC), so a task that raised it is given again.
Frame draw_task() {
    Console& c = console();
    c.set_task(kListAddress);
    for (int i = 0; i < 2; ++i) {
        c.mi_interrupt = 0;
        loaded_plugin().ProcessDList();
        if (c.mi_interrupt == 0) break;
    }
    Frame frame(4 * kWidth * kHeight);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
    return frame;
}

int pixels_unlike(const Frame& a, const Frame& b) {
    int differ = 0;
    for (size_t i = 0; i < a.size(); i += 4)
        differ += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    return differ;
}

constexpr uint32_t kNearQuad = kVertexAddress + 0x400;
constexpr uint32_t kFarView  = kViewportAddress + 0x40;
constexpr uint32_t kShifted  = kMatrixAddress + 0x80; // model matrix: 30 units to the right

// A frame as games start one: the images, the full screen's scissor, a fill-mode clear and a
// box in the upper right, then 3-D drawing with depth.
void add_frame_start(Console& c, DisplayList& dl) {
    dl.add({cmd::set_color_image(320, 0x400000), cmd::set_depth_image(0x500000),
            cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(3),
            cmd::set_fill_color(0xFF204060), cmd::fill_rect(0, 0, 320, 240),
            cmd::set_fill_color(0xFFC08020), cmd::fill_rect(250, 20, 300, 60),
            cmd::set_cycle_type(0, uc0::kZCompare | uc0::kZUpdate), uc0::combine_shade()});
    add_plain_setup(c, dl, uc0::identity(), uc0::scaling(0.01f));
    dl.add(uc0::set_geometry_mode(uc0::kZBuffer | uc0::kShade | uc0::kShadeSmooth));
}

// The task whose picture must not depend on the task before it: a model that pushes its
// matrix and pops it again, one level.
void build_probe_task(Console& c) {
    const int16_t xy[3][2] = {{-60, -50}, {40, -50}, {-10, 60}};
    for (uint32_t i = 0; i < 3; ++i)
        uc0::write_vertex(c, kVertexAddress + 16 * i, xy[i][0], xy[i][1], 0, 0, 0, 230,
                          uint8_t(80 * i), 40, 255);
    uc0::write_matrix(c, kShifted, uc0::translation(30, 0, 0));
    DisplayList dl(c, kListAddress);
    add_frame_start(c, dl);
    dl.add({uc0::matrix(uc0::kPush, kShifted), uc0::vertex(0, 3, kVertexAddress),
            uc0::tri1(0, 1, 2), uc0::pop_matrix(), cmd::end_dl()});
}

// Each task before the probe leaves one piece of state behind.
void leave_small_scissor(Console& c, DisplayList& dl) {
    // Depth written over the whole screen, nearer than the probe's model; then the box that a
    // split screen's last view sets.
    const int16_t xy[4][2] = {{-100, -100}, {100, -100}, {100, 100}, {-100, 100}};
    for (uint32_t i = 0; i < 4; ++i)
        uc0::write_vertex(c, kNearQuad + 16 * i, xy[i][0], xy[i][1], -80, 0, 0, 20, 20, 20, 255);
    dl.add({uc0::vertex(0, 4, kNearQuad), uc0::tri1(0, 1, 2), uc0::tri1(0, 2, 3),
            cmd::set_scissor(20, 20, 60, 50)});
}
void leave_small_viewport(Console& c, DisplayList& dl) {
    uc0::write_viewport(c, kFarView, 40, 30, 40, 30);
    dl.add(uc0::viewport(kFarView));
}
void leave_full_matrix_stack(Console&, DisplayList& dl) {
    for (int i = 0; i < 600; ++i)
        dl.add(uc0::matrix(uc0::kPush | uc0::kLoad, kMatrixAddress + 64));
}

TEST(TaskPictures, ATaskLooksTheSameWhateverTheTaskBeforeItLeft) {
    Console& c = console();
    build_probe_task(c);
    const Frame alone = draw_task();
    ASSERT_GT(pixels_unlike(alone, Frame(alone.size())), kWidth * kHeight / 2);

    struct Case {
        void (*leave)(Console&, DisplayList&);
        const char* what;
    } cases[] = {{leave_small_scissor, "a small scissor box at its end"},
                 {leave_small_viewport, "a 3-D viewport in the upper left"},
                 {leave_full_matrix_stack, "600 matrix pushes without a pop"}};
    for (const Case& k : cases) {
        DisplayList dl(c, kListAddress);
        add_frame_start(c, dl);
        k.leave(c, dl);
        dl.add(cmd::end_dl());
        draw_task();
        build_probe_task(c);
        EXPECT_EQ(pixels_unlike(draw_task(), alone), 0) << "after a task that left " << k.what;
    }
}

// A lit model as games light one: normals in the vertices, a warm light and an ambient one, and
// the vertices' alpha (0 in many shipped models) multiplied into the lit colour. A texture's
// 8 x 8 texels span the model; `surface` commands come before its triangles.
void build_lit_mesh_task(Console& c, uint32_t othermode_l, uint8_t alpha, bool with_mesh = true,
                         std::initializer_list<Command> surface = {}) {
    const int16_t xy[5][2]    = {{-70, -60}, {70, -60}, {70, 60}, {-70, 60}, {0, 0}};
    const int8_t normal[5][3] = {
        {-90, -40, 80}, {90, -40, 80}, {60, 60, 90}, {-60, 60, 90}, {0, 0, 127}};
    for (uint32_t i = 0; i < 5; ++i)
        uc0::write_vertex(c, kVertexAddress + 16 * i, xy[i][0], xy[i][1], 0,
                          int16_t((xy[i][0] + 70) * 256 / 140),
                          int16_t((xy[i][1] + 60) * 256 / 120), uint8_t(normal[i][0]),
                          uint8_t(normal[i][1]), uint8_t(normal[i][2]), alpha);
    uc0::write_light(c, kLightAddress, 230, 150, 70, -40, 50, 100);
    uc0::write_light(c, kLightAddress + 16, 30, 30, 60, 0, 0, 0);
    DisplayList dl(c, kListAddress);
    add_frame_start(c, dl);
    dl.add({cmd::set_cycle_type(0, othermode_l), uc0::set_geometry_mode(uc0::kLighting),
            uc0::num_lights(1), uc0::light(0, kLightAddress), uc0::light(1, kLightAddress + 16)});
    dl.add(surface);
    if (with_mesh)
        dl.add({uc0::vertex(0, 5, kVertexAddress), uc0::tri1(0, 1, 4), uc0::tri1(1, 2, 4),
                uc0::tri1(2, 3, 4), uc0::tri1(3, 0, 4)});
    dl.add(cmd::end_dl());
}

// Whether the surface's alpha blends or cuts is the render mode's business: G_RM_OPA_SURF shows
// the model whole, G_RM_XLU_SURF blends it, G_RM_TEX_EDGE cuts where its alpha gives no
// coverage.
TEST(TaskPictures, TheRenderModeDecidesWhetherALitModelsAlphaCounts) {
    constexpr uint32_t kOpaque      = rm::mode("OPA_SURF").cycle1();
    constexpr uint32_t kTranslucent = rm::mode("XLU_SURF").cycle1();
    constexpr uint32_t kCutOut      = rm::mode("TEX_EDGE").cycle1();
    Console& c                      = console();
    build_lit_mesh_task(c, kTranslucent, 255, false);
    const Frame background = draw_task();
    build_lit_mesh_task(c, kTranslucent, 255);
    const Frame lit = draw_task();
    ASSERT_GT(pixels_unlike(lit, background), 20000) << "the model covers the middle";

    enum Seen { kLit, kBackground, kHalfBlended };
    struct Case {
        uint32_t othermode_l;
        uint8_t alpha;
        Seen seen;
        const char* what;
    } cases[] = {{kOpaque, 0, kLit, "opaque, alpha 0"},
                 {kTranslucent, 0, kBackground, "translucent, alpha 0"},
                 {kTranslucent, 128, kHalfBlended, "translucent, alpha 128"},
                 {kCutOut, 0, kBackground, "cut-out, alpha 0"},
                 {kCutOut, 255, kLit, "cut-out, alpha 255"}};
    for (const Case& k : cases) {
        build_lit_mesh_task(c, k.othermode_l, k.alpha);
        const Frame frame = draw_task();
        if (k.seen != kHalfBlended) {
            EXPECT_EQ(pixels_unlike(frame, k.seen == kLit ? lit : background), 0) << k.what;
            continue;
        }
        int off = 0;
        for (size_t i = 0; i < frame.size(); ++i) {
            const float a = 128.0f / 255.0f, blended = a * lit[i] + (1 - a) * background[i];
            off += i % 4 != 3 && std::abs(frame[i] - blended) > 2;
        }
        EXPECT_EQ(off, 0) << k.what << ": channels unlike the model blended half over the frame";
    }
}

struct Rgb {
    int r, g, b;
};

// The frame's pixel at window (x, y), counted from the top left.
Rgb window_pixel(const Frame& f, int x, int y) {
    const unsigned char* p = &f[4 * (static_cast<size_t>(kHeight - 1 - y) * kWidth + x)];
    return {p[0], p[1], p[2]};
}

// Texels of two textures: tile 0 red and blue columns, tile 1 green and white rows (RGBA16,
// 4 x 4 each, TMEM 0 and 256).
void add_two_textures(Console& c, DisplayList& dl) {
    for (uint32_t i = 0; i < 16; ++i) {
        c.write_u16(kTexelAddress + 2 * i, i % 4 < 2 ? rgba5551(255, 0, 0) : rgba5551(0, 0, 255));
        c.write_u16(kTexelAddress + 32 + 2 * i,
                    i / 4 < 2 ? rgba5551(0, 255, 0) : rgba5551(255, 255, 255));
    }
    dl.add({tex::set_texture_image(tex::rgba, tex::b16, 4, kTexelAddress),
            tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 16),
            tex::set_tile(0, tex::rgba, tex::b16, 1, 0), tex::set_tile_size(0, 0, 0, 4, 4),
            tex::set_texture_image(tex::rgba, tex::b16, 4, kTexelAddress + 32),
            tex::set_tile(7, tex::rgba, tex::b16, 0, 256), tex::load_block(7, 0, 0, 16),
            tex::set_tile(1, tex::rgba, tex::b16, 1, 256), tex::set_tile_size(1, 0, 0, 4, 4),
            uc0::texture(0, 1, 0xFFFF, 0xFFFF)});
}

// A quad of four vertices from `first` over x0..x1, y0..y1, texels 0..4 across it.
void add_quad(Console& c, DisplayList& dl, uint32_t first, int16_t x0, int16_t y0, int16_t x1,
              int16_t y1) {
    const int16_t corner[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    for (uint32_t i = 0; i < 4; ++i)
        uc0::write_vertex(c, kVertexAddress + 16 * (first + i), corner[i][0], corner[i][1], 0,
                          int16_t(i == 1 || i == 2 ? 4 * 32 : 0), int16_t(i >= 2 ? 4 * 32 : 0), 255,
                          255, 255, 255);
    dl.add({uc0::vertex(first, 4, kVertexAddress + 16 * first),
            uc0::tri1(first, first + 1, first + 2), uc0::tri1(first, first + 2, first + 3)});
}

// A frame whose later draws are a fill rectangle in 1-cycle mode and a one-texture quad,
// with or without an opaque two-texture surface (the terrain's lerp by ENV_ALPHA, then
// x SHADE) in the lower left before them.
constexpr uint32_t kOpaqueSurface = 0x2000; // coverage as alpha, nothing blended
void build_after_two_textures_task(Console& c, bool two_textures) {
    DisplayList dl(c, kListAddress);
    add_frame_start(c, dl);
    add_two_textures(c, dl);
    if (two_textures) {
        dl.add({cmd::set_cycle_type(1, uc0::kZCompare | uc0::kZUpdate | kOpaqueSurface),
                cmd::set_env_color(0xFFFFFF80),
                cmd::set_combine_keys(terrain::kTerrainKey0, terrain::kTerrainKey1)});
        add_quad(c, dl, 0, -95, -95, -20, -20);
    }
    dl.add({cmd::set_cycle_type(0), cmd::set_blend_color(0x30A050FF),
            cmd::fill_rect(200, 20, 300, 100), cmd::set_combine_keys(0x3FFE4F1, 0)});
    add_quad(c, dl, 4, 10, 10, 90, 90);
    dl.add(cmd::end_dl());
}

// A two-texture surface turns on texture units that later draws must not sample: the fill
// rectangle and the one-texture quad after it, in its frame and the frames after, look as
// they do in frames without it.
TEST(TaskPictures, ATwoTextureSurfaceLeavesNothingToTheDrawsAfterIt) {
    Console& c = console();
    build_after_two_textures_task(c, false);
    const Frame without = draw_task();
    build_after_two_textures_task(c, true);
    const Frame first = draw_task();
    // Outside the lower-left quarter, where the surface lies, the frames agree.
    int unlike = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const Rgb a = window_pixel(first, x, y), b = window_pixel(without, x, y);
            unlike +=
                !(x < kWidth / 2 && y > kHeight / 2) && (a.r != b.r || a.g != b.g || a.b != b.b);
        }
    EXPECT_EQ(unlike, 0) << "pixels of the later draws changed by the surface before them";
    EXPECT_GT(pixels_unlike(first, without), 1000) << "the surface is drawn";
    for (int frame = 2; frame <= 3; ++frame)
        EXPECT_EQ(pixels_unlike(draw_task(), first), 0) << "frame " << frame;
    build_after_two_textures_task(c, false);
    EXPECT_EQ(pixels_unlike(draw_task(), without), 0) << "a frame without the surface after it";
}

// A texel laid over a lit surface by its alpha ((TEXEL0 - SHADE) x TEXEL0_ALPHA + SHADE, alpha
// ENVIRONMENT: the shade is drawn, then the texture): under an opaque render mode the shade
// shows where the texel's alpha is 0 and the texel where it is 255, whatever the environment
// alpha. Texel columns 0..3 are black with alpha 0, columns 4..7 opaque blue (248
// from five bits).
TEST(TaskPictures, ATexelLaidOverAnOpaqueSurfaceBlendsByItsOwnAlpha) {
    Console& c = console();
    for (uint32_t i = 0; i < 64; ++i)
        c.write_u16(kTexelAddress + 2 * i,
                    i % 8 < 4 ? rgba5551(0, 0, 0, false) : rgba5551(0, 0, 255));
    build_lit_mesh_task(c, 0x2000, 0);
    const Frame shade = draw_task();
    build_lit_mesh_task(c, 0x2000, 0, true,
                        {uc0::texture(0, 1, 0xFFFF, 0xFFFF),
                         tex::set_texture_image(tex::rgba, tex::b16, 8, kTexelAddress),
                         tex::set_tile(0, tex::rgba, tex::b16, 2, 0),
                         tex::load_block(0, 0, 0, 64, 1024), tex::set_tile_size(0, 0, 0, 8, 8),
                         cmd::set_env_color(0x40404080), cmd::set_combine_keys(0xBFF8841, 0)});
    const Frame laid = draw_task();
    for (int x : {170, 200, 440, 470}) {
        const Rgb got  = window_pixel(laid, x, 240),
                  want = x < 320 ? window_pixel(shade, x, 240) : Rgb{0, 0, 248};
        EXPECT_TRUE(got.r == want.r && got.g == want.g && got.b == want.b)
            << "window x " << x << ": " << got.r << "," << got.g << "," << got.b << " for "
            << want.r << "," << want.g << "," << want.b;
    }
}

// A triangle over the upper left textured with black texels, which leaves texturing on.
void add_black_textured_triangle(Console& c, DisplayList& dl) {
    for (uint32_t i = 0; i < 16; ++i)
        c.write_u16(kTexelAddress + 2 * i, 0x0001);
    const int16_t xy[3][2] = {{-100, 100}, {0, 100}, {-100, 0}};
    for (uint32_t i = 0; i < 3; ++i)
        uc0::write_vertex(c, kVertexAddress + 16 * i, xy[i][0], xy[i][1], 0, 0, 0, 255, 255, 255,
                          255);
    add_plain_setup(c, dl, uc0::identity(), uc0::scaling(1.0f));
    dl.add({tex::set_texture_image(tex::rgba, tex::b16, 4, kTexelAddress),
            tex::set_tile(0, tex::rgba, tex::b16, 1, 0), tex::load_block(0, 0, 0, 16),
            tex::set_tile_size(0, 0, 0, 4, 4), uc0::texture(0, 1, 0xFFFF, 0xFFFF),
            cmd::set_cycle_type(0), cmd::set_combine_keys(0x3FFE4F1, 0),
            uc0::set_geometry_mode(uc0::kShade), uc0::vertex(0, 3, kVertexAddress),
            uc0::tri1(0, 1, 2)});
}

// Four fills in the quadrants of a 320 x 240 image, as games clear, in the image's own
// format: each quadrant shows its colour whatever the colour's alpha, untextured, and
// together they cover the window edge to edge.
TEST(TaskPictures, FillRectsCoverTheImageInItsOwnPixelFormat) {
    struct Case {
        uint32_t size;
        uint32_t words[4];
        Rgb seen[4];
        const char* what;
    } cases[] = {
        {2,
         {cmd::fill_color16(32, 32, 64, false), cmd::fill_color16(255, 255, 255),
          cmd::fill_color16(200, 40, 120, false), cmd::fill_color16(0, 248, 8)},
         {{33, 33, 66}, {255, 255, 255}, {206, 41, 123}, {0, 255, 8}},
         "16-bit image"},
        {3,
         {0x204080FF, 0xC0803000, 0x01020304, 0xFFFFFF7F},
         {{32, 64, 128}, {192, 128, 48}, {1, 2, 3}, {255, 255, 255}},
         "32-bit image"},
    };
    Console& c = console();
    for (const Case& k : cases) {
        DisplayList dl(c, kListAddress);
        dl.add({cmd::set_color_image(320, 0x400000, k.size), cmd::set_depth_image(0x500000),
                cmd::set_scissor(0, 0, 320, 240)});
        add_black_textured_triangle(c, dl);
        dl.add(cmd::set_cycle_type(3));
        for (uint32_t q = 0; q < 4; ++q) {
            const uint32_t x = 160 * (q % 2), y = 120 * (q / 2);
            dl.add({cmd::set_fill_color(k.words[q]), cmd::fill_rect(x, y, x + 159, y + 119)});
        }
        dl.add(cmd::end_dl());
        const Frame frame = draw_task();
        int wrong         = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const Rgb want = k.seen[(x >= kWidth / 2) + 2 * (y >= kHeight / 2)];
                const Rgb got  = window_pixel(frame, x, y);
                if (got.r == want.r && got.g == want.g && got.b == want.b) continue;
                if (++wrong == 1)
                    ADD_FAILURE() << k.what << ": window pixel (" << x << ", " << y << ") is "
                                  << got.r << "," << got.g << "," << got.b;
            }
        EXPECT_EQ(wrong, 0) << k.what << ": pixels unlike their quadrant's fill colour";
    }
}

// One- and two-cycle fills write the blend colour (red highest) as the render mode's blender
// says, and stop short of their lower-right row and column.
TEST(TaskPictures, OneAndTwoCycleFillsBlendTheBlendColour) {
    struct Case {
        uint32_t cycle_type, othermode_l, blend;
        Rgb inside;
        const char* what;
    } cases[] = {
        {0, rm::mode("XLU_SURF").cycle1(), 0x00FF00FF, {0, 255, 0}, "one-cycle, opaque green"},
        {1,
         rm::G_RM_PASS | rm::mode("XLU_SURF").cycle2(),
         0xFF000080,
         {128, 0, 127},
         "two-cycle, red half over the blue"},
        {0, rm::mode("XLU_SURF").cycle1(), 0xFFFFFF00, {0, 0, 255}, "one-cycle, alpha 0: nothing"},
        {0,
         rm::mode("OPA_SURF").cycle1(),
         0xFFFFFF00,
         {255, 255, 255},
         "one-cycle G_RM_OPA_SURF, alpha 0: written whole"},
    };
    Console& c = console();
    const Rgb blue{0, 0, 255};
    for (const Case& k : cases) {
        DisplayList dl(c, kListAddress);
        dl.add({cmd::set_color_image(320, 0x400000), cmd::set_depth_image(0x500000),
                cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(3),
                cmd::set_fill_color(cmd::fill_color16(0, 0, 255)), cmd::fill_rect(0, 0, 319, 239),
                cmd::set_cycle_type(k.cycle_type, k.othermode_l), cmd::set_blend_color(k.blend),
                cmd::fill_rect(40, 40, 100, 80), cmd::end_dl()});
        const Frame frame = draw_task();
        // Window pixels: the fill spans console columns 40..99 and rows 40..79.
        struct Probe {
            int x, y;
            Rgb want;
            const char* where;
        } probes[] = {{80, 80, k.inside, "upper-left corner"},
                      {199, 159, k.inside, "lower-right corner"},
                      {200, 120, blue, "column 100"},
                      {120, 160, blue, "row 80"},
                      {79, 120, blue, "left of it"}};
        for (const Probe& p : probes) {
            const Rgb got = window_pixel(frame, p.x, p.y);
            EXPECT_TRUE(std::abs(got.r - p.want.r) <= 1 && std::abs(got.g - p.want.g) <= 1 &&
                        std::abs(got.b - p.want.b) <= 1)
                << k.what << ", " << p.where << ": " << got.r << "," << got.g << "," << got.b;
        }
    }
}

} // namespace
