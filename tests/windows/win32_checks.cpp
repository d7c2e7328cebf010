// Runs inside Windows (or Wine): loads new_vexa_ogl.dll as a host does and checks what only a
// Windows process can see: the dialog resource, the live dialog, message boxes, the context.
// Prints one line per check and the counts; exits with 1 when a check failed or none ran.
#include <windows.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../../src/faces/win32/config_dialog_ids.h"
#include "plugin_loader.h"

static int passed, failed;

static void check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    ok ? ++passed : ++failed;
}

static std::string wide_to_utf8(const wchar_t* text) {
    char out[512];
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr);
    return out;
}

// Reads a DLGTEMPLATE: the fixed header, then WORD-aligned strings, items DWORD-aligned.
struct TemplateReader {
    const uint8_t* base;
    size_t at = 0;
    uint16_t word() {
        uint16_t v;
        std::memcpy(&v, base + at, 2);
        at += 2;
        return v;
    }
    uint32_t dword() { return word() | uint32_t(word()) << 16; }
    int16_t coordinate() { return static_cast<int16_t>(word()); }
    // A string, or 0xFFFF and an ordinal (returned as "#n").
    std::string name() {
        if (reinterpret_cast<const uint16_t*>(base + at)[0] == 0xFFFF) {
            word();
            return "#" + std::to_string(word());
        }
        std::wstring s;
        for (uint16_t c; (c = word()) != 0;)
            s += static_cast<wchar_t>(c);
        return wide_to_utf8(s.c_str());
    }
    void align4() { at = (at + 3) & ~size_t(3); }
};

struct ExpectedControl {
    int id;
    const char* window_class; // #128 button, #130 static
    uint32_t style;
    const char* text;
    int x, y, cx, cy;
};

static const DWORD kChild                = WS_CHILD | WS_VISIBLE;
static const DWORD kRadio                = kChild | BS_AUTORADIOBUTTON;
static const ExpectedControl kControls[] = {
    {IDOK, "#128", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, "OK", 10, 190, 50, 14},
    {IDCANCEL, "#128", kChild | WS_TABSTOP | BS_PUSHBUTTON, "Abbrechen", 65, 190, 50, 14},
    {1000, "#128", kRadio, "0 - Ex. Mario64, Demos", 10, 20, 99, 10},
    {0xFFFF, "#128", kChild | BS_GROUPBOX, "Select UCode ...", 5, 5, 120, 205},
    {1001, "#128", kRadio, "1 - Ex. Mario Kart", 10, 35, 99, 10},
    {1002, "#128", kRadio, "2 - Ex. Waveracer USA", 10, 50, 99, 10},
    {1003, "#128", kRadio, "3 - Ex. Mortal Kombat 4", 10, 65, 99, 10},
    {1004, "#128", kRadio, "4 - Ex. Zelda", 10, 80, 99, 10},
    {1005, "#128", kRadio, "5 - Ex. Dark Project", 10, 95, 99, 10},
    {1006, "#128", kRadio, "6 - Ex. Diddy Kong Racing", 10, 110, 99, 10},
    {1007, "#128", kRadio, "7 - 2D sprites (S2DEX)", 10, 125, 99, 10},
    {1008, "#128", kRadio, "8 - 2D sprites (S2DEX2)", 10, 140, 99, 10},
    {0xFFFF, "#130", kChild | WS_GROUP | SS_CENTER,
     "Note: if your video.dll crashes you probably have selected a wrong UCode", 15, 155, 95, 25},
};

