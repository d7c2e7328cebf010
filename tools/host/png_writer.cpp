// Writes a frame read back from OpenGL as a PNG file
#include "png_writer.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

#include <cstddef>

bool write_png(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) {
    if (width <= 0 || height <= 0 || rgba.size() < static_cast<size_t>(width) * height * 4)
        return false;
    // The window's picture has no alpha; a context that keeps one anyway (a host window's
    // visual) must not make the file translucent.
    std::vector<uint8_t> opaque(rgba.begin(),
                                rgba.begin() + static_cast<std::ptrdiff_t>(width) * height * 4);
    for (size_t i = 3; i < opaque.size(); i += 4)
        opaque[i] = 255;
    stbi_flip_vertically_on_write(1); // OpenGL's bottom row comes last in the file
    return stbi_write_png(path.c_str(), width, height, 4, opaque.data(), width * 4) != 0;
}
