// Texel decoding: every converter on known texels, and the texel transforms
#include <gtest/gtest.h>

#include <vector>

#include "support/texture_support.h"
#include "texture/texel_convert.h"

namespace {

class Texels : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_texture_test_state();
        texel_line = 16;
    }
    // Converts `count` texels of one row at kSource.
    std::vector<Texel> convert(uint32_t format, uint32_t size, int count) {
        std::vector<Texel> out(count);
        converter_for(format, size)(kSource, out.data(), 0, count - 1, 0, 0);
        return out;
    }
    static constexpr uint32_t kSource = 0x3000;
    Console& c                        = test_console();
};

TEST_F(Texels, DirectFormatsDecodeToRgba8) {
    struct Case {
        const char* what;
        uint32_t format, size, word; // the first console word at the source
        Texel first;
    } cases[] = {
        {"5551 white", tex::rgba, tex::b16, 0xFFFF0000, {248, 248, 248, 255}},
        {"5551 alpha bit", tex::rgba, tex::b16, 0x00010000, {0, 0, 0, 255}},
        {"5551 red", tex::rgba, tex::b16, 0xF8000000, {248, 0, 0, 0}},
        {"8888", tex::rgba, tex::b32, 0x80402010, {0x80, 0x40, 0x20, 0x10}},
        {"YUV 16 reads as 5551", tex::yuv, tex::b16, 0x07C10000, {0, 248, 0, 255}},
        {"IA 8+8", tex::ia, tex::b16, 0x7F800000, {0x7F, 0x7F, 0x7F, 0x80}},
        {"IA 4+4", tex::ia, tex::b8, 0xA5000000, {0xAA, 0xAA, 0xAA, 0x55}},
        {"IA 3+1 nibble 9", tex::ia, tex::b4, 0x90000000, {0x99, 0x99, 0x99, 255}},
        {"IA 3+1 nibble 8", tex::ia, tex::b4, 0x80000000, {0x88, 0x88, 0x88, 0}},
        {"IA 32 reads as 3+1", tex::ia, tex::b32, 0x90000000, {0x99, 0x99, 0x99, 255}},
        {"I 4 nibble 9", tex::i, tex::b4, 0x90000000, {0x99, 0x99, 0x99, 0x99}},
        {"I 32 reads as I 4", tex::i, tex::b32, 0x90000000, {0x99, 0x99, 0x99, 0x99}},
        {"I 8", tex::i, tex::b8, 0x5A000000, {0x5A, 0x5A, 0x5A, 0x5A}},
        {"I 16 keeps the high byte", tex::i, tex::b16, 0xC3120000, {0xC3, 0xC3, 0xC3, 0xC3}},
        {"format 5 reads as 5551", 5, tex::b16, 0xF8000000, {248, 0, 0, 0}},
        {"format 7 reads as 8888", 7, tex::b32, 0x80402010, {0x80, 0x40, 0x20, 0x10}},
    };
    for (const Case& k : cases) {
        c.write_u32(kSource, k.word);
        EXPECT_EQ(convert(k.format, k.size, 1)[0], k.first) << k.what;
    }
}

TEST_F(Texels, RowsFollowTheTexelLine) {
    texel_line = 4;
    for (uint32_t i = 0; i < 12; ++i)
        c.write_u16(kSource + 2 * i, uint16_t(i << 8));
    Texel out[4];
    converter_for(tex::ia, tex::b16)(kSource, out, 1, 2, 1, 2);
    const uint8_t expected[4] = {5, 6, 9, 10};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(out[i].r, expected[i]) << "texel " << i;
}

TEST_F(Texels, FourBitNibblesGoHighThenLow) {
    c.write_u32(kSource, 0x12345678);
    const std::vector<Texel> i4 = convert(tex::i, tex::b4, 4);
    for (int s = 0; s < 4; ++s)
        EXPECT_EQ(i4[s].r, (s + 1) * 17) << "column " << s;
    Texel from_three[2];
    converter_for(tex::i, tex::b4)(kSource, from_three, 3, 4, 0, 0);
    EXPECT_EQ(from_three[0].r, 0x4 * 17) << "column 3 is in byte 1, odd: low";
    EXPECT_EQ(from_three[1].r, 0x5 * 17) << "column 4 is in byte 2, even: high";
}

