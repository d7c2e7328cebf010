// Texture and fill rectangles: decoding, coordinates, colours, pixels and the GL state after
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "config/settings.h"
#include "dl_rdp.h"
#include "dlist/interpreter.h"
#include "host/plugin.h"
#include "rdp/rect_color_table.h"
#include "rdp/rectangles.h"
#include "state/rdp_reg.h"
#include "support/render_modes.h"
#include "support/test_host.h"
#include "support/texture_support.h"

namespace {

struct Rgba {
    int r, g, b, a;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

std::ostream& operator<<(std::ostream& out, const Rgba& c) {
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}

// One vertex as OpenGL received it, in rectangle space (console pixels, y down).
struct FedVertex {
    float x, y;
    float r, g, b, a;
    float s, t;
};

// A drawn polygon's vertices; a pass is one polygon (or two triangles) of them.
using Fed = std::vector<std::vector<FedVertex>>;

class Rectangles : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_texture_test_state();
        glViewport(0, 0, window_width, window_height);
        glDisable(GL_SCISSOR_TEST);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glEnable(GL_ALPHA_TEST);
        glEnable(GL_DEPTH_TEST);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glAlphaFunc(GL_GEQUAL, 0.005f);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        rdp_reg.color_image_width   = 320;
        rdp_reg.color_image_address = 0x100000;
        rdp_reg.depth_image_address = 0x200000;
    }

    // Runs the commands as one interpreted family-0 task (the frame is cleared first).
    void run(std::initializer_list<Command> commands) {
        DisplayList dl(c, 0x1000);
        dl.add(commands).add(cmd::end_dl());
        run_interpreted_task(dl.start());
    }
    void run_tex_rect(float ulx, float uly, float lrx, float lry, uint32_t tile = 0, float s = 0,
                      float t = 0, float dsdx = 1, float dtdy = 1) {
        rdp_reg.cmd0       = 0;
        const auto words   = cmd::tex_rect(ulx, uly, lrx, lry, tile, s, t, dsdx, dtdy);
        rdp_reg.cmd0       = words[0].w0;
        rdp_reg.cmd1       = words[0].w1;
        rdp_reg.lookahead1 = words[1].w1;
        rdp_reg.lookahead2 = words[2].w1;
        rdp_tex_rect();
    }

    // The pixel at console coordinates (x, y) of a 320 x 240 space over the window.
    Rgba pixel(float x, float y) {
        const int wx = static_cast<int>(x * static_cast<float>(window_width) / 320.0f);
        const int wy = window_height - 1 - static_cast<int>(y * window_height / 240.0f);
        unsigned char p[4];
        glReadPixels(wx, wy, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2], p[3]};
    }

    // What OpenGL is handed by `draw`, captured in feedback mode before any rasterisation.
    template <typename F> Fed feedback(F draw) {
        static GLfloat buffer[4096];
        glFeedbackBuffer(4096, GL_3D_COLOR_TEXTURE, buffer);
        glRenderMode(GL_FEEDBACK);
        draw();
        const GLint n    = glRenderMode(GL_RENDER);
        const float w    = rdp_reg.color_image_width;
        const float h    = static_cast<float>((3 * rdp_reg.color_image_width) >> 2);
        const float to_x = w / static_cast<float>(window_width);
        const float to_y = h / static_cast<float>(window_height);
        Fed out;
        for (GLint i = 0; i < n;) {
            const GLint token = static_cast<GLint>(buffer[i++]);
            EXPECT_EQ(token, GL_POLYGON_TOKEN);
            if (token != GL_POLYGON_TOKEN) break;
            const GLint count = static_cast<GLint>(buffer[i++]);
            std::vector<FedVertex> polygon;
            for (GLint v = 0; v < count; ++v, i += 11) {
                const GLfloat* f = buffer + i;
                polygon.push_back({f[0] * to_x, (static_cast<float>(window_height) - f[1]) * to_y,
                                   f[3], f[4], f[5], f[6], f[7], f[8]});
            }
            out.push_back(polygon);
        }
        return out;
    }

    Console& c = test_console();
};

struct Box {
    float x0, y0, x1, y1;
};

Box bounds(const std::vector<FedVertex>& polygon) {
    Box b = {1e9f, 1e9f, -1e9f, -1e9f};
    for (const FedVertex& v : polygon) {
        b.x0 = std::min(b.x0, v.x);
        b.y0 = std::min(b.y0, v.y);
        b.x1 = std::max(b.x1, v.x);
        b.y1 = std::max(b.y1, v.y);
    }
    return b;
}

// The vertex nearest a corner.
const FedVertex& corner(const std::vector<FedVertex>& polygon, float x, float y) {
    auto distance = [&](const FedVertex& v) { return std::abs(v.x - x) + std::abs(v.y - y); };
    return *std::min_element(
        polygon.begin(), polygon.end(),
        [&](const FedVertex& p, const FedVertex& q) { return distance(p) < distance(q); });
}

TEST_F(Rectangles, TexRectTakes24BytesAndNamesItsTile) {
    // The two units after the command would change the blend colour if they ran.
    for (uint32_t key0 : {0x07FF7FFFu, 0x0FFFFFFFu}) {
        reset_core_state();
        rdp_reg.color_image_width = 320;
        rdp_reg.mux_key0          = key0;
        const auto words          = cmd::tex_rect(10, 20, 50, 60, 5, 0, 0, 1, 1);
        run({words[0],
             {0xF9000000, words[1].w1},
             {0xF9000000, words[2].w1},
             cmd::set_fill_color(7)});
        EXPECT_EQ(rdp_reg.blend_color, 0u) << std::hex << key0;
        EXPECT_EQ(rdp_reg.fill_color, 7u) << "the command after the 24 bytes ran";
        EXPECT_EQ(rdp_reg.current_tile_index, 5u);
        EXPECT_EQ(rdp_reg.current_tile, 5u);
    }
    // TEXRECTFLIP takes eight bytes and draws nothing.
    run({cmd::tex_rect_flip(), cmd::set_blend_color(9)});
    EXPECT_EQ(rdp_reg.blend_color, 9u);
    EXPECT_EQ(pixel(1, 1), (Rgba{0, 0, 0, 255}));
}

