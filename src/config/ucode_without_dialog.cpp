// The microcode family where no dialog may ever be waited for (inside mupen64plus)
#include "config/ucode_without_dialog.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "config/ucode_select.h"
#include "config/ucode_sum.h"
#include "config/ucode_text.h"
#include "platform/platform.h"
#include "state/host_state.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"

uint32_t m64p_rdram_size = kRdramSize;

namespace {

// The task whose microcode named no family, so that the next task of the same microcode
// costs nothing and the message is given once per game.
struct UnknownUcode {
    bool seen;
    uint32_t code;
    uint32_t address;
    uint32_t size;
    bool reported;
};
UnknownUcode unknown;

std::string game_name(const HeaderImage& header) {
    std::string name = rom_name(header);
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

// One line in the host's log, formatted as printf does.
__attribute__((format(printf, 2, 3))) void log_line(LogLevel level, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    std::string line(static_cast<size_t>(std::max(0, std::vsnprintf(nullptr, 0, format, args))),
                     '\0');
    va_end(args);
    std::vsnprintf(line.data(), line.size() + 1, format, again);
    va_end(again);
    platform_log(level, line.c_str());
}

// The sum in the log, so that a player can report it: "code sum 0x12345678 of ucode 0x00100000".
std::string code_sum(const UcodeIdentity& found) {
    char words[80];
    if (found.summed)
        std::snprintf(words, sizeof words, "code sum 0x%08X of ucode 0x%08X", found.sum,
                      found.code);
    else
        std::snprintf(words, sizeof words, "no code sum (ucode 0x%08X lies outside RDRAM)",
                      found.code);
    return words;
}

} // namespace

std::string m64p_ini_path() { return platform_host_executable_dir() + kIniFileName; }

void forget_ucode_selection() {
    selected_ucode = -1;
    unknown        = UnknownUcode{};
}

int32_t select_ucode_without_dialog() {
    if (selected_ucode.load() != -1) return selected_ucode.load();
    if (!host.dmem || !host.rdram) return kUcodeFamilies;

    uint32_t code, address, size;
    std::memcpy(&code, host.dmem + kTaskUcode, 4);
    std::memcpy(&address, host.dmem + kTaskUcodeData, 4);
    std::memcpy(&size, host.dmem + kTaskUcodeDataSize, 4);
    if (unknown.seen && unknown.code == code && unknown.address == address && unknown.size == size)
        return kUcodeFamilies;

    const HeaderImage header = header_image(host.rom_header);
    const std::string key    = rom_key(header);
    const std::string path   = m64p_ini_path();
    const std::string game   = game_name(header);
    const int32_t configured = platform_profile_read_int(key.c_str(), "UCode", -1, path.c_str());
    if (is_ucode_family(configured)) {
        log_line(LogLevel::info, "\"%s\" uses microcode family %d: UCode=%d in section [%s] of %s",
                 game.c_str(), configured, configured, key.c_str(), path.c_str());
        selected_ucode = configured;
        return configured;
    }

    // A size of 0 is not known yet, not searched and not found: look again at the next task.
    if (m64p_rdram_size == 0) return kUcodeFamilies;
    // The code's sum before the text: microcodes of other families keep family 0's text.
    const UcodeIdentity found = identify_ucode(host.dmem, host.rdram, m64p_rdram_size);
    const std::string sum     = code_sum(found);
    if (is_ucode_family(found.sum_family)) {
        log_line(LogLevel::info, "\"%s\" uses microcode family %d: its %s is a known microcode's",
                 game.c_str(), found.sum_family, sum.c_str());
        selected_ucode = found.sum_family;
        return found.sum_family;
    }
    if (is_ucode_family(found.text_family)) {
        log_line(LogLevel::info,
                 "\"%s\" uses microcode family %d: its microcode text is \"%s\"; %s, no known "
                 "microcode's",
                 game.c_str(), found.text_family, found.text.c_str(), sum.c_str());
        selected_ucode = found.text_family;
        return found.text_family;
    }

    unknown.seen    = true;
    unknown.code    = code;
    unknown.address = address;
    unknown.size    = size;
    if (!unknown.reported) {
        unknown.reported = true;
        const std::string what =
            found.text.empty() ? "no microcode text" : "the microcode text \"" + found.text + "\"";
        log_line(LogLevel::error,
                 "\"%s\": %s (ucode_data 0x%08X, %u bytes) and %s name no microcode family "
                 "known to this plug-in, so nothing is drawn. Set the game's family (0 to 8) as "
                 "UCode=<family> in section [%s] of %s",
                 game.c_str(), what.c_str(), address, size, sum.c_str(), key.c_str(), path.c_str());
        // The section is there to edit, as the Windows build leaves it for a game it asked about.
        platform_profile_write_string(key.c_str(), "Name", rom_name(header).c_str(), path.c_str());
        platform_profile_write_string(key.c_str(), "UCode", "-1", path.c_str());
    }
    return kUcodeFamilies;
}
