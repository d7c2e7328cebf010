// Pack images: PNG and BMP files decoded to RGBA8, and PNG files written
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PackImage {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgba; // width x height texels of red, green, blue, alpha; top row first
};

// The largest image a pack may hold: replacements are a few times the console's textures (at
// most 1024 texels a side there), and a 32-bit process must hold several.
constexpr uint32_t kPackMaxSide   = 8192;
constexpr uint64_t kPackMaxTexels = uint64_t(4096) * 4096;
// Files larger than this are not read at all.
constexpr uint64_t kPackMaxFileBytes = 64u << 20;

// Decodes a PNG or BMP file's bytes; the size is read first and absurd sizes are refused
// before anything is decoded. False with a reason in *why.
bool pack_decode_image(const uint8_t* bytes, size_t size, PackImage* image, std::string* why);
// Reads and decodes a file.
bool pack_read_image(const std::string& path, PackImage* image, std::string* why);
// Writes `rgba` (width x height, top row first) as a PNG file.
bool pack_write_png(const std::string& path, const uint8_t* rgba, uint32_t width, uint32_t height);
