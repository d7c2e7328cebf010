// vexa-host on Windows: a Win32 window for the plug-in, paths from the module file name
#include <windows.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "host_os.h"

static HWND host_window;

std::string executable_path() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string("vexa-host.exe");
}

std::string executable_dir() {
    const std::string path = executable_path();
    const size_t slash     = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Beside the program, else in the Plugin folder beside it, where emulators keep plug-ins (the
// release's layout).
std::string default_plugin_path() {
    const std::string beside = executable_dir() + "\\new_vexa_ogl.dll";
    if (GetFileAttributesA(beside.c_str()) != INVALID_FILE_ATTRIBUTES) return beside;
    return executable_dir() + "\\Plugin\\new_vexa_ogl.dll";
}

static LRESULT CALLBACK host_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(window, message, wparam, lparam);
}

// Windows emulators always hand the plug-in their render window: 640 x 480 unless asked.
bool make_host_window(int width, int height, void** window) {
    *window = nullptr;
    if (width == 0 && height == 0) {
        width  = 640;
        height = 480;
    }
    WNDCLASSA wc{};
    wc.style         = CS_OWNDC;
    wc.lpfnWndProc   = host_window_proc;
    wc.hInstance     = GetModuleHandleA(nullptr);
    wc.hCursor       = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "vexa-host";
    RegisterClassA(&wc);

    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT frame        = {0, 0, width, height};
    AdjustWindowRect(&frame, style, FALSE);
    host_window = CreateWindowA("vexa-host", "vexa-host", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, wc.hInstance, nullptr);
    if (!host_window) {
        std::fprintf(stderr, "vexa-host: cannot create a %dx%d window: error %lu\n", width, height,
                     GetLastError());
        return false;
    }
    ShowWindow(host_window, SW_SHOWNORMAL);
    pump_host_messages();
    *window = host_window;
    return true;
}

void pump_host_messages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool read_frame(std::vector<uint8_t>* rgba, int* width, int* height) {
    RECT client;
    if (!wglGetCurrentContext() || !GetClientRect(host_window, &client)) return false;
    *width            = client.right - client.left;
    *height           = client.bottom - client.top;
    GLint draw_buffer = GL_BACK;
    glGetIntegerv(GL_DRAW_BUFFER, &draw_buffer);
    glReadBuffer(static_cast<GLenum>(draw_buffer));
    rgba->resize(static_cast<size_t>(*width) * *height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, *width, *height, GL_RGBA, GL_UNSIGNED_BYTE, rgba->data());
    return glGetError() == GL_NO_ERROR;
}

// cmd.exe drops the first and last quote of a command line: one more pair keeps the rest.
int run_command(const std::string& command) { return std::system(("\"" + command + "\"").c_str()); }
