// Demo scenes rendered by vexa-host through the loaded plug-in
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "scene_flow.h"
#include "scene_fog.h"
#include "scene_terrain.h"

namespace {

struct Picture {
    int width = 0, height = 0;
    std::string pixels; // RGBA, top row first

    // (x, y) in console pixels of the 320 x 240 screen, y down.
    std::string at(int x, int y) const {
        const int wx = x * width / 320, wy = y * height / 240;
        const auto* p = reinterpret_cast<const unsigned char*>(pixels.data()) +
                        4 * (static_cast<size_t>(wy) * width + wx);
        return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
    }
    // Window pixel (x, y) from the top left: r, g, b, a.
    const unsigned char* window(int x, int y) const {
        return reinterpret_cast<const unsigned char*>(pixels.data()) +
               4 * (static_cast<size_t>(y) * width + x);
    }
    bool near(int x, int y, int r, int g, int b) const {
        const int wx = x * width / 320, wy = y * height / 240;
        const auto* p = reinterpret_cast<const unsigned char*>(pixels.data()) +
                        4 * (static_cast<size_t>(wy) * width + wx);
        return std::abs(p[0] - r) <= 3 && std::abs(p[1] - g) <= 3 && std::abs(p[2] - b) <= 3;
    }
};

Picture load_png(const std::string& png) {
    Picture pic;
    int channels        = 0;
    unsigned char* data = stbi_load(png.c_str(), &pic.width, &pic.height, &channels, 4);
    EXPECT_NE(data, nullptr) << png;
    if (data) {
        pic.pixels.assign(reinterpret_cast<char*>(data), 4 * pic.width * pic.height);
        stbi_image_free(data);
    }
    return pic;
}

// Runs vexa-host with `options` into a fresh folder and returns the folder.
std::string run_host(const std::string& options) {
    char dir[] = "/tmp/vexa-scene-XXXXXX";
    if (!mkdtemp(dir)) return "";
    const std::string command = std::string(VEXA_HOST_PATH) + " " + options + " --out " + dir +
                                " --plugin " + VEXA_PLUGIN_PATH + " >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return dir;
}

Picture render(const std::string& scene) {
    const std::string dir = run_host("--scene " + scene);
    const Picture pic     = load_png(dir + "/" + scene + "-000.png");
    std::system(("rm -rf " + dir).c_str());
    return pic;
}

struct Probe {
    int x, y, r, g, b;
    const char* what;
};

void expect_probes(const Picture& pic, std::initializer_list<Probe> probes) {
    ASSERT_GT(pic.width, 0);
    for (const Probe& p : probes)
        EXPECT_TRUE(pic.near(p.x, p.y, p.r, p.g, p.b))
            << p.what << " at (" << p.x << ", " << p.y << "): " << pic.at(p.x, p.y);
}

TEST(ScenePictures, Rectangles) {
    expect_probes(
        render("rects"),
        {{5, 230, 16, 25, 66, "fill background; neither the depth clear nor key 0FFFFFFF drew"},
         {40, 40, 230, 58, 49, "fill-colour box"},
         {15, 80, 136, 140, 161, "half-transparent blend-colour fill over the background"},
         {60, 150, 240, 128, 32, "primitive-colour texture rectangle"},
         {90, 210, 62, 248, 62, "white texels under the green primitive colour"},
         {98, 210, 62, 0, 62, "magenta texels under the green primitive colour"}});
}

TEST(ScenePictures, CombinerRecipes) {
    expect_probes(render("combiner"), {{40, 60, 240, 160, 48, "primitive colour (7FF7FFF)"},
                                       {120, 60, 48, 128, 240, "environment colour (BFFBFFF)"},
                                       {5, 5, 16, 16, 25, "fill background"},
                                       {12, 12, 49, 58, 66, "fill panel"}});
}

// The same cube and floor written in the commands of families 1 to 4 give family 0's
// picture; family 3 adds green LINE3D edges of a roof over the cube.
TEST(ScenePictures, FamiliesOneToFourDrawTheMeshAsFamilyZero) {
    const Picture mesh = render("mesh");
    ASSERT_GT(mesh.width, 0);
    for (const char* scene : {"mesh-uc1", "mesh-uc2", "mesh-uc3", "mesh-uc4"}) {
        const Picture pic = render(scene);
        ASSERT_EQ(pic.pixels.size(), mesh.pixels.size()) << scene;
        int differ = 0, outside_roof = 0, not_green = 0;
        for (size_t i = 0; i < pic.pixels.size(); i += 4) {
            if (pic.pixels.compare(i, 3, mesh.pixels, i, 3) == 0) continue;
            ++differ;
            const int y   = static_cast<int>(i / 4) / pic.width * 240 / pic.height;
            const auto* p = reinterpret_cast<const unsigned char*>(pic.pixels.data()) + i;
            outside_roof += y >= 100;
            not_green += !(p[1] > p[0] && p[1] > p[2]);
        }
        if (std::string(scene) != "mesh-uc3") {
            EXPECT_EQ(differ, 0) << scene << ": pixels unlike family 0's";
            continue;
        }
        EXPECT_GT(differ, 200) << "the roof's four lines";
        EXPECT_EQ(outside_roof, 0) << "pixels unlike family 0's below the roof";
        EXPECT_EQ(not_green, 0) << "roof pixels that are not green";
    }
}

// The chain of gems reaches its twelfth level (calls and BRANCHZ nest that deep), its faces
// take the LIGHTCOL colours (the light records themselves are grey), and the ribbon shows the
// colours of its 32 vertices.
TEST(ScenePictures, FamilyFourChainLightsAndRibbon) {
    const Picture pic = render("family4");
    ASSERT_EQ(pic.width, 640);
    int top = pic.height, red = 0, blue = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 100; x < 320; ++x) {
            const unsigned char* p = pic.window(x, y);
            const bool background =
                std::abs(p[0] - 16) + std::abs(p[1] - 25) + std::abs(p[2] - 49) < 8;
            if (!background && y < top) top = y;
            if (p[0] > p[1] + 80 && p[0] > p[2] + 80) ++red;
            if (p[2] > p[0] + 80 && p[2] > p[1] + 40) ++blue;
        }
    EXPECT_LT(top, 50) << "the highest gems are missing";
    EXPECT_GT(red, 50) << "faces lit by the red light";
    EXPECT_GT(blue, 50) << "faces lit by the blue light";
    expect_probes(
        pic, {{5, 5, 16, 25, 49, "fill background"}, {5, 230, 16, 25, 49, "below the ribbon"}});
    const unsigned char* left  = pic.window(40, 360);
    const unsigned char* right = pic.window(600, 370);
    EXPECT_GT(left[2], left[0] + 60) << "blue end of the ribbon";
    EXPECT_GT(right[0], right[2] + 60) << "red end of the ribbon";
}

