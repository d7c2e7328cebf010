// Vertex transform, texture generation, the light records and draw-time lighting
#include "geometry/vertex.h"

#include <cmath>

#include "geometry/matrix.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"

Vec3 transform_point(float x, float y, float z) {
    const float* M = modelview_matrix().m;
    return {x * M[0] + y * M[4] + z * M[8] + M[12], x * M[1] + y * M[5] + z * M[9] + M[13],
            x * M[2] + y * M[6] + z * M[10] + M[14]};
}

Vec3 transform_normal(float x, float y, float z) {
    const float* M = modelview_matrix().m;
    Vec3 n         = {x * M[0] + y * M[4] + z * M[8], x * M[1] + y * M[5] + z * M[9],
                      x * M[2] + y * M[6] + z * M[10]};
    normalize3(n);
    return n;
}

void normalize3(Vec3& v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0f) {
        v = {0.0f, 0.0f, 0.0f};
        return;
    }
    v = {v.x / length, v.y / length, v.z / length};
}

// Sphere mapping: the eye-space normal's x and y, from -1..1 to 0..1 (t grows downwards); the
// draw makes them S / 64 and T / 64 texels of tile 0.
// A zero normal maps to the middle of the texture rather than dividing by zero.
static void generate_texcoords(TransformedVertex& v, TexGen texgen) {
    if (texgen == TexGen::unit_normal) {
        v.s = v.nx * 0.5f + 0.5f;
        v.t = 0.5f - v.ny * 0.5f;
        return;
    }
    const float length = std::sqrt(v.nx * v.nx + v.ny * v.ny + v.nz * v.nz);
    if (length == 0.0f) {
        v.s = 0.5f;
        v.t = 0.5f;
        return;
    }
    v.s = (v.nx * 0.5f) / length + 0.5f;
    v.t = 0.5f - (v.ny * 0.5f) / length;
}

// With lighting the colour bytes carry the normal; it is transformed either way.
void transform_vertex(TransformedVertex& v, float x, float y, float z) {
    const Vec3 p = transform_point(x, y, z);
    v.x          = p.x;
    v.y          = p.y;
    v.z          = p.z;
    const Vec3 n = transform_normal(static_cast<int8_t>(v.rgba[0]), static_cast<int8_t>(v.rgba[1]),
                                    static_cast<int8_t>(v.rgba[2]));
    v.nx         = n.x;
    v.ny         = n.y;
    v.nz         = n.z;
}

void load_vertex(uint32_t a, uint32_t index, TexGen texgen) {
    TransformedVertex& v = rdp_reg.vtx[index % kVertexCount];
    const auto x         = static_cast<float>(static_cast<int16_t>(read_rdram_u16(a)));
    const auto y         = static_cast<float>(static_cast<int16_t>(read_rdram_u16(a + 2)));
    const auto z         = static_cast<float>(static_cast<int16_t>(read_rdram_u16(a + 4)));
    v.flags              = read_rdram_u16(a + 6);
    v.s                  = static_cast<float>(static_cast<int16_t>(read_rdram_u16(a + 8)));
    v.t                  = static_cast<float>(static_cast<int16_t>(read_rdram_u16(a + 10)));
    for (uint32_t i = 0; i < 4; ++i)
        v.rgba[i] = read_rdram_u8(a + 12 + i);

    transform_vertex(v, x, y, z);
    if (rdp_reg.geometry_mode & kGeometryTextureGen) generate_texcoords(v, texgen);
}

void prepare_lights(PreparedLights& lights) {
    const uint32_t count = rdp_reg.num_lights < kLightCount ? rdp_reg.num_lights : kLightCount - 1;
    lights.count         = count;
    for (uint32_t i = 0; i < count; ++i) {
        const LightRecord& light = rdp_reg.lights[i];
        Vec3 d                   = {light.xyzw[0], light.xyzw[1], light.xyzw[2]};
        normalize3(d);
        lights.directions[i] = d;
        for (int c = 0; c < 3; ++c)
            lights.colors[i][c] = light.rgba[c];
    }
    for (int c = 0; c < 3; ++c)
        lights.ambient[c] = rdp_reg.lights[count].rgba[c];
}

void light_vertex(const PreparedLights& lights, const TransformedVertex& v, float out[4]) {
    Vec3 n = {v.nx, v.ny, v.nz};
    normalize3(n);
    float r = 0.0f, g = 0.0f, b = 0.0f;
    for (uint32_t i = 0; i < lights.count; ++i) {
        const Vec3& d = lights.directions[i];
        float k       = d.x * n.x + d.y * n.y + d.z * n.z;
        if (k < 0.0f) k = 0.0f;
        r += k * lights.colors[i][0];
        g += k * lights.colors[i][1];
        b += k * lights.colors[i][2];
    }
    out[0] = r + lights.ambient[0];
    out[1] = g + lights.ambient[1];
    out[2] = b + lights.ambient[2];
    out[3] = 1.0f;
}

void light_vertex(const TransformedVertex& v, float out[4]) {
    PreparedLights lights{};
    prepare_lights(lights);
    light_vertex(lights, v, out);
}

static void set_color(float out[4], float r, float g, float b) {
    out[0] = r;
    out[1] = g;
    out[2] = b;
    out[3] = 1.0f;
}

void load_light(uint32_t light, uint32_t a) {
    LightRecord& l = rdp_reg.lights[light % kLightCount];
    set_color(l.rgba, read_rdram_u8(a) * kInv255, read_rdram_u8(a + 1) * kInv255,
              read_rdram_u8(a + 2) * kInv255);
    set_color(l.rgba_copy, read_rdram_u8(a + 4) * kInv255, read_rdram_u8(a + 5) * kInv255,
              read_rdram_u8(a + 6) * kInv255);
    set_color(l.xyzw, static_cast<int8_t>(read_rdram_u8(a + 8)) * kInv127,
              static_cast<int8_t>(read_rdram_u8(a + 9)) * kInv127,
              static_cast<int8_t>(read_rdram_u8(a + 10)) * kInv127);
}

void set_light_color(uint32_t light, bool copy, uint32_t w) {
    LightRecord& l = rdp_reg.lights[light % kLightCount];
    set_color(copy ? l.rgba_copy : l.rgba, static_cast<float>(w >> 24) * kInv255,
              static_cast<float>((w >> 16) & 0xFF) * kInv255,
              static_cast<float>((w >> 8) & 0xFF) * kInv255);
}

void set_num_lights(uint32_t n, ExcessLights excess) {
    if (n < kLightCount)
        rdp_reg.num_lights = n;
    else
        rdp_reg.num_lights = excess == ExcessLights::clamp ? kLightCount - 1 : 0;
}