static void check_dialog_resource(HMODULE dll) {
    HRSRC found = FindResourceExA(dll, MAKEINTRESOURCEA(5), "IDD_CONFIG",
                                  MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    check(found != nullptr, "IDD_CONFIG is a dialog resource of language 1031");
    if (!found) return;
    TemplateReader r{static_cast<const uint8_t*>(LockResource(LoadResource(dll, found)))};
    const uint32_t style = r.dword();
    r.dword(); // extended style
    const uint16_t count = r.word();
    const int x = r.coordinate(), y = r.coordinate(), cx = r.coordinate(), cy = r.coordinate();
    const uint32_t frame =
        DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    check(style == frame, "frame styles: popup, visible, caption, system menu, modal frame, font");
    check(x == 0 && y == 0 && cx == 132 && cy == 216, "frame at 0,0 size 132 x 216");
    check(r.name() == "", "no menu");
    check(r.name() == "", "default class");
    check(r.name() == "Configuration ...", "caption \"Configuration ...\"");
    const uint16_t points = r.word();
    check(points == 8 && r.name() == "MS Sans Serif", "font \"MS Sans Serif\" 8 point");
    check(count == sizeof kControls / sizeof kControls[0], "thirteen controls");
    for (int i = 0; i < count && i < 11; ++i) {
        const ExpectedControl& e = kControls[i];
        r.align4();
        const uint32_t s = r.dword();
        r.dword();
        const int cx_ = r.coordinate(), cy_ = r.coordinate(), w = r.coordinate(),
                  h                    = r.coordinate();
        const int id                   = r.word();
        const std::string window_class = r.name();
        const std::string text         = r.name();
        r.at += r.word(); // creation data
        const std::string what = "control " + std::to_string(i) + " \"" + e.text + "\"";
        check(id == e.id, what + ": id " + std::to_string(id));
        check(window_class == e.window_class, what + ": class " + window_class);
        char styles[64];
        std::snprintf(styles, sizeof styles, ": style %08X (want %08X)", unsigned(s),
                      unsigned(e.style));
        check(s == e.style, what + styles);
        check(text == e.text, what + ": text");
        check(cx_ == e.x && cy_ == e.y && w == e.cx && h == e.cy, what + ": position and size");
    }
}

// Answers the next message box whose caption is `caption`, from another thread, with the
// button `answer`, and records its text. Start it before the call that shows the box.
struct BoxWatcher {
    std::string caption;
    int answer;
    std::string text;
    bool seen     = false;
    HANDLE thread = nullptr;

    BoxWatcher(const char* c, int a) : caption(c), answer(a) {
        thread = CreateThread(nullptr, 0, watch, this, 0, nullptr);
    }
    void wait() { WaitForSingleObject(thread, INFINITE); }
    ~BoxWatcher() {
        wait();
        CloseHandle(thread);
    }

    static DWORD WINAPI watch(void* self) {
        auto* w = static_cast<BoxWatcher*>(self);
        for (int i = 0; i < 500; ++i) {
            if (HWND box = FindWindowA("#32770", w->caption.c_str())) {
                char buffer[512] = "";
                GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
                w->text = buffer;
                w->seen = true;
                PostMessageA(box, WM_COMMAND, w->answer, 0);
                return 0;
            }
            Sleep(10);
        }
        return 0;
    }
};

static int count_config_dialogs() {
    int n = 0;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", "Configuration ..."));)
        ++n;
    return n;
}

static HWND open_dialog(const Plugin& p) {
    p.DllConfig(nullptr);
    return FindWindowA("#32770", "Configuration ...");
}

static bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

static void check_config_dialog(const Plugin& p) {
    HWND dialog = open_dialog(p);
    check(dialog != nullptr, "DllConfig opens \"Configuration ...\"");
    if (!dialog) return;
    check(checked(dialog, 1000), "with no family chosen, family 0 is checked");
    p.DllConfig(nullptr);
    check(count_config_dialogs() == 1, "a second DllConfig opens no second dialog");
    check(GetWindow(dialog, GW_OWNER) == nullptr, "the dialog has no owner");

    SendDlgItemMessageA(dialog, 1003, BM_CLICK, 0, 0);
    check(checked(dialog, 1003) && !checked(dialog, 1000),
          "the radio buttons are one group: checking 3 clears 0");
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    check(!IsWindow(dialog), "OK closes and destroys the dialog");

    dialog = open_dialog(p);
    check(dialog && checked(dialog, 1003), "reopened, the dialog shows family 3 chosen by OK");
    SendDlgItemMessageA(dialog, 1005, BM_CLICK, 0, 0);
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    check(!IsWindow(dialog), "cancel closes and destroys the dialog");

    dialog = open_dialog(p);
    check(dialog && checked(dialog, 1003) && !checked(dialog, 1005), "cancel left family 3 chosen");
    // The close box posts the cancel command: the host's message loop delivers it.
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);)
        DispatchMessageA(&m);
    check(!IsWindow(dialog), "the close box cancels the dialog");
    check(count_config_dialogs() == 0, "no dialog window is left behind");
}

