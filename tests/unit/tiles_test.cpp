// Tiles and texture memory: SETTEXTUREIMAGE, SETTILE, SETTILESIZE, the loads and the palette
#include <gtest/gtest.h>

#include "dl_ucode0.h"
#include "support/texture_support.h"
#include "texture/tile_commands.h"

namespace {

class Tiles : public ::testing::Test {
  protected:
    void SetUp() override { reset_texture_test_state(); }
    Console& c = test_console();
};

TEST_F(Tiles, SetTextureImageRecordsTheImage) {
    rdp_reg.segments[6] = 0x100000;
    run_command(tex::set_texture_image(tex::ia, tex::b16, 320, 0x06000040));
    const TextureImage& image = rdp_reg.texture_image;
    EXPECT_EQ(image.format, tex::ia);
    EXPECT_EQ(image.size, tex::b16);
    EXPECT_EQ(image.width, 320u);
    EXPECT_EQ(image.address, 0x100040u) << "segment-translated";
}

TEST_F(Tiles, SetTileDecodesEveryFieldAndConvertsTheLine) {
    run_command(tex::set_texture_image(tex::rgba, tex::b16, 32, 0x2000));
    struct Case {
        uint32_t size, line_words, expected_line;
    } cases[] = {{tex::b4, 4, 64}, {tex::b8, 4, 32}, {tex::b16, 8, 32}, {tex::b32, 8, 16}};
    for (const Case& k : cases) {
        run_command(tex::set_tile(5, tex::ci, k.size, k.line_words, 0x1A3, 9, {1, 0, 7, 3},
                                  {0, 1, 0xC, 0xF}));
        const TileDescriptor& d = rdp_reg.tiles[5];
        EXPECT_EQ(d.line, k.expected_line) << "size " << k.size;
        EXPECT_EQ(d.format, tex::ci);
        EXPECT_EQ(d.size, k.size);
        EXPECT_EQ(d.tmem, 0x1A3);
        EXPECT_EQ(d.palette, 9);
        EXPECT_EQ(d.clamp_t, 1);
        EXPECT_EQ(d.mirror_t, 0);
        EXPECT_EQ(d.mask_t, 7);
        EXPECT_EQ(d.shift_t, 3);
        EXPECT_EQ(d.clamp_s, 0);
        EXPECT_EQ(d.mirror_s, 1);
        EXPECT_EQ(d.mask_s, 0xC);
        EXPECT_EQ(d.shift_s, 0xF);
        EXPECT_EQ(d.source, 0x2000u);
        EXPECT_EQ(rdp_reg.current_tile_index, 5u);
        EXPECT_EQ(rdp_reg.current_tile, 5u);
    }
}

// The coordinate factors of tile 0 after SETTILE and SETTILESIZE with scales 1.
TileCoordFactorPair factors_after(tex::Wrap t, tex::Wrap s, Command size) {
    rdp_reg.tiles[0].scale_s = 1.0f;
    rdp_reg.tiles[0].scale_t = 1.0f;
    run_commands({tex::set_tile(0, tex::rgba, tex::b16, 8, 0, 0, t, s), size});
    return TileCoordFactor[0];
}

TEST_F(Tiles, SetTileSizeGivesSizesAndFactors) {
    struct Case {
        const char* what;
        tex::Wrap t, s;
        Command size;
        int width, height, uls, lrs, lrt;
        uint8_t clamp_s;
        float factor_s, factor_t;
        float corner_s = 0, corner_t = 0; // in texture coordinates
    } cases[] = {
        {"one texel: lrs moves to 1, the factor counts the texture's one texel",
         {},
         {},
         tex::set_tile_size_q(0, 0, 0, 0, 0),
         1,
         1,
         0,
         1,
         1,
         0,
         1.0f,
         1.0f},
        {"32 x 32",
         {},
         {},
         Command{0xF2000000, 0x07C07C},
         32,
         32,
         0,
         31,
         31,
         0,
         1 / 32.0f,
         1 / 32.0f},
        {"mask 4 on 64",
         {},
         {1, 0, 4, 0},
         tex::set_tile_size(0, 0, 0, 64, 8),
         16,
         8,
         0,
         63,
         7,
         0,
         1 / 16.0f, // the texture holds 16 texels: coordinates repeat after them
         1 / 8.0f},
        {"mask 4 on 16 keeps the clamp",
         {},
         {1, 0, 4, 0},
         tex::set_tile_size(0, 0, 0, 16, 8),
         16,
         8,
         0,
         15,
         7,
         1,
         1 / 16.0f,
         1 / 8.0f},
        {"shift 15 halves",
         {},
         {0, 0, 0, 15},
         tex::set_tile_size(0, 0, 0, 64, 64),
         64,
         64,
         0,
         63,
         63,
         0,
         1 / 32.0f,
         1 / 64.0f},
        {"shift 11 divides by 32",
         {},
         {0, 0, 0, 11},
         tex::set_tile_size(0, 0, 0, 64, 64),
         64,
         64,
         0,
         63,
         63,
         0,
         1 / 2.0f,
         1 / 64.0f},
        {"shift 2 multiplies by 4",
         {0, 0, 0, 1},
         {0, 0, 0, 2},
         tex::set_tile_size(0, 0, 0, 16, 16),
         16,
         16,
         0,
         15,
         15,
         0,
         1 / 64.0f,
         1 / 32.0f},
        {"shift 11 of 16 texels: times 32 over 16 texels",
         {},
         {0, 0, 0, 11},
         tex::set_tile_size(0, 0, 0, 16, 16),
         16,
         16,
         0,
         15,
         15,
         0,
         2.0f,
         1 / 16.0f},
        {"mirrored S and T halve",
         {0, 1, 0, 0},
         {0, 1, 0, 0},
         tex::set_tile_size(0, 0, 0, 32, 16),
         32,
         16,
         0,
         31,
         15,
         0,
         1 / 64.0f,
         1 / 32.0f},
        {"mirrored and clamped does not",
         {1, 1, 0, 0},
         {1, 1, 0, 0},
         tex::set_tile_size(0, 0, 0, 32, 16),
         32,
         16,
         0,
         31,
         15,
         1,
         1 / 32.0f,
         1 / 16.0f},
        {"offset corner",
         {},
         {},
         tex::set_tile_size(0, 8, 4, 16, 8),
         16,
         8,
         8,
         23,
         11,
         0,
         1 / 16.0f,
         1 / 8.0f,
         8 / 16.0f,
         4 / 8.0f},
        {"a quarter-texel corner: the size from the quarters, the corner whole",
         {},
         {},
         tex::set_tile_size_q(0, 13, 2, 13 + 60, 2 + 28),
         16,
         8,
         3,
         18,
         8,
         0,
         1 / 16.0f,
         1 / 8.0f,
         3.25f / 16,
         0.5f / 8},
        {"a mirrored axis: the corner over the mirrored texture",
         {},
         {0, 1, 0, 0},
         tex::set_tile_size(0, 4, 0, 16, 8),
         16,
         8,
         4,
         19,
         7,
         0,
         1 / 32.0f,
         1 / 8.0f,
         4 / 32.0f,
         0},
    };
    for (const Case& k : cases) {
        const TileCoordFactorPair f = factors_after(k.t, k.s, k.size);
        const TileDescriptor& d     = rdp_reg.tiles[0];
        EXPECT_EQ(d.width, k.width) << k.what;
        EXPECT_EQ(d.height, k.height) << k.what;
        EXPECT_EQ(d.uls, k.uls) << k.what;
        EXPECT_EQ(d.lrs, k.lrs) << k.what;
        EXPECT_EQ(d.lrt, k.lrt) << k.what;
        EXPECT_EQ(d.clamp_s, k.clamp_s) << k.what;
        EXPECT_FLOAT_EQ(f.s, k.factor_s) << k.what;
        EXPECT_FLOAT_EQ(f.t, k.factor_t) << k.what;
        EXPECT_FLOAT_EQ(f.s_corner, k.corner_s) << k.what;
        EXPECT_FLOAT_EQ(f.t_corner, k.corner_t) << k.what;
    }
}

TEST_F(Tiles, SetTileSizeWritesTheFactorsOfTheLastNamedTile) {
    rdp_reg.tiles[2].scale_s = rdp_reg.tiles[2].scale_t = 1.0f;
    run_commands({tex::set_tile(6, tex::rgba, tex::b16, 8, 0), tex::set_tile_size(2, 0, 0, 4, 8)});
    EXPECT_EQ(rdp_reg.current_tile, 2u);
    EXPECT_EQ(rdp_reg.current_tile_index, 6u) << "SETTILESIZE does not name the tile";
    EXPECT_FLOAT_EQ(TileCoordFactor[6].s, 0.25f) << "from tile 2, into entry 6";
    EXPECT_FLOAT_EQ(TileCoordFactor[2].s, 0.0f);
}

// Entry 0, the draw's, follows tile 0's TEXTURE scale, size and shift whatever their order:
// here the SDK's order, TEXTURE after SETTILESIZE, then one command more.
TEST_F(Tiles, DrawFactorsFollowTileZeroInAnyOrder) {
    const float h = 0x8000 / (32.0f * 65535.0f) / 32;
    const struct {
        Command then;
        float s;
        const char* what;
    } cases[] = {
        {cmd::noop(), h, "nothing"},
        {uc0::texture(1, 1, 0xFFFF, 0xFFFF), h, "a TEXTURE of tile 1"},
        {tex::set_tile_size(1, 0, 0, 8, 8), h, "SETTILESIZE 1 while tile 0 is named"},
        {tex::set_tile(0, tex::rgba, tex::b16, 8, 0, 0, {}, {0, 0, 0, 1}), h / 2, "shift 1"},
        {tex::load_tile(0, 0, 0, 16, 16), h * 2, "LOADTILE of tile 0, 16 wide"},
        {tex::load_block(0, 0, 0, 61), h,
         "LOADBLOCK of tile 0 to lrs 15: the width the texture is built with stays"}};
    for (const auto& k : cases) {
        reset_texture_test_state();
        run_commands({tex::set_tile(0, tex::rgba, tex::b16, 8, 0),
                      tex::set_tile_size(0, 0, 0, 32, 32), uc0::texture(0, 1, 0x8000, 0x8000),
                      k.then});
        EXPECT_FLOAT_EQ(TileCoordFactor[0].s, k.s) << k.what;
    }
}

TEST_F(Tiles, LoadTileRecordsTheCornerBySizeCode) {
    struct Case {
        uint32_t size, expected_corner;
    } cases[] = {{tex::b4, 0}, {tex::b8, 648}, {tex::b16, 1296}, {tex::b32, 1944}};
    for (const Case& k : cases) {
        run_commands({tex::set_texture_image(tex::rgba, k.size, 320, 0x10000),
                      tex::set_tile(7, tex::rgba, k.size, 0, 0x80),
                      tex::load_tile_q(7, 32, 8, 4 * 39, 4 * 9)});
        const TileDescriptor& d  = rdp_reg.tiles[7];
        const LoadRecord& record = LoadRing.records[(LoadRing.next - 1) & 7];
        EXPECT_EQ(record.address, 0x10000 + k.expected_corner) << "size " << k.size;
        EXPECT_EQ(record.tmem, 0x80u);
        EXPECT_EQ(d.load_offset, int32_t(k.expected_corner));
        EXPECT_EQ(d.uls, 8);
        EXPECT_EQ(d.ult, 2);
        EXPECT_EQ(d.lrs, 39);
        EXPECT_EQ(d.lrt, 9);
        EXPECT_EQ(d.width, 32);
        EXPECT_EQ(d.height, 8);
        EXPECT_EQ(rdp_reg.current_tile_index, 7u);
    }
}

TEST_F(Tiles, LoadBlockRecordsTheImageStartAndRescalesLrt) {
    rdp_reg.tiles[7].lrt = 40;
    run_commands({tex::set_texture_image(tex::rgba, tex::b16, 64, 0x10000),
                  tex::set_tile(7, tex::rgba, tex::b16, 0, 0x40), tex::load_block(7, 2, 1, 1024)});
    const TileDescriptor& d  = rdp_reg.tiles[7];
    const LoadRecord& record = LoadRing.records[0];
    EXPECT_EQ(record.address, 0x10000u) << "the corner is not added";
    EXPECT_EQ(record.tmem, 0x40u);
    EXPECT_EQ(d.load_offset, (1 * 64 + 2) * 2);
    EXPECT_EQ(d.lrs, (1023 + 2) >> 2);
    EXPECT_EQ(d.lrt, 10);
    EXPECT_EQ(LoadRing.next, 1u);
}

TEST_F(Tiles, TheRingKeepsTheLastEightLoads) {
    for (uint32_t i = 0; i < 9; ++i)
        run_commands({tex::set_texture_image(tex::rgba, tex::b16, 8, 0x1000 * (i + 1)),
                      tex::set_tile(7, tex::rgba, tex::b16, 0, 0x10 * i),
                      tex::load_block(7, 0, 0, 64)});
    EXPECT_EQ(LoadRing.next, 1u);
    EXPECT_EQ(LoadRing.records[0].address, 0x9000u) << "the ninth load took the oldest slot";
    EXPECT_EQ(LoadRing.records[0].tmem, 0x80u);

    run_command(tex::set_texture_image(tex::rgba, tex::b16, 8, 0x3000));
    struct Case {
        uint32_t tmem, expected_source;
    } cases[] = {{0x80, 0x9000}, {0x10, 0x2000}, {0x00, 0x3000}, {0x1F0, 0x3000}};
    for (const Case& k : cases) {
        TileDescriptor& d = rdp_reg.tiles[0];
        d.tmem            = k.tmem;
        resolve_tile_source(d);
        EXPECT_EQ(d.source, k.expected_source)
            << "tmem " << k.tmem << " (0 was overwritten: the texture image)";
    }
}

TEST_F(Tiles, ResolveTakesTheMisalignmentAsLoadOffset) {
    struct Case {
        uint32_t size;
        int32_t expected;
    } cases[] = {{0, 3}, {1, 3}, {2, 1}, {3, 0}};
    for (const Case& k : cases) {
        append_load(0x2003, 0x20);
        TileDescriptor& d = rdp_reg.tiles[0];
        d.tmem            = 0x20;
        d.size            = k.size;
        d.load_offset     = 77;
        EXPECT_TRUE(resolve_tile_source(d));
        EXPECT_EQ(d.source, 0x2000u);
        EXPECT_EQ(d.load_offset, k.expected) << "size " << k.size;
    }
    TileDescriptor& d = rdp_reg.tiles[0];
    d.tmem            = 0x1FF;
    d.load_offset     = 77;
    EXPECT_FALSE(resolve_tile_source(d));
    EXPECT_EQ(d.load_offset, 77) << "kept when no load matches";
}

TEST_F(Tiles, RenderTilesAliasTheLastLoad) {
    run_commands({tex::set_texture_image(tex::rgba, tex::b16, 16, 0x4000),
                  tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 256),
                  tex::set_texture_image(tex::rgba, tex::b16, 16, 0x8000)});
    run_command(tex::set_tile(7, tex::rgba, tex::b16, 4, 0x100));
    EXPECT_EQ(LoadRing.next, 1u) << "tile 7 never appends";
    run_command(tex::set_tile(0, tex::rgba, tex::b16, 4, 0x100));
    ASSERT_EQ(LoadRing.next, 2u);
    EXPECT_EQ(LoadRing.records[1].address, 0x4000u);
    EXPECT_EQ(LoadRing.records[1].tmem, 0x100u);
    resolve_tile_source(rdp_reg.tiles[0]);
    EXPECT_EQ(rdp_reg.tiles[0].source, 0x4000u) << "the render tile finds the load";
    run_command(tex::set_tile(1, tex::rgba, tex::b16, 4, 0x100));
    EXPECT_EQ(LoadRing.next, 2u) << "same TMEM address as the last record: no alias";
}