TEST_F(Rectangles, TexRectCornersInOneCycleAndCopyMode) {
    struct Case {
        uint8_t cycle_type;
        Box expected;
    } cases[] = {
        {0, {10, 20, 100, 120}}, // on the pixel grid, the lower-right edge left out
        {1, {10, 20, 100, 120}},
        {2, {10, 20, 101, 121}}, // copy mode keeps the lower-right edge
    };
    for (const Case& k : cases) {
        rdp_reg.cycle_type = k.cycle_type;
        const Fed fed      = feedback([&] { run_tex_rect(10, 20, 100, 120); });
        ASSERT_FALSE(fed.empty()) << "cycle type " << int(k.cycle_type);
        std::vector<FedVertex> all;
        for (const auto& p : fed)
            all.insert(all.end(), p.begin(), p.end());
        const Box b = bounds(all);
        EXPECT_NEAR(b.x0, k.expected.x0, 1e-3) << "cycle type " << int(k.cycle_type);
        EXPECT_NEAR(b.y0, k.expected.y0, 1e-3) << "cycle type " << int(k.cycle_type);
        EXPECT_NEAR(b.x1, k.expected.x1, 1e-3) << "cycle type " << int(k.cycle_type);
        EXPECT_NEAR(b.y1, k.expected.y1, 1e-3) << "cycle type " << int(k.cycle_type);
    }
}

