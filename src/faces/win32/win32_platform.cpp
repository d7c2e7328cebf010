// The platform layer on Win32: message boxes, window measurement and the WGL context steps
#include <windows.h>

#include <cstdio>

#include "faces/win32/win32_face.h"
#include "faces/win32/win32_multisample.h"

void win32_log(LogLevel, const char* text) { std::fprintf(stderr, "new_vexa_ogl: %s\n", text); }

MessageAnswer win32_message_box(const char* text, const char* caption, MessageIcon icon,
                                MessageButtons buttons) {
    if (const UiScript* script = platform_ui_script())
        return script->message_box(text, caption, icon, buttons, script->user);

    UINT type = buttons == MessageButtons::yes_no ? MB_YESNO : MB_OK;
    if (icon == MessageIcon::information) type |= MB_ICONINFORMATION;
    if (icon == MessageIcon::error) type |= MB_ICONERROR;
    if (icon == MessageIcon::question) type |= MB_ICONQUESTION;

    switch (MessageBoxA(nullptr, text, caption, type)) {
    case 0: return MessageAnswer::not_shown;
    case IDYES: return MessageAnswer::yes;
    case IDNO: return MessageAnswer::no;
    default: return MessageAnswer::ok;
    }
}

bool win32_client_rect(void* window, ClientRect* rect) {
    *rect = ClientRect{};
    RECT r;
    if (!GetClientRect(static_cast<HWND>(window), &r)) return false;
    rect->left   = r.left;
    rect->top    = r.top;
    rect->right  = r.right;
    rect->bottom = r.bottom;
    return true;
}

static PIXELFORMATDESCRIPTOR descriptor_of(const PixelFormatRequest& request) {
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize        = request.size;
    pfd.nVersion     = request.version;
    pfd.dwFlags      = request.flags;
    pfd.iPixelType   = request.pixel_type;
    pfd.cColorBits   = request.color_bits;
    pfd.cAlphaBits   = request.alpha_bits;
    pfd.cDepthBits   = request.depth_bits;
    pfd.cStencilBits = request.stencil_bits;
    return pfd;
}

// GetDC(null) would hand out the whole screen; a host without a window gets no context.
GlDevice win32_get_device(void* window) {
    if (platform_gl_step_fails(GlStep::get_device) || !window) return nullptr;
    return GetDC(static_cast<HWND>(window));
}

int win32_choose_pixel_format(GlDevice device, const PixelFormatRequest& request) {
    if (platform_gl_step_fails(GlStep::choose_pixel_format)) return 0;
    const PIXELFORMATDESCRIPTOR pfd = descriptor_of(request);
    if (request.samples) {
        const int format =
            choose_multisampled_format(static_cast<HDC>(device), pfd, request.samples);
        if (format) return format;
        char line[200];
        std::snprintf(line, sizeof line,
                      "MultiSampling=%d: the display driver offers no multisampled pixel format "
                      "(WGL_ARB_pixel_format, WGL_ARB_multisample): using 0",
                      request.samples);
        win32_log(LogLevel::warning, line);
    }
    return ChoosePixelFormat(static_cast<HDC>(device), &pfd);
}

bool win32_set_pixel_format(GlDevice device, int format, const PixelFormatRequest& request) {
    if (platform_gl_step_fails(GlStep::set_pixel_format)) return false;
    const PIXELFORMATDESCRIPTOR pfd = descriptor_of(request);
    return SetPixelFormat(static_cast<HDC>(device), format, &pfd) != FALSE;
}

void win32_describe_pixel_format(GlDevice device, int format, PixelFormatRequest* request) {
    PIXELFORMATDESCRIPTOR pfd{};
    if (!DescribePixelFormat(static_cast<HDC>(device), format, sizeof pfd, &pfd)) return;
    request->size         = pfd.nSize;
    request->version      = pfd.nVersion;
    request->flags        = pfd.dwFlags;
    request->pixel_type   = pfd.iPixelType;
    request->color_bits   = pfd.cColorBits;
    request->alpha_bits   = pfd.cAlphaBits;
    request->depth_bits   = pfd.cDepthBits;
    request->stencil_bits = pfd.cStencilBits;
}

// wglGetProcAddress answers 1, 2, 3 or -1 for some functions it does not have.
void* win32_gl_function(const char* name) {
    const PROC f = wglGetProcAddress(name);
    const auto n = reinterpret_cast<intptr_t>(f);
    return n >= -1 && n <= 3 ? nullptr : reinterpret_cast<void*>(f);
}

GlContext win32_create_context(GlDevice device) {
    if (platform_gl_step_fails(GlStep::create_context)) return nullptr;
    return wglCreateContext(static_cast<HDC>(device));
}

bool win32_make_current(GlDevice device, GlContext context) {
    const GlStep step = device || context ? GlStep::make_current : GlStep::release_current;
    if (platform_gl_step_fails(step)) return false;
    return wglMakeCurrent(static_cast<HDC>(device), static_cast<HGLRC>(context)) != FALSE;
}

bool win32_delete_context(GlContext context) {
    if (platform_gl_step_fails(GlStep::delete_context)) return false;
    return wglDeleteContext(static_cast<HGLRC>(context)) != FALSE;
}

bool win32_release_device(void* window, GlDevice device) {
    if (platform_gl_step_fails(GlStep::release_device)) return false;
    return ReleaseDC(static_cast<HWND>(window), static_cast<HDC>(device)) == 1;
}

void win32_swap_buffers(GlDevice device) { SwapBuffers(static_cast<HDC>(device)); }