TEST(ScenePictures, FamilyFiveCubesFromTheCoordinateTable) {
    expect_probes(render("family5"),
                  {{5, 5, 16, 0, 16, "fill background"},
                   {40, 150, 16, 0, 16, "left of the first cube"},
                   {150, 200, 16, 0, 16, "between the cubes"},
                   {60, 140, 46, 77, 120, "bricks on the first cube's lit front"},
                   {250, 80, 72, 127, 168,
                    "bricks on the second cube's top: its matrix goes onto the camera's, the "
                    "first cube's popped"},
                   {210, 145, 51, 49, 63, "the second cube's side away from the light"}});
}

TEST(ScenePictures, FamilySixTerrainAndCubeThroughTwoSlots) {
    expect_probes(render("family6"), {{5, 5, 16, 8, 16, "fill background"},
                                      {60, 230, 16, 8, 16, "below the terrain"},
                                      {120, 180, 63, 144, 41, "terrain through slot 1"},
                                      {165, 95, 105, 230, 153, "cube run in place, through slot 0"},
                                      {180, 110, 126, 217, 250, "the cube's front"}});
}

// On a fresh plug-in the first texture loaded before its TEXTURE command shows its texels, the
// second its own scale; a clamped tile repeats its edge texels at full brightness; sphere
// mapping spans S / 64 texels: 0x1800 repeats the stripes one and a half times, 0x0FC0 once.
// The room's picture comes from S2DEX2, loaded inside the family-4 list and left again: the
// 3-D draws before and after it, and the picture between them, all show.
TEST(ScenePictures, RoomPictureBetweenTheThreeDDraws) {
    expect_probes(render("room2d"),
                  {{5, 5, 16, 16, 25, "fill background"},
                   {20, 100, 115, 60, 60, "3-D drawn before the switch, beside the picture"},
                   {60, 140, 152, 120, 128, "the room, through the segment set before the switch"},
                   {160, 150, 30, 90, 230, "3-D drawn after switching back, over the room"}});
}

