// [Settings] of vexa_ogl.ini through the Linux plug-in as a host loads it: vexa-host and the
// plug-in copied into a folder of their own, whose Plugin/vexa_ogl.ini they read
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/config_files.h"
#include "support/pictures.h"

namespace {

namespace fs = std::filesystem;

// Values in any case reach the picture; an unknown value gives the default picture and one line.
TEST(IniSettings, ReachThePictureAndUnknownValuesSaySoOnce) {
    TempFolder host;
    fs::create_directory(host.path / "Plugin");
    for (const fs::path file : {VEXA_HOST_PATH, VEXA_PLUGIN_PATH})
        fs::copy_file(file, host.path / file.filename());
    const struct {
        const char* settings;
        const char* log;
        bool default_picture;
    } cases[] = {
        {"", "", true},
        // The mesh's bricks are magnified, and the scene asks for point sampling.
        {"TextureFilter = Bilinear\n", "", false},
        {"TextureFilter = nearest\n", "", true},
        {"MultiSampling=4\n", "", false}, // Mesa's llvmpipe has 4 samples: smoother edges
        {"MultiSampling=3\nTextureFilter=sharp\n",
         "new_vexa_ogl: [Settings] MultiSampling=3 is not 0, 2, 4 or 8: using 0\n"
         "new_vexa_ogl: [Settings] TextureFilter=sharp is not \"auto\", \"bilinear\" or "
         "\"nearest\": using auto\n",
         true},
    };
    Image plain;
    for (const auto& c : cases) {
        write_file(host.file("Plugin/vexa_ogl.ini"), std::string("[Settings]\n") + c.settings);
        const std::string out = host.file("out"), err = host.file("err");
        ASSERT_EQ(std::system((host.file("vexa-host") + " --scene mesh --frames 1 --out " + out +
                               " >/dev/null 2>" + err)
                                  .c_str()),
                  0)
            << c.settings;
        EXPECT_EQ(read_file(err), c.log) << c.settings;
        const Image picture = load_png(out + "/mesh-000.png");
        if (plain.rgba.empty()) plain = picture;
        EXPECT_EQ(picture.rgba == plain.rgba, c.default_picture) << c.settings;
    }
}

} // namespace
