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
Store store;

void log_line(LogLevel level, const std::string& text) { platform_log(level, text.c_str()); }

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
        if (store.bad.insert(alpha_path).second)
            log_line(LogLevel::error, "texture pack: " + alpha_path + ": " + why);
        return false;
    }
    if (alpha.width != image->width || alpha.height != image->height) {
        if (store.bad.insert(alpha_path).second)
            log_line(LogLevel::error, "texture pack: " + alpha_path + ": " +
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
    while (store.decoded_bytes > kPackImageBudget && store.recency.size() > 1) {
        const auto it = store.decoded.find(store.recency.back());
        store.decoded_bytes -= it->second.image.rgba.size();
        store.decoded.erase(it);
        store.recency.pop_back();
    }
}

const PackImage* decode(const PackFiles& f) {
    const auto found = store.decoded.find(f.color);
    if (found != store.decoded.end()) {
        store.recency.splice(store.recency.begin(), store.recency, found->second.use);
        return &found->second.image;
    }
    if (store.bad.count(f.color)) return nullptr;
    PackImage image;
    std::string why;
    if (!pack_read_image(f.color, &image, &why)) {
        store.bad.insert(f.color);
        log_line(LogLevel::error, "texture pack: " + f.color + ": " + why);
        return nullptr;
    }
    if (f.rgb) {
        for (size_t i = 3; i < image.rgba.size(); i += 4)
            image.rgba[i] = 255;
        if (!f.alpha.empty()) join_alpha(&image, f.alpha);
    }
    store.recency.push_front(f.color);
    store.decoded_bytes += image.rgba.size();
    Decoded& d = store.decoded[f.color];
    d.image    = std::move(image);
    d.use      = store.recency.begin();
    drop_least_recent();
    return &store.decoded[f.color].image;
}

} // namespace

PackNameCheck pack_index_name(const std::string& path) {
    PackName n;
    const PackNameCheck check = parse_pack_name(file_part(path), store.rom, &n);
    if (check != PackNameCheck::ok || n.form == PackForm::ci_bmp) return check;
    PackFiles& f = (n.form == PackForm::all_ci_by_rgba ? store.any_palette : store.files)[n.key];
    switch (n.form) {
    case PackForm::alpha: f.alpha = path; break;
    case PackForm::rgb:
        if (f.color.empty() || f.rgb) f.color = path, f.rgb = true;
        break;
    default: // _all wins over _rgb
        if (f.color.empty() || f.rgb) f.color = path, f.rgb = false;
        break;
    }
    ++store.indexed;
    store.load = true;
    return check;
}

void pack_close() { store = Store{}; }

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
            log_line(LogLevel::error, "texture pack: more than " + std::to_string(kMostFiles) +
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
            log_line(LogLevel::error,
                     "texture pack: " + path +
                         (check == PackNameCheck::other_game ? ": named for another game"
                                                             : ": not a texture pack file name"));
    }
    if (skipped_bmp)
        log_line(LogLevel::info, "texture pack: " + std::to_string(skipped_bmp) +
                                     " _ci.bmp files not read (use _ciByRGBA.png)");
}

void pack_open(const std::string& rom, const std::string& pack_root, const std::string& dump_root,
               bool load, bool dump) {
    pack_close();
    store.rom = rom;
    // Names the file system cannot convert leave the game without a pack, never stop it.
    try {
        store.dump = dump && !rom.empty();
        if (store.dump) store.dump_folder = (fs::u8path(dump_root) / fs::u8path(rom)).u8string();
        if (!load) return;
        const fs::path folder = fs::u8path(pack_root) / fs::u8path(rom);
        std::error_code error;
        if (rom.empty() || !fs::is_directory(folder, error)) {
            log_line(LogLevel::info, "texture pack: none for \"" + rom + "\" (no folder " +
                                         folder.u8string() + ")");
            return;
        }
        index_folder(rom, folder);
        log_line(LogLevel::info, "texture pack: " + folder.u8string() + ": " +
                                     std::to_string(store.indexed) + " files indexed");
    } catch (const std::exception& e) {
        store.dump = false;
        log_line(LogLevel::error, std::string("texture pack: ") + e.what());
    }
    store.load = store.indexed > 0;
}

bool pack_loading() { return store.load; }
bool pack_dumping() { return store.dump && !store.dump_failed; }

const PackImage* pack_find(const PackKey& key) {
    if (!store.load) return nullptr;
    auto it = store.files.find(key);
    if (it != store.files.end() && !it->second.color.empty()) return decode(it->second);
    if (!key.indexed) return nullptr;
    it = store.any_palette.find(any_palette_key(key));
    if (it != store.any_palette.end() && !it->second.color.empty()) return decode(it->second);
    return nullptr;
}

void pack_dump(const PackKey& key, const uint8_t* rgba, uint32_t width, uint32_t height) {
    if (!pack_dumping() || !store.dumped.insert(key).second) return;
    std::string written;
    try {
        std::error_code error;
        const fs::path folder = fs::u8path(store.dump_folder);
        if (store.dumped.size() == 1) fs::create_directories(folder, error);
        const fs::path file = folder / fs::u8path(pack_dump_name(store.rom, key));
        if (fs::exists(file, error)) return;
        written = file.u8string();
    } catch (const std::exception&) {
    }
    if (written.empty() || !pack_write_png(written, rgba, width, height)) {
        store.dump_failed = true;
        log_line(LogLevel::error, "texture dump: cannot write " +
                                      (written.empty() ? store.dump_folder : written) +
                                      "; no more textures are dumped");
    }
}

PackCounts pack_counts() {
    return {store.indexed, uint32_t(store.decoded.size()), store.decoded_bytes,
            uint32_t(store.dumped.size())};
}
