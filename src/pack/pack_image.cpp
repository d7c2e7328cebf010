// Pack images: PNG and BMP files decoded to RGBA8, and PNG files written
#include "pack/pack_image.h"

#include <cstdio>
#include <cstring>

#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#define STBIW_WINDOWS_UTF8
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

bool pack_decode_image(const uint8_t* bytes, size_t size, PackImage* image, std::string* why) {
    if (size > kPackMaxFileBytes || size > 0x7FFFFFFF) {
        *why = "file too large";
        return false;
    }
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(bytes, int(size), &w, &h, &channels)) {
        *why = std::string("not a PNG or BMP image (") + stbi_failure_reason() + ")";
        return false;
    }
    if (w < 1 || h < 1 || uint32_t(w) > kPackMaxSide || uint32_t(h) > kPackMaxSide ||
        uint64_t(w) * uint64_t(h) > kPackMaxTexels) {
        *why = "image of " + std::to_string(w) + " x " + std::to_string(h) + " refused";
        return false;
    }
    stbi_uc* texels = stbi_load_from_memory(bytes, int(size), &w, &h, &channels, 4);
    if (!texels) {
        *why = std::string("cannot decode (") + stbi_failure_reason() + ")";
        return false;
    }
    image->width  = uint32_t(w);
    image->height = uint32_t(h);
    image->rgba.assign(texels, texels + size_t(w) * size_t(h) * 4);
    stbi_image_free(texels);
    return true;
}

bool pack_read_image(const std::string& path, PackImage* image, std::string* why) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        *why = "cannot open";
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0 && bytes.size() <= kPackMaxFileBytes)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);
    return pack_decode_image(bytes.data(), bytes.size(), image, why);
}

bool pack_write_png(const std::string& path, const uint8_t* rgba, uint32_t width, uint32_t height) {
    return stbi_write_png(path.c_str(), int(width), int(height), 4, rgba, int(width) * 4) != 0;
}