TEST(ScenePictures, TextureCoordinates) {
    expect_probes(render("texcoords"), {{30, 33, 248, 0, 0, "first texture, upper left"},
                                        {74, 75, 248, 248, 248, "first texture, lower right"},
                                        {139, 33, 248, 248, 0, "second texture, upper left"},
                                        {139, 75, 248, 0, 248, "second texture, lower left"},
                                        {279, 17, 0, 248, 0, "past the clamped last column"},
                                        {229, 64, 0, 0, 248, "past the clamped last row"},
                                        {279, 64, 248, 248, 248, "past the clamped corner"},
                                        {68, 186, 0, 0, 248, "0x1800: third stripe"},
                                        {116, 186, 248, 0, 0, "0x1800: the first again"},
                                        {295, 186, 248, 248, 248, "0x0FC0: fourth stripe"}});
}

// Each ring of the fogged corridor faces the eye, so its fog factor is one number: z/w of its
// depth through the scene's projection, times the multiplier plus the offset of its fog word.
TEST(ScenePictures, FogFadesTheCorridorIntoItsFogColour) {
    using namespace fog_scene;
    const Picture pic   = render("fog");
    const uc0::Mat p    = projection();
    const uint32_t word = uc0::fog_factors(kFogMin, kFogMax);
    const float fm = int16_t(word >> 16), fo = int16_t(word & 0xFFFF);
    const auto mix = [](uint32_t ring, uint32_t fog, int shift, float f) {
        return int(float(ring >> shift & 0xFF) * (1 - f) + float(fog >> shift & 0xFF) * f + 0.5f);
    };
    for (float depth : kRingDepths) {
        const float z_over_w = (-depth * p.m[10] + p.m[14]) / depth;
        const float f        = std::min(std::max(z_over_w * fm + fo, 0.0f), 255.0f) / 255;
        const int y          = int(120 - kTopBarMiddle / depth * p.m[5] * 120);
        EXPECT_TRUE(pic.near(160, y, mix(kRingColor, kFogColor, 24, f),
                             mix(kRingColor, kFogColor, 16, f), mix(kRingColor, kFogColor, 8, f)))
            << "ring at depth " << depth << ", fog factor " << f * 255 << ": " << pic.at(160, y);
    }
}

// The frames have no alpha: an image viewer must show them as the game window does.
TEST(ScenePictures, EveryDemoFrameIsOpaque) {
    const std::string dir = run_host("--frames 2");
    std::vector<std::string> files;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name).find(".png") != std::string::npos)
                files.push_back(dir + "/" + e->d_name);
        closedir(d);
    }
    EXPECT_GE(files.size(), 12u) << "two frames of each demo scene";
    for (const std::string& file : files) {
        const Picture pic = load_png(file);
        int translucent   = 0;
        for (size_t i = 3; i < pic.pixels.size(); i += 4)
            translucent += static_cast<unsigned char>(pic.pixels[i]) != 255;
        EXPECT_EQ(translucent, 0) << file;
    }
    std::system(("rm -rf " + dir).c_str());
}

