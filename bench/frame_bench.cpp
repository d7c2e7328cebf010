// A heavy family-0 frame through the fourteen exports: twenty lit spheres of 504 triangles
// (10,080 in all), 53 textured batches of which 50 bind a cached texture and 3 build one from
// texels that change every frame, at the plug-in's own 640 x 480 offscreen window.
//
//   frame_bench [--frames N] [--plugin PATH] [--copy-frame auto|always|off] [--callgrind]
//
// --copy-frame writes the player's CopyFrameToRdram into [Settings] of the plug-in's INI file
// (default auto).
// Prints the frame time and rate, and the same for an empty frame measured in the same run.
// With --callgrind it runs two warm-up frames and three measured frames, each measured frame
// inside measured_frame(), for valgrind --tool=callgrind --toggle-collect=measured_frame.
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console.h"
#include "dl_rdp.h"
#include "dl_texture.h"
#include "dl_ucode0.h"
#include "host_ini.h"
#include "platform/platform.h"
#include "plugin_loader.h"

namespace {

constexpr uint32_t kList      = 0x100000;
constexpr uint32_t kEmptyList = 0x0F0000;
constexpr uint32_t kViewport  = 0x200000;
constexpr uint32_t kLights    = 0x200100;
constexpr uint32_t kMatrices  = 0x201000; // projection, then one per sphere
constexpr uint32_t kSphere    = 0x210000; // the mesh, chunk after chunk of 24 vertices
constexpr uint32_t kTextures  = 0x300000; // 32 x 32 16-bit, 2 KB apart

constexpr int kSpheres = 20;
// A chunk covers two bands and seven segments: 3 rows of 8 vertices, indices 0..23 (TRI1
// names vertices up to 25 only).
constexpr int kBands            = 12;
constexpr int kSegments         = 21;
constexpr int kChunkRows        = 3;
constexpr int kChunkColumns     = 8;
constexpr int kChunkVertices    = kChunkRows * kChunkColumns;
constexpr int kChunkTriangles   = 2 * (kChunkRows - 1) * (kChunkColumns - 1); // 28
constexpr int kChunks           = (kBands / 2) * (kSegments / 7);             // per sphere: 18
constexpr int kBatches          = kSpheres * kChunks;                         // 360
constexpr int kCachedTextures   = 8;
constexpr int kTexturedHits     = 50;
constexpr int kChangingTextures = 3; // rewritten every frame: a cache miss each
constexpr int kTexturedBatches  = kTexturedHits + kChangingTextures;

constexpr uint32_t kTexelShade = 0x3FFE4F1; // texel times shade colour, one cycle

// ROM header of the frame's "game": its INI section.
constexpr uint32_t kCrc1 = 0x48454156u, kCrc2 = 0x59000001u;
constexpr uint8_t kCountry = 0x45;

uint32_t texture_address(int slot) { return kTextures + 0x800u * uint32_t(slot); }

// Slots 0..7 stay as they are; slots 8..10 change with the frame: their first row, which
// the tile hash samples, is different in every frame, so they never hit the cache.
void write_texture(Console& c, int slot, int frame) {
    for (uint32_t y = 0; y < 32; ++y)
        for (uint32_t x = 0; x < 32; ++x) {
            const uint32_t check = ((x / 4) ^ (y / 4)) & 1;
            uint16_t texel = rgba5551(120 + 16 * uint32_t(slot) * check, 90 + 4 * x, 60 + 5 * y);
            if (y == 0 && frame > 0) texel = uint16_t(uint32_t(frame) * 0x9E37u + x * 0x3F1u);
            c.write_u16(texture_address(slot) + 2 * (32 * y + x), texel);
        }
}

// The sphere's vertices in chunks: each chunk is 3 rows by 8 columns of the latitude and
// longitude grid, its normal in the colour bytes and s, t across a 32 x 32 texture.
void write_sphere(Console& c) {
    constexpr float kPi = 3.14159265f;
    uint32_t address    = kSphere;
    for (int band = 0; band < kBands; band += 2)
        for (int first = 0; first < kSegments; first += kChunkColumns - 1)
            for (int row = 0; row < kChunkRows; ++row)
                for (int column = 0; column < kChunkColumns; ++column) {
                    const float theta = kPi * float(band + row) / float(kBands);
                    const float phi   = 2 * kPi * float(first + column) / float(kSegments);
                    const float n[3]  = {std::sin(theta) * std::cos(phi), std::cos(theta),
                                         -std::sin(theta) * std::sin(phi)};
                    uc0::write_vertex(c, address, int16_t(std::lround(60 * n[0])),
                                      int16_t(std::lround(60 * n[1])),
                                      int16_t(std::lround(60 * n[2])),
                                      int16_t(column * 32 * 32 / 7), int16_t(row * 16 * 32),
                                      uint8_t(int8_t(std::lround(127 * n[0]))),
                                      uint8_t(int8_t(std::lround(127 * n[1]))),
                                      uint8_t(int8_t(std::lround(127 * n[2]))), 255);
                    address += 16;
                }
}

void write_scene_data(Console& c, int frame) {
    uc0::write_viewport(c, kViewport, 160, 120, 160, 120);
    uc0::write_matrix(c, kMatrices, uc0::perspective(45, 4.0f / 3.0f, 100, 3000));
    for (int k = 0; k < kSpheres; ++k) {
        const float x = -300.0f + 150.0f * float(k % 5), y = -210.0f + 140.0f * float(k / 5);
        const float turn = 0.2f * float(frame) + 0.4f * float(k);
        uc0::write_matrix(c, kMatrices + 64 * uint32_t(k + 1),
                          uc0::then(uc0::then(uc0::rotation_y(turn), uc0::rotation_x(0.3f)),
                                    uc0::translation(x, y, -700)));
    }
    uc0::write_light(c, kLights, 235, 200, 160, -60, 70, 80);
    uc0::write_light(c, kLights + 16, 60, 80, 140, 80, -40, 50);
    uc0::write_light(c, kLights + 32, 30, 30, 36, 0, 0, 0);
    for (int slot = 0; slot < kCachedTextures + kChangingTextures; ++slot)
        write_texture(c, slot, slot < kCachedTextures ? 0 : frame);
}

void add_texture_load(DisplayList& dl, int slot) {
    dl.add({tex::set_texture_image(tex::rgba, tex::b16, 32, texture_address(slot)),
            tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 32 * 32),
            tex::set_tile(0, tex::rgba, tex::b16, 8, 0), tex::set_tile_size(0, 0, 0, 32, 32)});
}

