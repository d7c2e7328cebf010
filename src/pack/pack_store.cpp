// Replacement packs of the running game: index, decoded images, dumps
#include "pack/pack_store.h"

#include <filesystem>
#include <list>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

// The files of one texture.
struct PackFiles {
    std::string color; // _all, _rgb, _ciByRGBA or _allciByRGBA
    std::string alpha; // _a, for an _rgb
    bool rgb = false;  // color is an _rgb
};

struct Decoded {
    PackImage image;
    std::list<std::string>::iterator use; // place in the recency list
};

struct Store {
    std::string rom;
    std::string dump_folder;
    bool load = false, dump = false, dump_failed = false;
    std::unordered_map<PackKey, PackFiles, PackKeyHash> files;
    std::unordered_map<PackKey, PackFiles, PackKeyHash> any_palette; // _allciByRGBA
    std::unordered_map<std::string, Decoded> decoded;                // by colour file
    std::list<std::string> recency;                                  // most recent first
    uint64_t decoded_bytes = 0;
    std::unordered_set<std::string> bad; // files that could not be read
    std::unordered_set<PackKey, PackKeyHash> dumped;
    uint32_t indexed = 0;
};
Store pack;

void pack_log(LogLevel level, const std::string& text) { platform_log(level, text.c_str()); }

// Each path's name alone, folders dropped.
std::string file_part(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

PackKey any_palette_key(PackKey k) {
    k.palette_crc = 0;
    return k;
}

// Builds the colour of an _rgb from its _a: alpha from the _a's red channel.
bool join_alpha(PackImage* image, const std::string& alpha_path) {
    PackImage alpha;
    std::string why;
    if (!pack_read_image(alpha_path, &alpha, &why)) {
        if (pack.bad.insert(alpha_path).second)
            pack_log(LogLevel::error, "texture pack: " + alpha_path + ": " + why);
        return false;
    }
    if (alpha.width != image->width || alpha.height != image->height) {
        if (pack.bad.insert(alpha_path).second)
            pack_log(LogLevel::error, "texture pack: " + alpha_path + ": " +
                                          std::to_string(alpha.width) + " x " +
                                          std::to_string(alpha.height) +
                                          " is not the size of its _rgb; the _rgb is used opaque");
        return false;
    }
    for (size_t i = 0; i < image->rgba.size(); i += 4)
        image->rgba[i + 3] = alpha.rgba[i];
    return true;
}

void drop_least_recent() {
    while (pack.decoded_bytes > kPackImageBudget && pack.recency.size() > 1) {
        const auto it = pack.decoded.find(pack.recency.back());
        pack.decoded_bytes -= it->second.image.rgba.size();
        pack.decoded.erase(it);
        pack.recency.pop_back();
    }
}

const PackImage* decode(const PackFiles& f) {
    const auto found = pack.decoded.find(f.color);
    if (found != pack.decoded.end()) {
        pack.recency.splice(pack.recency.begin(), pack.recency, found->second.use);
        return &found->second.image;
    }
    if (pack.bad.count(f.color)) return nullptr;
    PackImage image;
    std::string why;
    if (!pack_read_image(f.color, &image, &why)) {
        pack.bad.insert(f.color);
        pack_log(LogLevel::error, "texture pack: " + f.color + ": " + why);
        return nullptr;
    }
    if (f.rgb) {
        for (size_t i = 3; i < image.rgba.size(); i += 4)
            image.rgba[i] = 255;
        if (!f.alpha.empty()) join_alpha(&image, f.alpha);
    }
    pack.recency.push_front(f.color);
    pack.decoded_bytes += image.rgba.size();
    Decoded& d = pack.decoded[f.color];
    d.image    = std::move(image);
    d.use      = pack.recency.begin();
    drop_least_recent();
    return &pack.decoded[f.color].image;
}

} // namespace

PackNameCheck pack_index_name(const std::string& path) {
    PackName n;
    const PackNameCheck check = parse_pack_name(file_part(path), pack.rom, &n);
    if (check != PackNameCheck::ok || n.form == PackForm::ci_bmp) return check;
    PackFiles& f = (n.form == PackForm::all_ci_by_rgba ? pack.any_palette : pack.files)[n.key];
    switch (n.form) {
    case PackForm::alpha: f.alpha = path; break;
    case PackForm::rgb:
        if (f.color.empty() || f.rgb) f.color = path, f.rgb = true;
        break;
    default: // _all wins over _rgb
        if (f.color.empty() || f.rgb) f.color = path, f.rgb = false;
        break;
    }
    ++pack.indexed;
    pack.load = true;
    return check;
}

