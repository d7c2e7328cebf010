// The names of replacement pack files
#include "pack/pack_names.h"

#include <cctype>
#include <cstdio>
#include <cstring>

std::string pack_rom_name(const uint8_t name_bytes[20]) {
    std::string name;
    for (int i = 0; i < 20 && name_bytes[i] != 0; ++i)
        name.push_back(static_cast<char>(name_bytes[i]));
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

std::string pack_dump_name(const std::string& rom, const PackKey& key) {
    char fields[48];
    if (key.indexed)
        std::snprintf(fields, sizeof fields, "#%08X#%u#%u#%08X_ciByRGBA.png", key.crc, key.format,
                      key.size, key.palette_crc);
    else
        std::snprintf(fields, sizeof fields, "#%08X#%u#%u_all.png", key.crc, key.format, key.size);
    return rom + fields;
}

// Eight hex digits at `p`, either case.
static bool read_hex8(const char* p, uint32_t* value) {
    uint32_t v = 0;
    for (int i = 0; i < 8; ++i) {
        const char c = p[i];
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        v = v << 4 |
            uint32_t(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (c | 0x20) - 'a' + 10);
    }
    *value = v;
    return true;
}

static bool same_text(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(b[i])) return false;
    return true;
}

PackNameCheck parse_pack_name(const std::string& file_name, const std::string& rom, PackName* out) {
    // The fields follow the game's name (anything may come before it); a name of another game
    // is told from one that is no pack name at all by the fields after its first '#'.
    const size_t named = rom.empty() ? std::string::npos : file_name.find(rom + '#');
    const size_t hash  = named != std::string::npos ? named + rom.size() : file_name.find('#');
    if (hash == std::string::npos) return PackNameCheck::not_a_pack_name;
    const char* p = file_name.c_str() + hash;
    PackName n{};
    // "#XXXXXXXX#f#s"
    if (file_name.size() - hash < 13 || !read_hex8(p + 1, &n.key.crc) || p[9] != '#' ||
        p[10] < '0' || p[10] > '7' || p[11] != '#' || p[12] < '0' || p[12] > '3')
        return PackNameCheck::not_a_pack_name;
    n.key.format = uint8_t(p[10] - '0');
    n.key.size   = uint8_t(p[12] - '0');
    p += 13;
    if (*p == '#') {
        if (!read_hex8(p + 1, &n.key.palette_crc)) return PackNameCheck::not_a_pack_name;
        n.has_palette = true;
        p += 9;
    }
    if (*p != '_') return PackNameCheck::not_a_pack_name;
    const char* dot = std::strrchr(p, '.');
    if (!dot) return PackNameCheck::not_a_pack_name;
    const std::string form(p + 1, dot), ext(dot + 1);
    const bool png = same_text(ext, "png"), bmp = same_text(ext, "bmp");
    if (png && form == "all")
        n.form = PackForm::all;
    else if (png && form == "rgb")
        n.form = PackForm::rgb;
    else if (png && form == "a")
        n.form = PackForm::alpha;
    else if (png && form == "ciByRGBA" && n.has_palette)
        n.form = PackForm::ci_by_rgba;
    else if (png && form == "allciByRGBA")
        n.form = PackForm::all_ci_by_rgba;
    else if (bmp && form == "ci")
        n.form = PackForm::ci_bmp;
    else
        return PackNameCheck::not_a_pack_name;
    n.key.indexed = n.form == PackForm::ci_by_rgba || n.form == PackForm::all_ci_by_rgba ||
                    n.form == PackForm::ci_bmp;
    if (n.form == PackForm::all_ci_by_rgba) n.key.palette_crc = 0;
    if (!n.key.indexed && n.has_palette) return PackNameCheck::not_a_pack_name;
    if (named == std::string::npos) return PackNameCheck::other_game;
    *out = n;
    return PackNameCheck::ok;
}
