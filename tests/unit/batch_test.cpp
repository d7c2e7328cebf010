// The triangle batch: colour recipes, passes, client arrays, and pictures drawn through
// family 0's commands
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "dl_ucode0.h"
#include "dlist/command_table.h"
#include "geometry/vertex.h"
#include "render/batch.h"
#include "render/combiner.h"
#include "state/rdp_reg.h"
#include "support/geometry_helpers.h"
#include "support/render_modes.h"
#include "support/test_host.h"
#include "texture/texture_cache.h"
#include "texture/tile_commands.h"

namespace {

// Console coordinates are scaled by 1/100 into the identity projection: x, y in -100..100
// cover the 640 x 480 window, window pixel = (320 + 3.2 x, 240 + 2.4 y).
const uc0::Mat kModelView = uc0::scaling(0.01f);

int window_x(int x) { return 320 + x * 16 / 5; }
int window_y(int y) { return 240 + y * 12 / 5; }

class Batch : public ::testing::Test {
  protected:
    void SetUp() override {
        attach_test_host();
        reset_core_state();
        for (auto& f : TileCoordFactor)
            f = {};
    }

    // The GL state a task starts with, for draws made without the interpreter.
    void start_frame() {
        glViewport(0, 0, 640, 480);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 1);
        glDepthMask(GL_TRUE);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Matrix4 m;
        std::memcpy(m.m, kModelView.m, sizeof m.m);
        rdp_reg.modelview.entry[0] = m;
    }

    void run(Command k) {
        rdp_reg.cmd0 = k.w0;
        rdp_reg.cmd1 = k.w1;
        CommandTable[0][k.w0 >> 24]();
    }

    // Writes console vertices and loads them into vtx[first..] through VERTEX.
    struct V {
        int16_t x, y, z;
        uint8_t r, g, b, a;
    };
    void load(uint32_t first, std::initializer_list<V> vs, uint32_t address = kVertexAddress) {
        uint32_t i = 0;
        for (const V& v : vs)
            uc0::write_vertex(c, address + 16 * i++, v.x, v.y, v.z, 0, 0, v.r, v.g, v.b, v.a);
        run(uc0::vertex(first, i, address));
    }

    void draw(uint32_t passes, uint32_t recipe1, uint32_t recipe2 = 0) {
        draw_batch(rdp_reg.batch.indices, passes, recipe1, recipe2);
    }

    Console& c = test_console();
};