// The whole 320 x 240 space in one-cycle mode covers the whole window, its last column and
// row too.
TEST_F(Rectangles, FullScreenTexRectPixels) {
    rdp_reg.mux_key0     = 0x07FF7FFF; // untextured, primitive colour
    rdp_reg.prim_rgba[0] = 1.0f;
    rdp_reg.prim_rgba[3] = 1.0f;
    run_tex_rect(0, 0, 320, 240);
    unsigned char row[4 * 640];
    glReadPixels(0, window_height - 1, window_width, 1, GL_RGBA, GL_UNSIGNED_BYTE, row);
    EXPECT_EQ(row[0], 255) << "top-left pixel";
    EXPECT_EQ(row[4 * (window_width - 2)], 255) << "second-last column";
    EXPECT_EQ(row[4 * (window_width - 1)], 255) << "last column";
    EXPECT_EQ(pixel(160, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixel(160, 239.4f), (Rgba{255, 0, 0, 255}));
    unsigned char bottom[4];
    glReadPixels(10, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, bottom);
    EXPECT_EQ(bottom[0], 255) << "bottom row";
}

// The tile's corner is subtracted from s and t (at s = t = 0 too) after its shift, as for
// triangles; the texture starts at the corner.
TEST_F(Rectangles, TextureCoordinatesFollowTheNamedTile) {
    TileDescriptor& t3      = rdp_reg.tiles[3];
    t3.width                = 32;
    t3.height               = 16;
    t3.corner_s             = 4 * 4;
    t3.corner_t             = 2 * 4;
    rdp_reg.tiles[0].width  = 64;
    rdp_reg.tiles[0].height = 64;

    struct Case {
        float s, t, dsdx, dtdy;
        uint8_t shift_s;
        float u0, v0, u1, v1;
        const char* what;
    } cases[] = {
        // 40 x 20 pixels drawn, one pixel less in one-cycle mode: 39 x 19 steps.
        {0, 0, 1, 1, 0, -4.0f / 32, -2.0f / 16, 36.0f / 32, 18.0f / 16,
         "s = t = 0: the corner is subtracted too"},
        {1.0f / 32, 0, 1, 1, 0, (1.0f / 32 - 4) / 32, -2.0f / 16, (1.0f / 32 - 4 + 40) / 32,
         18.0f / 16, "s non-zero: both corners subtracted"},
        {4, 2, 0, 0, 0, 0.5f / 32, 0.5f / 16, 0.5f / 32, 0.5f / 16, "zero steps repeat one texel"},
        {4, 2, 0.5f, 2, 0, 0, -0.5f / 16, 20.0f / 32, 39.5f / 16,
         "half and double steps: each pixel samples the texel it steps to"},
        {4, 2, -1, 1, 0, 1.0f / 32, 0, -39.0f / 32, 20.0f / 16,
         "a negative step runs back past the corner"},
        {8, 2, 1, 1, 1, 0, 0, 20.0f / 32, 20.0f / 16, "shift 1: s halved, then the corner"},
    };
    for (const Case& k : cases) {
        rdp_reg.mux_key0 = 0;
        t3.shift_s       = k.shift_s;
        const Fed fed =
            feedback([&] { run_tex_rect(10, 20, 50, 40, 3, k.s, k.t, k.dsdx, k.dtdy); });
        ASSERT_FALSE(fed.empty()) << k.what;
        std::vector<FedVertex> all;
        for (const auto& p : fed)
            all.insert(all.end(), p.begin(), p.end());
        const FedVertex& ul = corner(all, 9.5f, 19.5f);
        const FedVertex& lr = corner(all, 49.5f, 39.5f);
        EXPECT_NEAR(ul.s, k.u0, 1e-4) << k.what;
        EXPECT_NEAR(ul.t, k.v0, 1e-4) << k.what;
        EXPECT_NEAR(lr.s, k.u1, 1e-4) << k.what;
        EXPECT_NEAR(lr.t, k.v1, 1e-4) << k.what;
    }
}

TEST_F(Rectangles, QuadSizeRules) {
    struct Case {
        int32_t width, height;
        uint8_t mask_s, clamp_s, mirror_s, mask_t, clamp_t, mirror_t;
        float u1, v1;
        const char* what;
    } cases[] = {
        {16, 16, 0, 0, 0, 0, 0, 0, 8.0f / 16, 8.0f / 16, "plain"},
        {0, 0, 0, 0, 0, 0, 0, 0, 8.0f, 8.0f, "an empty tile counts one texel"},
        {16, 16, 4, 0, 1, 4, 0, 1, 8.0f / 32, 8.0f / 32, "mirrored: twice the size"},
        {16, 16, 4, 1, 1, 0, 0, 1, 8.0f / 16, 8.0f / 32,
         "clamped: no mirror; unmasked: mirrored, as the texture is built"},
        {-1, -1, 0, 0, 0, 0, 0, 0, 8.0f, 8.0f, "a size of -1 stays finite"},
    };
    for (const Case& k : cases) {
        TileDescriptor tile{};
        tile.width          = k.width;
        tile.height         = k.height;
        tile.mask_s         = k.mask_s;
        tile.clamp_s        = k.clamp_s;
        tile.mirror_s       = k.mirror_s;
        tile.mask_t         = k.mask_t;
        tile.clamp_t        = k.clamp_t;
        tile.mirror_t       = k.mirror_t;
        const TexRectQuad q = texture_rect_quad(tile, 0, 0, 7, 7, 0, 0, 1, 1);
        EXPECT_FLOAT_EQ(q.u1, k.u1) << k.what;
        EXPECT_FLOAT_EQ(q.v1, k.v1) << k.what;
        EXPECT_FLOAT_EQ(q.x0, 0.0f);
        EXPECT_FLOAT_EQ(q.y1, 8.0f);
    }
}

TEST_F(Rectangles, ColourTableRows) {
    EXPECT_EQ(rect_color_row_count, 45);
    struct Case {
        uint32_t cycle_type, key0, key1;
        bool drawn, textured;
        RectSource rgb, alpha;
        bool second;
        uint32_t mode;
        const char* what;
    } cases[] = {
        {0, 0x07FF7FFF, 0, true, false, RectSource::prim, RectSource::prim, false, 0, "untextured"},
        {0, 0x03FF7FFF, 0, true, true, RectSource::prim, RectSource::one, false, 1, "mode 1"},
        {1, 0x03FF7FFF, 0, true, true, RectSource::one, RectSource::one, false, 0,
         "a one-cycle row in two-cycle mode"},
        {1, 0x03B22E32, 0x0EF8A053, true, true, RectSource::prim, RectSource::prim, true, 0,
         "the named mux_key1"},
        {1, 0x03B22E32, 0x0EF8A054, true, true, RectSource::one, RectSource::one, false, 0,
         "another mux_key1"},
        {0, 0x0E7B6156, 0, true, true, RectSource::one, RectSource::prim, true, 0,
         "one-cycle row of a key with two rows"},
        {1, 0x0E7B6156, 5, true, true, RectSource::one, RectSource::prim, false, 0,
         "two-cycle row of the same key"},
        {0, 0x0FFFFFFF, 0, false, false, RectSource::one, RectSource::one, false, 0, "nothing"},
        {1, 0x0FFFFFFF, 0, false, false, RectSource::one, RectSource::one, false, 0, "nothing"},
        {2, 0x0FFFFFFF, 0, true, true, RectSource::one, RectSource::one, false, 0,
         "copy mode ignores the keys"},
        {3, 0x07FF7FFF, 0, true, true, RectSource::one, RectSource::one, false, 0,
         "fill mode ignores the keys"},
        {0, 0x12345678, 0, true, true, RectSource::one, RectSource::one, false, 0, "unknown"},
    };
    for (const Case& k : cases) {
        const RectColorRow& row = rect_colors(k.cycle_type, k.key0, k.key1);
        EXPECT_EQ(row.first.drawn, k.drawn) << k.what;
        if (!k.drawn) continue;
        EXPECT_EQ(row.first.textured, k.textured) << k.what;
        EXPECT_EQ(row.first.rgb, k.rgb) << k.what;
        EXPECT_EQ(row.first.alpha, k.alpha) << k.what;
        EXPECT_EQ(row.second.drawn, k.second) << k.what;
        EXPECT_EQ(row.texture_mode, k.mode) << k.what;
    }
    const RectColorRow& inverted = rect_colors(1, 0x03B22E32, 0x0EF8A053);
    EXPECT_EQ(inverted.second.rgb, RectSource::env);
    EXPECT_EQ(inverted.second.alpha, RectSource::prim);
    EXPECT_TRUE(inverted.second.inverted);
    EXPECT_TRUE(inverted.second.textured);
}

// The colours each pass hands to OpenGL; the second pass is added onto the first.
TEST_F(Rectangles, PassColoursReachOpenGl) {
    const float prim[4] = {1.0f, 0.5f, 0.25f, 0.75f};
    const float env[4]  = {0.2f, 0.4f, 0.6f, 0.8f};
    std::copy(prim, prim + 4, rdp_reg.prim_rgba);
    std::copy(env, env + 4, rdp_reg.env_rgba);
    struct Case {
        uint32_t cycle_type, key0, key1;
        std::vector<std::vector<float>> passes; // RGBA per pass
    } cases[] = {
        {0, 0x07FF7FFF, 0, {{1.0f, 0.5f, 0.25f, 0.75f}}},
        {0, 0x0F79BFFF, 0, {{0.2f, 0.4f, 0.6f, 0.8f}}},
        {0, 0x0BFF3FFF, 0, {{1, 1, 1, 0.8f}}},
        {0, 0x0DFFAEF1, 0, {{0.2f, 0.4f, 0.6f, 1}, {1, 1, 1, 1}}},
        {1, 0x0EF92EF6, 0x01FFA3F0, {{0.2f, 0.4f, 0.6f, 0.75f}, {1.0f, 0.5f, 0.25f, 0.75f}}},
        {0, 0x0FFFFFFF, 0, {}},
        {2,
         0x07FF7FFF,
         0,
         {
             {1, 1, 1, 1},
         }},
    };
    for (const Case& k : cases) {
        rdp_reg.cycle_type = static_cast<uint8_t>(k.cycle_type);
        rdp_reg.mux_key0   = k.key0;
        rdp_reg.mux_key1   = k.key1;
        const Fed fed      = feedback([&] { run_tex_rect(10, 20, 50, 40); });
        // A pass may reach feedback as one polygon or as two triangles.
        const size_t per_pass =
            k.passes.empty() ? 1 : std::max<size_t>(1, fed.size() / k.passes.size());
        ASSERT_EQ(fed.size(), k.passes.size() * per_pass) << std::hex << k.key0;
        for (size_t p = 0; p < k.passes.size(); ++p) {
            const FedVertex& v = fed[p * per_pass][0];
            const float got[4] = {v.r, v.g, v.b, v.a};
            for (int i = 0; i < 4; ++i)
                EXPECT_NEAR(got[i], k.passes[p][i], 1e-3)
                    << std::hex << k.key0 << " pass " << p << " channel " << i;
        }
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Fill and copy modes write the fill colour as it is (its alpha bit here is 0) and include the
// lower-right row and column; one- and two-cycle blend the blend colour, red highest, and stop
// short of them.
TEST_F(Rectangles, FillRectPositionAndColour) {
    struct Case {
        uint32_t othermode_h;
        Rgba inside;
        bool edge_included;
        const char* what;
    } cases[] = {
        {0x300000, {255, 0, 0, 255}, true, "fill mode: fill colour"},
        {0x200000, {255, 0, 0, 255}, true, "copy mode: fill colour"},
        {0x000000, {0, 255, 0, 255}, false, "one-cycle: blend colour"},
        {0x100000, {0, 255, 0, 255}, false, "two-cycle: blend colour"},
    };
    const Rgba black{0, 0, 0, 255};
    for (const Case& k : cases) {
        run({cmd::set_color_image(320, 0x100000), cmd::set_depth_image(0x200000),
             cmd::set_other_mode(k.othermode_h, 0),
             cmd::set_fill_color(cmd::fill_color16(255, 0, 0, false)),
             cmd::set_blend_color(0x00FF00FF), cmd::fill_rect(10, 20, 30, 40)});
        const Rgba edge = k.edge_included ? k.inside : black;
        EXPECT_EQ(pixel(10.2f, 20.2f), k.inside) << k.what << ": top-left inside";
        EXPECT_EQ(pixel(29.8f, 39.8f), k.inside) << k.what << ": bottom-right inside";
        EXPECT_EQ(pixel(30.8f, 25), edge) << k.what << ": right column";
        EXPECT_EQ(pixel(20, 40.8f), edge) << k.what << ": bottom row";
        EXPECT_EQ(pixel(9.8f, 25), black) << k.what << ": left of it";
        EXPECT_EQ(pixel(31.2f, 25), black) << k.what << ": right of it";
        EXPECT_EQ(pixel(20, 19.8f), black) << k.what << ": above it";
        EXPECT_EQ(pixel(20, 41.2f), black) << k.what << ": below it";
    }
    // Fractions of the 10.2 fields are dropped.
    run({cmd::set_color_image(320, 0x100000), cmd::set_other_mode(0x300000, 0),
         cmd::set_fill_color(0xFFFFFFFF),
         cmd::word(0xF6, (30 * 4 + 3) << 12 | (40 * 4 + 3), (10 * 4 + 3) << 12 | (20 * 4 + 3))});
    EXPECT_EQ(pixel(10.2f, 20.2f), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(pixel(31.2f, 25), black);
}

// The decoded channels, rounded to bytes as the frame buffer stores them.
TEST_F(Rectangles, FillColourFollowsTheColourImagesPixelSize) {
    struct Case {
        uint32_t color, size;
        Rgba want;
    } cases[] = {
        {0x08420001, 2, {8, 8, 8, 0}},     // the upper pixel only: its alpha bit is 0
        {0xF8010000, 2, {255, 0, 0, 255}}, // red in bits 11..15 of the upper half
        {0x18C60000, 2, {25, 25, 25, 0}},  // 3 of 31 is 24.7 of 255
        {0x21080000, 2, {33, 33, 33, 0}},  // 4 of 31
        {0x21080000, 1, {33, 33, 33, 0}},  // 8- and 4-bit images read the 16-bit layout
        {0x21080000, 0, {33, 33, 33, 0}},
        {0x11223344, 3, {0x11, 0x22, 0x33, 0x44}}, // 32-bit: red in the top byte
    };
    for (const Case& k : cases) {
        float f[4];
        decode_fill_color(k.color, k.size, f);
        auto byte = [&](int i) { return static_cast<int>(std::lround(f[i] * 255.0f)); };
        EXPECT_EQ((Rgba{byte(0), byte(1), byte(2), byte(3)}), k.want)
            << std::hex << k.color << " size " << k.size;
    }
}

// A task that ends with a small scissor and a small 3-D viewport leaves both behind; the next
// task's full-screen scissor and fill cover the whole window, and its viewport comes back.
TEST_F(Rectangles, AnEarlierTasksScissorAndViewportDoNotClipOrMoveAFill) {
    run({cmd::set_scissor(0, 0, 40, 30)});
    glViewport(0, window_height / 2, window_width / 2, window_height / 2); // a MOVEMEM VIEWPORT
    run({cmd::set_color_image(320, 0x100000), cmd::set_scissor(0, 0, 320, 240),
         cmd::set_other_mode(0x300000, 0), cmd::set_fill_color(0xFFFFFFFF),
         cmd::fill_rect(0, 0, 320, 240)});
    for (const auto& [x, y] :
         {std::pair{1.0f, 1.0f}, {318.0f, 1.0f}, {1.0f, 238.0f}, {318.0f, 238.0f}})
        EXPECT_EQ(pixel(x, y), (Rgba{255, 255, 255, 255})) << x << ", " << y;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[1], window_height / 2) << "the 3-D viewport is put back";
    EXPECT_EQ(viewport[2], window_width / 2);
    glDisable(GL_SCISSOR_TEST);
}

TEST_F(Rectangles, DepthClearAndNarrowImagesDrawNothing) {
    struct Case {
        uint32_t width, depth_address;
        bool drawn;
        const char* what;
    } cases[] = {
        {320, 0x100000, false, "depth image = colour image: a depth clear"},
        {320, 0x200000, true, "an ordinary fill"},
        {0, 0x200000, false, "colour image width 0"},
        {1, 0x200000, false, "one pixel wide: the 4:3 space has no height"},
        {2, 0x200000, true, "two pixels wide"},
    };
    for (const Case& k : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        rdp_reg.color_image_width   = static_cast<uint16_t>(k.width);
        rdp_reg.depth_image_address = k.depth_address;
        rdp_reg.othermode_h         = 0x300000;
        rdp_reg.fill_color          = 0xFFFFFFFF;
        rdp_reg.cmd0                = cmd::fill_rect(0, 0, 3, 3).w0;
        rdp_reg.cmd1                = cmd::fill_rect(0, 0, 3, 3).w1;
        rdp_fill_rect();
        unsigned char p[4];
        glReadPixels(0, window_height - 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        EXPECT_EQ(p[0], k.drawn ? 255 : 0) << k.what;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << k.what;

        // A texture rectangle follows the same width rule.
        glClear(GL_COLOR_BUFFER_BIT);
        rdp_reg.cycle_type   = 0;
        rdp_reg.mux_key0     = 0x07FF7FFF;
        rdp_reg.prim_rgba[0] = rdp_reg.prim_rgba[3] = 1.0f;
        run_tex_rect(0, 0, 4, 4);
        glReadPixels(0, window_height - 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        if (k.depth_address == 0x200000) {
            EXPECT_EQ(p[0], k.drawn ? 255 : 0) << k.what << " (texture rectangle)";
        }
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << k.what;
    }
}

struct GlSnapshot {
    bool depth_test, blend, alpha_test, cull, texture, scissor;
    GLint blend_src, blend_dst, alpha_func, matrix_mode, projection_depth, modelview_depth;
    GLfloat alpha_ref, projection[16], modelview[16];

    static GlSnapshot take() {
        GlSnapshot s{};
        s.depth_test = glIsEnabled(GL_DEPTH_TEST);
        s.blend      = glIsEnabled(GL_BLEND);
        s.alpha_test = glIsEnabled(GL_ALPHA_TEST);
        s.cull       = glIsEnabled(GL_CULL_FACE);
        s.texture    = glIsEnabled(GL_TEXTURE_2D);
        s.scissor    = glIsEnabled(GL_SCISSOR_TEST);
        glGetIntegerv(GL_BLEND_SRC, &s.blend_src);
        glGetIntegerv(GL_BLEND_DST, &s.blend_dst);
        glGetIntegerv(GL_ALPHA_TEST_FUNC, &s.alpha_func);
        glGetFloatv(GL_ALPHA_TEST_REF, &s.alpha_ref);
        glGetIntegerv(GL_MATRIX_MODE, &s.matrix_mode);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &s.projection_depth);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.modelview_depth);
        glGetFloatv(GL_PROJECTION_MATRIX, s.projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, s.modelview);
        return s;
    }
};

void expect_same(const GlSnapshot& before, const GlSnapshot& after, const char* what) {
    EXPECT_EQ(after.depth_test, before.depth_test) << what << ": depth test";
    EXPECT_EQ(after.blend, before.blend) << what << ": blend";
    EXPECT_EQ(after.alpha_test, before.alpha_test) << what << ": alpha test";
    EXPECT_EQ(after.cull, before.cull) << what << ": cull";
    EXPECT_EQ(after.texture, before.texture) << what << ": texture";
    EXPECT_EQ(after.scissor, before.scissor) << what << ": scissor";
    EXPECT_EQ(after.blend_src, GL_SRC_ALPHA) << what;
    EXPECT_EQ(after.blend_dst, GL_ONE_MINUS_SRC_ALPHA) << what;
    EXPECT_EQ(after.alpha_func, GL_GEQUAL) << what;
    EXPECT_NEAR(after.alpha_ref, 0.005f, 1e-6) << what;
    EXPECT_EQ(after.matrix_mode, GL_PROJECTION) << what << ": matrix mode";
    EXPECT_EQ(after.projection_depth, before.projection_depth) << what;
    EXPECT_EQ(after.modelview_depth, before.modelview_depth) << what;
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(after.projection[i], before.projection[i]) << what << ": projection " << i;
        EXPECT_EQ(after.modelview[i], before.modelview[i]) << what << ": model-view " << i;
    }
}

TEST_F(Rectangles, GlStateAfterEachRectangleEqualsTheStateBefore) {
    // Blending, the alpha test and texturing are idle between draws; depth and culling are
    // the game's.
    struct Enables {
        bool depth, blend, alpha, cull, texture;
    } starts[] = {{true, true, true, true, false},
                  {false, true, true, false, false},
                  {true, true, true, false, false}};
    struct Rect {
        uint8_t cycle_type;
        uint32_t key0, key1;
        bool fill;
        const char* what;
    } rects[] = {
        {0, 0x07FF7FFF, 0, false, "untextured texture rectangle"},
        {0, 0x0DFFAEF1, 0, false, "two-pass texture rectangle"},
        {1, 0x03B22E32, 0x0EF8A053, false, "inverted second pass"},
        {2, 0, 0, false, "copy-mode texture rectangle"},
        {3, 0, 0, true, "fill rectangle"},
        {0, 0, 0, true, "blend-colour fill rectangle"},
    };
    const GLfloat projection[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 5, 6, 7, 1};
    const GLfloat modelview[16]  = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 8, 9, 10, 1};
    for (const Enables& e : starts) {
        for (const Rect& r : rects) {
            auto set = [](GLenum cap, bool on) { on ? glEnable(cap) : glDisable(cap); };
            set(GL_DEPTH_TEST, e.depth);
            set(GL_BLEND, e.blend);
            set(GL_ALPHA_TEST, e.alpha);
            set(GL_CULL_FACE, e.cull);
            set(GL_TEXTURE_2D, e.texture);
            glMatrixMode(GL_MODELVIEW);
            glLoadMatrixf(modelview);
            glMatrixMode(GL_PROJECTION);
            glLoadMatrixf(projection);
            rdp_reg.cycle_type      = r.cycle_type;
            rdp_reg.othermode_h     = static_cast<uint32_t>(r.cycle_type) << 20;
            rdp_reg.mux_key0        = r.key0;
            rdp_reg.mux_key1        = r.key1;
            const GlSnapshot before = GlSnapshot::take();
            if (r.fill) {
                rdp_reg.cmd0 = cmd::fill_rect(10, 10, 20, 20).w0;
                rdp_reg.cmd1 = cmd::fill_rect(10, 10, 20, 20).w1;
                rdp_fill_rect();
            } else {
                run_tex_rect(10, 10, 20, 20);
            }
            expect_same(before, GlSnapshot::take(), r.what);
        }
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// A 4 x 4 texture in tile 0: two columns opaque red, two columns blue (16-bit RGBA; the
// blue texels' alpha bit given).
void load_red_blue_texture(Console& c, uint16_t blue = 0x003F) {
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 4; ++x)
            c.write_u16(0x40000 + 2 * (y * 4 + x), x < 2 ? 0xF801 : blue);
    run_commands({tex::set_texture_image(tex::rgba, tex::b16, 4, 0x40000),
                  tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 16),
                  tex::set_tile(0, tex::rgba, tex::b16, 1, 0), tex::set_tile_size(0, 0, 0, 4, 4),
                  tex::set_tile(3, tex::rgba, tex::b16, 2, 0x100),
                  tex::set_tile_size(3, 0, 0, 8, 8)});
}

GLint bound_texture() {
    GLint name = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

// Tile 3 is twice the size of tile 0: naming it halves the texture coordinates, but the texels
// are tile 0's either way. Across the rectangle tile 0's coordinates run over 4.875 texels.
TEST_F(Rectangles, NamedTileGivesCoordinatesTileZeroGivesTexels) {
    const Rgba red = {248, 0, 0, 255}, blue = {0, 0, 248, 255};
    struct Case {
        uint32_t tile;
        Rgba at_8, at_18; // texel 1.3 and 2.8 of tile 0, or 0.6 and 1.4 through tile 3
    } cases[] = {{0, red, blue}, {3, red, red}};
    for (const Case& k : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        load_red_blue_texture(c);
        run_tex_rect(0, 0, 32, 32, k.tile, 0, 0, 0.125f, 0.125f);
        EXPECT_EQ(pixel(7.5f, 10), k.at_8) << "tile " << k.tile;
        EXPECT_EQ(pixel(17.5f, 10), k.at_18) << "tile " << k.tile;
        EXPECT_EQ(rdp_reg.current_tile_index, k.tile);
    }
}

// The texel transform of the row (or of an inverted pass) is in force when the pass binds.
TEST_F(Rectangles, TextureModeReachesTheBind) {
    struct Case {
        uint8_t cycle_type;
        uint32_t key0, key1, mode;
        Rgba at5;
        const char* what;
    } cases[] = {
        {0, 0x00000000, 0, 0x000, {248, 0, 0, 255}, "plain texture"},
        {0, 0x03FF7FFF, 0, 0x001, {0, 255, 0, 255}, "mode 1: white texels under the prim colour"},
        {1,
         0x03B22E32,
         0x0EF8A053,
         0x200,
         {0, 255, 0, 255},
         "second pass inverted (the last bind)"},
    };
    rdp_reg.prim_rgba[1] = rdp_reg.prim_rgba[3] = 1.0f; // opaque green
    for (const Case& k : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        load_red_blue_texture(c);
        rdp_reg.cycle_type = k.cycle_type;
        rdp_reg.mux_key0   = k.key0;
        rdp_reg.mux_key1   = k.key1;
        run_tex_rect(0, 0, 32, 32, 0, 0, 0, 0.125f, 0.125f);
        ASSERT_GT(bound_texture(), 0) << k.what;
        EXPECT_EQ(TextureCache[bound_texture()].mode, k.mode) << k.what;
        if (k.cycle_type == 0) {
            EXPECT_EQ(pixel(7.5f, 10), k.at5) << k.what;
        }
    }
}

// A 2 x 2 checker in tile 0, black at its upper-left (16-bit RGBA, rows 4 texels apart).
void load_checker(Console& c) {
    const uint16_t black = 0x0001, white = 0xFFFF;
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 4; ++x)
            c.write_u16(0x40000 + 2 * (y * 4 + x), (x + y) % 2 ? white : black);
    run_commands({tex::set_texture_image(tex::rgba, tex::b16, 4, 0x40000),
                  tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 8),
                  tex::set_tile(0, tex::rgba, tex::b16, 1, 0), tex::set_tile_size(0, 0, 0, 2, 2)});
}

