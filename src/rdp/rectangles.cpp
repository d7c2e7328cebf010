// Texture and fill rectangles, drawn at once in a 2-D projection
#include "rdp/rectangles.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "framebuffer/color_images.h"
#include "rdp/obj_drawing.h"
#include "rdp/rdp_commands.h"
#include "rdp/rdp_fields.h"
#include "rdp/rect_color_table.h"
#include "render/batch.h"
#include "render/blender.h"
#include "render/combiner_formula.h"
#include "render/gl_idle.h"
#include "state/bits.h"
#include "state/host_state.h"
#include "state/othermode.h"
#include "state/picture.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"
#include "texture/texture_cache.h"
#include "texture/tile_commands.h"

// 0xE4: the command and the two 8-byte units after it.
void rdp_tex_rect() {
    float lrx           = rect_lrx(rdp_reg.cmd0);
    float lry           = rect_lry(rdp_reg.cmd0);
    const uint32_t tile = rect_tile(rdp_reg.cmd1);
    const float ulx     = rect_ulx(rdp_reg.cmd1);
    const float uly     = rect_uly(rdp_reg.cmd1);
    const float s       = rect_s(rdp_reg.lookahead1);
    const float t       = rect_t(rdp_reg.lookahead1);
    float dsdx          = rect_dsdx(rdp_reg.lookahead2);
    const float dtdy    = rect_dtdy(rdp_reg.lookahead2);

    command_cursor()           = (command_cursor() + kTexRectOperandBytes) & kRdramMask;
    rdp_reg.current_tile_index = tile;
    rdp_reg.current_tile       = tile;

    // Copy mode steps four texels a clock and includes the lower-right edge.
    if (rdp_reg.cycle_type == 2) {
        dsdx *= 0.25f;
    } else {
        lrx -= 1.0f;
        lry -= 1.0f;
    }
    draw_texture_rect(ulx, uly, lrx, lry, tile, s, t, dsdx, dtdy);
}

// 0xE5: eight bytes, nothing drawn; the words after it run as commands.
void rdp_tex_rect_flip() {}

// A 5-bit channel as its share of 31 (the frame buffer rounds it to the nearest byte).
static float expand5(uint32_t v) { return static_cast<float>(v) / 31.0f; }

void decode_fill_color(uint32_t color, uint32_t image_size, float* rgba) {
    if (image_size == kColorImage32Bit) {
        decode_rgba(color, rgba);
        return;
    }
    // Two 16-bit pixels (4- and 8-bit images read the same way): the upper one is taken.
    const Rgba5551 c = split_rgba5551(color >> 16);
    rgba[0]          = expand5(c.r);
    rgba[1]          = expand5(c.g);
    rgba[2]          = expand5(c.b);
    rgba[3]          = c.a ? 1.0f : 0.0f;
}

// 0xF6
void rdp_fill_rect() {
    // A fill into the depth image clears the depth buffer. Under the system's frame rule every
    // drawn task starts on a cleared one, so the fill is left out there.
    if (rdp_reg.depth_image_address == rdp_reg.color_image_address) {
        if (frame_rule == FrameRule::host_presents)
            clear_depth_rect(fill_ulx(rdp_reg.cmd1), fill_uly(rdp_reg.cmd1),
                             fill_lrx(rdp_reg.cmd0) + 1, fill_lry(rdp_reg.cmd0) + 1);
        return;
    }
    // Fill and copy modes write the fill colour in the colour image's own format, as it is,
    // and include the lower-right row and column; the other modes blend the blend colour.
    const bool copy_or_fill = rdp_reg.othermode_h & 0x200000;
    float rgba[4];
    if (copy_or_fill)
        decode_fill_color(rdp_reg.fill_color, rdp_reg.color_image_size, rgba);
    else
        decode_rgba(rdp_reg.blend_color, rgba);
    const int32_t edge = copy_or_fill ? 1 : 0;
    draw_fill_rect(fill_ulx(rdp_reg.cmd1), fill_uly(rdp_reg.cmd1), fill_lrx(rdp_reg.cmd0) + edge,
                   fill_lry(rdp_reg.cmd0) + edge, rgba, copy_or_fill);
}