TEST_F(Batch, RecipesComputeVertexColours) {
    rdp_reg.prim_color  = 0x40806020;
    rdp_reg.env_color   = 0xC0204080;
    const float prim[4] = {0x40 * kInv255, 0x80 * kInv255, 0x60 * kInv255, 0x20 * kInv255};
    const float env[4]  = {0xC0 * kInv255, 0x20 * kInv255, 0x40 * kInv255, 0x80 * kInv255};
    std::copy(prim, prim + 4, rdp_reg.prim_rgba);
    std::copy(env, env + 4, rdp_reg.env_rgba);
    const float shade[4] = {0x10 * kInv255, 0x20 * kInv255, 0x30 * kInv255, 0x66 * kInv255};
    auto lerp            = [](float h, float k) { return h + k * (k - h); };

    struct Case {
        const char* name;
        uint32_t recipe;
        bool lighting;
        float r, g, b, a;
    } cases[] = {
        {"0: white", 0, false, 1, 1, 1, 1},
        {"prim", MUL_PRIM, false, prim[0], prim[1], prim[2], 1},
        {"prim x env", MUL_PRIM | MUL_ENV, false, prim[0] * env[0], prim[1] * env[1],
         prim[2] * env[2], 1},
        {"1 - prim", MUL_INV_PRIM, false, 1 - prim[0], 1 - prim[1], 1 - prim[2], 1},
        {"1 - env", MUL_INV_ENV, false, 1 - env[0], 1 - env[1], 1 - env[2], 1},
        {"shade bytes", MUL_SHADE, false, shade[0], shade[1], shade[2], 1},
        {"1 - shade", MUL_INV_SHADE, false, 1 - shade[0], 1 - shade[1], 1 - shade[2], 1},
        {"env x shade", MUL_ENV | MUL_SHADE, false, env[0] * shade[0], env[1] * shade[1],
         env[2] * shade[2], 1},
        {"lerp shade env", LERP_SHADE_ENV, false, lerp(shade[0], env[0]), lerp(shade[1], env[1]),
         lerp(shade[2], env[2]), 1},
        {"lerp shade prim", LERP_SHADE_PRIM, false, lerp(shade[0], prim[0]),
         lerp(shade[1], prim[1]), lerp(shade[2], prim[2]), 1},
        {"shade alpha without lighting", MUL_SHADE_ALPHA, false, 1, 1, 1, 1},
        {"shade alpha with lighting", MUL_SHADE_ALPHA, true, 1, 1, 1, shade[3]},
        {"lit shade: ambient 0.5", MUL_SHADE, true, 0.5f, 0.5f, 0.5f, 1},
        {"lit 1 - shade", MUL_INV_SHADE, true, 0.5f, 0.5f, 0.5f, 1},
        {"alpha prim red x prim alpha", ALPHA_PRIM_RED | MUL_PRIM_ALPHA, false, 1, 1, 1,
         prim[0] * prim[3]},
        {"env alpha", MUL_ENV_ALPHA, false, 1, 1, 1, env[3]},
        {"1 - prim alpha, 1 - env alpha", MUL_INV_PRIM_ALPHA | MUL_INV_ENV_ALPHA, false, 1, 1, 1,
         (1 - prim[3]) * (1 - env[3])},
        {"unlisted bits", 0x180 | 0x20000 | 0x80000000u, false, 1, 1, 1, 1},
    };
    start_frame();
    rdp_reg.lights[0].rgba[0] = rdp_reg.lights[0].rgba[1] = rdp_reg.lights[0].rgba[2] = 0.5f;
    rdp_reg.vtx[4] = {0, 0, 0, 0, 0, 0, {0x10, 0x20, 0x30, 0x66}, 0, 0, 1};
    rdp_reg.vtx[5] = rdp_reg.vtx[6] = rdp_reg.vtx[4];
    rdp_reg.vtx[5].x = rdp_reg.vtx[6].y = 0.5f; // a triangle with an area: drawn
    rdp_reg.batch.count                 = 0;
    add_triangle(5, 6, 4);
    for (const Case& k : cases) {
        rdp_reg.geometry_mode = k.lighting ? kGeometryLighting : 0;
        draw(0, k.recipe);
        const float* out = client_arrays.colors[2];
        EXPECT_FLOAT_EQ(out[0], k.r) << k.name;
        EXPECT_FLOAT_EQ(out[1], k.g) << k.name;
        EXPECT_FLOAT_EQ(out[2], k.b) << k.name;
        EXPECT_FLOAT_EQ(out[3], k.a) << k.name;
    }

    // The second pass ignores the 1 - alpha factors and leaves its colours in the array.
    draw(0x22, 0, MUL_PRIM | MUL_INV_PRIM_ALPHA | MUL_INV_ENV_ALPHA);
    EXPECT_FLOAT_EQ(client_arrays.colors[0][0], prim[0]);
    EXPECT_FLOAT_EQ(client_arrays.colors[0][3], 1.0f);
}