// The game's filter per draw, or the player's: hard cells where it asks for G_TF_POINT and in
// copy mode (a rectangle stretched down by dtdy keeps cells 1 / dtdy lines high), a smooth
// ramp for G_TF_BILERP; TextureFilter=bilinear and nearest force each. One texture serves
// every draw: its filter changes with the draw.
TEST_F(Rectangles, TextureFilterFollowsTheDrawOrTheSetting) {
    constexpr uint32_t kPoint = 0, kBilerp = 0x2000;
    struct Case {
        uint8_t cycle_type;
        uint32_t filter_bits;
        TextureFilter setting;
        float dtdy;
        bool hard;
        const char* what;
    } cases[] = {
        {0, kPoint, TextureFilter::automatic, 1.0f / 32, true, "G_TF_POINT"},
        {0, kBilerp, TextureFilter::automatic, 1.0f / 32, false, "G_TF_BILERP"},
        {0, 0x3000, TextureFilter::automatic, 1.0f / 32, false, "G_TF_AVERAGE"},
        {2, kBilerp, TextureFilter::automatic, 1.0f / 8, true, "copy mode, dtdy 1/8"},
        {2, kBilerp, TextureFilter::automatic, 1.0f / 16, true, "copy mode, dtdy 1/16"},
        {0, kPoint, TextureFilter::bilinear, 1.0f / 32, false, "G_TF_POINT, forced bilinear"},
        {0, kBilerp, TextureFilter::nearest, 1.0f / 32, true, "G_TF_BILERP, forced nearest"},
    };
    load_checker(c);
    GLint name = 0;
    for (const Case& k : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        player_settings.texture_filter = k.setting;
        rdp_reg.cycle_type             = k.cycle_type;
        rdp_reg.othermode_h            = uint32_t(k.cycle_type) << 20 | k.filter_bits;
        rdp_reg.othermode_l = rdp_reg.mux_key0 = rdp_reg.mux_key1 = 0;
        const int cell = static_cast<int>(1.0f / k.dtdy); // lines per texel row
        if (k.cycle_type == 2)
            run_tex_rect(0, 0, 1, 2.0f * cell - 1, 0, 0, 0, 4, k.dtdy);
        else
            run_tex_rect(0, 0, 64, 64, 0, 0, 0, 1.0f / 32, k.dtdy);
        if (name == 0) name = bound_texture();
        EXPECT_EQ(bound_texture(), name) << k.what << ": the same texture";
        // Down the first column: black for `cell` lines, then white, or a ramp between.
        int mid_tones = 0;
        for (int y = 0; y < 2 * cell; ++y) {
            const int v = pixel(0, static_cast<float>(y)).g;
            if (v > 16 && v < 239) ++mid_tones;
            if (!k.hard) continue;
            EXPECT_EQ(v > 127, y >= cell) << k.what << ", line " << y << ": " << v;
        }
        if (k.hard)
            EXPECT_EQ(mid_tones, 0) << k.what;
        else
            EXPECT_GT(mid_tones, cell / 2) << k.what;
    }
    player_settings.texture_filter = TextureFilter::automatic;
    rdp_reg.othermode_h = rdp_reg.cycle_type = 0;
}

