// The functions of mupen64plus's video plug-in interface, over the same core
#define M64P_PLUGIN_PROTOTYPES 1
#include <GL/gl.h>

#include <algorithm>

#include "config/settings.h"
#include "config/ucode_select.h"
#include "config/ucode_without_dialog.h"
#include "faces/m64p/m64p_core.h" // the core's functions, looked up at PluginStartup
#include "framebuffer/color_images.h"
#include "framebuffer/shown_picture.h"
#include "geometry/viewport.h"
#include "host/gl_context.h"
#include "host/plugin.h"
#include "m64p_common.h"
#include "m64p_plugin.h"
#include "render/frame.h"
#include "state/host_state.h"
#include "state/picture.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"
#include "texture/texture_cache.h"

namespace {

constexpr int kPluginVersion   = VEXA_VERSION_NUMBER; // the project's, 0xMMmmpp
constexpr int kVideoApiVersion = 0x020200;
// GFX_INFO has its version, SP_STATUS_REG and RDRAM_SIZE from this core version on.
constexpr int kCoreWithGfxInfoVersion = 0x020501;

bool started;

// What InitiateGFX gives that the core fills in only later: the RDRAM size is 0 until the
// emulation starts (after InitiateGFX), the VI origin changes with every frame the game shows.
const unsigned int* rdram_size_reg;
const unsigned int* vi_origin_reg;
// What the VI shows of a frame the CPU drew: the line width, the first and last line of the
// picture and the vertical scale.
const unsigned int* vi_width_reg;
const unsigned int* vi_v_start_reg;
const unsigned int* vi_y_scale_reg;

// The RDRAM the core has now; 0 while it does not know yet.
uint32_t rdram_size_now() {
    if (!rdram_size_reg) return kRdramSize;
    return std::min<uint32_t>(*rdram_size_reg, kRdramSize);
}

// The frame in progress and the VI origin at the last UpdateScreen.
struct Frames {
    bool drawn;     // a task drew since the last present
    bool presented; // shown (or the window is new): the next task starts on a cleared frame
    bool cpu_shown; // the picture shown is the CPU's, from RDRAM
    uint32_t origin;
};
Frames frames;

// Under SkipEveryOtherTask the tasks present their frames themselves.
bool host_presents() { return frame_rule == FrameRule::host_presents; }

// The game draws into the image the VI shows: it never changes the origin (one buffer), and
// its frame is shown when the VI finds something new drawn there.
bool draws_into_shown_image(uint32_t origin) {
    const uint32_t bytes_per_line = (rdp_reg.color_image_width << rdp_reg.color_image_size) >> 1;
    const uint32_t lines          = static_cast<uint32_t>(std::max(rdp_reg.scissor_height, 1));
    const uint32_t start          = rdp_reg.color_image_address;
    return origin >= start && origin - start < bytes_per_line * lines;
}

} // namespace

