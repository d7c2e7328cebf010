// The picture's shape (AspectRatio) in windows that are not 4:3: the wide scene by vexa-host
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/pictures.h"

namespace {

namespace fs = std::filesystem;

// vexa-host and the plug-in copied into a folder of their own: the INI file beside them,
// where vexa-host writes the shape, is this test's alone while other tests run.
struct PrivateHost {
    char name[32] = "/tmp/vexa-aspect-XXXXXX";
    fs::path dir  = mkdtemp(name);
    PrivateHost() {
        fs::copy_file(VEXA_HOST_PATH, dir / "vexa-host");
        fs::copy_file(VEXA_PLUGIN_PATH, dir / "libnew_vexa_ogl.so");
    }
    ~PrivateHost() { fs::remove_all(dir); }

    // The scene's first frame, or the frame of its checked-in capture.
    Image render(const std::string& size, const std::string& aspect, bool replay = false) {
        const fs::path out = dir / (size + aspect + (replay ? "-replay" : ""));
        const std::string command =
            (dir / "vexa-host").string() +
            (replay ? " --replay " VEXA_CAPTURE_DATA_DIR "/wide.vxc" : " --frames 1 --scene wide") +
            " --size " + size + " --aspect " + aspect + " --out " + out.string() + " >/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return load_png((out / (replay ? "wide.png" : "wide-000.png")).string());
    }
};

// The part of a picture at (x, y) from the top left.
Image crop(const Image& from, int x, int y, int width, int height) {
    Image part{width, height, {}};
    for (int row = y; row < y + height; ++row) {
        const auto start = from.rgba.begin() + 4 * (row * from.width + x);
        part.rgba.insert(part.rgba.end(), start, start + 4 * width);
    }
    return part;
}

// Pixels within 12 per channel of (r, g, b).
int count(const Image& pic, int r, int g, int b) {
    int n = 0;
    for (size_t p = 0; p < pic.rgba.size(); p += 4)
        n += std::abs(pic.rgba[p] - r) <= 12 && std::abs(pic.rgba[p + 1] - g) <= 12 &&
             std::abs(pic.rgba[p + 2] - b) <= 12;
    return n;
}

// 4:3 and 16:9 keep their shape with black bars around it; inside, the picture is the one
// the plug-in draws in a window of the picture's own size (stretched there, as always). In a
// 4:3 window every shape but 16:9 is that picture.
TEST(AspectPictures, BarsAroundThePictureDrawnAtItsOwnSize) {
    PrivateHost host;
    const struct {
        const char *window, *aspect;
        int x, y, width, height; // the picture, from the top left
    } cases[] = {
        {"1280x720", "4:3", 160, 0, 960, 720},       {"640x720", "4:3", 0, 120, 640, 480},
        {"1280x720", "16:9", 0, 0, 1280, 720},       {"640x720", "16:9", 0, 180, 640, 360},
        {"640x720", "widescreen", 0, 120, 640, 480}, {"640x480", "widescreen", 0, 0, 640, 480},
        {"640x480", "4:3", 0, 0, 640, 480},          {"640x480", "16:9", 0, 60, 640, 360},
    };
    for (const auto& c : cases) {
        const Image shown = host.render(c.window, c.aspect);
        const Image alone =
            host.render(std::to_string(c.width) + "x" + std::to_string(c.height), "stretch");
        const std::string at = std::string(c.aspect) + " in " + c.window;
        EXPECT_EQ(compare(alone, crop(shown, c.x, c.y, c.width, c.height), 2), "") << at;
        EXPECT_EQ(count(shown, 0, 0, 0), shown.width * shown.height - c.width * c.height) << at;
    }
}

// Widescreen at 1280 x 720: the middle is the 4:3 picture (the centred cube as wide, the HUD
// squares in their place and size), the cubes just outside the 4:3 view show at the sides,
// the sky, a fill across the whole colour image, covers the window; a replay draws the same.
TEST(AspectPictures, WidescreenSeesFurtherAndKeepsTheMiddle) {
    PrivateHost host;
    const Image narrow = host.render("1280x720", "4:3"),
                wide   = host.render("1280x720", "widescreen");
    ASSERT_EQ(wide.width, 1280);
    EXPECT_EQ(compare(crop(narrow, 160, 0, 960, 720), crop(wide, 160, 0, 960, 720), 2), "");
    EXPECT_GT(count(crop(wide, 0, 0, 160, 720), 38, 209, 209), 1000) << "the left cube";
    EXPECT_GT(count(crop(wide, 1120, 0, 160, 720), 218, 209, 38), 1000) << "the right cube";
    EXPECT_EQ(count(narrow, 38, 209, 209) + count(narrow, 218, 209, 38), 0) << "4:3 sees neither";
    EXPECT_EQ(count(crop(wide, 0, 0, 1280, 8), 41, 57, 107), 1280 * 8) << "the sky's top rows";
    EXPECT_EQ(compare(wide, host.render("1280x720", "widescreen", true), 0), "") << "replayed";
}

} // namespace