// The terrain quads lerp from the first texture to the second (read through tile 1 at half
// the frequency) by the environment alpha, times the shade; the ice surface is as opaque as
// its second cycle's alpha says (the texel lerp plus the texel times PRIM_LOD_FRAC), not as
// the environment alpha. Expected values from the scene's own words, at texel-cell centres.
TEST(ScenePictures, TerrainAndIceMixTwoTextures) {
    using namespace terrain;
    const Picture pic = render("terrain");
    ASSERT_GT(pic.width, 0);
    auto lerp = [](double a, double b, double k) { return a + (b - a) * k; };
    for (int q = 0; q < 4; ++q)
        for (int cell = 0; cell < 16; ++cell) {
            const uint32_t a = cell % 4, b = cell / 4, s0 = 4 * a + 2, t0 = 4 * b + 2;
            const uint32_t s1 = s0 / 2, t1 = t0 / 2; // tile 1: shift 1
            double expected[3], bg[3]      = {kBackground.r, kBackground.g, kBackground.b};
            if (q < 3) {
                const Rgb x = grass(s0, t0), y = rock(s1, t1);
                const double k = kEnvAlpha[q] / 255.0, shade = kShade / 255.0;
                expected[0] = lerp(x.r, y.r, k) * shade;
                expected[1] = lerp(x.g, y.g, k) * shade;
                expected[2] = lerp(x.b, y.b, k) * shade;
            } else {
                const double i0 = ice(s0, t0) / 255.0, i1 = ice(s1, t1) / 255.0;
                const double k = kIceEnvAlpha / 255.0, lod = kIcePrimLodFrac / 255.0;
                const double alpha = std::min(1.0, lerp(i0, i1, k) + i0 * lod);
                for (int ch = 0; ch < 3; ++ch)
                    expected[ch] =
                        255 * lerp(i0, i1, k) * kShade / 255.0 * alpha + bg[ch] * (1 - alpha);
            }
            // Quads 64 x 96 pixels from x = 8 + 76.8 q, y = 12; the ice 128 x 96 from (8, 132).
            const double x = q < 3 ? 8 + 76.8 * q + 16 * a + 8 : 8 + 32 * a + 16;
            const double y = (q < 3 ? 12 : 132) + 24 * b + 12;
            const unsigned char* p =
                pic.window(int(x * pic.width / 320), int(y * pic.height / 240));
            for (int ch = 0; ch < 3; ++ch)
                EXPECT_NEAR(p[ch], expected[ch], 4)
                    << (q < 3 ? "terrain, env alpha " + std::to_string(kEnvAlpha[q]) : "ice")
                    << " at (" << x << ", " << y << ") channel " << ch;
        }
}

// The flowing scene over two frames: at the middle of every texel each quad crosses, as seen
// from its tile's corner, the pixel shows that texel, wrapped, mirrored, masked or clamped as
// the console's texture unit does from the corner; the moving windows show it in both frames.
TEST(ScenePictures, FlowingSurfacesShowTheTexelsOfTheirCorners) {
    using namespace flow;
    const std::string dir = run_host("--scene flow --frames 2");
    for (int frame = 0; frame < 2; ++frame) {
        const Picture pic = load_png(dir + "/flow-00" + std::to_string(frame) + ".png");
        ASSERT_GT(pic.width, 0);
        for (int i = 0; i < kCaseCount; ++i) {
            const Case& k   = kCases[i];
            const Window& w = k.two_textures && k.env_alpha == 255 ? k.tile1 : k.tile0;
            const float cs  = float(corner_quarters(w.s, w.flow_s, frame)) / 4;
            const float ct  = float(corner_quarters(w.t, w.flow_t, frame)) / 4;
            // Texel middles from the corner inside the quad, a quarter texel from its edges.
            auto middles = [&](float corner, float first) {
                std::vector<float> at;
                for (float m = std::floor(first - corner); m < first - corner + k.span; ++m) {
                    const float c = corner + m + 0.5f;
                    if (c > first + 0.25f && c < first + k.span - 0.25f) at.push_back(c);
                }
                return at;
            };
            int checked = 0;
            for (float s : middles(cs, k.s0))
                for (float t : middles(ct, k.t0)) {
                    const int wx = int((quad_x(i) + (s - k.s0) * kQuad / k.span) * pic.width / 320);
                    const int wy =
                        int((quad_y(i) + (t - k.t0) * kQuad / k.span) * pic.height / 240);
                    const Rgb e            = shown(k, frame, s, t);
                    const unsigned char* p = pic.window(wx, wy);
                    EXPECT_TRUE(std::abs(p[0] - int(e.r)) <= 10 &&
                                std::abs(p[1] - int(e.g)) <= 10 && std::abs(p[2] - int(e.b)) <= 10)
                        << k.what << ", frame " << frame << ", texel coordinate (" << s << ", " << t
                        << "): expected " << e.r << "," << e.g << "," << e.b << ", drawn "
                        << int(p[0]) << "," << int(p[1]) << "," << int(p[2]);
                    ++checked;
                }
            EXPECT_GE(checked, 49) << k.what;
        }
    }
    std::system(("rm -rf " + dir).c_str());
}

} // namespace
