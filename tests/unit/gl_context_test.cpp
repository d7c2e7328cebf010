// OpenGL context creation, its failure messages, and the default render state
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "host/gl_context.h"
#include "host/plugin.h"
#include "render/frame.h"
#include "render/texture_units.h"
#include "support/test_host.h"

namespace {

GLint get_int(GLenum e) {
    GLint v = 0;
    glGetIntegerv(e, &v);
    return v;
}

GLfloat get_float(GLenum e) {
    GLfloat v = 0;
    glGetFloatv(e, &v);
    return v;
}

TEST(GlContext, DefaultRenderState) {
    attach_test_host();
    init_gl_state();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(get_int(GL_DEPTH_FUNC), GL_LEQUAL);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(get_int(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(get_int(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(get_int(GL_ALPHA_TEST_FUNC), GL_GEQUAL);
    EXPECT_NEAR(get_float(GL_ALPHA_TEST_REF), 0.005f, 1e-6);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(get_int(GL_FRONT_FACE), GL_CCW);
    EXPECT_EQ(get_int(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(get_int(GL_MATRIX_MODE), GL_PROJECTION);
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f) << "element " << i;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], window_width);
    EXPECT_EQ(viewport[3], window_height);
    for (GLuint list : {320u, 640u, 9u, 1u})
        EXPECT_TRUE(glIsList(list)) << "list " << list;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(GlContext, TwoDimensionalListsSetUpAndRestore) {
    attach_test_host();
    init_gl_state();
    struct Case {
        GLuint list;
        float x_scale, y_scale;
        bool depth_after;
    } cases[] = {{320, 2.0f / 320, -2.0f / 240, false},
                 {640, 2.0f / 640, -2.0f / 480, false},
                 {9, 1.0f, 1.0f, true}};
    for (const Case& k : cases) {
        glCallList(k.list);
        GLfloat m[16];
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        EXPECT_FLOAT_EQ(m[0], k.x_scale) << "list " << k.list;
        EXPECT_FLOAT_EQ(m[5], k.y_scale) << "list " << k.list;
        if (k.list != 9) {
            EXPECT_FLOAT_EQ(m[10], -1.0f);
            EXPECT_FLOAT_EQ(m[12], -1.0f);
            EXPECT_FLOAT_EQ(m[13], 1.0f);
            EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
        }
        EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), k.depth_after) << "list " << k.list;
        EXPECT_EQ(get_int(GL_MATRIX_MODE), GL_MODELVIEW);
        glCallList(1);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << "list 1 restores the enables";
        EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
        EXPECT_EQ(get_int(GL_MATRIX_MODE), GL_PROJECTION);
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        EXPECT_FLOAT_EQ(m[0], 1.0f) << "list 1 pops the projection";
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(GlContext, ClearFrameIsOpaqueBlack) {
    attach_test_host();
    init_gl_state();
    glDisable(GL_SCISSOR_TEST);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDepthMask(GL_FALSE);
    clear_frame();
    GLubyte px[4];
    glReadPixels(5, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_EQ(px[0], 0);
    EXPECT_EQ(px[3], 255) << "cleared to alpha 1";
    EXPECT_EQ(get_int(GL_ALPHA_BITS), 0) << "the pixel format asks for no alpha buffer";
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask) << "the depth mask stays enabled";
}

TEST(GlContext, DefaultStateDepthTestsBlendsAndDiscardsLowAlpha) {
    attach_test_host();
    init_gl_state();
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, 64, 64);
    clear_frame();
    glMatrixMode(GL_MODELVIEW);
    auto quad = [](float z, float r, float g, float b, float a) {
        glColor4f(r, g, b, a);
        glBegin(GL_QUADS);
        glVertex3f(-1, -1, z);
        glVertex3f(1, -1, z);
        glVertex3f(1, 1, z);
        glVertex3f(-1, 1, z);
        glEnd();
    };
    GLubyte px[4];
    quad(0.0f, 1, 1, 1, 0.5f); // half white over black
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_NEAR(px[0], 128, 2) << "blended with source alpha";
    quad(0.5f, 1, 0, 0, 1); // behind: fails LEQUAL
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_NEAR(px[1], 128, 2) << "depth-tested";
    quad(-0.5f, 0, 0, 1, 0.004f); // in front, alpha below 0.005: discarded
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_NEAR(px[1], 128, 2) << "alpha-tested away";
    glViewport(0, 0, window_width, window_height);
}

struct StepCase {
    GlStep step;
    std::vector<std::pair<std::string, std::string>> messages; // text, caption
    int result;
};

// Several units from OpenGL 1.3 on, or before it with both extensions; at most four are used.
TEST(GlContext, TextureUnitsComeWithTheCombineEnvironment) {
    const struct {
        const char* version;
        const char* extensions;
        int max_units, units;
    } cases[] = {{"1.1.0", "GL_EXT_bgra", 2, 1},
                 {"1.2.1", "GL_ARB_multitexture GL_ARB_texture_env_combine", 2, 2},
                 {"1.2.1", "GL_ARB_multitexture GL_ARB_texture_env_combinex", 4, 1},
                 {"1.2.1", "GL_ARB_multitexture", 4, 1},
                 {"1.3 Vendor", nullptr, 3, 3},
                 {"4.5 (Compatibility Profile) Mesa 22.3.6", "", 8, 4},
                 {"2.1", "", 1, 1},
                 {nullptr, nullptr, 8, 1}};
    for (const auto& k : cases)
        EXPECT_EQ(combine_units_for(k.version, k.extensions, k.max_units), k.units)
            << (k.version ? k.version : "no version") << " / "
            << (k.extensions ? k.extensions : "none");
    attach_test_host();
    choose_texture_units();
    EXPECT_EQ(texture_units, 4) << "llvmpipe offers eight units and the combine environment";
}

TEST(GlContext, EachFailingStepShowsItsMessage) {
    attach_test_host();
    const StepCase cases[] = {
        {GlStep::get_device, {{"GetDC on main window failed", "Vexa"}}, 0},
        {GlStep::choose_pixel_format, {{"ChoosePixelFormat failed\n", "Vexa"}}, 0},
        {GlStep::set_pixel_format, {{"SetPixelFormat failed\n", "Vexa"}}, 0},
        {GlStep::create_context, {{"wglCreateContext failed!\n", "Vexa"}}, 0},
        {GlStep::make_current, {{"wglMakeCurrent failed!\n", "Vexa"}}, 0},
        // Releasing after a failed make-current: its own failures carry the caption ERROR.
        {GlStep::none, {}, 1},
    };
    for (const StepCase& k : cases) {
        ScriptedUi ui;
        platform_fail_gl_step(k.step);
        EXPECT_EQ(create_gl_context(), k.result);
        platform_fail_gl_step(GlStep::none);
        ASSERT_EQ(ui.shown.size(), k.messages.size()) << "step " << int(k.step);
        for (size_t i = 0; i < k.messages.size(); ++i) {
            EXPECT_EQ(ui.shown[i].text, k.messages[i].first);
            EXPECT_EQ(ui.shown[i].caption, k.messages[i].second);
            EXPECT_EQ(ui.shown[i].icon, MessageIcon::error);
        }
    }
    // The last case left a working context current.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST(GlContext, ReleaseReportsItsFailuresWithCaptionError) {
    attach_test_host();
    ScriptedUi ui;
    platform_fail_gl_step(GlStep::release_device);
    release_gl_context();
    platform_fail_gl_step(GlStep::none);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "ReleaseDC failed!\n");
    EXPECT_EQ(ui.shown[0].caption, "ERROR");
    EXPECT_EQ(create_gl_context(), 1);
}

TEST(Plugin, AboutAndTestBoxes) {
    ScriptedUi ui;
    show_about_box();
    show_test_box();
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text, "New Vexa OpenGL v0.1");
    EXPECT_EQ(ui.shown[0].caption, "Vexa OpenGL - About Box");
    EXPECT_EQ(ui.shown[0].icon, MessageIcon::information);
    EXPECT_EQ(ui.shown[1].text, "No Test Box yet");
    EXPECT_EQ(ui.shown[1].caption, "message");
    EXPECT_EQ(ui.shown[1].icon, MessageIcon::none);
    EXPECT_EQ(ui.shown[1].buttons, MessageButtons::ok);
}

} // namespace
