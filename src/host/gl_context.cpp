// The OpenGL context and its default render state
#include "host/gl_context.h"

#include <GL/gl.h>

#include "config/settings.h"
#include "framebuffer/color_images.h"
#include "geometry/viewport.h"
#include "host/plugin.h"
#include "platform/platform.h"
#include "render/batch.h"
#include "render/blender.h"
#include "render/fog.h"
#include "render/frame.h"
#include "render/texture_units.h"
#include "texture/texture_cache.h"

static GlDevice device;
static GlContext context;
static GLuint texture_names[4096]; // reserved once; the cache binds its textures by number

static void context_error(const char* text) {
    platform_message_box(text, "Vexa", MessageIcon::error, MessageButtons::ok);
}

static void release_error(const char* text) {
    platform_message_box(text, "ERROR", MessageIcon::error, MessageButtons::ok);
}

static void start_in_context();

int create_gl_context() {
    PixelFormatRequest request;
    request.samples = static_cast<uint8_t>(player_settings.multisampling);
    device          = platform_get_device(host.window);
    set_frame_device(device);
    if (!device) {
        context_error("GetDC on main window failed");
        return 0;
    }
    const int format = platform_choose_pixel_format(device, request);
    if (format == 0) {
        context_error("ChoosePixelFormat failed\n");
        return 0;
    }
    if (!platform_set_pixel_format(device, format, request)) {
        context_error("SetPixelFormat failed\n");
        return 0;
    }
    platform_describe_pixel_format(device, format, &request);
    context = platform_create_context(device);
    if (!context) {
        context_error("wglCreateContext failed!\n");
        release_gl_context();
        return 0;
    }
    if (!platform_make_current(device, context)) {
        context_error("wglMakeCurrent failed!\n");
        release_gl_context();
        return 0;
    }
    start_in_context();
    return 1;
}

// Client arrays and texture names belong to the previous context, if any: a host that calls
// InitiateGFX again would otherwise draw with neither.
static void start_in_context() {
    init_gl_state();
    forget_client_arrays();
    reset_texture_cache();
    choose_clamp_wrap();
    choose_fog_draw();
    choose_blend_color();
    choose_texture_units();
}

// The idle state's alpha function is not OpenGL's default (GL_ALWAYS): where it is still in
// force, the context is the one the plug-in set up.
void renew_gl_state() {
    GLint alpha_function = GL_ALWAYS;
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &alpha_function);
    if (alpha_function == GL_GEQUAL) return;
    start_in_context();
    apply_screen_viewport();
}

void release_gl_context() {
    if (context) {
        if (!platform_make_current(nullptr, nullptr)) release_error("wglMakeCurrent failed!\n");
        if (!platform_delete_context(context)) release_error("wglDeleteContext failed!\n");
        context = nullptr;
    }
    if (device) {
        if (!platform_release_device(host.window, device)) release_error("ReleaseDC failed!\n");
        device = nullptr;
        set_frame_device(nullptr);
    }
}

void init_gl_state() {
    apply_screen_viewport();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A window not yet measured (mupen64plus opens it with the context) has no extent, and
    // OpenGL refuses a flat box with an error.
    if (window_width > 0 && window_height > 0) glOrtho(0, window_width, window_height, 0, 0, 1);
    glGenTextures(4096, texture_names);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glShadeModel(GL_SMOOTH);
    glAlphaFunc(GL_GEQUAL, 0.005f);
    glDisable(GL_ALPHA_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_BLEND);
    glFrontFace(GL_CCW);
    glDisable(GL_CULL_FACE);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    build_gl_lists();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    reset_color_images();
}

// glOrtho(0, 320, 240, 0, -1, 1) and glOrtho(0, 640, 480, 0, -1, 1), column-major.
static const GLfloat kOrtho320[16] = {2.0f / 320, 0, 0,  0, 0,  -2.0f / 240, 0, 0,
                                      0,          0, -1, 0, -1, 1,           0, 1};
static const GLfloat kOrtho640[16] = {2.0f / 640, 0, 0,  0, 0,  -2.0f / 480, 0, 0,
                                      0,          0, -1, 0, -1, 1,           0, 1};

static void compile_2d_list(GLuint list, const GLfloat* projection) {
    glNewList(list, GL_COMPILE);
    glPushAttrib(GL_ENABLE_BIT);
    if (list == 320) {
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
    } else {
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
    }
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadMatrixf(projection);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glEndList();
}

void build_gl_lists() {
    compile_2d_list(320, kOrtho320);
    compile_2d_list(640, kOrtho640);

    glNewList(9, GL_COMPILE);
    glPushAttrib(GL_ENABLE_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glEndList();

    // Leaves the 2-D set-up of lists 320, 640 and 9.
    glNewList(1, GL_COMPILE);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
    glMatrixMode(GL_PROJECTION);
    glEndList();
}
