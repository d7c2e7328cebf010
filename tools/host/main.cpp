// vexa-host: a stand-in host emulator that renders display lists to PNG files
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "capture/capture_file.h"
#include "console.h"
#include "host_ini.h"
#include "host_os.h"
#include "plugin_loader.h"
#include "png_writer.h"
#include "scenes.h"

namespace fs = std::filesystem;

struct Options {
    std::string plugin;
    std::string out; // demo-out, or replay-out for --replay
    std::vector<std::string> scenes;
    std::vector<std::string> replays; // capture files, replayed in order in one process
    int frames         = 0;           // 0: the scene's own count
    int repeat         = 1;           // each frame drawn this many times in a row
    int width          = 0;           // 0: the plug-in's own window
    int height         = 0;
    std::string aspect = "4:3"; // the plug-in's AspectRatio setting
};

static void usage() {
    std::printf("usage: vexa-host [--scene NAME]... [--out DIR] [--frames N] [--repeat N]\n"
                "                 [--size WxH] [--aspect MODE] [--plugin PATH] [--list]\n"
                "       vexa-host --replay FILE.vxc... [--out DIR] [--repeat N] [--size WxH]\n"
                "                 [--aspect MODE] [--plugin PATH]\n"
                "Renders demo scenes through the graphics plug-in and writes every drawn frame\n"
                "to DIR/<scene>-<frame>.png. Without --scene every scene is rendered.\n"
                "--replay renders frame captures instead, each to DIR/<capture name>.png.\n"
                "--size gives the host window's size (else the plug-in's own 640x480 window\n"
                "is used). --aspect sets the picture's shape in the plug-in's INI file: 4:3\n"
                "(the default), stretch, 16:9 or widescreen. --repeat N draws every frame N\n"
                "times in a row from the same memory, as a game that shows a still scene,\n"
                "and writes the last drawing beside the first as <name>-repeat<N>.png.\n");
}

static bool parse(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value    = [&](std::string* out) {
            if (i + 1 >= argc) return false;
            *out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--scene" && value(&v)) {
            o->scenes.push_back(v);
        } else if (a == "--replay" && value(&v)) {
            o->replays.push_back(v);
        } else if (a == "--out" && value(&v)) {
            o->out = v;
        } else if (a == "--plugin" && value(&v)) {
            o->plugin = v;
        } else if (a == "--frames" && value(&v)) {
            o->frames = std::atoi(v.c_str());
            if (o->frames <= 0) return false;
        } else if (a == "--repeat" && value(&v)) {
            o->repeat = std::atoi(v.c_str());
            if (o->repeat <= 0) return false;
        } else if (a == "--size" && value(&v)) {
            if (std::sscanf(v.c_str(), "%dx%d", &o->width, &o->height) != 2 || o->width <= 0 ||
                o->height <= 0)
                return false;
        } else if (a == "--aspect" && value(&v)) {
            o->aspect = v;
        } else if (a == "--list") {
            for (const Scene& s : all_scenes())
                std::printf("%-16s family %d  %s\n", s.name, s.family, s.description);
            std::exit(0);
        } else {
            return false;
        }
    }
    if (o->plugin.empty()) o->plugin = default_plugin_path();
    if (o->out.empty()) o->out = o->replays.empty() ? "demo-out" : "replay-out";
    return o->replays.empty() || (o->scenes.empty() && o->frames == 0);
}

static bool prepare_output(const std::string& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    const fs::path probe = fs::path(dir) / ".vexa-host-probe";
    std::ofstream f(probe);
    if (ec || !f) {
        std::fprintf(stderr, "vexa-host: cannot write to the output folder %s: %s\n", dir.c_str(),
                     ec ? ec.message().c_str() : std::strerror(errno));
        return false;
    }
    f.close();
    fs::remove(probe, ec);
    return true;
}

// Loads the plug-in, gives it the console as a host does and opens the ROM; the console's
// ROM header must be set. False after a message on standard error.
static bool start_plugin(Console& console, int family, const Options& o, Plugin* plugin) {
    std::string error;
    if (!load_plugin(o.plugin, plugin, &error)) {
        std::fprintf(stderr, "vexa-host: %s\n", error.c_str());
        return false;
    }
    PluginInfo info{};
    plugin->GetDllInfo(&info);
    if (info.plugin_type != 2) {
        std::fprintf(stderr, "vexa-host: %s is not a graphics plug-in\n", o.plugin.c_str());
        return false;
    }
    // As a user who saved the game's family and the picture's shape: the plug-in then asks
    // nothing. Every run writes the shape, so that a frame shows what the options say.
    if (!save_family_choice(console.rom_header, family, &error) ||
        !save_setting("AspectRatio", o.aspect, &error)) {
        std::fprintf(stderr, "vexa-host: %s\n", error.c_str());
        return false;
    }
    void* window = nullptr;
    if (!make_host_window(o.width, o.height, &window)) return false;
    if (!plugin->InitiateGFX(console.gfx_info(window))) {
        std::fprintf(stderr, "vexa-host: the plug-in could not create its OpenGL context\n");
        return false;
    }
    plugin->RomOpen();
    return true;
}