TexRectQuad texture_rect_quad(const TileDescriptor& tile, float ulx, float uly, float lrx,
                              float lry, float s, float t, float dsdx, float dtdy) {
    // The RDP takes (s, t) at the first pixel and steps by dsdx and dtdy per pixel, whatever
    // the step (0 repeats one texel). The quad covers the pixels, on their grid as a fill's,
    // so that each pixel's centre samples inside the texel it steps to.
    float s0, s1, t0, t1;
    texel_edges(s, dsdx, lrx - ulx + 1.0f, &s0, &s1);
    texel_edges(t, dtdy, lry - uly + 1.0f, &t0, &t1);
    const TileTextureMap m = tile_texture_map(tile);
    return {ulx, uly, lrx + 1.0f, lry + 1.0f, m.s.at(s0), m.t.at(t0), m.s.at(s1), m.t.at(t1)};
}

// The rectangle space is as wide as the colour image and 4:3, laid over the current viewport.
// One pixel wide or less it has no height: such rectangles are not drawn.
static GLdouble rect_space_height() { return (3 * rdp_reg.color_image_width) >> 2; }

// Where the rectangle space lies in the window: on the console's screen, whatever the 3-D
// viewport (put back by the attribute pop) is. In widescreen a rectangle across the whole
// colour image (a clear, a background) is drawn across the whole picture.
static WindowBox rect_area(float left, float right) {
    WindowBox area = screen_box();
    if (widens_across(left, right)) widen_span(&area.x, &area.width);
    return area;
}

static void set_rect_viewport(const WindowBox& area) {
    glViewport(area.x, area.y, area.width, area.height);
}

static void push_rect_projection() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, rdp_reg.color_image_width, rect_space_height(), 0, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

// Games fill the depth image with the far plane's depth (0xFFFC), so far is what the rectangle
// gets, within the scissor box as a fill quad would be.
void clear_depth_rect(int32_t ulx, int32_t uly, int32_t lrx, int32_t lry) {
    const GLdouble space_height = rect_space_height();
    if (space_height == 0) return;
    const WindowBox a = rect_area(static_cast<float>(ulx), static_cast<float>(lrx));
    const double sx   = a.width / static_cast<double>(rdp_reg.color_image_width);
    const double sy   = a.height / space_height;
    GLint x0          = a.x + static_cast<GLint>(std::lround(ulx * sx));
    GLint x1          = a.x + static_cast<GLint>(std::lround(lrx * sx));
    GLint y0          = a.y + a.height - static_cast<GLint>(std::lround(lry * sy));
    GLint y1          = a.y + a.height - static_cast<GLint>(std::lround(uly * sy));
    if (glIsEnabled(GL_SCISSOR_TEST)) {
        GLint box[4];
        glGetIntegerv(GL_SCISSOR_BOX, box);
        x0 = std::max(x0, box[0]);
        y0 = std::max(y0, box[1]);
        x1 = std::min(x1, box[0] + box[2]);
        y1 = std::min(y1, box[1] + box[3]);
    }
    if (x1 <= x0 || y1 <= y0) return;
    const GlIdleCheck idle("clear_depth_rect");
    glPushAttrib(GL_SCISSOR_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(x0, y0, x1 - x0, y1 - y0);
    glDepthMask(GL_TRUE);
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glPopAttrib();
}

// Enables that the rectangles turn on for themselves and put back afterwards.
struct SavedEnables {
    bool depth_test, blend, alpha_test;
};

static SavedEnables save_enables() {
    return {glIsEnabled(GL_DEPTH_TEST) == GL_TRUE, glIsEnabled(GL_BLEND) == GL_TRUE,
            glIsEnabled(GL_ALPHA_TEST) == GL_TRUE};
}

static void restore_blend_alpha(const SavedEnables& saved) {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GEQUAL, 0.005f);
    if (saved.blend) glEnable(GL_BLEND);
    if (saved.depth_test) glEnable(GL_DEPTH_TEST);
    if (saved.alpha_test) glEnable(GL_ALPHA_TEST);
}

