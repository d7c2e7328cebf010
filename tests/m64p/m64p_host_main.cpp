// m64p-host: renders the demo scenes through a mupen64plus video plug-in inside Debian's core,
// to PNG files as vexa-host does, or times them
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core_host.h"
#include "host_ini.h"
#include "png_writer.h"
#include "scenes.h"

namespace fs = std::filesystem;

namespace {

struct Options {
    std::string plugin;
    std::string out;
    std::vector<std::string> scenes;
    int frames       = 0; // 0: the scene's own count
    int bench_frames = 0; // timing instead of pictures
    int tasks        = 1; // graphics tasks per frame (2 for SkipEveryOtherTask=True)
    bool verbose     = false;
};

void usage() {
    std::printf(
        "usage: m64p-host --plugin PATH [--scene NAME]... [--out DIR] [--frames N]\n"
        "                 [--bench N] [--tasks-per-frame 1|2] [--verbose]\n"
        "Starts Debian's mupen64plus core (libmupen64plus.so.2) without a ROM, attaches the\n"
        "video plug-in and renders demo scenes through it: every frame to DIR/<scene>-<frame>.png\n"
        "(read with ReadScreen2), or with --bench N the time of N frames per scene.\n");
}

bool parse(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a  = argv[i];
        const bool has_value = i + 1 < argc;
        if (a == "--plugin" && has_value)
            o->plugin = argv[++i];
        else if (a == "--out" && has_value)
            o->out = argv[++i];
        else if (a == "--scene" && has_value)
            o->scenes.push_back(argv[++i]);
        else if (a == "--frames" && has_value)
            o->frames = std::atoi(argv[++i]);
        else if (a == "--bench" && has_value)
            o->bench_frames = std::atoi(argv[++i]);
        else if (a == "--tasks-per-frame" && has_value)
            o->tasks = std::atoi(argv[++i]);
        else if (a == "--verbose")
            o->verbose = true;
        else
            return false;
    }
    return !o->plugin.empty() && o->tasks >= 1 && o->tasks <= 2 && o->bench_frames >= 0;
}

// The scene's family, as a game would show it: its microcode text where the family has one,
// else the INI entry a user would write.
bool prepare_scene(const Scene& scene, Console& console, const CoreHost& core) {
    console.set_rom_header(scene.crc1, scene.crc2, 0x45, scene.name);
    if (ucode_text_of_family(scene.family)) return true;
    std::string error;
    if (save_family_choice_in(core.config_dir() + "/vexa_ogl.ini", console.rom_header, scene.family,
                              &error))
        return true;
    std::fprintf(stderr, "m64p-host: %s\n", error.c_str());
    return false;
}

void run_tasks(const VideoPlugin& plugin, const Scene& scene, Console& console, uint32_t address,
               int tasks) {
    for (int task = 0; task < tasks; ++task) {
        console.mi_interrupt = 0;
        set_gfx_task(console, address, ucode_text_of_family(scene.family));
        plugin.ProcessDList();
    }
}

// The VI then shows the finished image, the one the plug-in says the tasks drew (else the
// other of two buffers): its origin moves between the image's first and second line.
void show_frame(const VideoPlugin& plugin, VideoRegisters& registers) {
    FrameBufferInfo drawn[6] = {};
    if (plugin.FBGetFrameBufferInfo) plugin.FBGetFrameBufferInfo(drawn);
    if (drawn[0].addr && drawn[0].width)
        registers.vi_origin = registers.vi_origin == drawn[0].addr
                                  ? drawn[0].addr + drawn[0].width * drawn[0].size
                                  : drawn[0].addr;
    else
        registers.vi_origin ^= 0x40000;
    plugin.UpdateScreen();
}

void run_frame(const VideoPlugin& plugin, const Scene& scene, Console& console,
               VideoRegisters& registers, int frame, int tasks) {
    run_tasks(plugin, scene, console, scene.build(console, frame), tasks);
    show_frame(plugin, registers);
}

