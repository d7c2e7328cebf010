// Fog: the factor, the fog word of every family, the mix drawn with a fog coordinate and as a
// pass; and triangles with no area left out of the draw
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "dl_rdp.h"
#include "dl_ucode0.h"
#include "dlist/command_table.h"
#include "render/fog.h"
#include "state/rdp_reg.h"
#include "support/geometry_helpers.h"
#include "support/test_host.h"

namespace {

TEST(Fog, FactorsAreClampedAndAlwaysDefined) {
    const uint32_t sdk = uc0::fog_factors(700, 1000); // 426, -170
    struct Case {
        float z, w;
        uint32_t word;
        float factor;
    } cases[] = {
        {0.9f, 1.0f, sdk, 0.9f * 426 - 170},
        {1.8f, 2.0f, sdk, 0.9f * 426 - 170},
        {0.1f, 1.0f, sdk, 0},
        {1.0f, 1.0f, 0x7FFF0000, 255},
        {0.5f, 1.0f, 0, 0},
        {0.5f, 0.0f, sdk, 255}, // in the eye's plane
        {-0.5f, 0.0f, sdk, 0},
        {0.0f, 0.0f, 0x0000FFFF, 0},
        {0.5f, 1.0f, uc0::fog_factors(1000, 700), 0}, // max <= min: no factors, no fog
        {0.5f, -1.0f, 0xFF000000, 128},               // both halves signed
    };
    for (const Case& k : cases)
        EXPECT_NEAR(fog_factor(k.z, k.w, k.word), k.factor, 0.01f)
            << k.z << " / " << k.w << std::hex << " word " << k.word;
}

// Families 0 to 3, 5 and 6 name the fog word at MOVEWORD index 8 in cmd0's low byte, family 4
// in its third byte; only offset 0 is the fog word.
TEST(Fog, EveryFamilyKeepsTheFogWordAndColour) {
    attach_test_host();
    struct Case {
        int family;
        uint32_t cmd0;
        bool kept;
    } cases[] = {{0, 0xBC000008, true}, {1, 0xBC000008, true},  {2, 0xBC000008, true},
                 {3, 0xBC000008, true}, {5, 0xBC000008, true},  {6, 0xBC000008, true},
                 {4, 0xDB080000, true}, {0, 0xBC000408, false}, {4, 0xDB080004, false}};
    for (const Case& k : cases) {
        reset_core_state();
        rdp_reg.cmd0 = k.cmd0;
        rdp_reg.cmd1 = 0x01AAFF56;
        CommandTable[k.family][k.cmd0 >> 24]();
        EXPECT_EQ(rdp_reg.fog_factors, k.kept ? 0x01AAFF56u : 0u) << k.family << std::hex << k.cmd0;
        rdp_reg.cmd1 = 0x11223344;
        CommandTable[k.family][0xF8]();
        EXPECT_EQ(rdp_reg.fog_color, 0x11223344u) << k.family;
    }
}

TEST(Fog, DrawnWithAFogCoordinateFromOpenGl14OrItsExtension) {
    attach_test_host();
    EXPECT_EQ(fog_draw_for("1.1.0", "GL_EXT_texture GL_EXT_fog_coord"), FogDraw::coordinate);
    EXPECT_EQ(fog_draw_for("1.4 Mesa", ""), FogDraw::coordinate);
    EXPECT_EQ(fog_draw_for("1.3", "GL_EXT_fog_coordinates"), FogDraw::pass);
    EXPECT_EQ(fog_draw_for(nullptr, nullptr), FogDraw::pass);
    EXPECT_EQ(fog_draw, FogDraw::coordinate) << "llvmpipe's OpenGL 4.5";
}

// A shaded triangle at z 0.5 (w 1) with the factor z/w x 256: the fog colour's weight 128/255
// (or its own alpha, 64/255), whichever way the context draws fog.
TEST(Fog, TheBlenderMixesTheFogColourIn) {
    attach_test_host();
    Console& c = test_console();
    struct Case {
        uint32_t blender, geometry, word;
        float weight;
        const char* what;
    } cases[] = {{0xC8000000, uc0::kFog, 0x01000000, 128 / 255.0f, "by shade alpha: the factor"},
                 {0xC4000000, uc0::kFog, 0x01000000, 64 / 255.0f, "by the fog colour's alpha"},
                 {0xC8000000, uc0::kFog, 0, 0, "fog word 0: no fog"},
                 {0xC8000000, 0, 0x01000000, 51 / 255.0f, "no G_FOG: the vertex alpha"},
                 {0x08000000, uc0::kFog, 0x01000000, 0, "no fog colour in the blender"}};
    for (FogDraw way : {FogDraw::coordinate, FogDraw::pass})
        for (const Case& k : cases) {
            reset_core_state();
            fog_draw = way;
            for (uint32_t i = 0; i < 3; ++i)
                uc0::write_vertex(c, kVertexAddress + 16 * i, int16_t(i == 1 ? 90 : -90),
                                  int16_t(i == 2 ? 90 : -90), 50, 0, 0, 200, 100, 50, 51);
            DisplayList dl(c, kListAddress);
            add_plain_setup(c, dl, uc0::identity(), uc0::scaling(0.01f));
            dl.add({uc0::combine_shade(), cmd::set_cycle_type(0, k.blender | 0x2000),
                    cmd::set_fog_color(0x0000FF40), uc0::moveword(0x08, 0, k.word),
                    uc0::set_geometry_mode(k.geometry), uc0::vertex(0, 3, kVertexAddress),
                    uc0::tri1(0, 1, 2), cmd::end_dl()});
            run_interpreted_task(dl.start());
            const Rgba p  = pixel_at(300, 200);
            const float f = k.weight;
            EXPECT_TRUE(near(p, int(200 * (1 - f) + 0.5f), int(100 * (1 - f) + 0.5f),
                             int(50 * (1 - f) + 255 * f + 0.5f), 2))
                << k.what << (way == FogDraw::pass ? ", pass" : ", coordinate") << ": "
                << describe(p);
        }
    choose_fog_draw();
}

// A triangle whose corners fall on one line of the window draws nothing, and is left out: on
// llvmpipe one that ends a draw took the triangles before it along.
TEST(Fog, TrianglesWithoutAreaAreLeftOutOfTheDraw) {
    attach_test_host();
    Console& c              = test_console();
    const int16_t flat[][6] = {{-90, 60, -60, 60, -30, 60},  // one row
                               {-90, 60, -90, 60, -90, 60},  // one point, three vertices
                               {-90, 60, -80, 70, -70, 80},  // a diagonal
                               {-90, 60, -90, 70, -90, 80}}; // one column
    for (const auto& t : flat) {
        reset_core_state();
        for (uint32_t i = 0; i < 6; ++i)
            uc0::write_vertex(c, kVertexAddress + 16 * i, int16_t(90 * (i / 3) + 40 * (i % 3) - 80),
                              int16_t(i % 3 == 1 ? 40 : -50), 0, 0, 0, 200, 100, 50, 255);
        for (uint32_t i = 0; i < 3; ++i)
            uc0::write_vertex(c, kVertexAddress + 96 + 16 * i, t[2 * i], t[2 * i + 1], 0, 0, 0, 200,
                              100, 50, 255);
        DisplayList dl(c, kListAddress);
        add_plain_setup(c, dl, uc0::identity(), uc0::scaling(0.01f));
        dl.add({uc0::combine_shade(), uc0::vertex(0, 9, kVertexAddress), uc0::tri1(0, 1, 2),
                uc0::tri1(3, 4, 5), uc0::tri1(6, 7, 8), cmd::end_dl()});
        run_interpreted_task(dl.start());
        EXPECT_TRUE(near(pixel_at(192, 220), 200, 100, 50)) << t[1] << " " << t[3];
    }
}

} // namespace
