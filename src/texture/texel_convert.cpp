// Texel decoding: console texture formats to RGBA8, and the texel transforms of the recipes
#include "texture/texel_convert.h"

#include <cstring>

#include "state/bits.h"
#include "state/host_state.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"
#include "texture/texture_memory.h"

int32_t texel_line;
uint32_t texel_palette;
Texel TexelStaging[kStagingTexels];

// Source reads at console byte offsets from the texels' start. RDRAM holds 32-bit words in host
// order: a console byte sits at a XOR 3, a half-word at a XOR 2. Past the end of RDRAM: zeros.
static uint8_t src_u8(uint32_t a) { return a < kRdramSize ? host.rdram[a ^ 3] : 0; }

static uint16_t src_u16(uint32_t a) {
    const uint32_t h = a ^ 2;
    if (h > kRdramSize - 2) return 0;
    uint16_t v;
    std::memcpy(&v, host.rdram + h, sizeof v);
    return v;
}

static uint32_t src_u32(uint32_t a) {
    if (a > kRdramSize - 4) return 0;
    uint32_t v;
    std::memcpy(&v, host.rdram + a, sizeof v);
    return v;
}

static Texel gray(uint8_t i, uint8_t a) { return {i, i, i, a}; }

static Texel rgba5551(uint32_t v) {
    const Rgba5551 c = split_rgba5551(v);
    return {static_cast<uint8_t>(c.r << 3), static_cast<uint8_t>(c.g << 3),
            static_cast<uint8_t>(c.b << 3), static_cast<uint8_t>(c.a ? 255 : 0)};
}

static Texel palette_color(uint32_t entry) {
    const uint8_t* c = TlutColors[entry & 0xFF];
    return {c[0], c[1], c[2], c[3]};
}

// Walks the texel indices of the rectangle, row after row, and stores what `decode` makes of
// each; `decode` gets the texel index and the column.
template <typename Decode>
static void convert_rows(Texel* target, int32_t s0, int32_t s1, int32_t t0, int32_t t1,
                         Decode decode) {
    for (int32_t t = t0; t <= t1; ++t) {
        const uint32_t row = static_cast<uint32_t>(t) * static_cast<uint32_t>(texel_line);
        for (int32_t s = s0; s <= s1; ++s)
            *target++ = decode(row + s, s);
    }
}

static void convert_rgba8888(uint32_t src, Texel* out, int32_t s0, int32_t s1, int32_t t0,
                             int32_t t1) {
    convert_rows(out, s0, s1, t0, t1, [src](uint32_t i, int32_t) {
        const uint32_t v = src_u32(src + 4 * i);
        return Texel{static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                     static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    });
}

// No replication into the low three bits: 0xFFFF is 248, not 255.
static void convert_rgba5551(uint32_t src, Texel* out, int32_t s0, int32_t s1, int32_t t0,
                             int32_t t1) {
    convert_rows(out, s0, s1, t0, t1,
                 [src](uint32_t i, int32_t) { return rgba5551(src_u16(src + 2 * i)); });
}

// The whole palette, whatever the tile's palette number; XOR 1 undoes LOADTLUT's pairing.
static void convert_indexed8(uint32_t src, Texel* out, int32_t s0, int32_t s1, int32_t t0,
                             int32_t t1) {
    convert_rows(out, s0, s1, t0, t1,
                 [src](uint32_t i, int32_t) { return palette_color(src_u8(src + i) ^ 1); });
}

// The nibble of column s: the high one on even columns. Rows start at their own byte.
static void convert_indexed4(uint32_t src, Texel* out, int32_t s0, int32_t s1, int32_t t0,
                             int32_t t1) {
    const uint32_t base = 16u * (texel_palette & 0xF);
    for (int32_t t = t0; t <= t1; ++t) {
        uint32_t pos = (static_cast<uint32_t>(t) * static_cast<uint32_t>(texel_line) + s0) >> 1;
        for (int32_t s = s0; s <= s1; ++s) {
            // XOR 0x11 flips bit 0 of both nibbles: LOADTLUT's pairing again.
            const uint32_t b = src_u8(src + pos) ^ 0x11;
            uint32_t index;
            if ((s & 1) == 0) {
                index = b >> 4;
            } else {
                index = b & 0xF;
                ++pos;
            }
            *out++ = palette_color(base + index);
        }
    }
}

static void convert_ia16(uint32_t src, Texel* out, int32_t s0, int32_t s1, int32_t t0, int32_t t1) {
    convert_rows(out, s0, s1, t0, t1, [src](uint32_t i, int32_t) {
        const uint32_t v = src_u16(src + 2 * i);
        return gray(static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v));
    });
}