TEST_F(Tiles, LoadTlutStoresColoursInHostHalfWordOrder) {
    c.write_u16(0x6000, 0xF801); // console entry 0: red, opaque
    c.write_u16(0x6002, 0x07C1); // console entry 1: green, opaque
    c.write_u16(0x6004, 0x003E); // console entry 2: blue, transparent
    run_commands({tex::set_texture_image(tex::rgba, tex::b16, 1, 0x6000), tex::load_tlut(7, 256)});
    struct Case {
        int entry;
        uint8_t r, g, b, a;
    } cases[] = {{0, 0, 248, 0, 255}, {1, 248, 0, 0, 255}, {3, 0, 0, 248, 0}, {2, 0, 0, 0, 0}};
    for (const Case& k : cases) {
        const uint8_t* e = TlutColors[k.entry];
        EXPECT_EQ(e[0], k.r) << "entry " << k.entry;
        EXPECT_EQ(e[1], k.g) << "entry " << k.entry;
        EXPECT_EQ(e[2], k.b) << "entry " << k.entry;
        EXPECT_EQ(e[3], k.a) << "entry " << k.entry;
    }
    // Weighted sums of the host half-words 0x07C1, 0xF801, 0x0000, 0x003E.
    EXPECT_EQ(TlutChecksum.total, 0x07C1u * 1 + 0xF801u * 2 + 0x003Eu * 4);
    EXPECT_EQ(TlutChecksum.block[0], TlutChecksum.total);
    EXPECT_EQ(TlutChecksum.block[1], 0u);

    c.write_u16(0x6000 + 2 * 17, 0x0002); // console entry 17: host entry 16, block 1, weight 1
    run_command(tex::load_tlut(7, 256));
    EXPECT_EQ(TlutChecksum.block[1], 2u) << "the checksums start again";
    EXPECT_EQ(TlutChecksum.total, 0x07C1u * 1 + 0xF801u * 2 + 0x003Eu * 4 + 2u * 17);
}

TEST_F(Tiles, LoadTlutAtTheEndOfRdramStaysInside) {
    c.write_u16(0x7FFFFE, 0x1234);
    c.write_u16(0x000000, 0xF801);
    run_commands(
        {tex::set_texture_image(tex::rgba, tex::b16, 1, 0x7FFFFF), tex::load_tlut(7, 256)});
    EXPECT_NE(TlutChecksum.total, 0u) << "the palette wraps to the start of RDRAM";
}

} // namespace