// The batches textured: 53 of the 360, spread evenly; the first three use the changing
// textures, the others cycle through the cached ones.
int texture_slot(int batch) {
    const int before = batch * kTexturedBatches / kBatches;
    const int after  = (batch + 1) * kTexturedBatches / kBatches;
    if (after == before) return -1;
    return before < kChangingTextures ? kCachedTextures + before
                                      : (before - kChangingTextures) % kCachedTextures;
}

uint32_t build_heavy_list(Console& c) {
    DisplayList dl(c, kList);
    dl.add({cmd::set_color_image(320, 0x600000), cmd::set_depth_image(0x680000),
            cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(0, 0)});
    dl.add({cmd::set_cycle_type(3), cmd::set_fill_color(cmd::fill_color16(16, 24, 48)),
            cmd::fill_rect(0, 0, 320, 240), cmd::set_cycle_type(0)});
    dl.add({uc0::render_mode(uc0::kZCompare | uc0::kZUpdate), uc0::clear_geometry_mode(0xFFFFFFFF),
            uc0::set_geometry_mode(uc0::kZBuffer | uc0::kShade | uc0::kShadeSmooth |
                                   uc0::kCullBack | uc0::kLighting),
            uc0::viewport(kViewport), uc0::matrix(uc0::kProjection | uc0::kLoad, kMatrices),
            uc0::num_lights(2), uc0::light(0, kLights), uc0::light(1, kLights + 16),
            uc0::light(2, kLights + 32), uc0::texture(0, 1, 0xFFFF, 0xFFFF)});

    int batch = 0;
    for (int k = 0; k < kSpheres; ++k) {
        dl.add(uc0::matrix(uc0::kLoad, kMatrices + 64 * uint32_t(k + 1)));
        for (int chunk = 0; chunk < kChunks; ++chunk, ++batch) {
            const int slot = texture_slot(batch);
            if (slot >= 0) {
                add_texture_load(dl, slot);
                dl.add(cmd::set_combine_keys(kTexelShade, kTexelShade));
            } else {
                dl.add(uc0::combine_shade());
            }
            const uint32_t address = kSphere + uint32_t(chunk * kChunkVertices) * 16;
            dl.add({uc0::vertex(0, 12, address), uc0::vertex(12, 12, address + 12 * 16)});
            // Vertex (row, column) sits at index row * 8 + column.
            for (uint32_t row = 0; row + 1 < kChunkRows; ++row)
                for (uint32_t col = 0; col + 1 < kChunkColumns; ++col) {
                    const uint32_t a = row * kChunkColumns + col, b = a + kChunkColumns;
                    dl.add({uc0::tri1(a, b, b + 1), uc0::tri1(a, b + 1, a + 1)});
                }
        }
    }
    dl.add({cmd::full_sync(), cmd::end_dl()});
    return dl.start();
}