// An 8 x 8 IA 8-8 texture in tile 0 whose rows 0 to 4 have the alphas `bands` (later rows
// 255), every texel of intensity `intensity`.
void load_alpha_bands(Console& c, const uint8_t (&bands)[5], uint8_t intensity) {
    for (uint32_t y = 0; y < 8; ++y)
        for (uint32_t x = 0; x < 8; ++x)
            c.write_u16(0x40000 + 2 * (y * 8 + x),
                        uint16_t(intensity << 8 | (y < 5 ? bands[y] : 255)));
    run_commands({tex::set_texture_image(tex::ia, tex::b16, 8, 0x40000),
                  tex::set_tile(7, tex::ia, tex::b16, 0, 0), tex::load_block(7, 0, 0, 64),
                  tex::set_tile(0, tex::ia, tex::b16, 2, 0), tex::set_tile_size(0, 0, 0, 8, 8)});
}

// The console's blender for a fully covered pixel (blend colour alpha, fog colour alpha, the
// texel's intensity and alpha over memory): written or not, and the colour of one channel.
struct ConsolePixel {
    bool written;
    int value;
};
ConsolePixel console_blend(uint32_t l, uint8_t cycle_type, int blend_a, int fog_a, int in,
                           int alpha, int mem) {
    const uint32_t ac = l & 3;
    if (cycle_type == 2) return {!(ac & 1) || alpha >= blend_a, in};
    // The combiner carries 255 as 0x100; coverage 8 times it, in eighths.
    const int carried = alpha == 255 ? 0x100 : alpha;
    const int temp    = (carried * 8 + 4) >> 3;
    const int cvg     = (l & rm::CVG_X_ALPHA) ? temp >> 5 : 8;
    int a_in          = alpha;
    if (l & rm::ALPHA_CVG_SEL) a_in = std::min((l & rm::CVG_X_ALPHA) ? temp : cvg << 5, 255);
    bool written = !(l & rm::AA_EN) || cvg > 0;
    if (ac & 1) written = written && a_in >= (ac == 3 ? 128 : blend_a);
    const int shift  = cycle_type == 1 ? 28 : 30;
    const uint32_t p = (l >> shift) & 3, a = (l >> (shift - 4)) & 3;
    const uint32_t m = (l >> (shift - 8)) & 3, b = (l >> (shift - 12)) & 3;
    const int colour[4] = {in, mem, 0, 0}; // the blend and fog colours are black
    if (!(l & rm::FORCE_BL)) return {written, colour[p]};
    if (p == rm::CLR_IN && a == rm::A_IN && m == rm::CLR_MEM && b == rm::B_1MA && a_in >= 255)
        return {written, in};
    const int wa         = a == rm::A_IN ? a_in : a == rm::A_FOG ? fog_a : 0;
    const int weights[4] = {~wa & 0xFF, 0xFF, 0xFF, 0};
    return {written, ((colour[p] * (wa >> 3) + colour[m] * ((weights[b] >> 3) + 1)) >> 5) & 0xFF};
}

