// Demo scenes: display lists built in code, one microcode family each
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "console.h"

struct Scene {
    const char* name;
    const char* description;
    int family;    // microcode family the scene's display lists are written for
    uint32_t crc1; // the scene's ROM header: its INI section
    uint32_t crc2;
    int frames; // interpreted frames to render
    // Builds the display list of one frame in RDRAM and returns its address.
    uint32_t (*build)(Console& console, int frame);
};

void register_scene(const Scene& scene);
const std::vector<Scene>& all_scenes();
const Scene* find_scene(const std::string& name);

struct SceneRegistrar {
    explicit SceneRegistrar(const Scene& scene) { register_scene(scene); }
};
