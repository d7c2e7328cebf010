// Writes a frame read back from OpenGL as a PNG file
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// rgba holds width x height pixels with the bottom row first, as glReadPixels returns them.
bool write_png(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);
