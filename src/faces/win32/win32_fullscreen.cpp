// The full-screen steps on Win32: display modes, cursor, menu, styles and window placement
#include <windows.h>

#include <cstring>

#include "faces/win32/win32_face.h"

static_assert(kStylePopup == WS_POPUP && kStyleVisible == WS_VISIBLE, "USER32's style bits");
static_assert(kExStyleTopmost == WS_EX_TOPMOST && kExStyleAppWindow == WS_EX_APPWINDOW,
              "USER32's extended style bits");
static_assert(sizeof(DEVMODEA) <= sizeof DisplayMode::record, "a saved mode holds a DEVMODEA");

static HWND hwnd(void* window) { return static_cast<HWND>(window); }

bool win32_current_display_mode(DisplayMode* mode) {
    DEVMODEA current{};
    current.dmSize   = sizeof current;
    const bool known = EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current) != FALSE;
    mode->width      = static_cast<int32_t>(current.dmPelsWidth);
    mode->height     = static_cast<int32_t>(current.dmPelsHeight);
    mode->bits       = static_cast<int32_t>(current.dmBitsPerPel);
    std::memcpy(mode->record, &current, sizeof current);
    return known;
}

// The mode record as Windows NT 4 defined it: 148 bytes, without the panning fields.
constexpr WORD kModeRecordSize = 148;
static_assert((DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT) == 0x1C0000, "mode fields");

bool win32_change_display_mode(int32_t width, int32_t height, int32_t bits) {
    DEVMODEA mode{};
    mode.dmSize       = kModeRecordSize;
    mode.dmFields     = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmBitsPerPel = static_cast<DWORD>(bits);
    mode.dmPelsWidth  = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

bool win32_test_registry_display_mode() {
    return ChangeDisplaySettingsA(nullptr, CDS_TEST) == DISP_CHANGE_SUCCESSFUL;
}

void win32_reset_display_mode(const DisplayMode* mode) {
    DEVMODEA saved;
    if (mode) std::memcpy(&saved, mode->record, sizeof saved);
    ChangeDisplaySettingsA(mode ? &saved : nullptr, CDS_RESET);
}

void win32_show_cursor(bool show) { ShowCursor(show ? TRUE : FALSE); }

static void copy_rect(const RECT& from, Rect* to) {
    *to = Rect{from.left, from.top, from.right, from.bottom};
}

bool win32_window_rect(void* window, Rect* rect) {
    RECT r{};
    const bool known = GetWindowRect(hwnd(window), &r) != FALSE;
    copy_rect(r, rect);
    return known;
}

bool win32_window_normal_rect(void* window, Rect* rect) {
    WINDOWPLACEMENT placement{};
    placement.length = 44;
    static_assert(sizeof placement == 44, "WINDOWPLACEMENT");
    const bool known = GetWindowPlacement(hwnd(window), &placement) != FALSE;
    copy_rect(placement.rcNormalPosition, rect);
    return known;
}

void* win32_window_menu(void* window) { return GetMenu(hwnd(window)); }

void win32_set_window_menu(void* window, void* menu) {
    SetMenu(hwnd(window), static_cast<HMENU>(menu));
}

uint32_t win32_window_style(void* window) {
    return static_cast<uint32_t>(GetWindowLongA(hwnd(window), GWL_STYLE));
}

uint32_t win32_window_ex_style(void* window) {
    return static_cast<uint32_t>(GetWindowLongA(hwnd(window), GWL_EXSTYLE));
}

void win32_set_window_style(void* window, uint32_t style) {
    SetWindowLongA(hwnd(window), GWL_STYLE, static_cast<LONG>(style));
}

void win32_set_window_ex_style(void* window, uint32_t style) {
    SetWindowLongA(hwnd(window), GWL_EXSTYLE, static_cast<LONG>(style));
}

bool win32_window_visible(void* window) { return IsWindowVisible(hwnd(window)) != FALSE; }

void win32_show_window(void* window, ShowWindowAs how) {
    const int command = how == ShowWindowAs::hide   ? SW_HIDE
                        : how == ShowWindowAs::show ? SW_SHOW
                                                    : SW_SHOWNORMAL;
    ShowWindow(hwnd(window), command);
}

void win32_place_window(void* window, WindowLayer layer, const Rect& rect, bool keep_size) {
    const HWND after = layer == WindowLayer::topmost       ? HWND_TOPMOST
                       : layer == WindowLayer::not_topmost ? HWND_NOTOPMOST
                                                           : HWND_TOP;
    const UINT flags = SWP_SHOWWINDOW | (keep_size ? SWP_NOSIZE : 0);
    SetWindowPos(hwnd(window), after, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, flags);
}
