// Viewport, depth and cull state as OpenGL holds it, and the immediate 3-D line
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "geometry/viewport.h"
#include "host/plugin.h"
#include "state/rdp_reg.h"
#include "support/geometry_helpers.h"
#include "support/test_host.h"

namespace {

class ViewportState : public ::testing::Test {
  protected:
    void SetUp() override {
        attach_test_host();
        reset_core_state();
    }
};

TEST_F(ViewportState, ScalesTheConsoleViewportToTheWindow) {
    ASSERT_EQ(scale_x, 2.0f) << "the test window is 640 x 480";
    struct Case {
        float S[2], T[2];
        GLint x, y, width, height;
    } cases[] = {
        {{160, 120}, {160, 120}, 0, 0, 640, 480},         // the whole screen
        {{80, 60}, {80, 60}, 0, 240, 320, 240},           // top-left quarter
        {{80, 60}, {240, 180}, 320, 0, 320, 240},         // bottom-right quarter
        {{40.3f, 30.7f}, {100, 100}, 119, 219, 161, 122}, // truncation towards zero
    };
    for (const Case& k : cases) {
        rdp_reg.viewport_scale[0] = k.S[0];
        rdp_reg.viewport_scale[1] = k.S[1];
        rdp_reg.viewport_trans[0] = k.T[0];
        rdp_reg.viewport_trans[1] = k.T[1];
        apply_viewport();
        GLint v[4];
        glGetIntegerv(GL_VIEWPORT, v);
        EXPECT_EQ(v[0], k.x) << "scale " << k.S[0] << " trans " << k.T[0];
        EXPECT_EQ(v[1], k.y) << "scale " << k.S[1] << " trans " << k.T[1];
        EXPECT_EQ(v[2], k.width);
        EXPECT_EQ(v[3], k.height);
    }

    // A negative scale leaves the previous viewport in force, without an OpenGL error.
    while (glGetError() != GL_NO_ERROR) {
    }
    rdp_reg.viewport_scale[0] = -80;
    apply_viewport();
    GLint v[4];
    glGetIntegerv(GL_VIEWPORT, v);
    EXPECT_EQ(v[2], 161);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(ViewportState, DepthRangeTestAndWrites) {
    struct Case {
        uint32_t othermode_l;
        double far_value;
    } cases[] = {{0, 1.0}, {0x400, 1.0}, {0x800, 1.0}, {0xC00, 0.9995}, {0xFFFFFF, 0.9995}};
    for (const Case& k : cases) {
        rdp_reg.othermode_l = k.othermode_l;
        apply_depth_range();
        GLfloat range[2];
        glGetFloatv(GL_DEPTH_RANGE, range);
        EXPECT_EQ(range[0], 0.0f) << std::hex << k.othermode_l;
        EXPECT_FLOAT_EQ(range[1], static_cast<float>(k.far_value)) << std::hex << k.othermode_l;
    }

    set_depth_test(0x10);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    set_depth_test(0);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    set_depth_write(0);
    EXPECT_EQ(gl_int(GL_DEPTH_WRITEMASK), GL_FALSE);
    set_depth_write(0x20);
    EXPECT_EQ(gl_int(GL_DEPTH_WRITEMASK), GL_TRUE);
}

TEST_F(ViewportState, CullsByTheGeometryMode) {
    struct Case {
        uint32_t mode;
        bool enabled;
        GLenum face;
    } cases[] = {
        {0x1000, true, GL_FRONT},
        {0x2000, true, GL_BACK},
        {0x3000, true, GL_FRONT_AND_BACK},
        {0x0000, false, GL_FRONT_AND_BACK}, // culling off keeps the last face
        {0xFFFFCFFF, false, GL_FRONT_AND_BACK},
    };
    for (const Case& k : cases) {
        rdp_reg.geometry_mode = k.mode;
        apply_geometry_cull();
        EXPECT_EQ(glIsEnabled(GL_CULL_FACE), k.enabled) << std::hex << k.mode;
        EXPECT_EQ(gl_int(GL_CULL_FACE_MODE), GLint(k.face)) << std::hex << k.mode;
    }
    EXPECT_EQ(gl_int(GL_FRONT_FACE), GL_CCW);
}

TEST_F(ViewportState, LinesAreGreenWhateverTheVertexColours) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    TransformedVertex& a = rdp_reg.vtx[0];
    TransformedVertex& b = rdp_reg.vtx[1];
    a                    = {-0.9f, 0.0f, 0.0f, 0, 0, 0, {255, 0, 0, 255}, 0, 0, 0};
    b                    = {0.9f, 0.0f, 0.0f, 0, 0, 0, {0, 0, 255, 255}, 0, 0, 0};
    draw_line3d(0, 1);
    for (int x : {40, 320, 600}) {
        Rgba p = pixel_at(x, 240);
        if (!near(p, 0, 153, 0)) p = pixel_at(x, 239);
        EXPECT_TRUE(near(p, 0, 153, 0)) << "x " << x << ": " << describe(p);
    }
    draw_line3d(256 + 0, 1000); // indices outside the buffer wrap into it
}

} // namespace