extern "C" {

EXPORT m64p_error CALL PluginStartup(m64p_dynlib_handle core, void* context,
                                     void (*debug_callback)(void*, int, const char*)) {
    if (started) return M64ERR_ALREADY_INIT;
    const m64p_error attached = m64p_attach_core(core, context, debug_callback);
    if (attached != M64ERR_SUCCESS) return attached;
    if (!m64p_register_settings()) {
        m64p_log(M64MSG_ERROR, "cannot open the configuration section [%s]", kSettingsSection);
        m64p_detach_core();
        return M64ERR_INPUT_NOT_FOUND;
    }
    started = true;
    return M64ERR_SUCCESS;
}

EXPORT m64p_error CALL PluginShutdown(void) {
    if (!started) return M64ERR_NOT_INIT;
    if (m64p_video.open) release_gl_context();
    m64p_detach_core();
    started = false;
    return M64ERR_SUCCESS;
}

EXPORT m64p_error CALL PluginGetVersion(m64p_plugin_type* type, int* version, int* api_version,
                                        const char** name, int* capabilities) {
    if (type) *type = M64PLUGIN_GFX;
    if (version) *version = kPluginVersion;
    if (api_version) *api_version = kVideoApiVersion;
    if (name) *name = kPluginName;
    if (capabilities) *capabilities = 0;
    return M64ERR_SUCCESS;
}

// Keeps the core's pointers; the window opens with the game, in RomOpen.
EXPORT int CALL InitiateGFX(GFX_INFO info) {
    host              = HostPointers{};
    host.rom_header   = info.HEADER;
    host.rdram        = info.RDRAM;
    host.dmem         = info.DMEM;
    host.mi_interrupt = info.MI_INTR_REG;
    host.vi_status    = info.VI_STATUS_REG;
    vi_origin_reg     = info.VI_ORIGIN_REG;
    vi_width_reg      = info.VI_WIDTH_REG;
    vi_v_start_reg    = info.VI_V_START_REG;
    vi_y_scale_reg    = info.VI_Y_SCALE_REG;
    rdram_size_reg    = m64p_core.version >= kCoreWithGfxInfoVersion && info.version >= 2
                            ? info.RDRAM_SIZE
                            : nullptr;
    return 1;
}

EXPORT int CALL RomOpen(void) {
    if (!started) return 0;
    forget_ucode_selection();
    const VideoSettings settings = m64p_read_settings();
    m64p_video.width             = settings.width;
    m64p_video.height            = settings.height;
    m64p_video.fullscreen        = settings.fullscreen;
    m64p_video.vertical_sync     = settings.vertical_sync;
    m64p_video.multisampling     = player_settings.multisampling;
    frame_rule = player_settings.skip_every_other_task ? FrameRule::every_second_task
                                                       : FrameRule::host_presents;
    frames     = Frames{false, true, false, 0};
    open_texture_packs(m64p_user_data_dir());
    if (!create_gl_context()) return 0;
    measure_window();
    apply_screen_viewport();
    return 1;
}

EXPORT void CALL RomClosed(void) {
    if (m64p_video.open) release_gl_context();
}

EXPORT void CALL ProcessDList(void) {
    if (!m64p_video.open) return;
    m64p_rdram_size        = rdram_size_now();
    framebuffer_rdram_size = m64p_rdram_size;
    if (host_presents() && frames.presented) {
        clear_frame_before_drawing();
        frames.presented = false;
    }
    process_dlist_with(select_ucode_without_dialog);
    frames.drawn = true;
}

EXPORT void CALL ChangeWindow(void) {
    if (!m64p_video.open || m64p_core.vidext_toggle_full_screen() != M64ERR_SUCCESS) return;
    m64p_video.fullscreen = !m64p_video.fullscreen;
    measure_window();
    renew_gl_state();
}

// The user resized the window: the next task draws at the new size.
EXPORT void CALL ResizeVideoOutput(int width, int height) {
    if (!m64p_video.open || width < 1 || height < 1) return;
    if (m64p_core.vidext_resize_window(width, height) != M64ERR_SUCCESS) return;
    m64p_video.width  = width;
    m64p_video.height = height;
    measure_window();
    renew_gl_state();
}

// The drawn picture as RGB rows, bottom row first (screenshots): the picture as shown, without
// the black bars around it. Only the size with no `dest`.
EXPORT void CALL ReadScreen2(void* dest, int* width, int* height, int front) {
    const WindowBox shown =
        lay_out_picture(m64p_video.width, m64p_video.height, player_settings.aspect).picture;
    if (width) *width = m64p_video.open ? shown.width : 0;
    if (height) *height = m64p_video.open ? shown.height : 0;
    if (!dest || !m64p_video.open) return;
    GLint read_buffer = GL_BACK, draw_buffer = GL_BACK;
    glGetIntegerv(GL_READ_BUFFER, &read_buffer);
    glGetIntegerv(GL_DRAW_BUFFER, &draw_buffer); // the back buffer, where one exists
    glReadBuffer(front ? GL_FRONT : static_cast<GLenum>(draw_buffer));
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(shown.x, shown.y, shown.width, shown.height, GL_RGB, GL_UNSIGNED_BYTE, dest);
    glPopClientAttrib();
    glReadBuffer(static_cast<GLenum>(read_buffer));
}

EXPORT void CALL SetRenderingCallback(void (*callback)(int)) {
    m64p_video.render_callback = callback;
}

// The VI has shown a field. A frame the tasks drew is presented when the VI moves to another
// image (the game finished drawing it), or when the VI shows the image they draw into. An image
// no task drew into since it was last shown is the CPU's: its picture in RDRAM is shown when the
// VI moves to it or the CPU changed it, and again in a field after a task (the front end takes
// its screenshots, counted in tasks, at the next present).
EXPORT void CALL UpdateScreen(void) {
    if (!m64p_video.open || !host_presents() || !vi_origin_reg) return;
    const uint32_t origin = *vi_origin_reg & kRdramMask;
    const bool moved      = origin != frames.origin;
    frames.origin         = origin;
    if (player_settings.copy_frame != CopyFrame::off && vi_width_reg && vi_v_start_reg &&
        vi_y_scale_reg && host.vi_status && !tasks_drew_image_at(origin)) {
        const ViPicture vi{origin, *host.vi_status, *vi_width_reg, *vi_v_start_reg,
                           *vi_y_scale_reg};
        const bool changed = cpu_changed_shown_picture(vi);
        if (moved || changed || (frames.cpu_shown && frames.drawn)) {
            show_cpu_frame(vi);
            frames.drawn     = false;
            frames.presented = true;
            frames.cpu_shown = true;
            return;
        }
    }
    if (!frames.drawn || !(moved || draws_into_shown_image(origin))) return;
    swap_frame();
    frames.drawn     = false;
    frames.presented = true;
    frames.cpu_shown = false;
}

// The core's interpreters ask before the CPU reads RDRAM inside an image the info names, and
// tell after it wrote there.
EXPORT void CALL FBRead(unsigned int address) {
    if (m64p_video.open) before_rdram_read(address & kRdramMask & ~0xFFFu, 0x1000);
}

EXPORT void CALL FBWrite(unsigned int address, unsigned int size) {
    if (m64p_video.open) note_cpu_write(address, size);
}

// Six entries, the images drawn in the last frames first; the rest zero.
EXPORT void CALL FBGetFrameBufferInfo(void* p) {
    if (!p) return;
    ColorImageInfo found[kImageInfoEntries] = {};
    const int n                             = m64p_video.open ? color_image_info(found) : 0;
    FrameBufferInfo* out                    = static_cast<FrameBufferInfo*>(p);
    for (int i = 0; i < kImageInfoEntries; ++i)
        out[i] = i < n ? FrameBufferInfo{found[i].address, found[i].size, found[i].width,
                                         found[i].height}
                       : FrameBufferInfo{0, 0, 0, 0};
}

// RDP command lists from the CPU are not handled; the VI's registers are read when a frame is
// shown.
EXPORT void CALL ProcessRDPList(void) {}
EXPORT void CALL ShowCFB(void) {}
EXPORT void CALL ViStatusChanged(void) {}
EXPORT void CALL ViWidthChanged(void) {}
EXPORT void CALL MoveScreen(int, int) {}

} // extern "C"
