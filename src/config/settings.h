// The player's settings: one description for every build
//
// The Windows DLL and libnew_vexa_ogl.so read them from [Settings] of vexa_ogl.ini at
// InitiateGFX, the mupen64plus build from [Video-Vexa] of the emulator's configuration at
// RomOpen; both readers, mupen64plus's list of parameters and the release's INI file follow
// the rows of kSettingRows (setting_rows()). A new setting is one field below and one row in
// kSettingRows (settings.cpp).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "state/picture.h"

// What CopyFrameToRdram asks for.
enum class CopyFrame : uint8_t {
    automatic, // auto: when a texture load or the CPU (FBRead) reads a picture
    always,    // also the last picture of every task
    off,       // never; no frame the CPU drew is shown
};

// What TextureFilter asks for.
enum class TextureFilter : uint8_t {
    automatic, // auto: the game's choice per draw (point sampling or bilinear, copy mode point)
    bilinear,  // bilinear for every texture
    nearest,   // the nearest texel for every texture
};

// The defaults are the rows' first values (default_player_settings).
struct PlayerSettings {
    int32_t multisampling;        // MultiSampling: samples per pixel, 0 (off), 2, 4 or 8
    TextureFilter texture_filter; // TextureFilter: auto, bilinear or nearest
    bool skip_every_other_task;   // SkipEveryOtherTask: mupen64plus only, see its row
    AspectMode aspect;            // AspectRatio: the picture's shape in a window of another shape
    bool load_hires_textures;     // LoadHiResTextures: replace textures from the game's pack
    bool dump_textures;           // DumpTextures: write each texture the game makes as a pack file
    std::string hires_folder;     // HiResTextureFolder: the packs, a folder per game
    std::string dump_folder;      // TextureDumpFolder: the dumps, a folder per game
    CopyFrame copy_frame;         // CopyFrameToRdram: auto, always or off
};
extern PlayerSettings player_settings; // the defaults until a reader runs

// How mupen64plus keeps the value (ConfigSetDefaultInt, Bool or String); INI files keep text.
enum class SettingType { number, flag, text };

struct SettingRow {
    const char* key;  // the same name in [Settings] and [Video-Vexa]
    SettingType type; // a flag's values are "False|True" or "True|False"
    // The values the setting takes, separated by '|', the default first; null for free text
    // (a folder), whose default is empty.
    const char* values;
    const char* description; // mupen64plus shows it; the release's INI file has it as a comment
    // Stores the value: `choice` is its place in `values` (0 for free text), `text` the value
    // as written in `values`, or as given for free text.
    void (*store)(PlayerSettings& settings, int choice, const char* text);
    bool mupen64plus_only = false; // [Settings] does not have it
};
struct SettingRows {
    const SettingRow* first;
    size_t count;
    const SettingRow* begin() const { return first; }
    const SettingRow* end() const { return first + count; }
};
SettingRows setting_rows(); // kSettingRows, in their order

// The place of `value` among `values` ('|'-separated, the default first), without regard to
// case or surrounding blanks. Any other value gives 0 and one warning in the log:
// "[Settings] TextureFilter=sharp is not "auto", "bilinear" or "nearest": using auto".
int setting_choice(const char* section, const char* key, const char* value, const char* values);

// The row's default as text: its first value, or empty for free text.
std::string setting_default(const SettingRow& row);

// Checks `value` against the row (a null value: the default) and stores it in `settings`.
void apply_setting(const char* section, const SettingRow& row, const char* value,
                   PlayerSettings* settings);

PlayerSettings default_player_settings();

// The defaults, then what [Settings] of vexa_ogl.ini sets; missing keys keep their defaults.
void read_ini_settings();