TEST_F(Texels, IndexedTexelsLookUpThePairedPalette) {
    for (int e = 0; e < 256; ++e)
        TlutColors[e][0] = uint8_t(e);
    c.write_u32(kSource, 0x0001FE00);
    const std::vector<Texel> ci8 = convert(tex::ci, tex::b8, 3);
    EXPECT_EQ(ci8[0].r, 1) << "index 0 reads entry 1";
    EXPECT_EQ(ci8[1].r, 0) << "index 1 reads entry 0";
    EXPECT_EQ(ci8[2].r, 0xFF);

    texel_palette = 3; // the converted tile's, as the cache sets it
    c.write_u32(kSource, 0x5A000000);
    const std::vector<Texel> ci4 = convert(tex::ci, tex::b4, 2);
    EXPECT_EQ(ci4[0].r, 52) << "palette 3, index 5: entry 48 + (5 XOR 1)";
    EXPECT_EQ(ci4[1].r, 48 + (0xA ^ 1));
    rdp_reg.tiles[1].palette = 9;
    EXPECT_EQ(convert(tex::ci, tex::b8, 1)[0].r, 0x5A ^ 1) << "8-bit ignores the palette";
}

TEST_F(Texels, ReadsPastTheEndOfRdramGiveZeros) {
    c.write_u32(0x7FFFFC, 0xFFFFFFFF);
    texel_line = 4096;
    static Texel out[8 * 4096];
    for (uint32_t format : {tex::rgba, tex::ci, tex::ia, tex::i})
        for (uint32_t size : {tex::b4, tex::b8, tex::b16, tex::b32}) {
            converter_for(format, size)(0x7FFFFC, out, 0, 4095, 0, 7);
            EXPECT_EQ(out[4095].a, 0) << "format " << format << " size " << size;
        }
    converter_for(tex::rgba, tex::b32)(0x7FFFFC, out, 0, 1, 0, 0);
    EXPECT_EQ(out[0], (Texel{255, 255, 255, 255})) << "the last word is still read";
    EXPECT_EQ(out[1], (Texel{0, 0, 0, 0}));
}

TEST_F(Texels, TextureModesTransformTheStagedTexels) {
    struct Case {
        const char* what;
        uint32_t mode, prim, env;
        Texel in, out;
    } cases[] = {
        {"1 whitens", 0x01, 0, 0, {10, 20, 30, 40}, {255, 255, 255, 40}},
        {"2 makes opaque", 0x02, 0, 0, {10, 20, 30, 40}, {10, 20, 30, 255}},
        {"0x200 inverts", 0x200, 0, 0, {10, 20, 30, 40}, {245, 235, 225, 40}},
        {"0x40 prim 255 env 0 keeps", 0x40, 0xFF000000, 0, {200, 0, 0, 9}, {200, 0, 0, 9}},
        {"0x40 both 0 clears", 0x40, 0, 0, {200, 0, 0, 9}, {0, 0, 0, 9}},
        {"0x40 negative shift", 0x40, 0, 0x64000000, {50, 0, 0, 9}, {99, 0, 0, 9}},
        {"0x41 texel squared", 0x41, 0, 0, {255, 128, 0, 1}, {255, 64, 0, 1}},
        {"0x43 toward env by env alpha", 0x43, 0, 0xFF0000FF, {0, 100, 0, 7}, {255, 0, 0, 7}},
        {"0x44 prim plus scaled",
         0x44,
         0x10203040,
         0xFFFFFF00,
         {0x10, 0x20, 0x30, 3},
         {0x10, 0x20, 0x30, 3}},
        {"0x46 clamps high", 0x46, 0, 0x000000FF, {200, 10, 0, 5}, {255, 20, 0, 5}},
        {"0x80 scales alpha by prim red", 0x80, 0x80000000, 0, {1, 2, 3, 200}, {1, 2, 3, 100}},
        {"6 prim 0 keeps", 0x06, 0, 0, {1, 2, 3, 4}, {1, 2, 3, 4}},
        {"6 adds prim to black", 0x06, 0x40FF0000, 0, {0, 0, 0, 4}, {0x40, 0xFF, 0, 4}},
        {"6 leaves white", 0x06, 0xFFFFFF00, 0, {255, 255, 255, 4}, {255, 255, 255, 4}},
        {"6 half way", 0x06, 0xFF000000, 0, {128, 0, 0, 4}, {254, 0, 0, 4}},
        {"unknown modes do nothing", 0x42, 0xFFFFFFFF, 0xFFFFFFFF, {1, 2, 3, 4}, {1, 2, 3, 4}},
    };
    for (const Case& k : cases) {
        rdp_reg.prim_color = k.prim;
        rdp_reg.env_color  = k.env;
        TexelStaging[0]    = k.in;
        TexelStaging[1]    = k.in;
        EXPECT_EQ(apply_texture_mode(k.mode, 1), 1);
        EXPECT_EQ(TexelStaging[0], k.out) << k.what;
        EXPECT_EQ(TexelStaging[1], k.in) << k.what << ": only `count` texels change";
    }
}

} // namespace