static void check_message_boxes(const Plugin& p) {
    {
        BoxWatcher w("Vexa OpenGL - About Box", IDOK);
        p.DllAbout(nullptr);
        w.wait();
        check(w.seen && w.text == "New Vexa OpenGL v0.1", "DllAbout: \"" + w.text + "\"");
    }
    {
        BoxWatcher w("message", IDOK);
        p.DllTest(nullptr);
        w.wait();
        check(w.seen && w.text == "No Test Box yet", "DllTest: \"" + w.text + "\"");
    }
}

static void check_context(const Plugin& p) {
    static uint8_t rdram[0x800000], dmem[0x1000], header[64];
    static uint32_t mi, vi = 2, other[21];
    HostGfxInfo info{};
    info.rom_header   = header;
    info.rdram        = rdram;
    info.dmem         = dmem;
    info.mi_interrupt = &mi;
    info.vi_status    = &vi;
    for (int i = 0; i < 21; ++i)
        info.other_registers[i] = &other[i];

    {
        BoxWatcher w("Vexa", IDOK);
        const int32_t made = p.InitiateGFX(info);
        w.wait();
        check(made == 0 && w.text == "GetDC on main window failed",
              "InitiateGFX without a window fails at GetDC: \"" + w.text + "\"");
    }

    HWND window = CreateWindowA("STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    info.window = window;
    check(p.InitiateGFX(info) == 1, "InitiateGFX with a window makes a context");
    HDC dc = wglGetCurrentDC();
    check(wglGetCurrentContext() != nullptr && WindowFromDC(dc) == window,
          "the context is current on the window's device context");
    PIXELFORMATDESCRIPTOR pfd{};
    DescribePixelFormat(dc, GetPixelFormat(dc), sizeof pfd, &pfd);
    check((pfd.dwFlags & PFD_DOUBLEBUFFER) && (pfd.dwFlags & PFD_SUPPORT_OPENGL) &&
              pfd.iPixelType == PFD_TYPE_RGBA && pfd.cDepthBits >= 16,
          "pixel format: RGBA, double-buffered, OpenGL, depth >= 16");
    check(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_BLEND) && glIsEnabled(GL_ALPHA_TEST),
          "default render state: depth test, blending and alpha test on");
}

// A console whose ROM header gives the INI section 78563412F0DEBC9A-45 (or another checksum
// byte for a second game) and whose display list at 0 ends at once.
struct TinyConsole {
    uint8_t rdram[0x800000];
    uint8_t dmem[0x1000];
    uint8_t header[64];
    uint32_t mi = 0, vi = 2, other[21];

    TinyConsole(uint8_t first_checksum_byte, const char* name) {
        uint8_t image[64]          = {0x80, 0x37, 0x12, 0x40};
        const uint8_t checksums[8] = {
            first_checksum_byte, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};
        std::memcpy(image + 0x10, checksums, 8);
        std::memcpy(image + 0x20, name, std::strlen(name));
        image[0x3E] = 0x45;
        for (int i = 0; i < 64; ++i)
            header[i ^ 3] = image[i];
    }
    HostGfxInfo gfx_info(HWND window) {
        HostGfxInfo info{};
        info.window       = window;
        info.rom_header   = header;
        info.rdram        = rdram;
        info.dmem         = dmem;
        info.mi_interrupt = &mi;
        info.vi_status    = &vi;
        for (int i = 0; i < 21; ++i)
            info.other_registers[i] = &other[i];
        return info;
    }
};

