// A heavy family-0 frame through the fourteen exports: twenty lit spheres of 504 triangles
// (10,080 in all), 53 textured batches of which 50 bind a cached texture and 3 build one from
// texels that change every frame, at the plug-in's own 640 x 480 offscreen window.
//
// With --room it draws a room instead: a fill-mode clear, a fogged stone floor and walls, opaque
// two-texture water, a translucent fill and a texture rectangle over the window.
//
//   frame_bench [--frames N] [--plugin PATH] [--copy-frame auto|always|off] [--room]
//               [--picture FILE.ppm] [--callgrind]
//
// --copy-frame writes the player's CopyFrameToRdram into [Settings] of the plug-in's INI file
// (default auto). --picture writes the frame after the warm-up.
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

// A room as games draw one: a fill-mode clear, a fogged stone floor of 12 x 12 quads, four
// fogged walls, opaque two-texture water (the terrain's lerp of two tiles by ENV_ALPHA, then
// x SHADE) of 8 x 8 quads, and after them a translucent fill rectangle and a texture
// rectangle (a HUD) over the whole window.
constexpr uint32_t kRoomList     = 0x180000;
constexpr uint32_t kRoomViewport = 0x190000;
constexpr uint32_t kRoomMatrices = 0x190100; // projection, camera
constexpr uint32_t kRoomVertices = 0x400000; // quads of four vertices, 64 bytes each
constexpr uint32_t kStoneTexels  = 0x500000; // 32 x 32 16-bit RGBA
constexpr uint32_t kWaterTexels  = 0x501000; // two 16 x 16 16-bit RGBA, 512 bytes apart
constexpr uint32_t kPassOn       = 0x1FF1FFF;
constexpr uint32_t kWaterKey0    = 0x34A2C12;  // (TEXEL1 - TEXEL0) x ENV_ALPHA + TEXEL0
constexpr uint32_t kWaterKey1    = 0x1FFE4F0;  // COMBINED x SHADE
constexpr uint32_t kFoggedOpaque = 0xC8112078; // fog by shade alpha, then an opaque surface
constexpr uint32_t kRoomZ        = uc0::kZCompare | uc0::kZUpdate;

void write_room_textures(Console& c) {
    for (uint32_t y = 0; y < 32; ++y)
        for (uint32_t x = 0; x < 32; ++x)
            c.write_u16(kStoneTexels + 2 * (32 * y + x),
                        y % 16 == 15 || (x + (y / 16) * 8) % 16 == 15
                            ? rgba5551(120, 115, 110)
                            : rgba5551(200 + (x * 5 + y * 3) % 50, 190 + (x * 3) % 40, 180));
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 16; ++x) {
            c.write_u16(kWaterTexels + 2 * (16 * y + x), rgba5551(20, 60 + 8 * (x % 8), 160));
            c.write_u16(kWaterTexels + 512 + 2 * (16 * y + x),
                        rgba5551(90, 140, 200 + 3 * (y % 16)));
        }
}

// A grid of quads across corners (x0, z0)..(x1, z1) at height y, or upright across y0..y1
// when `wall`: n x n quads, four vertices each, loaded and drawn a quad pair at a time.
uint32_t add_grid(Console& c, DisplayList& dl, uint32_t address, int n, float x0, float x1,
                  float a0, float a1, float at, bool wall, uint8_t shade) {
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const float u0           = x0 + (x1 - x0) * float(i) / float(n);
            const float u1           = x0 + (x1 - x0) * float(i + 1) / float(n);
            const float v0           = a0 + (a1 - a0) * float(j) / float(n);
            const float v1           = a0 + (a1 - a0) * float(j + 1) / float(n);
            const float corner[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
            for (uint32_t k = 0; k < 4; ++k) {
                const float x = wall ? at : corner[k][0], z = wall ? corner[k][0] : corner[k][1];
                const float y = wall ? corner[k][1] : at;
                uc0::write_vertex(c, address + 16 * k, int16_t(x), int16_t(y), int16_t(z),
                                  int16_t(k == 1 || k == 2 ? 32 * 32 : 0),
                                  int16_t(k >= 2 ? 32 * 32 : 0), shade, shade, shade, 255);
            }
            dl.add({uc0::vertex(0, 4, address), uc0::tri1(0, 1, 2), uc0::tri1(0, 2, 3)});
            address += 64;
        }
    return address;
}