static void convert_ia8(uint32_t src, Texel* out, int32_t s0, int32_t s1, int32_t t0, int32_t t1) {
    convert_rows(out, s0, s1, t0, t1, [src](uint32_t i, int32_t) {
        const uint32_t b = src_u8(src + i);
        return gray(static_cast<uint8_t>((b & 0xF0) | (b >> 4)),
                    static_cast<uint8_t>((b & 0x0F) | ((b & 0x0F) << 4)));
    });
}

// The 4-bit formats count nibbles from the row start.
static uint32_t nibble_at(uint32_t src, uint32_t i, int32_t s) {
    const uint32_t b = src_u8(src + (i >> 1));
    return (s & 1) == 0 ? b >> 4 : b & 0xF;
}

// Intensity 3 bits and alpha 1 bit; the intensity keeps the alpha bit as its lowest.
static void convert_ia4(uint32_t src, Texel* out, int32_t s0, int32_t s1, int32_t t0, int32_t t1) {
    convert_rows(out, s0, s1, t0, t1, [src](uint32_t i, int32_t s) {
        const uint32_t v = nibble_at(src, i, s);
        return gray(static_cast<uint8_t>(v * 17), v & 1 ? 255 : 0);
    });
}

static void convert_i16(uint32_t src, Texel* out, int32_t s0, int32_t s1, int32_t t0, int32_t t1) {
    convert_rows(out, s0, s1, t0, t1, [src](uint32_t i, int32_t) {
        const uint8_t v = static_cast<uint8_t>(src_u16(src + 2 * i) >> 8);
        return gray(v, v);
    });
}

static void convert_i8(uint32_t src, Texel* out, int32_t s0, int32_t s1, int32_t t0, int32_t t1) {
    convert_rows(out, s0, s1, t0, t1, [src](uint32_t i, int32_t) {
        const uint8_t v = src_u8(src + i);
        return gray(v, v);
    });
}

static void convert_i4(uint32_t src, Texel* out, int32_t s0, int32_t s1, int32_t t0, int32_t t1) {
    convert_rows(out, s0, s1, t0, t1, [src](uint32_t i, int32_t s) {
        const uint8_t v = static_cast<uint8_t>(nibble_at(src, i, s) * 17);
        return gray(v, v);
    });
}

// Formats 0 RGBA, 1 YUV (no YUV decoding), 2 CI, 3 IA, 4 I; the codes 5 to 7 that the RDP
// does not define decode like 0 to 2.
const TexelConverter TexelConverters[kConverterCount] = {
    convert_indexed4, convert_indexed8, convert_rgba5551, convert_rgba8888, // 0 RGBA
    convert_indexed4, convert_indexed8, convert_rgba5551, convert_rgba8888, // 1 YUV
    convert_indexed4, convert_indexed8, convert_rgba5551, convert_rgba8888, // 2 CI
    convert_ia4,      convert_ia8,      convert_ia16,     convert_ia4,      // 3 IA
    convert_i4,       convert_i8,       convert_i16,      convert_i4,       // 4 I
    convert_indexed4, convert_indexed8, convert_rgba5551, convert_rgba8888, // 5
    convert_indexed4, convert_indexed8, convert_rgba5551, convert_rgba8888, // 6
    convert_indexed4, convert_indexed8, convert_rgba5551, convert_rgba8888, // 7
};

