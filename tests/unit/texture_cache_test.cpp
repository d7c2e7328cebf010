// The texture cache with real OpenGL: keys, hits and misses, uploads, mirrors, eviction
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "host/gl_context.h"

#include <functional>
#include <random>
#include <vector>

#include "dl_rdp.h"
#include "dlist/interpreter.h"
#include "host/plugin.h"
#include "scenes.h"
#include "support/geometry_helpers.h"
#include "support/texture_support.h"

namespace {

GLint bound_name() {
    GLint v = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &v);
    return v;
}

GLint level_parameter(GLenum e) {
    GLint v = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, e, &v);
    return v;
}

GLint tex_parameter(GLenum e) {
    GLint v = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, e, &v);
    return v;
}

// The bound texture's texels, row after row.
std::vector<Texel> bound_texels() {
    std::vector<Texel> t(size_t(level_parameter(GL_TEXTURE_WIDTH)) *
                         level_parameter(GL_TEXTURE_HEIGHT));
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, t.data());
    return t;
}

// A console 16-bit texel with every channel made from its position.
uint16_t pattern(uint32_t x, uint32_t y) {
    return uint16_t(((x & 0x1F) << 11) | ((y & 0x1F) << 6) | (((x + y) & 0x1F) << 1) | 1);
}

Texel pattern_texel(uint32_t x, uint32_t y) {
    return {uint8_t((x & 0x1F) << 3), uint8_t((y & 0x1F) << 3), uint8_t(((x + y) & 0x1F) << 3),
            255};
}

class TextureCacheTest : public ::testing::Test {
  protected:
    void SetUp() override { reset_texture_test_state(); }

    // A w x h 16-bit RGBA image at `address`, loaded as a block and drawn with tile 0.
    void load_rgba16(uint32_t address, uint32_t w, uint32_t h, tex::Wrap t = {}, tex::Wrap s = {},
                     uint32_t palette = 0) {
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x)
                c.write_u16(address + 2 * (y * w + x), pattern(x, y));
        run_commands({tex::set_texture_image(tex::rgba, tex::b16, w, address),
                      tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, w * h),
                      tex::set_tile(0, tex::rgba, tex::b16, (w * 2 + 7) / 8, 0, palette, t, s),
                      tex::set_tile_size(0, 0, 0, w, h)});
    }
    Console& c = test_console();
};

TEST_F(TextureCacheTest, UploadsTheConvertedTile) {
    load_rgba16(0x10000, 8, 4);
    ASSERT_EQ(bind_texture(), 1);
    EXPECT_EQ(bound_name(), 1);
    const std::vector<Texel> t = bound_texels();
    ASSERT_EQ(t.size(), 32u);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 8; ++x)
            ASSERT_EQ(t[y * 8 + x], pattern_texel(x, y)) << "texel " << x << ", " << y;
    EXPECT_EQ(tex_parameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST) << "G_TF_POINT";
    EXPECT_EQ(tex_parameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST) << "G_TF_POINT";
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(env, GL_MODULATE);
}

// Tile 1, a draw's second texture, is built from its own texels, bounds and palette, and
// scaled by texture_color when its texel steps ask for it.
TEST_F(TextureCacheTest, TileOneIsBuiltFromItsOwnTexelsAndPalette) {
    for (int e = 0; e < 256; ++e)
        TlutColors[e][0] = uint8_t(e), TlutColors[e][3] = 200;
    load_rgba16(0x10000, 8, 4);
    c.write_u32(0x20000, 0x5A5A5A5A);
    run_commands({tex::set_texture_image(tex::ci, tex::b4, 8, 0x20000),
                  tex::set_tile(7, tex::ci, tex::b4, 0, 0x80), tex::load_block(7, 0, 0, 16),
                  tex::set_tile(1, tex::ci, tex::b4, 1, 0x80, 3),
                  tex::set_tile_size(1, 0, 0, 8, 2)});
    ASSERT_EQ(bind_texture(1), 1);
    EXPECT_EQ(level_parameter(GL_TEXTURE_WIDTH), 8);
    EXPECT_EQ(level_parameter(GL_TEXTURE_HEIGHT), 2);
    EXPECT_EQ(bound_texels()[0].r, 52) << "palette 3, index 5: entry 48 + (5 XOR 1)";
    rdp_reg.texture_mode  = kTexelSteps | kTexelScale;
    rdp_reg.texture_color = 0xFFFFFF80;
    bind_texture(1);
    EXPECT_EQ(bound_texels()[0].r, 52);
    EXPECT_EQ(bound_texels()[0].a, (200 * 128 + 127) / 255) << "alpha times 0x80";
    bind_texture(0);
    EXPECT_EQ(bound_texels()[9], pattern_texel(1, 1)) << "tile 0 as it was";
}