// The user at the screen, on a thread of its own as a host's user-interface thread: when the
// plug-in asks to configure the game, opens the dialog, picks `family` and presses OK, then
// dismisses the box; answers Yes when asked to save. Runs until `done` is set, so that its
// thread's end (which resets the plug-in's choice) comes after the checks.
struct User {
    const Plugin* plugin;
    int family;
    volatile bool done = false;
    volatile int asked = 0; // "Vexa ogl" boxes seen
    volatile int saved = 0; // "UCode" boxes answered Yes
    HANDLE started     = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread      = nullptr;

    // Returns once the thread runs: its attach, which resets the plug-in's choice, is over.
    User(const Plugin* p, int f) : plugin(p), family(f) {
        thread = CreateThread(nullptr, 0, act, this, 0, nullptr);
        WaitForSingleObject(started, INFINITE);
    }
    ~User() {
        done = true;
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        CloseHandle(started);
    }

    static DWORD WINAPI act(void* self) {
        auto* u = static_cast<User*>(self);
        SetEvent(u->started);
        for (int i = 0; i < 3000 && !u->done; ++i, Sleep(10)) {
            if (HWND box = FindWindowA("#32770", "Vexa ogl")) {
                ++u->asked;
                if (HWND dialog = open_dialog(*u->plugin)) {
                    SendDlgItemMessageA(dialog, 1000 + u->family, BM_CLICK, 0, 0);
                    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
                }
                SendMessageA(box, WM_COMMAND, IDOK, 0);
                while (IsWindow(box))
                    Sleep(10);
            }
            if (HWND box = FindWindowA("#32770", "UCode")) {
                ++u->saved;
                SendMessageA(box, WM_COMMAND, IDYES, 0);
                while (IsWindow(box))
                    Sleep(10);
            }
        }
        return 0;
    }
};

static HWND host_window() {
    return CreateWindowA("STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 320, 240,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// An unknown game: the plug-in asks, the user picks family 4 in the dialog, and at RomClosed
// agrees to save. The INI file beside this program then holds the game; Linux reads it.
static void write_ini(const Plugin& p) {
    static TinyConsole console(0x12, "WINE WRITES");
    User user(&p, 4);
    check(p.InitiateGFX(console.gfx_info(host_window())) == 1, "InitiateGFX");
    p.RomOpen();
    p.ProcessDList();
    check(user.asked == 1,
          "an unknown game makes the plug-in ask once: " + std::to_string(user.asked));
    p.RomClosed();
    check(user.saved == 1, "RomClosed asks to save the choice");
}

// A game that Linux wrote into the INI file: no question, and the dialog shows its family.
static void read_ini(const Plugin& p, int family) {
    static TinyConsole console(0x13, "LINUX WROTE");
    User user(&p, 0);
    check(p.InitiateGFX(console.gfx_info(host_window())) == 1, "InitiateGFX");
    p.ProcessDList();
    check(user.asked == 0, "a configured game is not asked for");
    HWND dialog = open_dialog(p);
    check(dialog && checked(dialog, 1000 + family),
          "the dialog shows family " + std::to_string(family) + " from the file");
    if (dialog) SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

// ChangeDisplaySettingsA as the plug-in calls it, through its import table: every call is
// recorded, and the full-screen mode is refused when asked to (as most current drivers refuse
// 16-bit modes).
struct ModeCall {
    bool has_mode;
    DEVMODEA mode;
    DWORD flags;
};
static std::vector<ModeCall> mode_calls;
static bool refuse_fullscreen_mode;
static decltype(&ChangeDisplaySettingsA) real_change_display_settings;

static LONG WINAPI recorded_change_display_settings(DEVMODEA* mode, DWORD flags) {
    ModeCall call{mode != nullptr, {}, flags};
    if (mode) std::memcpy(&call.mode, mode, std::min<size_t>(mode->dmSize, sizeof call.mode));
    mode_calls.push_back(call);
    if (refuse_fullscreen_mode && mode && flags == CDS_FULLSCREEN) return DISP_CHANGE_BADMODE;
    return real_change_display_settings(mode, flags);
}

// Points the DLL's import of user32!ChangeDisplaySettingsA at the recorder.
static bool hook_change_display_settings(HMODULE dll) {
    auto* base = reinterpret_cast<uint8_t*>(dll);
    auto* dos  = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt   = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name;
         ++d) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), "user32.dll") != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<char*>(by_name->Name), "ChangeDisplaySettingsA"))
                continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            real_change_display_settings =
                reinterpret_cast<decltype(real_change_display_settings)>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<DWORD_PTR>(&recorded_change_display_settings);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return true;
        }
    }
    return false;
}