// Triangles follow the blender as rectangles do: a surface whose alpha is 0 is written whole
// where the render mode's formula gives its colour whatever the alpha, blended away where it
// mixes with memory, cut where its coverage or the alpha compare comes from that alpha.
TEST_F(Batch, RenderModesDecideOpaqueSeeThroughOrCut) {
    struct Case {
        uint32_t othermode_l;
        bool drawn;
        const char* what;
    } cases[] = {
        {rm::mode("AA_ZB_OPA_SURF").cycle1(), true, "AA_ZB_OPA_SURF: P unchanged inside"},
        {rm::mode("OPA_SURF").cycle1(), true, "OPA_SURF: IN x 0 + IN x 1"},
        {rm::mode("AA_ZB_XLU_SURF").cycle1(), false, "AA_ZB_XLU_SURF: mixed by alpha"},
        {rm::mode("AA_ZB_TEX_EDGE").cycle1(), false, "AA_ZB_TEX_EDGE: coverage from alpha"},
        {rm::mode("OPA_SURF").cycle1() | rm::G_AC_THRESHOLD, false, "alpha compare"}};
    for (const Case& k : cases) {
        start_frame();
        glDisable(GL_DEPTH_TEST);
        load(0, {{-50, -50, 0, 0, 0, 0, 0}, {50, -50, 0, 0, 0, 0, 0}, {0, 50, 0, 0, 0, 0, 0}});
        rdp_reg.batch.count = 0;
        add_triangle(0, 1, 2);
        rdp_reg.othermode_l = k.othermode_l;
        rdp_reg.blend_color = 0x80;
        const float red[4]  = {1, 0, 0, 0};
        std::copy(red, red + 4, rdp_reg.prim_rgba);
        draw(0, MUL_PRIM | MUL_PRIM_ALPHA);
        const Rgba p = pixel_at(320, 240);
        EXPECT_EQ(p.r > 200, k.drawn) << k.what << ": " << describe(p);
        EXPECT_TRUE(glIsEnabled(GL_BLEND) && glIsEnabled(GL_ALPHA_TEST)) << k.what;
    }
    rdp_reg.othermode_l = rdp_reg.blend_color = 0;
}

