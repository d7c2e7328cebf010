// Multisampled pixel formats: the ARB functions that list them are reached only through a
// current context, and a window takes a pixel format once. A hidden window of our own carries
// the context that asks; the host's window then gets the format found.
#include "faces/win32/win32_multisample.h"

#include <GL/gl.h>
#include <GL/wglext.h>

#include <cstring>

namespace {

constexpr char kProbeClass[] = "VexaPixelFormatProbe";

// The probe window with a plain OpenGL context current; what was current before comes back.
struct ProbeContext {
    HDC previous_device    = wglGetCurrentDC();
    HGLRC previous_context = wglGetCurrentContext();
    HINSTANCE instance     = GetModuleHandleA(nullptr);
    HWND window            = nullptr;
    HDC device             = nullptr;
    HGLRC context          = nullptr;

    bool open(const PIXELFORMATDESCRIPTOR& pfd) {
        WNDCLASSA wc{};
        wc.style         = CS_OWNDC;
        wc.lpfnWndProc   = DefWindowProcA;
        wc.hInstance     = instance;
        wc.lpszClassName = kProbeClass;
        RegisterClassA(&wc); // fails harmlessly when a previous probe left it registered
        window = CreateWindowExA(0, kProbeClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 instance, nullptr);
        if (!window || !(device = GetDC(window))) return false;
        const int format = ChoosePixelFormat(device, &pfd);
        if (!format || !SetPixelFormat(device, format, &pfd)) return false;
        context = wglCreateContext(device);
        return context && wglMakeCurrent(device, context);
    }

    ~ProbeContext() {
        if (context) {
            wglMakeCurrent(previous_device, previous_context);
            wglDeleteContext(context);
        }
        if (device) ReleaseDC(window, device);
        if (window) DestroyWindow(window);
        UnregisterClassA(kProbeClass, instance);
    }
};

template <typename F> F look_up(const char* name) {
    // Through void (*)(): the one function pointer type every other converts from quietly.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(wglGetProcAddress(name)));
}

bool has_extension(const char* list, const char* name) {
    const size_t length = std::strlen(name);
    for (const char* at = list; at && (at = std::strstr(at, name)); at += length)
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) return true;
    return false;
}

} // namespace

int choose_multisampled_format(HDC device, const PIXELFORMATDESCRIPTOR& pfd, int samples) {
    ProbeContext probe;
    if (!probe.open(pfd)) return 0;
    const auto extensions_of =
        look_up<PFNWGLGETEXTENSIONSSTRINGARBPROC>("wglGetExtensionsStringARB");
    const auto choose      = look_up<PFNWGLCHOOSEPIXELFORMATARBPROC>("wglChoosePixelFormatARB");
    const char* extensions = extensions_of ? extensions_of(probe.device) : nullptr;
    if (!choose || !has_extension(extensions, "WGL_ARB_pixel_format") ||
        !has_extension(extensions, "WGL_ARB_multisample"))
        return 0;
    // WGL_COLOR_BITS_ARB counts red, green and blue only; the sizes are minimums.
    const int attributes[] = {WGL_DRAW_TO_WINDOW_ARB,
                              GL_TRUE,
                              WGL_SUPPORT_OPENGL_ARB,
                              GL_TRUE,
                              WGL_DOUBLE_BUFFER_ARB,
                              (pfd.dwFlags & PFD_DOUBLEBUFFER) ? GL_TRUE : GL_FALSE,
                              WGL_PIXEL_TYPE_ARB,
                              WGL_TYPE_RGBA_ARB,
                              WGL_COLOR_BITS_ARB,
                              pfd.cColorBits >= 24 ? 24 : pfd.cColorBits,
                              WGL_ALPHA_BITS_ARB,
                              pfd.cAlphaBits,
                              WGL_DEPTH_BITS_ARB,
                              pfd.cDepthBits,
                              WGL_SAMPLE_BUFFERS_ARB,
                              1,
                              WGL_SAMPLES_ARB,
                              samples,
                              0};
    int format             = 0;
    UINT count             = 0;
    if (!choose(device, attributes, nullptr, 1, &format, &count) || count == 0) return 0;
    return format;
}