// ShowCursor's display counter of this thread: 0 shown, -1 hidden once.
static int cursor_count() {
    const int count = ShowCursor(FALSE);
    ShowCursor(TRUE);
    return count + 1;
}

struct WindowState {
    DWORD style, ex_style;
    HMENU menu;
    RECT rect;
    bool status_bar_visible;
    int cursor;
};

static WindowState state_of(HWND window, HWND status_bar) {
    WindowState s{};
    s.style    = GetWindowLongA(window, GWL_STYLE);
    s.ex_style = GetWindowLongA(window, GWL_EXSTYLE);
    s.menu     = GetMenu(window);
    GetWindowRect(window, &s.rect);
    s.status_bar_visible = status_bar && IsWindowVisible(status_bar);
    s.cursor             = cursor_count();
    return s;
}

static std::string rect_text(const RECT& r) {
    char text[80];
    std::snprintf(text, sizeof text, "(%ld, %ld)-(%ld, %ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

static std::string hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lX", value);
    return text;
}

// The host windows that go full screen and back: with a menu, a status bar and an extended
// style of their own, or with neither menu nor status bar, or with a status bar the user hid.
struct HostWindowCase {
    const char* name;
    bool menu;
    bool status_bar;
    bool status_bar_hidden;
};

static void check_fullscreen_round_trip(const Plugin& p, const HostWindowCase& c, bool refuse) {
    const std::string what = std::string(c.name) + (refuse ? ", 16-bit mode refused" : "") + ": ";
    HMENU menu             = nullptr;
    if (c.menu) {
        menu = CreateMenu();
        AppendMenuA(menu, MF_STRING, 1, "&File");
    }
    HWND window =
        CreateWindowExA(WS_EX_ACCEPTFILES, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                        50, 400, 300, nullptr, menu, GetModuleHandleA(nullptr), nullptr);
    HWND status_bar = nullptr;
    if (c.status_bar)
        status_bar =
            CreateWindowA("STATIC", "status", WS_CHILD | (c.status_bar_hidden ? 0 : WS_VISIBLE), 0,
                          230, 400, 20, window, nullptr, GetModuleHandleA(nullptr), nullptr);
    static TinyConsole console(0x14, "FULL SCREEN");
    HostGfxInfo info = console.gfx_info(window);
    info.status_bar  = status_bar;
    check(p.InitiateGFX(info) == 1, what + "InitiateGFX");

    const WindowState before = state_of(window, status_bar);
    const RECT screen        = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    mode_calls.clear();
    refuse_fullscreen_mode = refuse;
    p.ChangeWindow();
    const WindowState full = state_of(window, status_bar);

    const bool asked  = !mode_calls.empty() && mode_calls[0].has_mode;
    const DEVMODEA& m = mode_calls.empty() ? DEVMODEA{} : mode_calls[0].mode;
    check(asked && mode_calls[0].flags == CDS_FULLSCREEN && m.dmSize == 148 &&
              m.dmFields == 0x1C0000 && m.dmBitsPerPel == 16 &&
              LONG(m.dmPelsWidth) == screen.right && LONG(m.dmPelsHeight) == screen.bottom,
          what + "asks for the desktop's size at 16 bits per pixel, fields 1C0000, 148 bytes");
    // The system keeps top-level windows clipping their siblings.
    check((full.style & ~WS_CLIPSIBLINGS) == (WS_POPUP | WS_VISIBLE),
          what + "full screen: a visible popup, style " + hex(full.style));
    check((full.ex_style & (WS_EX_TOPMOST | WS_EX_APPWINDOW)) == (WS_EX_TOPMOST | WS_EX_APPWINDOW),
          what + "full screen: topmost application window, extended style " + hex(full.ex_style));
    check(EqualRect(&full.rect, &screen),
          what + "full screen covers the screen: " + rect_text(full.rect));
    check(full.menu == nullptr, what + "full screen: no menu");
    check(!full.status_bar_visible, what + "full screen: no status bar");
    check(full.cursor == before.cursor - 1, what + "full screen hides the cursor");
    RECT r;
    GetClientRect(window, &r);
    check(r.right == screen.right && r.bottom == screen.bottom,
          what + "the client area is the screen: " + rect_text(r));

    const size_t entered = mode_calls.size();
    p.ChangeWindow();
    const WindowState back = state_of(window, status_bar);
    check(back.style == before.style,
          what + "back: style " + hex(back.style) + " (was " + hex(before.style) + ")");
    check(back.ex_style == before.ex_style, what + "back: extended style " + hex(back.ex_style) +
                                                " (was " + hex(before.ex_style) + ")");
    check(EqualRect(&back.rect, &before.rect), what + "back: rectangle " + rect_text(back.rect) +
                                                   " (was " + rect_text(before.rect) + ")");
    check(back.menu == before.menu, what + "back: the menu is the window's again");
    check(back.status_bar_visible == before.status_bar_visible,
          what + "back: the status bar is as visible as before");
    check(back.cursor == before.cursor, what + "back: the cursor shows again");

    // A mode that was set is undone through the registry's mode and the saved one; a mode
    // that was refused is not undone at all.
    std::vector<ModeCall> leave(mode_calls.begin() + entered, mode_calls.end());
    const bool mode_was_set = !refuse && asked;
    if (mode_was_set)
        check(leave.size() == 3 && !leave[0].has_mode && leave[0].flags == CDS_TEST &&
                  !leave[1].has_mode && leave[1].flags == CDS_RESET && leave[2].has_mode &&
                  leave[2].flags == CDS_RESET && LONG(leave[2].mode.dmPelsWidth) == screen.right,
              what + "leaving tests the registry's mode, resets to it, then to the saved mode");
    else
        check(leave.empty(),
              what + "leaving changes no display mode: " + std::to_string(leave.size()) + " calls");
    DestroyWindow(window);
}

static void check_fullscreen(const Plugin& p) {
    if (!hook_change_display_settings(static_cast<HMODULE>(p.library))) {
        check(false, "the DLL imports ChangeDisplaySettingsA from user32.dll");
        return;
    }
    const HostWindowCase cases[] = {
        {"menu and status bar", true, true, false},
        {"no menu, no status bar", false, false, false},
        {"hidden status bar", true, true, true},
    };
    for (bool refuse : {false, true})
        for (const HostWindowCase& c : cases)
            check_fullscreen_round_trip(p, c, refuse);
}

// win32-checks DLL SECTION [FAMILY]: SECTION is resource, dialog, message-boxes, context,
// ini-write, ini-read (the family that the file holds for the game) or fullscreen.
int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: win32-checks DLL SECTION [FAMILY]\n");
        return 2;
    }
    Plugin p;
    std::string error;
    if (!load_plugin(argv[1], &p, &error)) {
        std::printf("FAIL %s\n0 passed, 1 failed\n", error.c_str());
        return 1;
    }
    const std::string section = argv[2];
    if (section == "resource") check_dialog_resource(static_cast<HMODULE>(p.library));
    if (section == "dialog") check_config_dialog(p);
    if (section == "message-boxes") check_message_boxes(p);
    if (section == "context") check_context(p);
    if (section == "ini-write") write_ini(p);
    if (section == "ini-read" && argc > 3) read_ini(p, std::atoi(argv[3]));
    if (section == "fullscreen") check_fullscreen(p);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