TEST_F(Batch, PassesTexturesAndBlending) {
    start_frame();
    glDisable(GL_DEPTH_TEST);
    load(0, {{-50, -50, 0, 0, 0, 0, 255}, {50, -50, 0, 0, 0, 0, 255}, {0, 50, 0, 0, 0, 0, 255}});
    add_triangle(0, 1, 2);
    std::fill(rdp_reg.prim_rgba, rdp_reg.prim_rgba + 4, 0.5f);
    rdp_reg.prim_rgba[1] = rdp_reg.prim_rgba[2] = 0;
    std::fill(rdp_reg.env_rgba, rdp_reg.env_rgba + 4, 1.0f);
    rdp_reg.env_rgba[0] = rdp_reg.env_rgba[2] = 0;
    rdp_reg.env_rgba[1]                       = 0.5f;

    // First pass red 0.5, second adds green 0.5 on top.
    draw(0x20, MUL_PRIM, MUL_ENV);
    const Rgba p = pixel_at(320, 240);
    EXPECT_TRUE(near(p, 128, 128, 0)) << describe(p);
    EXPECT_EQ(gl_int(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(gl_int(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "bit 1 of passes clear: untextured";

    // Textured passes: INVERT_TEXTURE asks the cache for inverted texels first.
    // (The cache resets texture_mode after building; the mode is kept in its entry.)
    auto bound_mode      = [] { return TextureCache[gl_int(GL_TEXTURE_BINDING_2D)].mode; };
    rdp_reg.texture_mode = 0;
    draw(1, INVERT_TEXTURE);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "texturing is off again after the draw";
    EXPECT_EQ(bound_mode(), kTextureModeInvert);
    draw(1, 0);
    EXPECT_EQ(bound_mode(), 0u);
    draw(0, INVERT_TEXTURE);
    EXPECT_EQ(bound_mode(), 0u) << "an untextured pass binds nothing";
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    draw(0x22, 0, INVERT_TEXTURE);
    EXPECT_EQ(bound_mode(), kTextureModeInvert) << "the second pass's own recipe";
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Batch, ArraysPositionsAndTextureCoordinates) {
    start_frame();
    rdp_reg.current_tile_index = 3;
    rdp_reg.current_tile       = 3;
    TileCoordFactor[0]         = {0.5f, 0.25f, 2.0f, 1.0f}; // t, s and their corners
    rdp_reg.vtx[44]            = {1, 2, 3, 0, 64, 32, {}, 0, 0, 1};
    rdp_reg.vtx[232]           = {4, 5, 6, 0, 8, 8, {}, 0, 0, 1};
    rdp_reg.vtx[45]            = {7, 1, 3, 0, 8, 8, {}, 0, 0, 1};
    add_triangle(300, 1000, 45); // indices outside the buffer wrap into it
    draw(1, 0);
    EXPECT_EQ(rdp_reg.current_tile_index, 0u);
    EXPECT_EQ(rdp_reg.current_tile, 0u);
    EXPECT_EQ(client_arrays.positions[0][0], 1.0f);
    EXPECT_EQ(client_arrays.positions[1][2], 6.0f);
    EXPECT_EQ(client_arrays.texcoords[0][0], 15.0f) << "s x the S factor - the corner";
    EXPECT_EQ(client_arrays.texcoords[0][1], 14.0f) << "t x the T factor - the corner";

    rdp_reg.geometry_mode    = kGeometryTextureGen;
    rdp_reg.tiles[0].width   = 64;
    rdp_reg.tiles[0].scale_s = 0x1800 / (32.0f * 65535.0f);
    draw(1, 0);
    EXPECT_FLOAT_EQ(client_arrays.texcoords[0][0], 64.0f * 1.5f)
        << "generated coordinates span S / 64 texels of the tile's width";

    void* pointer = nullptr;
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &pointer);
    EXPECT_EQ(pointer, client_arrays.positions);
    glGetPointerv(GL_COLOR_ARRAY_POINTER, &pointer);
    EXPECT_EQ(pointer, client_arrays.colors);
    glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &pointer);
    EXPECT_EQ(pointer, client_arrays.texcoords);
    for (GLenum a : {GL_VERTEX_ARRAY, GL_COLOR_ARRAY, GL_NORMAL_ARRAY, GL_TEXTURE_COORD_ARRAY})
        EXPECT_TRUE(glIsEnabled(a)) << a;
}

TEST_F(Batch, AFullBatchIsFlushedEarly) {
    start_frame();
    rdp_reg.batch.count = 0;
    for (int i = 0; i < 114; ++i)
        add_triangle(0, 1, 2);
    EXPECT_EQ(rdp_reg.batch.count, 342);
    add_triangle(7, 8, 9);
    EXPECT_EQ(rdp_reg.batch.count, 3) << "the 114 waiting triangles were drawn first";
    EXPECT_EQ(rdp_reg.batch.indices[0], 7u);
}

TEST_F(Batch, VertexColoursLandWhereTheProjectionPutsThem) {
    start_frame();
    load(0,
         {{-50, -50, 0, 255, 0, 0, 255}, {50, -50, 0, 0, 255, 0, 255}, {0, 50, 0, 0, 0, 255, 255}});
    add_triangle(0, 1, 2);
    draw(0, MUL_SHADE);
    struct Probe {
        int x, y;
        int r, g, b;
    } probes[] = {{-46, -48, 255, 0, 0}, {46, -48, 0, 255, 0}, {0, 46, 0, 0, 255}};
    for (const Probe& k : probes) {
        const Rgba p = pixel_at(window_x(k.x), window_y(k.y));
        EXPECT_TRUE(near(p, k.r, k.g, k.b, 40))
            << "near (" << k.x << ", " << k.y << "): " << describe(p);
    }
    for (int outside : {-60, 60}) {
        const Rgba p = pixel_at(window_x(outside), window_y(0));
        EXPECT_TRUE(near(p, 0, 0, 0)) << "x " << outside << ": " << describe(p);
    }
}

TEST_F(Batch, TheDepthTestKeepsTheNearerTriangle) {
    struct Case {
        const char* name;
        uint32_t render_mode;
        bool near_first;
        int r, b; // the colour at the overlap
    } cases[] = {
        {"near drawn first", uc0::kZCompare | uc0::kZUpdate, true, 255, 0},
        {"near drawn last", uc0::kZCompare | uc0::kZUpdate, false, 255, 0},
        {"no depth test: the last wins", 0, true, 0, 255},
        {"no depth writes: the last wins", uc0::kZCompare, true, 0, 255},
    };
    for (const Case& k : cases) {
        start_frame();
        run(uc0::render_mode(k.render_mode));
        // Red at z -50 (near), blue at z +50 (far), overlapping around the origin.
        load(0, {{-60, -60, -50, 255, 0, 0, 255},
                 {40, -60, -50, 255, 0, 0, 255},
                 {-10, 40, -50, 255, 0, 0, 255},
                 {-40, -40, 50, 0, 0, 255, 255},
                 {60, -40, 50, 0, 0, 255, 255},
                 {10, 60, 50, 0, 0, 255, 255}});
        for (int first : {k.near_first ? 0 : 3, k.near_first ? 3 : 0}) {
            rdp_reg.batch.count = 0;
            add_triangle(first, first + 1, first + 2);
            draw(0, MUL_SHADE);
        }
        const Rgba p = pixel_at(window_x(0), window_y(0));
        EXPECT_TRUE(near(p, k.r, 0, k.b)) << k.name << ": " << describe(p);
    }
}

// Pictures through the interpreter. Until a combiner recipe colours them, triangles are
// drawn white; either way they are not black.
bool drawn(const Rgba& p) { return p.r + p.g + p.b > 3 * 60; }

TEST_F(Batch, CullingRemovesBackFaces) {
    struct Case {
        uint32_t mode;
        bool ccw_drawn, cw_drawn;
    } cases[] = {{0, true, true},
                 {uc0::kCullBack, true, false},
                 {uc0::kCullFront, false, true},
                 {uc0::kCullFront | uc0::kCullBack, false, false}};
    for (const Case& k : cases) {
        reset_core_state();
        // Left triangle counter-clockwise, right one clockwise on screen.
        const int16_t xy[6][2] = {{-70, -30}, {-20, -30}, {-45, 30},
                                  {20, -30},  {45, 30},   {70, -30}};
        for (uint32_t i = 0; i < 6; ++i) {
            uc0::write_vertex(c, kVertexAddress + 16 * i, xy[i][0], xy[i][1], 0, 0, 0, 200, 200,
                              200, 255);
        }
        DisplayList dl(c, kListAddress);
        add_plain_setup(c, dl, uc0::identity(), kModelView);
        add_white_texture(c, dl);
        dl.add({uc0::combine_shade(), uc0::clear_geometry_mode(0xFFFFFFFF),
                uc0::set_geometry_mode(k.mode), uc0::vertex(0, 6, kVertexAddress),
                uc0::tri1(0, 1, 2), uc0::tri1(3, 4, 5), cmd::end_dl()});
        run_interpreted_task(dl.start());
        const Rgba ccw = pixel_at(window_x(-45), window_y(-10));
        const Rgba cw  = pixel_at(window_x(45), window_y(-10));
        EXPECT_EQ(drawn(ccw), k.ccw_drawn)
            << std::hex << "mode " << k.mode << ": " << describe(ccw);
        EXPECT_EQ(drawn(cw), k.cw_drawn) << std::hex << "mode " << k.mode << ": " << describe(cw);
    }
}

// Records the batch as LINE3D and the next RDP command see it.
int32_t count_at_line, count_at_sync;
CommandHandler real_line3d;
void probe_line3d() {
    count_at_line = rdp_reg.batch.count;
    real_line3d();
}
void probe_sync() { count_at_sync = rdp_reg.batch.count; }

TEST_F(Batch, Tri1RunsStayInTheBatchUntilTheNextCommand) {
    real_line3d                    = CommandTable[0][0xB5];
    const CommandHandler real_sync = CommandTable[0][0xE7];
    CommandTable[0][0xB5]          = probe_line3d;
    CommandTable[0][0xE7]          = probe_sync;
    load(0, {{-80, -40, 0, 200, 200, 200, 255},
             {-20, -40, 0, 200, 200, 200, 255},
             {-50, 40, 0, 200, 200, 200, 255},
             {20, -40, 0, 200, 200, 200, 255},
             {80, -40, 0, 200, 200, 200, 255},
             {50, 40, 0, 200, 200, 200, 255},
             {-90, 0, 0, 0, 0, 0, 255},
             {90, 0, 0, 0, 0, 0, 255}});
    DisplayList dl(c, kListAddress);
    add_plain_setup(c, dl, uc0::identity(), kModelView);
    add_white_texture(c, dl);
    dl.add({uc0::combine_shade(), uc0::render_mode(uc0::kZCompare | uc0::kZUpdate),
            uc0::vertex(0, 8, kVertexAddress), uc0::tri1(0, 1, 2), uc0::tri1(3, 4, 5),
            uc0::line3d(6, 7), cmd::pipe_sync(), cmd::end_dl()});
    run_interpreted_task(dl.start());
    CommandTable[0][0xB5] = real_line3d;
    CommandTable[0][0xE7] = real_sync;
    EXPECT_EQ(count_at_line, 6) << "LINE3D keeps the batch";
    EXPECT_EQ(count_at_sync, 0) << "the RDP command after the run flushed it";
    EXPECT_TRUE(drawn(pixel_at(window_x(-50), window_y(-20))));
    EXPECT_TRUE(drawn(pixel_at(window_x(50), window_y(-20))));
    // The line went out first; the triangles, drawn later at the same depth, cover it. The
    // line is modulated by whatever texture the last draw left, hence the tolerance.
    Rgba line = pixel_at(window_x(0), window_y(0));
    if (!near(line, 0, 153, 0, 10)) line = pixel_at(window_x(0), window_y(0) - 1);
    EXPECT_TRUE(near(line, 0, 153, 0, 10)) << "between the triangles: " << describe(line);
    Rgba covered = pixel_at(window_x(-50), window_y(0));
    EXPECT_TRUE(drawn(covered)) << "inside a triangle: " << describe(covered);
}

TEST_F(Batch, MoreTrianglesThanTheBatchHoldsAreAllDrawn) {
    // Triangle 0 repeated 114 times fills the batch; six more follow in one run, each in a
    // column of its own.
    uint32_t i = 0;
    auto put   = [&](int16_t x, int16_t y) {
        uc0::write_vertex(c, kVertexAddress + 16 * i++, x, y, 0, 0, 0, 200, 200, 200, 255);
    };
    put(-90, -90), put(-60, -90), put(-75, -60);
    for (int k = 0; k < 6; ++k) {
        const int16_t x = int16_t(-80 + 30 * k);
        put(x, 20), put(int16_t(x + 20), 20), put(int16_t(x + 10), 60);
    }
    DisplayList dl(c, kListAddress);
    add_plain_setup(c, dl, uc0::identity(), kModelView);
    add_white_texture(c, dl);
    dl.add({uc0::combine_shade(), uc0::vertex(0, 16, kVertexAddress),
            uc0::vertex(15, 6, kVertexAddress + 16 * 15)});
    for (int k = 0; k < 114; ++k)
        dl.add(uc0::tri1(0, 1, 2));
    for (uint32_t k = 0; k < 6; ++k)
        dl.add(uc0::tri1(3 + 3 * k, 4 + 3 * k, 5 + 3 * k));
    dl.add(cmd::end_dl());
    run_interpreted_task(dl.start());
    EXPECT_TRUE(drawn(pixel_at(window_x(-75), window_y(-80))));
    for (int k = 0; k < 6; ++k) {
        const Rgba p = pixel_at(window_x(-70 + 30 * k), window_y(30));
        EXPECT_TRUE(drawn(p)) << "triangle " << 115 + k << ": " << describe(p);
    }
}

} // namespace