// Every SDK render mode in one cycle, and in two after G_RM_PASS or the fog cycle, plus copy
// mode, over bands of alpha 0, 64, 128, 192 and 255: the inside of each band as the console's
// blender computes it.
TEST_F(Rectangles, BlenderDecidesAsTheConsolesEquation) {
    const uint8_t bands[5] = {0, 64, 128, 192, 255};
    const int in = 240, mem[3] = {16, 64, 96}, blend_a = 160, fog_a = 128;
    struct Case {
        std::string name;
        uint8_t cycle_type;
        uint32_t l;
    };
    std::vector<Case> cases;
    for (const rm::Mode& m : rm::kModes) {
        cases.push_back({std::string(m.name), 0, m.cycle1()});
        cases.push_back({std::string("PASS, ") + m.name + "2", 1, rm::G_RM_PASS | m.cycle2()});
        cases.push_back(
            {std::string("FOG_SHADE_A, ") + m.name + "2", 1, rm::G_RM_FOG_SHADE_A | m.cycle2()});
    }
    cases.push_back(
        {"XLU_SURF, G_AC_THRESHOLD", 0, rm::mode("XLU_SURF").cycle1() | rm::G_AC_THRESHOLD});
    cases.push_back(
        {"OPA_SURF, G_AC_THRESHOLD", 0, rm::mode("OPA_SURF").cycle1() | rm::G_AC_THRESHOLD});
    cases.push_back({"AA_ZB_OPA_SURF, G_AC_THRESHOLD (coverage compared)", 0,
                     rm::mode("AA_ZB_OPA_SURF").cycle1() | rm::G_AC_THRESHOLD});
    cases.push_back({"copy mode", 2, 0});
    cases.push_back({"copy mode, G_AC_THRESHOLD", 2, rm::G_AC_THRESHOLD});
    load_alpha_bands(c, bands, static_cast<uint8_t>(in));
    rdp_reg.blend_color = blend_a;
    rdp_reg.fog_color   = fog_a;
    rdp_reg.mux_key0 = rdp_reg.mux_key1 = 0;
    int wrong                           = 0;
    for (const Case& k : cases) {
        glClearColor(mem[0] / 255.0f, mem[1] / 255.0f, mem[2] / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        rdp_reg.cycle_type  = k.cycle_type;
        rdp_reg.othermode_h = uint32_t(k.cycle_type) << 20;
        rdp_reg.othermode_l = k.l;
        if (k.cycle_type == 2)
            run_tex_rect(0, 0, 7, 79, 0, 0, 0, 4, 1.0f / 16);
        else
            run_tex_rect(0, 0, 8, 80, 0, 0, 0, 1, 1.0f / 16);
        for (int band = 0; band < 5; ++band) {
            const Rgba got       = pixel(4, 16.0f * band + 8);
            const int got_rgb[3] = {got.r, got.g, got.b};
            for (int ch = 0; ch < 3; ++ch) {
                const ConsolePixel want =
                    console_blend(k.l, k.cycle_type, blend_a, fog_a, in, bands[band], mem[ch]);
                const int expected = want.written ? want.value : mem[ch];
                if (std::abs(got_rgb[ch] - expected) <= 4) continue;
                ADD_FAILURE() << k.name << ", alpha " << int(bands[band]) << ", channel " << ch
                              << ": expected " << expected << ", got " << got_rgb[ch];
                ++wrong;
                break;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "of " << cases.size() * 5 << " bands";
    glClearColor(0, 0, 0, 1);
    rdp_reg.othermode_l = rdp_reg.othermode_h = rdp_reg.blend_color = rdp_reg.fog_color = 0;
    rdp_reg.cycle_type                                                                  = 0;
}

} // namespace