bool write_frame(const VideoPlugin& plugin, const std::string& path) {
    std::vector<uint8_t> rgb;
    int width = 0, height = 0;
    if (!read_screen(plugin, &rgb, &width, &height)) return false;
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    for (size_t p = 0; p < static_cast<size_t>(width) * height; ++p) {
        std::memcpy(&rgba[4 * p], &rgb[3 * p], 3);
        rgba[4 * p + 3] = 255;
    }
    return write_png(path, width, height, rgba);
}

double milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Share of pixels that are not black in the framebuffer the last task drew into (a plug-in
// may draw into a framebuffer object of its own, which ReadScreen2 does not show), so that a
// time is never that of a plug-in that drew nothing.
double drawn_share() {
    const int width = 640, height = 480; // every plug-in's default window
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    size_t lit = 0;
    for (size_t p = 0; p < rgb.size(); p += 3)
        lit += (rgb[p] | rgb[p + 1] | rgb[p + 2]) != 0;
    return 100.0 * static_cast<double>(lit) / (static_cast<double>(width) * height);
}

// Per frame: the ProcessDList calls alone, and with glFinish after them (the GPU's share);
// the VI's showing of the frame is not timed.
void bench_scene(const VideoPlugin& plugin, const Scene& scene, Console& console,
                 VideoRegisters& registers, const Options& o) {
    for (int frame = 0; frame < 5; ++frame) // warm-up: shaders, textures, caches
        run_frame(plugin, scene, console, registers, frame, o.tasks);
    glFinish();
    std::vector<double> dlist, finished;
    for (int frame = 0; frame < o.bench_frames; ++frame) {
        const uint32_t address = scene.build(console, frame);
        const auto start       = std::chrono::steady_clock::now();
        run_tasks(plugin, scene, console, address, o.tasks);
        const auto returned = std::chrono::steady_clock::now();
        glFinish();
        const auto done = std::chrono::steady_clock::now();
        dlist.push_back(milliseconds(returned - start));
        finished.push_back(milliseconds(done - start));
        show_frame(plugin, registers);
    }
    run_frame(plugin, scene, console, registers, 0, o.tasks);
    // One line per scene, tab-separated, for scripts/run-bench.
    std::printf("%s\t%s\t%.4f\t%.4f\t%.1f\n", scene.name, plugin.name.c_str(), median(dlist),
                median(finished), drawn_share());
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, &o)) {
        usage();
        return 2;
    }
    if (o.scenes.empty())
        for (const Scene& s : all_scenes())
            o.scenes.push_back(s.name);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);

    CoreHost core;
    core.echo = o.verbose;
    VideoPlugin plugin;
    std::string error;
    if (!core.start(&error) || !core.attach(o.plugin, &plugin, &error)) {
        std::fprintf(stderr, "m64p-host: %s\n", error.c_str());
        return 1;
    }
    static Console console; // 8 MB: kept off the stack
    VideoRegisters registers;
    int failures = 0;
    for (const std::string& name : o.scenes) {
        const Scene* scene = find_scene(name);
        if (!scene) {
            std::fprintf(stderr, "m64p-host: no scene named %s\n", name.c_str());
            return 2;
        }
        if (!prepare_scene(*scene, console, core)) return 1;
        if (!plugin.InitiateGFX(core.gfx_info(console, registers)) || !plugin.RomOpen()) {
            std::fprintf(stderr, "m64p-host: %s could not open its window\n", o.plugin.c_str());
            return 1;
        }
        if (o.bench_frames > 0) {
            bench_scene(plugin, *scene, console, registers, o);
        } else {
            const int frames = o.frames > 0 ? o.frames : scene->frames;
            for (int frame = 0; frame < frames; ++frame) {
                run_frame(plugin, *scene, console, registers, frame, o.tasks);
                char file[64];
                std::snprintf(file, sizeof file, "%s-%03d.png", scene->name, frame);
                const std::string path = (fs::path(o.out.empty() ? "." : o.out) / file).string();
                if (!write_frame(plugin, path)) {
                    std::fprintf(stderr, "m64p-host: cannot read back or write %s\n", path.c_str());
                    ++failures;
                } else {
                    std::printf("%s\n", path.c_str());
                }
            }
        }
        plugin.RomClosed();
    }
    core.detach(&plugin);
    core.stop();
    return failures ? 1 : 0;
}
