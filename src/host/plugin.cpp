// Plug-in-wide state kept from the host, and the bodies of the exported functions
#include "host/plugin.h"

#include <GL/gl.h>
#include <cstring>

#include "capture/frame_capture.h"
#include "config/settings.h"
#include "config/ucode_select.h"
#include "dlist/interpreter.h"
#include "framebuffer/color_images.h"
#include "host/gl_context.h"
#include "pack/pack_names.h"
#include "pack/pack_store.h"
#include "platform/platform.h"
#include "rdp/rdp_commands.h"
#include "render/frame.h"
#include "render/gl_idle.h"
#include "state/picture.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"

void fill_plugin_info(PluginInfo* info) {
    info->version     = 0x0102;
    info->plugin_type = 2;
    std::memcpy(info->name, kPluginName, sizeof kPluginName);
    info->plain_memory   = 0;
    info->swapped_memory = 1;
}

void measure_window() {
    ClientRect r{};
    platform_client_rect(host.window, &r);
    window_width  = r.right - r.left;
    window_height = r.bottom - r.top;
    update_picture_layout(player_settings.aspect);
}

int32_t initiate_gfx(const HostGfxInfo& info) {
    host.rdram        = info.rdram;
    host.mi_interrupt = info.mi_interrupt;
    host.rom_header   = info.rom_header;
    host.dmem         = info.dmem;
    host.vi_status    = info.vi_status;
    host.window       = info.window;
    host.status_bar   = info.status_bar;
    for (int i = 0; i < 21; ++i)
        host.registers[i] = info.other_registers[i];
    // First: the picture's shape goes with the window's measure, and SDL makes its own window
    // with the multisampling asked.
    read_ini_settings();
    measure_window();
    return create_gl_context();
}

void process_dlist() { process_dlist_with(select_ucode); }

void process_dlist_with(int32_t (*select)()) {
    // A host that calls before InitiateGFX has given us no memory to read.
    if (!host.dmem || !host.rdram) return;
    uint32_t start;
    std::memcpy(&start, host.dmem + 0xFF0, sizeof start);
    measure_window();
    const WindowBox screen = screen_box(); // the console's screen: the window unless it has bars
    if (screen.width > 0 && screen.height > 0) glOrtho(0, screen.width, screen.height, 0, 0, 1);
    apply_scissor();
    UcodeType = static_cast<uint32_t>(select());
    // The tasks the interpreter draws are captured: every second one (odd counts so far)
    // under the system's rule.
    if (frame_rule == FrameRule::host_presents || (dlist_counter & 1)) capture_task(start);
    run_display_list(start);
    task_done();
    check_gl_idle("ProcessDList");
}

void show_cpu_frame(const ViPicture& vi) {
    clear_frame();
    draw_rdram_picture(vi.origin, vi.width & 0xFFF, vi.status & 3, vi_lines(vi));
    swap_frame();
    check_gl_idle("the CPU's frame");
}

// The VI's registers among the host's others: after the RDP's seven come VI_STATUS,
// VI_ORIGIN, VI_WIDTH and the timing registers, VI_V_START the tenth, VI_Y_SCALE the last.
enum { kViStatus = 7, kViOrigin = 8, kViWidth = 9, kViVStart = 17, kViYScale = 20 };

// Under the system's frame rule every second task is not drawn, so which image the tasks drew
// is known only for half of them: a VI that moved to an image no drawn task drew counts as
// showing the CPU's only when no task came at all since the last field. A picture whose RDRAM
// changed is the CPU's whatever came (the tasks draw only into the window). While it is shown, a
// field after a task shows it again: the drawn tasks present their own frames.
void update_screen() {
    static uint32_t last_origin, tasks_then;
    static bool cpu_shown;
    uint32_t* const* r = host.registers;
    if (!host.rdram || player_settings.copy_frame == CopyFrame::off || !r[kViStatus] ||
        !r[kViOrigin] || !r[kViWidth] || !r[kViVStart] || !r[kViYScale])
        return;
    const ViPicture vi{*r[kViOrigin] & kRdramMask, *r[kViStatus], *r[kViWidth], *r[kViVStart],
                       *r[kViYScale]};
    const bool tasks_came = dlist_counter != tasks_then;
    const bool moved      = vi.origin != last_origin;
    tasks_then            = dlist_counter;
    last_origin           = vi.origin;
    if (tasks_drew_image_at(vi.origin)) {
        cpu_shown = false;
        return;
    }
    const bool changed = cpu_changed_shown_picture(vi);
    if (moved && tasks_came) cpu_shown = false;
    if (!changed && !(moved && !tasks_came) && !(cpu_shown && tasks_came)) return;
    cpu_shown = true;
    show_cpu_frame(vi);
    // The next drawn task presents the back buffer again: it holds the same picture.
    draw_rdram_picture(vi.origin, vi.width & 0xFFF, vi.status & 3, vi_lines(vi));
}

void show_about_box() {
    platform_message_box(kPluginName, "Vexa OpenGL - About Box", MessageIcon::information,
                         MessageButtons::ok);
}

void show_test_box() {
    platform_message_box("No Test Box yet", "message", MessageIcon::none, MessageButtons::ok);
}

void library_entry(void* module) {
    module_instance = module;
    selected_ucode  = -1;
    ucode_chosen    = 0;
}

void open_texture_packs(const std::string& data_dir) {
    const PlayerSettings& s  = player_settings;
    const HeaderImage header = header_image(host.rom_header);
    pack_open(pack_rom_name(header.bytes + 0x20),
              s.hires_folder.empty() ? data_dir + "hires_texture" : s.hires_folder,
              s.dump_folder.empty() ? data_dir + "texture_dump" : s.dump_folder,
              s.load_hires_textures, s.dump_textures);
}