Plugin plugin;
Console* console;

// One frame as a host runs it: two tasks (the plug-in interprets the second), then a wait
// until OpenGL has drawn everything, as a swap would.
void run_frame(uint32_t list) {
    for (int task = 0; task < 2; ++task) {
        console->mi_interrupt = 0;
        console->set_task(list);
        plugin.ProcessDList();
    }
    glFinish();
}

} // namespace

// The frames that callgrind counts; everything else (start-up, shader compiles of the warm-up
// frames, the host writing RDRAM) stays outside.
extern "C" [[gnu::noinline]] void measured_frame(uint32_t list) { run_frame(list); }

int main(int argc, char** argv) {
    std::string plugin_path = VEXA_PLUGIN_PATH;
    int frames              = 200;
    bool callgrind          = false;
    std::string copy_frame  = "auto";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--frames" && i + 1 < argc)
            frames = std::max(1, std::atoi(argv[++i]));
        else if (a == "--plugin" && i + 1 < argc)
            plugin_path = argv[++i];
        else if (a == "--copy-frame" && i + 1 < argc)
            copy_frame = argv[++i];
        else if (a == "--callgrind")
            callgrind = true;
        else {
            std::fprintf(stderr, "usage: frame_bench [--frames N] [--plugin PATH] [--copy-frame "
                                 "auto|always|off] [--callgrind]\n");
            return 2;
        }
    }

    // The INI entry that tells the plug-in this "game" uses family 0.
    console = new Console;
    console->set_rom_header(kCrc1, kCrc2, kCountry, "frame_bench");
    std::string error;
    bool written = save_family_choice(console->rom_header, 0, &error);
    if (written && !platform_profile_write_string("Settings", "CopyFrameToRdram",
                                                  copy_frame.c_str(), plugin_ini_path().c_str())) {
        error   = "cannot write " + plugin_ini_path();
        written = false;
    }
    if (!written) {
        std::fprintf(stderr, "frame_bench: %s\n", error.c_str());
        return 1;
    }
    if (!load_plugin(plugin_path, &plugin, &error)) {
        std::fprintf(stderr, "frame_bench: %s\n", error.c_str());
        return 1;
    }
    if (!plugin.InitiateGFX(console->gfx_info(nullptr))) {
        std::fprintf(stderr, "frame_bench: the plug-in could not create its OpenGL context\n");
        return 1;
    }
    plugin.RomOpen();
    write_sphere(*console);
    const uint32_t heavy = build_heavy_list(*console);
    DisplayList(*console, kEmptyList).add(cmd::end_dl());

    // Warm-up: every cached texture is built and every shader compiled.
    for (int f = 0; f < 2; ++f) {
        write_scene_data(*console, f);
        run_frame(heavy);
    }

    // The frame must show the spheres: most of the picture is lit, not the background.
    std::vector<uint8_t> pixels(640 * 480 * 4);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int drawn = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        drawn += pixels[i] + pixels[i + 1] + pixels[i + 2] > 3 * 90;
    std::printf("heavy frame: %d batches, %d triangles, %d textured batches (%d cache hits, %d "
                "misses), %d of %d pixels lit\n",
                kBatches, kBatches * kChunkTriangles, kTexturedBatches, kTexturedHits,
                kChangingTextures, drawn, 640 * 480);
    if (drawn < 640 * 480 / 10) {
        std::fprintf(stderr, "frame_bench: the heavy frame drew almost nothing\n");
        return 1;
    }

    if (callgrind) {
        for (int f = 2; f < 5; ++f) {
            write_scene_data(*console, f);
            measured_frame(heavy);
        }
        return 0;
    }

    using Clock    = std::chrono::steady_clock;
    auto median_ms = [&](uint32_t list, bool changing) {
        std::vector<double> times;
        for (int f = 0; f < frames; ++f) {
            if (changing) write_scene_data(*console, f + 2);
            const auto t0 = Clock::now();
            run_frame(list);
            times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    const double heavy_ms = median_ms(heavy, true);
    const double empty_ms = median_ms(kEmptyList, false);
    std::printf("heavy frame  %8.3f ms  %7.1f frames/s  (median of %d)\n", heavy_ms,
                1000.0 / heavy_ms, frames);
    std::printf("empty frame  %8.3f ms  %7.1f frames/s  (clear, swap and wait only)\n", empty_ms,
                1000.0 / empty_ms);
    std::printf("heavy / empty frame time: %.1f\n", heavy_ms / empty_ms);
    plugin.RomClosed();
    return 0;
}
