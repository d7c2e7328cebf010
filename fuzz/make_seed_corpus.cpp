// Writes the demo scenes' display lists as seed inputs for the fuzzers
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <utility>

#include "console.h"
#include "fuzz_input.h"
#include "scenes.h"

static void write_file(const std::string& path, const std::string& bytes) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

static void append_le32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(v >> (8 * i)));
}

// The interpreter's input: the family, the start, and one chunk per run of non-zero 64-byte
// blocks of RDRAM.
static std::string interpreter_seed(const Scene& scene, const Console& console, uint32_t start) {
    std::string out;
    out.push_back(static_cast<char>(byte_of_family(uint32_t(scene.family))));
    append_le32(out, start);
    const uint32_t block = 64;
    auto used            = [&](uint32_t at) {
        for (uint32_t i = 0; i < block; ++i)
            if (console.rdram[at + i]) return true;
        return false;
    };
    uint32_t a = 0;
    while (a < Console::kRdramSize) {
        if (!used(a)) {
            a += block;
            continue;
        }
        uint32_t end = a;
        while (end < Console::kRdramSize && used(end) && end - a < 0xFFC0)
            end += block;
        const uint32_t length = end - a;
        append_le32(out, a);
        out.push_back(static_cast<char>(length & 0xFF));
        out.push_back(static_cast<char>(length >> 8));
        out.append(reinterpret_cast<const char*>(&console.rdram[a]), length);
        a = end;
    }
    return out;
}

// The textures target's input: every tile and load command word pair found in the scene's
// RDRAM, in address order, each SETTILESIZE followed by a bind of tile 0.
static std::string textures_seed(const Console& console) {
    std::string out;
    auto step = [&](uint8_t selector, uint32_t w0, uint32_t w1, uint32_t w2) {
        out.push_back(static_cast<char>(selector));
        append_le32(out, w0);
        append_le32(out, w1);
        append_le32(out, w2);
    };
    for (uint32_t a = 0; a + 8 <= Console::kRdramSize; a += 8) {
        const uint32_t w0 = console.read_u32(a), w1 = console.read_u32(a + 4);
        switch (w0 >> 24) {
        case 0xFD: step(0, w0, w1, 0); break;
        case 0xF5: step(1, w0, w1, 0); break;
        case 0xF2:
            step(2, w0, w1, 0);
            step(6, 0, 0, 0);
            break;
        case 0xF3: step(3, w0, w1, 0); break;
        case 0xF4: step(4, w0, w1, 0); break;
        case 0xF0: step(5, w0, w1, 0); break;
        }
    }
    return out;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(
            stderr,
            "usage: make_seed_corpus DIR (writes DIR/interpreter, DIR/textures, DIR/ini)\n");
        return 2;
    }
    const std::string dir = argv[1];
    for (const char* target : {"interpreter", "textures", "ini"})
        mkdir((dir + "/" + target).c_str(), 0755);
    for (const Scene& s : all_scenes()) {
        Console console;
        const uint32_t start   = s.build(console, 0);
        const std::string name = std::string(s.name) + "-0";
        write_file(dir + "/interpreter/" + name, interpreter_seed(s, console, start));
        const std::string textures = textures_seed(console);
        if (!textures.empty()) write_file(dir + "/textures/" + name, textures);
    }
    // Profile files as the plug-in writes them and as people edit them.
    const std::string z(1, '\0');
    const std::pair<const char*, std::string> ini_seeds[] = {
        {"plain", "[0123ABCD89EF4567-45]\nName=SUPER GAME\nUCode=3\n"},
        {"crlf", "; games\r\n[A-1]\r\nName = \"x\"\r\nUCode=-1\r\n\r\n[B]\r\nk=v\r\n"},
        {"fields", "[S]\nUCode= 12abc\n" + z + "s" + z + "ucode" + z + "  4  "},
        {"no-break", "[s]\nkey" + z + "S" + z + "KEY" + z + "v\nw"},
    };
    for (const auto& [name, bytes] : ini_seeds)
        write_file(dir + "/ini/" + name, bytes);
    return 0;
}
