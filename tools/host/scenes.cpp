// Demo scenes: display lists built in code, one microcode family each
#include "scenes.h"

static std::vector<Scene>& registry() {
    static std::vector<Scene> scenes;
    return scenes;
}

void register_scene(const Scene& scene) { registry().push_back(scene); }

const std::vector<Scene>& all_scenes() { return registry(); }

const Scene* find_scene(const std::string& name) {
    for (const Scene& s : registry())
        if (name == s.name) return &s;
    return nullptr;
}
