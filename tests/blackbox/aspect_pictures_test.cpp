// The picture's shape (AspectRatio) in windows that are not 4:3, rendered by vexa-host
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/pictures.h"

namespace {

namespace fs = std::filesystem;

// vexa-host and the plug-in copied into a folder of their own: the INI file beside them,
// where vexa-host writes the shape, is this test's alone while other tests run.
struct PrivateHost {
    fs::path dir;
    PrivateHost() {
        char name[] = "/tmp/vexa-aspect-XXXXXX";
        dir         = mkdtemp(name) ? name : "";
        fs::copy_file(VEXA_HOST_PATH, dir / "vexa-host");
        fs::copy_file(VEXA_PLUGIN_PATH, dir / "libnew_vexa_ogl.so");
    }
    ~PrivateHost() { fs::remove_all(dir); }

    // The first frame of a scene, or the frame of a capture (`scene` naming the .vxc file).
    Image render(const std::string& scene, const std::string& size, const std::string& aspect) {
        const fs::path out        = dir / ("out-" + size + "-" + std::to_string(runs++));
        const bool capture        = fs::path(scene).extension() == ".vxc";
        const std::string from    = capture ? " --replay " + scene : " --frames 1 --scene " + scene;
        const std::string command = (dir / "vexa-host").string() + from + " --size " + size +
                                    " --aspect " + aspect + " --out " + out.string() +
                                    " >/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        const std::string name = capture ? fs::path(scene).stem().string() : scene + "-000";
        return load_png((out / (name + ".png")).string());
    }
    int runs = 0;
};

// The part of a picture at (x, y) from the top left.
Image crop(const Image& from, int x, int y, int width, int height) {
    Image part;
    part.width  = width;
    part.height = height;
    for (int row = y; row < y + height; ++row) {
        const auto start = from.rgba.begin() + 4 * (row * from.width + x);
        part.rgba.insert(part.rgba.end(), start, start + 4 * width);
    }
    return part;
}

// Pixels matching `rgb` within 12 per channel, and the box around them (x0, y0, x1, y1).
struct Found {
    int count = 0, x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
};
Found find(const Image& pic, int r, int g, int b, int from_x = 0, int to_x = 1 << 30) {
    Found f;
    for (int y = 0; y < pic.height; ++y)
        for (int x = from_x; x < std::min(to_x, pic.width); ++x) {
            const unsigned char* p = &pic.rgba[4 * (y * pic.width + x)];
            if (std::abs(p[0] - r) > 12 || std::abs(p[1] - g) > 12 || std::abs(p[2] - b) > 12)
                continue;
            ++f.count;
            f.x0 = std::min(f.x0, x), f.y0 = std::min(f.y0, y);
            f.x1 = std::max(f.x1, x), f.y1 = std::max(f.y1, y);
        }
    return f;
}

// 4:3 and 16:9 keep their shape with black bars around it; inside, the picture is the one
// the plug-in draws in a window of the picture's own size (stretched there, as it always
// did). Stretch fills the window with the 4:3 picture widened.
TEST(AspectPictures, BarsAroundThePictureDrawnAtItsOwnSize) {
    PrivateHost host;
    const struct {
        const char *window, *aspect;
        int x, y, width, height; // the picture, from the top left
    } cases[] = {
        {"1280x720", "4:3", 160, 0, 960, 720},       {"640x720", "4:3", 0, 120, 640, 480},
        {"1280x720", "16:9", 0, 0, 1280, 720},       {"640x720", "16:9", 0, 180, 640, 360},
        {"640x720", "widescreen", 0, 120, 640, 480},
    };
    for (const auto& c : cases) {
        const Image shown = host.render("wide", c.window, c.aspect);
        const Image alone = host.render(
            "wide", std::to_string(c.width) + "x" + std::to_string(c.height), "stretch");
        const std::string at = std::string(c.aspect) + " in " + c.window;
        EXPECT_EQ(compare(alone, crop(shown, c.x, c.y, c.width, c.height), 2), "") << at;
        const Found lit = find(shown, 0, 0, 0);
        EXPECT_EQ(lit.count, shown.width * shown.height - c.width * c.height)
            << at << ": black everywhere but the picture";
    }
    // Nearest-neighbour widening of the 960 x 720 picture against the stretched 1280 x 720.
    const Image narrow  = host.render("wide", "960x720", "4:3");
    const Image stretch = host.render("wide", "1280x720", "stretch");
    Image widened       = stretch;
    for (int y = 0; y < 720; ++y)
        for (int x = 0; x < 1280; ++x)
            for (int k = 0; k < 4; ++k)
                widened.rgba[4 * (y * 1280 + x) + k] = narrow.rgba[4 * (y * 960 + x * 3 / 4) + k];
    EXPECT_GT(share_within(widened, stretch, 8), 0.97);
}

// Widescreen at 1280 x 720: the cubes just outside the 4:3 view show at the sides, the middle
// is the 4:3 picture (the centred cube as wide, the HUD squares where they were), and the sky,
// a fill across the whole colour image, covers the window.
TEST(AspectPictures, WidescreenSeesFurtherAndKeepsTheMiddle) {
    PrivateHost host;
    const Image four_three = host.render("wide", "1280x720", "4:3");
    const Image wide       = host.render("wide", "1280x720", "widescreen");
    ASSERT_EQ(wide.width, 1280);

    EXPECT_GT(find(wide, 38, 209, 209, 0, 160).count, 1000) << "the left cube";
    EXPECT_GT(find(wide, 218, 209, 38, 1120).count, 1000) << "the right cube";
    EXPECT_EQ(find(four_three, 38, 209, 209).count, 0) << "4:3 does not see the left cube";
    EXPECT_EQ(find(four_three, 218, 209, 38).count, 0) << "4:3 does not see the right cube";

    const Found cube_43 = find(four_three, 228, 133, 28), cube_wide = find(wide, 228, 133, 28);
    EXPECT_GT(cube_43.count, 10000);
    EXPECT_NEAR(cube_wide.x1 - cube_wide.x0, cube_43.x1 - cube_43.x0, 1) << "the cube's width";
    const Found hud_43 = find(four_three, 230, 41, 24), hud_wide = find(wide, 230, 41, 24);
    EXPECT_EQ(std::vector<int>({hud_wide.x0, hud_wide.y0, hud_wide.x1, hud_wide.y1}),
              std::vector<int>({hud_43.x0, hud_43.y0, hud_43.x1, hud_43.y1}))
        << "the HUD squares";
    EXPECT_GT(share_within(crop(four_three, 160, 0, 960, 720), crop(wide, 160, 0, 960, 720), 2),
              0.995)
        << "the middle";

    const Found sky = find(wide, 41, 57, 107);
    EXPECT_EQ(std::vector<int>({sky.x0, sky.y0, sky.x1}), std::vector<int>({0, 0, 1279}))
        << "the sky reaches both sides and the top";

    const Image replayed = host.render(VEXA_CAPTURE_DATA_DIR "/wide.vxc", "1280x720", "widescreen");
    EXPECT_EQ(compare(wide, replayed, 0), "") << "the scene's capture replays the same";
}

} // namespace
