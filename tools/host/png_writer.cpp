// Writes a frame read back from OpenGL as a PNG file
#include "png_writer.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

bool write_png(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) {
    if (width <= 0 || height <= 0 || rgba.size() < static_cast<size_t>(width) * height * 4)
        return false;
    stbi_flip_vertically_on_write(1); // OpenGL's bottom row comes last in the file
    return stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4) != 0;
}