// One frame: two tasks (the plug-in interprets every second one, both are the frame's).
static void draw_frame(Console& console, Plugin& plugin, uint32_t address) {
    for (int task = 0; task < 2; ++task) {
        console.mi_interrupt = 0;
        console.set_task(address);
        plugin.ProcessDList();
    }
}

// The drawn picture to DIR/<name>.png.
static bool write_frame(const Options& o, const std::string& name) {
    std::vector<uint8_t> rgba;
    int width = 0, height = 0;
    if (!read_frame(&rgba, &width, &height)) {
        std::fprintf(stderr, "vexa-host: cannot read back the frame of %s\n", name.c_str());
        return false;
    }
    const std::string path = (fs::path(o.out) / (name + ".png")).string();
    if (!write_png(path, width, height, rgba)) {
        std::fprintf(stderr, "vexa-host: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    pump_host_messages();
    return true;
}

// A frame drawn o.repeat times, each time from memory as `prepare` lays it out; the first
// drawing is written, and the last beside it when there are several.
template <typename Prepare>
static bool render_frame(Console& console, Plugin& plugin, const Options& o,
                         const std::string& name, Prepare prepare) {
    for (int time = 1; time <= o.repeat; ++time) {
        draw_frame(console, plugin, prepare());
        if (time == 1 && !write_frame(o, name)) return false;
        if (time > 1 && time == o.repeat &&
            !write_frame(o, name + "-repeat" + std::to_string(o.repeat)))
            return false;
    }
    return true;
}

static Console host_console; // 8 MB: kept off the stack

static int run_scene(const Scene& scene, const Options& o) {
    Plugin plugin;
    host_console.set_rom_header(scene.crc1, scene.crc2, 0x45, scene.name);
    if (!start_plugin(host_console, scene.family, o, &plugin)) return 1;
    const int frames = o.frames > 0 ? o.frames : scene.frames;
    for (int frame = 0; frame < frames; ++frame) {
        char name[64];
        std::snprintf(name, sizeof name, "%s-%03d", scene.name, frame);
        if (!render_frame(host_console, plugin, o, name,
                          [&] { return scene.build(host_console, frame); }))
            return 1;
    }
    plugin.RomClosed();
    return 0;
}

// The console as the capture found it: memories, registers and ROM header. The memories are
// copied into place: the plug-in keeps pointers to them.
static void restore_console(const Capture& c) {
    std::copy(c.rdram.begin(), c.rdram.end(), host_console.rdram.begin());
    std::copy(c.dmem.begin(), c.dmem.end(), host_console.dmem.begin());
    std::memcpy(host_console.rom_header, c.header.rom_header, sizeof host_console.rom_header);
    host_console.vi_status = c.header.vi_status;
    for (int i = 0; i < kCaptureRegisters; ++i)
        host_console.other_registers[i] = c.header.registers[i];
}

// Captures replay in order in one process, so that state one task leaves (segments, tiles,
// matrices) reaches the next as it did when they were captured.
static int run_replays(const Options& o) {
    std::vector<Capture> captures(o.replays.size());
    for (size_t i = 0; i < o.replays.size(); ++i) {
        std::string error;
        if (!load_capture(o.replays[i], &captures[i], &error)) {
            std::fprintf(stderr, "vexa-host: %s\n", error.c_str());
            return 1;
        }
    }
    Plugin plugin;
    restore_console(captures[0]);
    if (!start_plugin(host_console, static_cast<int>(captures[0].header.family), o, &plugin))
        return 1;
    for (size_t i = 0; i < captures.size(); ++i) {
        const std::string name = fs::path(o.replays[i]).stem().string();
        const Capture& capture = captures[i];
        if (!render_frame(host_console, plugin, o, name, [&] {
                restore_console(capture);
                return capture.header.dlist_start;
            }))
            return 1;
    }
    plugin.RomClosed();
    return 0;
}

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, &o)) {
        usage();
        return 2;
    }
    if (!prepare_output(o.out)) return 1;
    if (!o.replays.empty()) return run_replays(o);

    if (o.scenes.empty())
        for (const Scene& s : all_scenes())
            o.scenes.push_back(s.name);
    for (const std::string& name : o.scenes)
        if (!find_scene(name)) {
            std::fprintf(stderr, "vexa-host: no scene named %s (see --list)\n", name.c_str());
            return 2;
        }
    if (o.scenes.size() == 1) return run_scene(*find_scene(o.scenes[0]), o);

    // The plug-in keeps its microcode family for the life of the process, as under a real
    // emulator: each scene runs in a process of its own.
    int failures = 0;
    for (const std::string& name : o.scenes) {
        std::string command = "\"" + executable_path() + "\" --scene " + name + " --out \"" +
                              o.out + "\" --plugin \"" + o.plugin + "\"";
        if (o.frames > 0) command += " --frames " + std::to_string(o.frames);
        if (o.repeat > 1) command += " --repeat " + std::to_string(o.repeat);
        if (o.width > 0)
            command += " --size " + std::to_string(o.width) + "x" + std::to_string(o.height);
        command += " --aspect \"" + o.aspect + "\"";
        if (run_command(command) != 0) ++failures;
    }
    return failures ? 1 : 0;
}
