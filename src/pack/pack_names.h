// The names of replacement pack files: <ROM name>#<CRC>#<fmt>#<siz>[#<PALCRC>]_<form>.<ext>
#pragma once
#include <cstdint>
#include <string>

// What names a texture: its checksum, format and size codes, and for palette-indexed textures
// the palette's checksum.
struct PackKey {
    uint32_t crc;
    uint8_t format;
    uint8_t size;
    bool indexed;
    uint32_t palette_crc;
    bool operator==(const PackKey& o) const {
        return crc == o.crc && format == o.format && size == o.size && indexed == o.indexed &&
               palette_crc == o.palette_crc;
    }
};
struct PackKeyHash {
    size_t operator()(const PackKey& k) const {
        return k.crc ^ (size_t(k.palette_crc) * 31) ^ (size_t(k.format) << 3) ^ k.size;
    }
};

// The file forms of one texture.
enum class PackForm {
    all,            // _all.png: RGBA
    rgb,            // _rgb.png: colour, opaque unless an _a goes with it
    alpha,          // _a.png: alpha in its red channel, for the _rgb of the same name
    ci_by_rgba,     // _ciByRGBA.png: an indexed texture with the palette named
    all_ci_by_rgba, // _allciByRGBA.png: an indexed texture, any palette
    ci_bmp,         // _ci.bmp: indices to colour with the live palette
};

struct PackName {
    PackKey key; // for all_ci_by_rgba and ci_bmp without a palette checksum: palette_crc 0
    bool has_palette;
    PackForm form;
};

// The ROM header's 20-byte name (cartridge order), up to a zero, trailing spaces removed.
std::string pack_rom_name(const uint8_t name_bytes[20]);

// The file name a dump of `key` gets: _ciByRGBA.png with the palette for indexed textures,
// _all.png for the others.
std::string pack_dump_name(const std::string& rom, const PackKey& key);

enum class PackNameCheck { ok, other_game, not_a_pack_name };
// Reads a file name (without folders). `rom` must appear in it, followed by the fields.
PackNameCheck parse_pack_name(const std::string& file_name, const std::string& rom, PackName* out);