TEST_F(TextureCacheTest, SameTileAndModeBindTheSameName) {
    load_rgba16(0x10000, 16, 16);
    bind_texture();
    glBindTexture(GL_TEXTURE_2D, 0);
    bind_texture();
    EXPECT_EQ(bound_name(), 1);
    EXPECT_EQ(next_name, 2u);
}

TEST_F(TextureCacheTest, ANewTextureColorBuildsFromTheSameConvertedTexels) {
    load_rgba16(0x10000, 16, 16);
    bind_texture();
    const uint32_t hash = tile_texels[0].converted_key.hash;
    // Texel 2 lies in host bytes 6 and 7, which the sparse hash does not read.
    c.write_u16(0x10000 + 4, 0x0000);
    EXPECT_EQ(tile_hash(0), hash);
    rdp_reg.texture_color = 0x11223344;
    bind_texture();
    EXPECT_EQ(bound_name(), 2);
    EXPECT_EQ(bound_texels()[2], pattern_texel(2, 0)) << "not converted again";
    EXPECT_EQ(TextureCache[2].color, 0x11223344u);
    EXPECT_EQ(TextureCache[1].next, 2);
}

TEST_F(TextureCacheTest, UploadsPowerOfTwoSidesUpTo512) {
    struct Case {
        uint32_t w, h;
        GLint w2, h2;
    } cases[] = {{32, 32, 32, 32}, {40, 20, 64, 32}, {1024, 8, 512, 8}, {1, 1, 1, 1}, {3, 5, 4, 8}};
    uint32_t address = 0x10000;
    for (const Case& k : cases) {
        load_rgba16(address, k.w, k.h);
        address += 0x10000;
        ASSERT_EQ(bind_texture(), 1);
        EXPECT_EQ(level_parameter(GL_TEXTURE_WIDTH), k.w2) << k.w << " x " << k.h;
        EXPECT_EQ(level_parameter(GL_TEXTURE_HEIGHT), k.h2) << k.w << " x " << k.h;
    }
}

TEST_F(TextureCacheTest, MirroredSRowsAreFollowedByTheirReverse) {
    load_rgba16(0x10000, 16, 16, {}, {0, 1, 0, 0});
    bind_texture();
    ASSERT_EQ(level_parameter(GL_TEXTURE_WIDTH), 32);
    ASSERT_EQ(level_parameter(GL_TEXTURE_HEIGHT), 16);
    EXPECT_EQ(tex_parameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    const std::vector<Texel> t = bound_texels();
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 16; ++x) {
            ASSERT_EQ(t[y * 32 + x], pattern_texel(x, y)) << "texel " << x << ", " << y;
            ASSERT_EQ(t[y * 32 + 31 - x], pattern_texel(x, y)) << "mirror of " << x << ", " << y;
        }
}

