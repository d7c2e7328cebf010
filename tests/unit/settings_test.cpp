// [Settings] of vexa_ogl.ini: known values in any case, unknown ones give the default and say so
#include <gtest/gtest.h>

#include "config/settings.h"
#include "support/config_files.h"

namespace {

TEST(IniSettings, ValuesAndOneWarningPerUnknownValue) {
    const struct {
        const char* file; // null: no INI file
        int samples;
        bool nearest;
        AspectMode aspect;
        const char* log;
    } cases[] = {
        {nullptr, 0, false, AspectMode::four_by_three, ""},
        {"[Settings]\nMultiSampling = 4\nTextureFilter=Nearest\nSkipEveryOtherTask=True\n"
         "AspectRatio=WideScreen\n",
         4, true, AspectMode::widescreen, ""},
        {"[Settings]\nMultiSampling=3\nTextureFilter=sharp\nAspectRatio=21:9\n", 0, false,
         AspectMode::four_by_three,
         "new_vexa_ogl: [Settings] MultiSampling=3 is not 0, 2, 4 or 8: using 0\n"
         "new_vexa_ogl: [Settings] TextureFilter=sharp is not \"bilinear\" or \"nearest\": using "
         "bilinear\n"
         "new_vexa_ogl: [Settings] AspectRatio=21:9 is not \"4:3\", \"stretch\", \"16:9\" or "
         "\"widescreen\": using 4:3\n"},
    };
    for (const auto& c : cases) {
        HostFolder folder;
        if (c.file) write_file(folder.ini(), c.file);
        player_settings = PlayerSettings{7, true, true, AspectMode::stretch};
        testing::internal::CaptureStderr();
        read_ini_settings();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.log) << c.file;
        EXPECT_EQ(player_settings.multisampling, c.samples) << c.file;
        EXPECT_EQ(player_settings.nearest_texels, c.nearest) << c.file;
        EXPECT_EQ(player_settings.aspect, c.aspect) << c.file;
        EXPECT_FALSE(player_settings.skip_every_other_task) << "a mupen64plus setting";
    }
}

} // namespace
