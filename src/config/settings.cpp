// The player's settings: the table both readers follow, and the INI file's reader
#include "config/settings.h"

#include <strings.h>

#include <string>

#include "config/ucode_select.h"
#include "platform/platform.h"

// One row per setting; the field it stores is in settings.h.
static const SettingRow kSettingRows[] = {
    {"MultiSampling", SettingType::number, "0|2|4|8",
     "Smooth the edges of polygons with this many samples per pixel: 0 (off), 2, 4 or 8",
     [](PlayerSettings& s, int, const char* text) { s.multisampling = std::stoi(text); }},
    // In the order of TextureFilter.
    {"TextureFilter", SettingType::text, "auto|bilinear|nearest",
     "How textures are sampled between texels: \"auto\" (as the game asks for each surface: "
     "sharp texels for sprites, fonts and 2-D backgrounds, smooth where it asks for bilinear "
     "filtering), \"bilinear\" (smooth everywhere) or \"nearest\" (sharp everywhere)",
     [](PlayerSettings& s, int choice, const char*) {
         s.texture_filter = static_cast<TextureFilter>(choice);
     }},
    {"SkipEveryOtherTask", SettingType::flag, "False|True",
     "Draw only every second graphics task and show a frame after each drawn one, as the Windows "
     "build does: faster, but half the frames and parts of frames made of several tasks are lost",
     [](PlayerSettings& s, int choice, const char*) { s.skip_every_other_task = choice == 1; },
     true},
    // In the order of AspectMode.
    {"AspectRatio", SettingType::text, "4:3|stretch|16:9|widescreen",
     "The picture's shape in a window of another shape: \"4:3\" (the console's shape, centred, "
     "black bars beside it), \"stretch\" (fill the window), \"16:9\" (for games with an "
     "anamorphic widescreen option) or \"widescreen\" (3-D scenes see further to the sides, the "
     "HUD keeps its 4:3 place; games leave out what their own 4:3 view does not see, so objects "
     "may appear late at the sides)",
     [](PlayerSettings& s, int choice, const char*) {
         s.aspect = static_cast<AspectMode>(choice);
     }},
    {"LoadHiResTextures", SettingType::flag, "False|True",
     "Replace the game's textures by those of its texture pack, the PNG files in "
     "<HiResTextureFolder>/<ROM name>/ and its sub-folders",
     [](PlayerSettings& s, int choice, const char*) { s.load_hires_textures = choice == 1; }},
    {"DumpTextures", SettingType::flag, "False|True",
     "Write every texture the game makes, once, as a texture pack file into "
     "<TextureDumpFolder>/<ROM name>/",
     [](PlayerSettings& s, int choice, const char*) { s.dump_textures = choice == 1; }},
    {"HiResTextureFolder", SettingType::text, nullptr,
     "The folder of the texture packs, one folder per game in it; empty: hires_texture in the "
     "emulator's user data folder (mupen64plus) or beside the emulator (Windows)",
     [](PlayerSettings& s, int, const char* text) { s.hires_folder = text; }},
    {"TextureDumpFolder", SettingType::text, nullptr,
     "The folder the dumped textures go to, one folder per game in it; empty: texture_dump in "
     "the emulator's user data folder (mupen64plus) or beside the emulator (Windows)",
     [](PlayerSettings& s, int, const char* text) { s.dump_folder = text; }},
    {"CopyFrameToRdram", SettingType::text, "auto|always|off",
     "Copy pictures the game drew back into the console's memory: \"auto\" when a texture load "
     "or the CPU (under the emulator's interpreter) reads one, \"always\" also the last picture "
     "of every task (for games whose CPU reads it under a dynamic recompiler: photos; costs a "
     "read-back per task), \"off\" never, and frames the CPU drew are not shown",
     [](PlayerSettings& s, int choice, const char*) { s.copy_frame = CopyFrame(choice); }},
};
SettingRows setting_rows() { return {kSettingRows, sizeof kSettingRows / sizeof kSettingRows[0]}; }

PlayerSettings player_settings = default_player_settings();

namespace {

std::string trimmed(const char* text) {
    std::string s      = text ? text : "";
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// "0, 2, 4 or 8"; names are quoted unless every value is a number.
std::string list_of(const std::string& values) {
    const bool numbers = values.find_first_not_of("0123456789|") == std::string::npos;
    std::string list;
    size_t start = 0;
    for (;;) {
        const size_t end         = values.find('|', start);
        const std::string choice = values.substr(start, end - start);
        list += numbers ? choice : "\"" + choice + "\"";
        if (end == std::string::npos) return list;
        start = end + 1;
        list += values.find('|', start) == std::string::npos ? " or " : ", ";
    }
}

std::string nth_value(const std::string& values, int n) {
    size_t start = 0;
    for (int i = 0; i < n; ++i)
        start = values.find('|', start) + 1;
    return values.substr(start, values.find('|', start) - start);
}

} // namespace

int setting_choice(const char* section, const char* key, const char* value, const char* values) {
    const std::string given = trimmed(value);
    const std::string all   = values;
    int n                   = 0;
    for (size_t start = 0;; ++n) {
        const size_t end = all.find('|', start);
        if (strcasecmp(all.substr(start, end - start).c_str(), given.c_str()) == 0) return n;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    const std::string line = "[" + std::string(section) + "] " + key + "=" + given + " is not " +
                             list_of(all) + ": using " + nth_value(all, 0);
    platform_log(LogLevel::warning, line.c_str());
    return 0;
}

std::string setting_default(const SettingRow& row) {
    return row.values ? nth_value(row.values, 0) : std::string();
}

void apply_setting(const char* section, const SettingRow& row, const char* value,
                   PlayerSettings* settings) {
    if (!row.values) return row.store(*settings, 0, trimmed(value).c_str());
    const int choice = value ? setting_choice(section, row.key, value, row.values) : 0;
    row.store(*settings, choice, nth_value(row.values, choice).c_str());
}

PlayerSettings default_player_settings() {
    PlayerSettings settings{};
    for (const SettingRow& row : kSettingRows)
        apply_setting("", row, nullptr, &settings);
    return settings;
}

void read_ini_settings() {
    player_settings        = default_player_settings();
    const std::string path = ini_path();
    for (const SettingRow& row : kSettingRows) {
        if (row.mupen64plus_only) continue;
        // A key the file does not have reads as the default, which no warning follows.
        const std::string value = platform_profile_read_string(
            "Settings", row.key, setting_default(row).c_str(), path.c_str());
        apply_setting("Settings", row, value.c_str(), &player_settings);
    }
}
