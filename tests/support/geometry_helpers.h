// Helpers for the geometry and batch suites: pixels, GL queries and a plain 3-D set-up
#pragma once
#include <GL/gl.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "dl_builder.h"
#include "dl_texture.h"
#include "dl_ucode0.h"

struct Rgba {
    int r, g, b, a;
};

// One pixel of the frame, window coordinates from the bottom left.
inline Rgba pixel_at(int x, int y) {
    GLubyte p[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

inline std::string describe(const Rgba& p) {
    std::ostringstream s;
    s << "(" << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ")";
    return s.str();
}

inline bool near(const Rgba& p, int r, int g, int b, int tolerance = 3) {
    auto close = [&](int x, int y) { return x - y <= tolerance && y - x <= tolerance; };
    return close(p.r, r) && close(p.g, g) && close(p.b, b);
}

inline GLint gl_int(GLenum e) {
    GLint v = 0;
    glGetIntegerv(e, &v);
    return v;
}

// RDRAM layout used by the suites.
constexpr uint32_t kListAddress     = 0x100000;
constexpr uint32_t kViewportAddress = 0x200000;
constexpr uint32_t kMatrixAddress   = 0x200100; // room for several 64-byte matrices
constexpr uint32_t kVertexAddress   = 0x201000;
constexpr uint32_t kLightAddress    = 0x202000;
constexpr uint32_t kTexelAddress    = 0x203000;

// Full-screen viewport, the given projection and model-view, no geometry mode (so no
// culling and no lighting): console coordinates x, y in -100..100 cover the window when the
// projection is the identity.
inline void add_plain_setup(Console& c, DisplayList& dl, const uc0::Mat& projection,
                            const uc0::Mat& modelview) {
    uc0::write_viewport(c, kViewportAddress, 160, 120, 160, 120);
    uc0::write_matrix(c, kMatrixAddress, projection);
    uc0::write_matrix(c, kMatrixAddress + 64, modelview);
    dl.add({uc0::viewport(kViewportAddress),
            uc0::matrix(uc0::kProjection | uc0::kLoad, kMatrixAddress),
            uc0::matrix(uc0::kLoad, kMatrixAddress + 64), uc0::clear_geometry_mode(0xFFFFFFFF)});
}

// A white 4 x 4 texture on tile 0: whatever recipe a flush picks, textured or not, white
// vertices stay bright.
inline void add_white_texture(Console& c, DisplayList& dl) {
    for (uint32_t i = 0; i < 16; ++i)
        c.write_u16(kTexelAddress + 2 * i, 0xFFFF);
    dl.add({tex::set_texture_image(tex::rgba, tex::b16, 4, kTexelAddress),
            tex::set_tile(0, tex::rgba, tex::b16, 1, 0), tex::load_block(0, 0, 0, 16),
            tex::set_tile_size(0, 0, 0, 4, 4)});
}