TEST_F(TextureCacheTest, MirroredTAppendsTheImageReversed) {
    load_rgba16(0x10000, 8, 8, {0, 1, 0, 0}, {});
    bind_texture();
    ASSERT_EQ(level_parameter(GL_TEXTURE_WIDTH), 8);
    ASSERT_EQ(level_parameter(GL_TEXTURE_HEIGHT), 16);
    EXPECT_EQ(tex_parameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    const std::vector<Texel> t = bound_texels();
    for (uint32_t i = 0; i < 64; ++i)
        ASSERT_EQ(t[64 + i], t[63 - i]) << "texel " << i << " of the reflection";
}

TEST_F(TextureCacheTest, ClampWinsOverMirror) {
    load_rgba16(0x10000, 16, 16, {1, 1, 0, 0}, {1, 1, 0, 0});
    bind_texture();
    EXPECT_EQ(level_parameter(GL_TEXTURE_WIDTH), 16);
    EXPECT_EQ(level_parameter(GL_TEXTURE_HEIGHT), 16);
    EXPECT_EQ(tex_parameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(tex_parameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
}

TEST(ClampWrap, ClampsToTheEdgeFromOpenGL12On) {
    const struct {
        const char* version;
        int wrap;
    } cases[] = {{"4.5 (Compatibility Profile) Mesa 22.3.6", GL_CLAMP_TO_EDGE},
                 {"1.2.1", GL_CLAMP_TO_EDGE},
                 {"1.1.0", GL_CLAMP},
                 {"", GL_CLAMP},
                 {nullptr, GL_CLAMP}};
    for (const auto& k : cases)
        EXPECT_EQ(clamp_wrap_for(k.version), k.wrap) << (k.version ? k.version : "no string");
}

// The texels a tile shows start at its TMEM address wherever its window lies: a moved window
// finds its texture, while what decides the texels or their wrap builds another. A hit reads no
// texel again until something is loaded (or a task starts): RDRAM changed under the tile
// alone is not seen, as TMEM on the console does not see it.
TEST_F(TextureCacheTest, WhatBuildsAnotherTexture) {
    const Command reload[] = {tex::set_texture_image(tex::rgba, tex::b16, 16, 0x10000),
                              tex::set_tile(7, tex::rgba, tex::b16, 0, 0),
                              tex::load_block(7, 0, 0, 256)};
    const struct {
        const char* what;
        std::function<void()> change;
        bool builds;
    } cases[] = {
        {"the window moved by whole texels",
         [] { run_command(tex::set_tile_size(0, 8, 5, 16, 16)); }, false},
        {"the window moved by a quarter texel",
         [] { run_command(tex::set_tile_size_q(0, 13, 1, 13 + 60, 1 + 60)); }, false},
        {"a sampled byte changed in RDRAM, nothing loaded", [&] { c.rdram[0x10000] ^= 0x5A; },
         false},
        {"the same texels loaded again",
         [&] {
             c.rdram[0x10000] ^= 0x5A;
             run_commands({reload[0], reload[1], reload[2]});
         },
         false},
        {"a changed load at the same address",
         [&] {
             c.rdram[0x10000] ^= 0x5A;
             run_commands({reload[0], reload[1], reload[2]});
         },
         true},
        {"a new task after RDRAM changed",
         [&] {
             c.rdram[0x10000] ^= 0x33;
             DisplayList dl(c, 0x1000);
             dl.add(cmd::end_dl());
             run_interpreted_task(dl.start());
         },
         true},
        {"a T clamp", [] { rdp_reg.tiles[0].clamp_t = 1; }, true},
        {"an S mirror", [] { rdp_reg.tiles[0].mirror_s = 1; }, true},
        {"the texels read as IA 16", [] { run_command(tex::set_tile(0, tex::ia, tex::b16, 4, 0)); },
         true},
        {"a narrower window", [] { run_command(tex::set_tile_size(0, 0, 0, 8, 16)); }, true},
    };
    load_rgba16(0x10000, 16, 16);
    bind_texture();
    for (const auto& k : cases) {
        const uint32_t before = textures_built;
        k.change();
        bind_texture();
        EXPECT_EQ(textures_built - before, k.builds ? 1u : 0u) << k.what;
    }
}

// The flowing scene moves its windows every frame for 60 frames: its textures are built in the
// first and found in every later one.
TEST_F(TextureCacheTest, AFlowingSurfaceBuildsNothingAfterItsFirstFrame) {
    const Scene* flow = find_scene("flow");
    ASSERT_NE(flow, nullptr);
    const uint32_t before = textures_built;
    uint32_t after_first  = 0;
    for (int frame = 0; frame < 60; ++frame) {
        run_interpreted_task(flow->build(c, frame));
        if (frame == 0) after_first = textures_built;
        ASSERT_EQ(textures_built, after_first) << "frame " << frame;
    }
    EXPECT_EQ(after_first - before, 5u) << "plain, mirrored, masked, clamped and tile 1's";
}

TEST_F(TextureCacheTest, AMissResetsTheTransformAndAHitKeepsIt) {
    load_rgba16(0x10000, 4, 4);
    rdp_reg.texture_mode = 1;
    bind_texture();
    EXPECT_EQ(rdp_reg.texture_mode, 0u) << "reset after a miss";
    EXPECT_EQ(bound_texels()[5], (Texel{255, 255, 255, 255})) << "mode 1 was applied";
    rdp_reg.texture_mode = 1;
    bind_texture();
    EXPECT_EQ(bound_name(), 1);
    EXPECT_EQ(rdp_reg.texture_mode, 1u) << "kept after a hit";
}

TEST_F(TextureCacheTest, EvictsThirtyTwoNamesOnceFiveHundredTwelveAreLive) {
    load_rgba16(0x10000, 2, 2);
    for (uint32_t i = 0; i < 512; ++i) {
        rdp_reg.texture_color = i;
        ASSERT_EQ(bind_texture(), 1);
        ASSERT_EQ(bound_name(), GLint(i + 1));
    }
    EXPECT_EQ(next_name, 513u);
    EXPECT_EQ(oldest_name, 33u);
    for (GLuint name : {1u, 32u}) {
        EXPECT_FALSE(glIsTexture(name)) << name;
        EXPECT_EQ(TextureCache[name].next, -1) << name;
        EXPECT_EQ(TextureCache[name].texels.hash, 0xFFFFFFFFu) << name;
    }
    EXPECT_TRUE(glIsTexture(33));
    EXPECT_TRUE(glIsTexture(512));
    for (uint32_t i = 512; i < 543; ++i) {
        rdp_reg.texture_color = i;
        bind_texture();
    }
    EXPECT_EQ(oldest_name, 33u) << "name 543 built, no eviction yet";
    rdp_reg.texture_color = 543;
    bind_texture();
    EXPECT_EQ(oldest_name, 65u) << "the next eviction follows the texture named 544";
    rdp_reg.texture_color = 100;
    bind_texture();
    EXPECT_EQ(bound_name(), 101) << "a live texture is still found";
}

TEST_F(TextureCacheTest, NamesWrapFrom4095To1) {
    load_rgba16(0x10000, 2, 2);
    for (uint32_t i = 0; i < 4095; ++i) {
        rdp_reg.texture_color = i;
        ASSERT_EQ(bind_texture(), 1);
        ASSERT_TRUE(glIsTexture(GLuint(bound_name()))) << "the texture just built survives "
                                                       << "the eviction that follows it";
    }
    EXPECT_EQ(next_name, 1u);
    rdp_reg.texture_color = 4094;
    bind_texture();
    EXPECT_EQ(bound_name(), 1) << "the first bind after the wrap builds without looking up";
    EXPECT_EQ(next_name, 2u);
}

TEST_F(TextureCacheTest, RefusesTilesLargerThanTheRectangleLimit) {
    load_rgba16(0x10000, 4, 4);
    bind_texture();
    TileDescriptor& d = rdp_reg.tiles[0];
    d.uls = d.ult = 0;
    d.lrs         = 2047;
    d.lrt         = 1023;
    EXPECT_EQ(bind_texture(), 0);
    EXPECT_EQ(bound_name(), 1) << "the previous binding stays";
    EXPECT_EQ(next_name, 2u);
}

TEST_F(TextureCacheTest, PaletteChecksumsAreInTheKey) {
    for (int i = 0; i < 16; ++i)
        c.write_u16(0x20000 + 2 * i, uint16_t(0xF801));
    c.write_u32(0x10000, 0x01234567);
    run_commands({tex::set_texture_image(tex::rgba, tex::b16, 1, 0x20000), tex::load_tlut(7, 16),
                  tex::set_texture_image(tex::ci, tex::b4, 8, 0x10000),
                  tex::set_tile(7, tex::ci, tex::b4, 0, 0), tex::load_block(7, 0, 0, 8),
                  tex::set_tile(0, tex::ci, tex::b4, 1, 0), tex::set_tile_size(0, 0, 0, 8, 1)});
    bind_texture();
    EXPECT_EQ(bound_texels()[0], (Texel{248, 0, 0, 255}));
    for (int i = 0; i < 16; ++i)
        c.write_u16(0x20000 + 2 * i, uint16_t(0x07C1));
    run_commands({tex::set_texture_image(tex::rgba, tex::b16, 1, 0x20000), tex::load_tlut(7, 16)});
    bind_texture();
    EXPECT_EQ(bound_name(), 2) << "a new palette is a new texture";
    EXPECT_EQ(bound_texels()[0], (Texel{0, 248, 0, 255}));
}

TEST_F(TextureCacheTest, TheSparseHashReadsFourBytesOfEvery52) {
    load_rgba16(0x10000, 16, 16);
    const uint32_t h = tile_hash(0);
    struct Case {
        uint32_t host_byte;
        bool changes;
    } cases[] = {{0, true},   {1, false}, {5, true},   {10, true},           {15, true},
                 {16, false}, {52, true}, {53, false}, {52 * 19 + 15, true}, {52 * 20, false}};
    for (const Case& k : cases) {
        uint8_t& b = c.rdram[0x10000 + k.host_byte];
        b ^= 0x5A;
        EXPECT_EQ(tile_hash(0) != h, k.changes) << "host byte " << k.host_byte;
        b ^= 0x5A;
    }
    rdp_reg.tiles[0].width = -1;
    EXPECT_EQ(tile_hash(0), kHashTooLarge);
    EXPECT_EQ(convert_tile(0), kHashNegativeWidth);
    rdp_reg.tiles[0].width = 4097; // 16 rows: 65,552 texels
    EXPECT_EQ(convert_tile(0), kHashTooLarge);
}

// The texels of the last conversion are reused only for the hash they were converted with,
// whatever palette number the tile had.
TEST_F(TextureCacheTest, ConvertedTexelsAreNotTakenForAnotherTile) {
    load_rgba16(0x10000, 4, 4, {}, {}, 0);
    bind_texture();
    load_rgba16(0x20000, 4, 4, {}, {}, 3);
    for (uint32_t i = 0; i < 16; ++i)
        c.write_u16(0x20000 + 2 * i, 0x07C1);
    bind_texture();
    load_rgba16(0x10000, 4, 4, {}, {}, 0);
    rdp_reg.texture_color = 1; // not in the cache yet
    bind_texture();
    EXPECT_EQ(bound_name(), 3);
    EXPECT_EQ(bound_texels()[5], pattern_texel(1, 1));
}

TEST_F(TextureCacheTest, TheFirstConversionIsNeverSkipped) {
    // At RDRAM offset 0 with zeros in every sampled byte the tile hash is 0, the value the
    // per-palette hashes start with; texel 2 lies in bytes the hash does not read.
    load_rgba16(0, 4, 4);
    for (uint32_t i = 0; i < 16; ++i)
        c.write_u16(2 * i, 0);
    c.write_u16(4, 0xF801);
    ASSERT_EQ(tile_hash(0), 0u);
    bind_texture();
    EXPECT_EQ(bound_texels()[2], (Texel{248, 0, 0, 255}));
}

// Seeded random tile states, as a corrupt display list could leave them: every bind returns
// and (under the sanitizers) stays inside RDRAM and the texel buffers.
TEST_F(TextureCacheTest, RandomTileStatesBindSafely) {
    std::mt19937 random(20261207);
    auto any = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
    for (int i = 0; i < 200; ++i) {
        rdp_reg.texture_image = {uint8_t(any(8)), uint8_t(any(4)), 1 + any(4096), any(0x800000)};
        append_load(any(0x800000), any(512));
        TileDescriptor& d     = rdp_reg.tiles[0];
        d.format              = uint8_t(any(8));
        d.size                = uint8_t(any(4));
        d.tmem                = uint16_t(any(512));
        d.palette             = uint8_t(any(16));
        d.clamp_s             = uint8_t(any(2));
        d.mirror_s            = uint8_t(any(2));
        d.clamp_t             = uint8_t(any(2));
        d.mirror_t            = uint8_t(any(2));
        d.width               = int32_t(any(1100)) - 50;
        d.height              = int32_t(any(i % 4 == 0 ? 1100 : 80)) - 5;
        d.uls                 = int16_t(any(2048)) - 1024;
        d.ult                 = int16_t(any(2048)) - 1024;
        d.lrs                 = int16_t(d.uls + any(1200));
        d.lrt                 = int16_t(d.ult + any(200));
        d.load_offset         = int32_t(random());
        rdp_reg.texture_mode  = any(3) == 0 ? 0x40 : 0;
        rdp_reg.texture_color = uint32_t(i);
        const int bound       = bind_texture();
        EXPECT_TRUE(bound == 0 || bound == 1) << "state " << i;
    }
}

TEST_F(TextureCacheTest, NothingTheTileClaimsLeavesTheBuffers) {
    struct Case {
        const char* what;
        Command size;
        tex::Wrap t, s;
        int32_t load_offset; // kept: the tile's TMEM address matches no load
        uint32_t image_address;
    } cases[] = {
        {"1024 x 1024 mirrored",
         tex::set_tile_size(0, 0, 0, 1024, 1024),
         {0, 1, 0, 0},
         {0, 1, 0, 0},
         0,
         0x10000},
        {"256 x 256 mirrored",
         tex::set_tile_size(0, 0, 0, 256, 256),
         {0, 1, 0, 0},
         {0, 1, 0, 0},
         0,
         0x10000},
        {"load offset past the area",
         tex::set_tile_size(0, 0, 0, 64, 64),
         {},
         {},
         0x7FFFFFF0,
         0x10000},
        {"negative load offset", tex::set_tile_size(0, 0, 0, 64, 64), {}, {}, -0x7FFFFFF0, 0x10000},
        {"image at the end of RDRAM", tex::set_tile_size(0, 0, 0, 256, 256), {}, {}, 0, 0x7FFFF0},
    };
    for (const Case& k : cases) {
        run_commands({tex::set_texture_image(tex::rgba, tex::b32, 4096, k.image_address),
                      tex::set_tile(0, tex::rgba, tex::b32, 0, 0x1FF, 0, k.t, k.s), k.size});
        reset_texture_memory(); // SETTILE's alias record is gone: no load matches the tile,
                                // so the resolve step keeps the offset below
        rdp_reg.tiles[0].load_offset = k.load_offset;
        rdp_reg.texture_color++;
        EXPECT_EQ(bind_texture(), 1) << k.what;
        EXPECT_GT(level_parameter(GL_TEXTURE_WIDTH), 0) << k.what;
        EXPECT_EQ(rdp_reg.tiles[0].load_offset, k.load_offset) << k.what;
    }
    // A LOADTILE whose lower corner lies above its upper one leaves a negative size.
    run_commands({tex::set_tile(0, tex::rgba, tex::b16, 0, 0),
                  tex::load_tile_q(0, 4 * 100, 4 * 100, 4 * 10, 4 * 10)});
    ASSERT_LT(rdp_reg.tiles[0].width, 0);
    EXPECT_EQ(bind_texture(), 1);
    EXPECT_EQ(level_parameter(GL_TEXTURE_WIDTH), 1) << "one texel";
}

} // namespace

namespace {

// The drawn pixel at console coordinates (x, y) of a 320 x 240 frame over the window.
Texel frame_pixel(float x, float y) {
    const int wx = static_cast<int>(x * static_cast<float>(window_width) / 320.0f);
    const int wy =
        window_height - 1 - static_cast<int>(y * static_cast<float>(window_height) / 240.0f);
    Texel p;
    glReadPixels(wx, wy, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
    return p;
}

TEST_F(TextureCacheTest, ATexturedRectangleShowsItsTexels) {
    glViewport(0, 0, window_width, window_height);
    glDisable(GL_SCISSOR_TEST);
    // An 8 x 8 image of four 4 x 4 quadrants: red, green, blue, white.
    const uint16_t quadrant[4] = {0xF801, 0x07C1, 0x003F, 0xFFFF};
    for (uint32_t y = 0; y < 8; ++y)
        for (uint32_t x = 0; x < 8; ++x)
            c.write_u16(0x10000 + 2 * (y * 8 + x), quadrant[(y / 4) * 2 + x / 4]);
    DisplayList dl(c, 0x1000);
    dl.add({cmd::set_color_image(320, 0x200000), cmd::set_other_mode(2u << 20, 0),
            tex::set_texture_image(tex::rgba, tex::b16, 8, 0x10000),
            tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 64),
            tex::set_tile(0, tex::rgba, tex::b16, 2, 0, 0, {1, 0, 0, 0}, {1, 0, 0, 0}),
            tex::set_tile_size(0, 0, 0, 8, 8)});
    // Copy mode: a 32 x 32 rectangle at (16, 16), a quarter texel a pixel (four a clock).
    for (const Command& w : cmd::tex_rect(16, 16, 47, 47, 0, 0, 0, 1.0f, 0.25f))
        dl.add(w);
    dl.add(cmd::end_dl());
    run_interpreted_task(dl.start());

    struct Probe {
        float x, y;
        Texel expected;
    } probes[] = {{20, 20, {248, 0, 0, 255}}, {42, 20, {0, 248, 0, 255}},
                  {20, 42, {0, 0, 248, 255}}, {42, 42, {248, 248, 248, 255}},
                  {10, 10, {0, 0, 0, 255}},   {52, 30, {0, 0, 0, 255}}};
    for (const Probe& p : probes)
        EXPECT_EQ(frame_pixel(p.x, p.y), p.expected) << "console pixel " << p.x << ", " << p.y;
}

} // namespace

namespace {

TEST_F(TextureCacheTest, ATexturedTriangleShowsItsTexels) {
    glViewport(0, 0, window_width, window_height);
    glDisable(GL_SCISSOR_TEST);
    // Four 4 x 4 quadrants: red, green (top row), blue, white (bottom row).
    const uint16_t quadrant[4] = {0xF801, 0x07C1, 0x003F, 0xFFFF};
    for (uint32_t y = 0; y < 8; ++y)
        for (uint32_t x = 0; x < 8; ++x)
            c.write_u16(kTexelAddress + 2 * (y * 8 + x), quadrant[(y / 4) * 2 + x / 4]);
    // A square of two triangles, the texture once over it (s and t in 10.5 texels).
    const int16_t corners[4][4] = {
        {-50, 50, 0, 0}, {50, 50, 256, 0}, {50, -50, 256, 256}, {-50, -50, 0, 256}};
    for (uint32_t i = 0; i < 4; ++i)
        uc0::write_vertex(c, kVertexAddress + 16 * i, corners[i][0], corners[i][1], 0,
                          corners[i][2], corners[i][3], 255, 255, 255, 255);
    DisplayList dl(c, kListAddress);
    add_plain_setup(c, dl, uc0::identity(), uc0::scaling(0.01f));
    const tex::Wrap clamp = {1, 0, 0, 0};
    dl.add({cmd::set_combine_keys(0x3FF3FFF, 0x3FF3FFF), uc0::texture(0, 1, 0xFFFF, 0xFFFF),
            tex::set_texture_image(tex::rgba, tex::b16, 8, kTexelAddress),
            tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 64),
            tex::set_tile(0, tex::rgba, tex::b16, 2, 0, 0, clamp, clamp),
            tex::set_tile_size(0, 0, 0, 8, 8), uc0::vertex(0, 4, kVertexAddress),
            uc0::tri1(0, 1, 2), uc0::tri1(0, 2, 3), cmd::end_dl()});

    auto window_x = [](int x) { return 320 + x * 16 / 5; };
    auto window_y = [](int y) { return 240 + y * 12 / 5; };
    struct Probe {
        int x, y;
        int r, g, b;
    } probes[] = {{-25, 25, 248, 0, 0},     {25, 25, 0, 248, 0}, {-25, -25, 0, 0, 248},
                  {25, -25, 248, 248, 248}, {-75, 0, 0, 0, 0},   {0, 75, 0, 0, 0}};
    // The second time in a new context, as after a host's second InitiateGFX: the client
    // arrays and textures of the old context must not be taken for granted.
    for (const char* context : {"first", "second"}) {
        if (context[0] == 's') {
            ASSERT_EQ(create_gl_context(), 1);
        }
        glDisable(GL_SCISSOR_TEST);
        run_interpreted_task(dl.start());
        for (const Probe& p : probes) {
            const Rgba seen = pixel_at(window_x(p.x), window_y(p.y));
            EXPECT_TRUE(near(seen, p.r, p.g, p.b))
                << context << " context, console " << p.x << ", " << p.y << ": " << describe(seen);
        }
    }
}

} // namespace
