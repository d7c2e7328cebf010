// Per-game microcode selection and the INI file
#include "config/ucode_select.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "config/config_template.h"
#include "platform/platform.h"
#include "state/host_state.h"

std::atomic<int32_t> selected_ucode{-1};
std::atomic<int32_t> ucode_chosen{0};
int32_t prompt_round_ms = 1000;
uint32_t prompt_rounds_waited;

HeaderImage header_image(const uint8_t* rom_header) {
    HeaderImage image{};
    if (!rom_header) return image;
    for (int i = 0; i < 64; ++i)
        image.bytes[i] = rom_header[i ^ 3];
    return image;
}

static uint32_t little_endian_word(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The header's two checksum words with their bytes reversed, and the country code.
std::string rom_key(const HeaderImage& header) {
    char key[20];
    std::snprintf(key, sizeof key, "%08X%08X-%02X",
                  static_cast<unsigned>(little_endian_word(&header.bytes[0x10])),
                  static_cast<unsigned>(little_endian_word(&header.bytes[0x14])),
                  static_cast<unsigned>(header.bytes[0x3E]));
    return key;
}

// From 0x20 up to the first zero: the 20-byte name field and any non-zero bytes after it.
std::string rom_name(const HeaderImage& header) {
    std::string name;
    for (int i = 0x20; i < 64 && header.bytes[i] != 0; ++i)
        name.push_back(static_cast<char>(header.bytes[i]));
    return name;
}

std::string ini_path() {
    return platform_host_executable_dir() + "Plugin" + kPathSeparator + kPathSeparator +
           "vexa_ogl.ini";
}

bool is_ucode_family(int32_t value) { return value >= 0 && value < kFamilyCount; }

// Waits out the rest of a round that began at `start`, still watching for the dialog's OK.
static void finish_round(std::chrono::steady_clock::time_point start) {
    prompt_rounds_waited += 1;
    const auto round = std::chrono::milliseconds(prompt_round_ms);
    while (selected_ucode.load() == -1 && std::chrono::steady_clock::now() - start < round)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

int32_t select_ucode() {
    if (selected_ucode.load() != -1) return selected_ucode.load();

    const HeaderImage header = header_image(host.rom_header);
    const std::string path   = ini_path();
    platform_profile_flush_cache();
    const std::string key = rom_key(header);

    // A value that names no family counts as not configured: the user is asked, and the
    // loop below marks the section as seen but not configured.
    int32_t value = platform_profile_read_int(key.c_str(), "UCode", -1, path.c_str());
    if (!is_ucode_family(value)) value = -1;
    int32_t unknown = -1; // a dialog OK meanwhile wins over the file
    selected_ucode.compare_exchange_strong(unknown, value);

    const std::string name = rom_name(header);
    while (selected_ucode.load() == -1) {
        const auto start = std::chrono::steady_clock::now();
        const MessageAnswer shown =
            platform_message_box("Config your UCode\nChange to the GUI and click Config",
                                 "Vexa ogl", MessageIcon::none, MessageButtons::ok);
        platform_profile_write_string(key.c_str(), "Name", name.c_str(), path.c_str());
        platform_profile_write_string(key.c_str(), "UCode", "-1", path.c_str());
        if (shown == MessageAnswer::not_shown) finish_round(start);
    }
    return selected_ucode.load();
}

void save_ucode_prompt() {
    if (ucode_chosen.load() == 0) return;
    if (platform_message_box("Do ya want to Save your selected UCode ??", "UCode",
                             MessageIcon::question, MessageButtons::yes_no) == MessageAnswer::no)
        return;
    const HeaderImage header = header_image(host.rom_header);
    const std::string path   = ini_path();
    const std::string key    = rom_key(header);
    char value[16];
    std::snprintf(value, sizeof value, "%i", static_cast<int>(selected_ucode.load()));
    platform_profile_write_string(key.c_str(), "Name", rom_name(header).c_str(), path.c_str());
    platform_profile_write_string(key.c_str(), "UCode", value, path.c_str());
}
