// Writes the demo scenes' display lists as seed inputs for the fuzzers
#include <cstdio>
#include <string>

#include "console.h"
#include "scenes.h"

// One chunk per run of non-zero 64-byte blocks of RDRAM.
static void write_seed(const Scene& scene, int frame, const std::string& dir) {
    Console console;
    const uint32_t start = scene.build(console, frame);
    std::string out;
    out.push_back(static_cast<char>(scene.family));
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(start >> (8 * i)));
    const uint32_t block = 64;
    uint32_t a           = 0;
    while (a < Console::kRdramSize) {
        auto used = [&](uint32_t at) {
            for (uint32_t i = 0; i < block; ++i)
                if (console.rdram[at + i]) return true;
            return false;
        };
        if (!used(a)) {
            a += block;
            continue;
        }
        uint32_t end = a;
        while (end < Console::kRdramSize && used(end) && end - a < 0xFFC0)
            end += block;
        const uint32_t length = end - a;
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<char>(a >> (8 * i)));
        out.push_back(static_cast<char>(length & 0xFF));
        out.push_back(static_cast<char>(length >> 8));
        out.append(reinterpret_cast<const char*>(&console.rdram[a]), length);
        a = end;
    }
    const std::string path = dir + "/" + scene.name + "-" + std::to_string(frame);
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(out.data(), 1, out.size(), f);
        std::fclose(f);
    }
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seed_corpus DIR\n");
        return 2;
    }
    for (const Scene& s : all_scenes())
        write_seed(s, 0, argv[1]);
    return 0;
}