static const float* source_rgba(RectSource source) {
    static const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    switch (source) {
    case RectSource::prim: return rdp_reg.prim_rgba;
    case RectSource::env: return rdp_reg.env_rgba;
    default: return kWhite;
    }
}

static void draw_rect_pass(const RectPass& pass, const TexCorner (&corners)[4]) {
    if (pass.inverted) rdp_reg.texture_mode = kTextureModeInvert;
    if (pass.textured) {
        rdp_reg.texture_mode = formula_texture_mode(rdp_reg.texture_mode);
        bind_texture();
        glEnable(GL_TEXTURE_2D);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    const float* rgb       = source_rgba(pass.rgb);
    const float* alpha     = source_rgba(pass.alpha);
    const GLfloat color[4] = {rgb[0], rgb[1], rgb[2], alpha[3]};
    glColor4fv(color);
    glBegin(GL_QUADS);
    for (const TexCorner& c : corners) {
        if (pass.textured) glTexCoord2f(c.u, c.v);
        glVertex2f(c.x, c.y);
    }
    glEnd();
}

void draw_texture_rect(float ulx, float uly, float lrx, float lry, uint32_t tile, float s, float t,
                       float dsdx, float dtdy) {
    const TexRectQuad q =
        texture_rect_quad(rdp_reg.tiles[tile & 7], ulx, uly, lrx, lry, s, t, dsdx, dtdy);
    const TexCorner corners[4] = {{q.x1, q.y1, q.u1, q.v1},
                                  {q.x0, q.y1, q.u0, q.v1},
                                  {q.x0, q.y0, q.u0, q.v0},
                                  {q.x1, q.y0, q.u1, q.v0}};
    draw_textured_corners(corners);
}

void draw_textured_corners(const TexCorner (&corners)[4]) {
    rdp_reg.texture_mode    = 0;
    rdp_reg.texture_color   = 0;
    const RectColorRow& row = rect_colors(rdp_reg.cycle_type, rdp_reg.mux_key0, rdp_reg.mux_key1);
    if (!row.first.drawn || rect_space_height() == 0) return;
    const GlIdleCheck idle("draw_textured_corners", MatrixModeAfter::projection);
    note_drawing();
    rdp_reg.texture_mode = row.texture_mode;

    const SavedEnables saved = save_enables();
    glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT);
    set_rect_viewport(screen_box());
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GEQUAL, 0.005f);
    glEnable(GL_BLEND);
    push_rect_projection();

    // The texture cache builds tile 0's texture whatever tile the command named.
    const SurfaceBlend surface = current_surface_blend();
    begin_surface(surface);
    draw_rect_pass(row.first, corners);
    end_surface(surface);
    if (row.second.drawn) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        draw_rect_pass(row.second, corners);
    }

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
    restore_blend_alpha(saved);
}

void draw_fill_rect(int32_t ulx, int32_t uly, int32_t lrx, int32_t lry, const float* rgba,
                    bool as_is) {
    if (rdp_reg.depth_image_address == rdp_reg.color_image_address) return;
    if (rect_space_height() == 0) return;
    const GlIdleCheck idle("draw_fill_rect", MatrixModeAfter::projection);
    note_drawing();

    const SavedEnables saved = save_enables();
    glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT);
    set_rect_viewport(rect_area(static_cast<float>(ulx), static_cast<float>(lrx)));
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D); // a fill has no texture coordinates
    const SurfaceBlend surface =
        as_is ? SurfaceBlend{false, GL_ONE, GL_ZERO, 0.0f, 0.0f} : current_surface_blend();
    begin_surface(surface);
    push_rect_projection();

    glColor4fv(rgba);
    glBegin(GL_QUADS);
    glVertex2i(lrx, lry);
    glVertex2i(ulx, lry);
    glVertex2i(ulx, uly);
    glVertex2i(lrx, uly);
    glEnd();

    glPopAttrib();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    end_surface(surface);
    restore_blend_alpha(saved);
}