static uint8_t clamp_channel(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// The byte of a colour word: 3 red, 2 green, 1 blue, 0 alpha.
static int32_t component(uint32_t color, int byte) { return (color >> (8 * byte)) & 0xFF; }

// Applies f(c, P, E) to red, green and blue, with P and E the matching components of the
// primitive and environment colours. Always inlined: an instrumented build otherwise makes it
// a call per texel of up to a million.
template <typename F> [[gnu::always_inline]] static inline void per_channel(Texel& x, F f) {
    const uint32_t prim = rdp_reg.prim_color, env = rdp_reg.env_color;
    x.r = clamp_channel(f(x.r, component(prim, 3), component(env, 3)));
    x.g = clamp_channel(f(x.g, component(prim, 2), component(env, 2)));
    x.b = clamp_channel(f(x.b, component(prim, 1), component(env, 1)));
}

// Shifts of possibly negative products are arithmetic.
static int32_t asr8(int32_t v) { return v >> 8; }

// Runs f over each of the first `count` staging texels: the mode is chosen once per texture.
template <typename F> static void for_each_texel(uint32_t count, F f) {
    for (uint32_t i = 0; i < count; ++i)
        f(TexelStaging[i]);
}

static uint8_t squared(uint8_t c) { return static_cast<uint8_t>((c * c + 127) / 255); }

static uint8_t scaled(uint8_t c, int32_t k) { return static_cast<uint8_t>((c * k + 127) / 255); }

static void apply_texel_steps(uint32_t steps, uint32_t count) {
    const uint32_t k = rdp_reg.texture_color;
    const int32_t kr = component(k, 3), kg = component(k, 2), kb = component(k, 1);
    const int32_t ka = component(k, 0);
    for_each_texel(count, [=](Texel& x) {
        if (steps & kTexelSquare) x.r = squared(x.r), x.g = squared(x.g), x.b = squared(x.b);
        if (steps & kTexelInvert) x.r = 255 - x.r, x.g = 255 - x.g, x.b = 255 - x.b;
        if (steps & kTexelWhite) x.r = x.g = x.b = 255;
        if (steps & kTexelAlphaOpaque) x.a = 255;
        if (steps & kTexelScale)
            x.r = scaled(x.r, kr), x.g = scaled(x.g, kg), x.b = scaled(x.b, kb),
            x.a = scaled(x.a, ka);
    });
}

int apply_texture_mode(uint32_t mode, uint32_t count) {
    if (count > kStagingTexels) count = kStagingTexels;
    if (mode & kTextureAlphaOpaque) {
        apply_texture_mode(mode & ~kTextureAlphaOpaque, count);
        for_each_texel(count, [](Texel& x) { x.a = 255; });
        return 1;
    }
    const int32_t env_a  = component(rdp_reg.env_color, 0);
    const int32_t prim_r = component(rdp_reg.prim_color, 3);
    // The float nearest to 1/255, multiplied in double precision.
    const double k = static_cast<double>(kInv255);
    switch (mode) {
    case 0x01: for_each_texel(count, [](Texel& x) { x.r = x.g = x.b = 255; }); break;
    case 0x02: for_each_texel(count, [](Texel& x) { x.a = 255; }); break;
    case 0x06:
        for_each_texel(count, [k](Texel& x) {
            per_channel(x, [k](int32_t c, int32_t p, int32_t) {
                return c + static_cast<int32_t>((1.0 - c * k) * p);
            });
        });
        break;
    case 0x40: // (TEXEL0 - ENVIRONMENT) * PRIMITIVE + ENVIRONMENT
        for_each_texel(count, [](Texel& x) {
            per_channel(
                x, [](int32_t c, int32_t p, int32_t e) { return e + asr8((c - e) * (p + 1)); });
        });
        break;
    case 0x41: // (TEXEL0 - ENVIRONMENT) * TEXEL0 + ENVIRONMENT
        for_each_texel(count, [](Texel& x) {
            per_channel(x,
                        [](int32_t c, int32_t, int32_t e) { return e + asr8((c - e) * (c + 1)); });
        });
        break;
    case 0x43: // (ENVIRONMENT - TEXEL0) * ENV_ALPHA + TEXEL0
        for_each_texel(count, [env_a](Texel& x) {
            per_channel(x, [env_a](int32_t c, int32_t, int32_t e) {
                return c + asr8((e - c) * (env_a + 1));
            });
        });
        break;
    case 0x44: // (TEXEL0 - PRIMITIVE) * ENVIRONMENT + PRIMITIVE
        for_each_texel(count, [](Texel& x) {
            per_channel(
                x, [](int32_t c, int32_t p, int32_t e) { return p + asr8((c - p) * (e + 1)); });
        });
        break;
    case 0x46: // TEXEL0 + (TEXEL0 - PRIMITIVE) * ENV_ALPHA
        for_each_texel(count, [env_a](Texel& x) {
            per_channel(x, [env_a](int32_t c, int32_t p, int32_t) {
                return c + asr8((c - p) * (env_a + 1));
            });
        });
        break;
    case 0x80:
        for_each_texel(count,
                       [prim_r](Texel& x) { x.a = static_cast<uint8_t>((x.a * prim_r) >> 8); });
        break;
    case 0x200:
        for_each_texel(count, [](Texel& x) {
            x.r = 255 - x.r;
            x.g = 255 - x.g;
            x.b = 255 - x.b;
        });
        break;
    default:
        if ((mode & ~0x1Fu) == kTexelSteps) apply_texel_steps(mode, count);
        break;
    }
    return 1;
}