void pack_close() { pack = Store{}; }

// Folders beyond this many files are not read further (a game's pack has thousands).
constexpr uint32_t kMostFiles = 200000;

static void index_folder(const std::string& rom, const fs::path& folder) {
    std::error_code error;
    uint32_t skipped_bmp = 0, seen = 0;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied,
                                        error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_regular_file(error)) continue;
        if (++seen > kMostFiles) {
            pack_log(LogLevel::error, "texture pack: more than " + std::to_string(kMostFiles) +
                                          " files; the rest is not read");
            break;
        }
        const std::string path = it->path().u8string();
        PackName n;
        const PackNameCheck check = parse_pack_name(file_part(path), rom, &n);
        if (check == PackNameCheck::ok && n.form == PackForm::ci_bmp)
            ++skipped_bmp;
        else if (check == PackNameCheck::ok)
            pack_index_name(path);
        else
            pack_log(LogLevel::error,
                     "texture pack: " + path +
                         (check == PackNameCheck::other_game ? ": named for another game"
                                                             : ": not a texture pack file name"));
    }
    if (skipped_bmp)
        pack_log(LogLevel::info, "texture pack: " + std::to_string(skipped_bmp) +
                                     " _ci.bmp files not read (use _ciByRGBA.png)");
}

void pack_open(const std::string& rom, const std::string& pack_root, const std::string& dump_root,
               bool load, bool dump) {
    pack_close();
    pack.rom = rom;
    // Names the file system cannot convert leave the game without a pack, never stop it.
    try {
        pack.dump = dump && !rom.empty();
        if (pack.dump) pack.dump_folder = (fs::u8path(dump_root) / fs::u8path(rom)).u8string();
        if (!load) return;
        const fs::path folder = fs::u8path(pack_root) / fs::u8path(rom);
        std::error_code error;
        if (rom.empty() || !fs::is_directory(folder, error)) {
            pack_log(LogLevel::info, "texture pack: none for \"" + rom + "\" (no folder " +
                                         folder.u8string() + ")");
            return;
        }
        index_folder(rom, folder);
        pack_log(LogLevel::info, "texture pack: " + folder.u8string() + ": " +
                                     std::to_string(pack.indexed) + " files indexed");
    } catch (const std::exception& e) {
        pack.dump = false;
        pack_log(LogLevel::error, std::string("texture pack: ") + e.what());
    }
    pack.load = pack.indexed > 0;
}

bool pack_loading() { return pack.load; }
bool pack_dumping() { return pack.dump && !pack.dump_failed; }

const PackImage* pack_find(const PackKey& key) {
    if (!pack.load) return nullptr;
    auto it = pack.files.find(key);
    if (it != pack.files.end() && !it->second.color.empty()) return decode(it->second);
    if (!key.indexed) return nullptr;
    it = pack.any_palette.find(any_palette_key(key));
    if (it != pack.any_palette.end() && !it->second.color.empty()) return decode(it->second);
    return nullptr;
}

void pack_dump(const PackKey& key, const uint8_t* rgba, uint32_t width, uint32_t height) {
    if (!pack_dumping() || !pack.dumped.insert(key).second) return;
    std::string written;
    try {
        std::error_code error;
        const fs::path folder = fs::u8path(pack.dump_folder);
        if (pack.dumped.size() == 1) fs::create_directories(folder, error);
        const fs::path file = folder / fs::u8path(pack_dump_name(pack.rom, key));
        if (fs::exists(file, error)) return;
        written = file.u8string();
    } catch (const std::exception&) {
    }
    if (written.empty() || !pack_write_png(written, rgba, width, height)) {
        pack.dump_failed = true;
        pack_log(LogLevel::error, "texture dump: cannot write " +
                                      (written.empty() ? pack.dump_folder : written) +
                                      "; no more textures are dumped");
    }
}

PackCounts pack_counts() {
    return {pack.indexed, uint32_t(pack.decoded.size()), pack.decoded_bytes,
            uint32_t(pack.dumped.size())};
}
