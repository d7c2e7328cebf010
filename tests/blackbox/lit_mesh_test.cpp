// The family-0 demo scene as vexa-host renders it: a lit sphere in front of a cube
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb/stb_image.h>

namespace {

struct Picture {
    int width = 0, height = 0;
    unsigned char* rgba = nullptr;
    ~Picture() { stbi_image_free(rgba); }
    // Image coordinates: from the top left, as the PNG stores rows.
    const unsigned char* at(int x, int y) const { return rgba + 4 * (y * width + x); }
};

std::string describe(const unsigned char* p) {
    return "(" + std::to_string(p[0]) + ", " + std::to_string(p[1]) + ", " + std::to_string(p[2]) +
           ")";
}

TEST(LitMeshScene, ShowsTheLitSphereInFrontOfTheCube) {
    char dir[] = "/tmp/vexa-lit-mesh-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string command = std::string(VEXA_HOST_PATH) + " --scene lit-mesh --out " + dir +
                                " --plugin " + VEXA_PLUGIN_PATH + " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    Picture pic;
    const std::string png = std::string(dir) + "/lit-mesh-000.png";
    int channels          = 0;
    pic.rgba              = stbi_load(png.c_str(), &pic.width, &pic.height, &channels, 4);
    std::system((std::string("rm -rf ") + dir).c_str());
    ASSERT_NE(pic.rgba, nullptr) << png;
    ASSERT_EQ(pic.width, 640);
    ASSERT_EQ(pic.height, 480);

    const unsigned char* background = pic.at(20, 20);
    EXPECT_EQ(describe(background), "(16, 25, 49)") << "the fill colour behind everything";

    // The sphere: warm, brighter towards the light at the upper left than at the lower right.
    const unsigned char* lit    = pic.at(230, 190);
    const unsigned char* shaded = pic.at(340, 310);
    for (const unsigned char* p : {lit, shaded})
        EXPECT_GT(p[0], p[2]) << "sphere pixel is warm: " << describe(p);
    EXPECT_GT(lit[0] + lit[1] + lit[2], shaded[0] + shaded[1] + shaded[2] + 150)
        << describe(lit) << " against " << describe(shaded);

    // The cube: blue where it shows; where the nearer sphere overlaps it, the sphere wins
    // although the cube is drawn after it.
    const unsigned char* cube = pic.at(430, 230);
    EXPECT_TRUE(cube[2] > cube[0] + 30) << "cube pixel is blue: " << describe(cube);
    const unsigned char* overlap = pic.at(380, 200);
    EXPECT_GT(overlap[0], overlap[2]) << "overlap shows the sphere: " << describe(overlap);
}

} // namespace
