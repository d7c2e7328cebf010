// The demo scenes through mupen64plus's interface inside Debian's core give vexa-host's pictures
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace {

namespace fs = std::filesystem;

// Both draw with the same OpenGL calls on the same Mesa; only the window differs (the core's
// against the plug-in's own), so a channel may differ by one step of rounding at most.
constexpr int kTolerance = 1;

struct TempDir {
    std::string path;
    TempDir() {
        char dir[] = "/tmp/vexa-m64p-pictures-XXXXXX";
        path       = mkdtemp(dir) ? dir : "";
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

struct Image {
    int width = 0, height = 0;
    std::string rgba;
};

Image load(const std::string& path) {
    Image image;
    int channels        = 0;
    unsigned char* data = stbi_load(path.c_str(), &image.width, &image.height, &channels, 4);
    if (data) {
        image.rgba.assign(reinterpret_cast<char*>(data), 4 * image.width * image.height);
        stbi_image_free(data);
    }
    return image;
}

TEST(M64pPictures, EveryDemoFrameMatchesVexaHost) {
    TempDir ours, reference;
    ASSERT_FALSE(ours.path.empty() || reference.path.empty());
    const std::string m64p = std::string(VEXA_M64P_HOST_PATH) + " --plugin " +
                             VEXA_M64P_PLUGIN_PATH + " --out " + ours.path + " >/dev/null";
    const std::string host = std::string(VEXA_HOST_PATH) + " --plugin " + VEXA_PLUGIN_PATH +
                             " --out " + reference.path + " >/dev/null";
    ASSERT_EQ(std::system(m64p.c_str()), 0) << m64p;
    ASSERT_EQ(std::system(host.c_str()), 0) << host;

    int frames = 0;
    for (const auto& entry : fs::directory_iterator(reference.path)) {
        const std::string name = entry.path().filename().string();
        const Image expected   = load(entry.path().string());
        const Image actual     = load(ours.path + "/" + name);
        ASSERT_GT(expected.width, 0) << name;
        ASSERT_EQ(actual.width, expected.width) << name << " from the core's window";
        ASSERT_EQ(actual.height, expected.height) << name;
        ++frames;
        for (size_t p = 0; p < expected.rgba.size(); p += 4)
            for (size_t c = 0; c < 3; ++c) {
                const int a = static_cast<unsigned char>(actual.rgba[p + c]);
                const int e = static_cast<unsigned char>(expected.rgba[p + c]);
                if (std::abs(a - e) > kTolerance) {
                    const size_t pixel = p / 4;
                    FAIL() << name << ": first difference at (" << pixel % expected.width << ", "
                           << pixel / expected.width << ") channel " << c << ": " << a
                           << " instead of " << e;
                }
            }
    }
    EXPECT_GE(frames, 6) << "every scene drew at least one frame";
}

} // namespace