uint32_t build_room_list(Console& c) {
    write_room_textures(c);
    uc0::write_viewport(c, kRoomViewport, 160, 120, 160, 120);
    uc0::write_matrix(c, kRoomMatrices, uc0::perspective(60, 4.0f / 3.0f, 50, 2000));
    uc0::write_matrix(c, kRoomMatrices + 64,
                      uc0::then(uc0::rotation_x(0.35f), uc0::translation(0, -40, -150)));
    DisplayList dl(c, kRoomList);
    dl.add({cmd::set_color_image(320, 0x600000), cmd::set_depth_image(0x680000),
            cmd::set_scissor(0, 0, 320, 240), cmd::set_cycle_type(3),
            cmd::set_fill_color(cmd::fill_color16(60, 80, 110)), cmd::fill_rect(0, 0, 320, 240),
            cmd::set_cycle_type(1, kRoomZ), uc0::render_mode(kFoggedOpaque),
            cmd::set_combine_keys(kTexelShade, kPassOn), cmd::set_fog_color(0x3C506EFF),
            uc0::fog_position(700, 1000), uc0::viewport(kRoomViewport),
            uc0::matrix(uc0::kProjection | uc0::kLoad, kRoomMatrices),
            uc0::matrix(uc0::kLoad, kRoomMatrices + 64), uc0::clear_geometry_mode(0xFFFFFFFF),
            uc0::set_geometry_mode(uc0::kZBuffer | uc0::kShade | uc0::kShadeSmooth | uc0::kFog),
            uc0::texture(0, 1, 0xFFFF, 0xFFFF)});
    const tex::Wrap repeat32 = {0, 0, 5, 0}, repeat16 = {0, 0, 4, 0}, half16 = {0, 0, 4, 1};
    dl.add({tex::set_texture_image(tex::rgba, tex::b16, 32, kStoneTexels),
            tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 32 * 32),
            tex::set_tile(0, tex::rgba, tex::b16, 8, 0, 0, repeat32, repeat32),
            tex::set_tile_size(0, 0, 0, 32, 32)});
    uint32_t v = kRoomVertices;
    v          = add_grid(c, dl, v, 12, -300, 300, -900, 100, -80, false, 230);
    v          = add_grid(c, dl, v, 6, -900, 100, -80, 220, -300, true, 200);
    v          = add_grid(c, dl, v, 6, 100, -900, -80, 220, 300, true, 200);
    // The water: both textures into TMEM, tile 1 at half the frequency.
    dl.add({tex::set_texture_image(tex::rgba, tex::b16, 1, kWaterTexels),
            tex::set_tile(7, tex::rgba, tex::b16, 0, 0), tex::load_block(7, 0, 0, 256),
            tex::set_tile(0, tex::rgba, tex::b16, 4, 0, 0, repeat16, repeat16),
            tex::set_tile_size(0, 0, 0, 16, 16),
            tex::set_texture_image(tex::rgba, tex::b16, 1, kWaterTexels + 512),
            tex::set_tile(7, tex::rgba, tex::b16, 0, 256), tex::load_block(7, 0, 0, 256),
            tex::set_tile(1, tex::rgba, tex::b16, 4, 256, 0, half16, half16),
            tex::set_tile_size(1, 0, 0, 16, 16), cmd::set_env_color(0xFFFFFF80),
            cmd::set_combine_keys(kWaterKey0, kWaterKey1)});
    v = add_grid(c, dl, v, 8, -200, 200, -700, -100, -78, false, 220);
    // The HUD: a translucent box and the stone as an icon, over everything.
    dl.add({cmd::set_cycle_type(0, 0x00504A40), cmd::set_blend_color(0x20304080),
            cmd::fill_rect(0, 0, 320, 240), cmd::set_combine_keys(kTexelShade, kTexelShade),
            cmd::set_cycle_type(2)});
    for (const Command& word : cmd::tex_rect(8, 8, 40, 40, 0, 0, 0, 4, 1))
        dl.add(word);
    dl.add({cmd::full_sync(), cmd::end_dl()});
    (void)v;
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
    bool room               = false;
    std::string picture; // --picture FILE.ppm: the frame after the warm-up
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
        else if (a == "--room")
            room = true;
        else if (a == "--picture" && i + 1 < argc)
            picture = argv[++i];
        else {
            std::fprintf(stderr, "usage: frame_bench [--frames N] [--plugin PATH] [--copy-frame "
                                 "auto|always|off] [--room] [--picture FILE.ppm] [--callgrind]\n");
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
    const uint32_t heavy = room ? build_room_list(*console) : build_heavy_list(*console);
    DisplayList(*console, kEmptyList).add(cmd::end_dl());

    // Warm-up: every cached texture is built and every shader compiled.
    for (int f = 0; f < 2; ++f) {
        write_scene_data(*console, f);
        run_frame(heavy);
    }

    // The frame must show the spheres: most of the picture is lit, not the background.
    std::vector<uint8_t> pixels(640 * 480 * 4);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    if (!picture.empty())
        if (FILE* f = std::fopen(picture.c_str(), "wb")) {
            std::fprintf(f, "P6 640 480 255\n");
            for (int y = 479; y >= 0; --y)
                for (int x = 0; x < 640; ++x)
                    std::fwrite(&pixels[4 * (640 * static_cast<size_t>(y) + x)], 1, 3, f);
            std::fclose(f);
        }
    int drawn = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        drawn += pixels[i] + pixels[i + 1] + pixels[i + 2] > 3 * 90;
    if (room)
        std::printf("room frame: 624 triangles (stone floor and walls fogged, two-texture water), "
                    "a clear, a translucent fill and a texture rectangle over the window\n");
    else
        std::printf("heavy frame: %d batches, %d triangles, %d textured batches (%d cache hits, "
                    "%d misses), %d of %d pixels lit\n",
                    kBatches, kBatches * kChunkTriangles, kTexturedBatches, kTexturedHits,
                    kChangingTextures, drawn, 640 * 480);
    if (!room && drawn < 640 * 480 / 10) {
        std::fprintf(stderr, "frame_bench: the heavy frame drew almost nothing\n");
        return 1;
    }

    if (callgrind) {
        for (int f = 2; f < 5; ++f) {
            if (!room) write_scene_data(*console, f);
            measured_frame(heavy);
        }
        return 0;
    }

    using Clock    = std::chrono::steady_clock;
    auto median_ms = [&](uint32_t list, bool changing) {
        std::vector<double> times;
        for (int f = 0; f < frames; ++f) {
            if (changing && !room) write_scene_data(*console, f + 2);
            const auto t0 = Clock::now();
            run_frame(list);
            times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    const double heavy_ms = median_ms(heavy, true);
    const double empty_ms = median_ms(kEmptyList, false);
    std::printf("%s frame  %8.3f ms  %7.1f frames/s  (median of %d)\n", room ? "room " : "heavy",
                heavy_ms, 1000.0 / heavy_ms, frames);
    std::printf("empty frame  %8.3f ms  %7.1f frames/s  (clear, swap and wait only)\n", empty_ms,
                1000.0 / empty_ms);
    std::printf("%s / empty frame time: %.1f\n", room ? "room" : "heavy", heavy_ms / empty_ms);
    plugin.RomClosed();
    return 0;
}
