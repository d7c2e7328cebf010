// PNG pictures compared channel by channel, for tests that check drawn frames
#pragma once
#include <cstdlib>
#include <string>
#include <vector>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

struct Image {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
};

inline Image load_png(const std::string& path) {
    Image image;
    int channels        = 0;
    unsigned char* data = stbi_load(path.c_str(), &image.width, &image.height, &channels, 4);
    if (data) {
        image.rgba.assign(data, data + 4 * image.width * image.height);
        stbi_image_free(data);
    }
    return image;
}

// Empty when every channel of every pixel is within `tolerance`; else the first pixel that
// is not.
inline std::string compare(const Image& expected, const Image& actual, int tolerance) {
    if (expected.rgba.empty() || actual.rgba.empty()) return "a picture is missing";
    if (expected.width != actual.width || expected.height != actual.height)
        return "sizes differ: " + std::to_string(expected.width) + "x" +
               std::to_string(expected.height) + " and " + std::to_string(actual.width) + "x" +
               std::to_string(actual.height);
    for (size_t i = 0; i < expected.rgba.size(); ++i)
        if (std::abs(expected.rgba[i] - actual.rgba[i]) > tolerance) {
            const size_t pixel = i / 4;
            return "first differing pixel (" + std::to_string(pixel % expected.width) + ", " +
                   std::to_string(pixel / expected.width) + ") channel " + std::to_string(i % 4) +
                   ": expected " + std::to_string(expected.rgba[i]) + ", got " +
                   std::to_string(actual.rgba[i]);
        }
    return "";
}

// The share of pixels whose every channel is within `tolerance`; 0 when the sizes differ.
inline double share_within(const Image& expected, const Image& actual, int tolerance) {
    if (expected.rgba.empty() || expected.width != actual.width || expected.height != actual.height)
        return 0;
    size_t same = 0;
    for (size_t p = 0; p < expected.rgba.size(); p += 4) {
        bool close = true;
        for (size_t c = p; c < p + 4; ++c)
            close = close && std::abs(expected.rgba[c] - actual.rgba[c]) <= tolerance;
        same += close;
    }
    return static_cast<double>(same) / (expected.rgba.size() / 4);
}
