// vexa-rom: turns frame captures into a ROM that plays them in any emulator
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "boot_program.h"
#include "capture/capture_file.h"
#include "rom_image.h"

static void usage() {
    std::printf(
        "usage: vexa-rom [--frames N] [--tasks K] [--task-every K] [--cpu-draws | --cpu-copies]\n"
        "                [--cpu-buffers N] [--ucode-text TEXT] [--ucode-sum HEX] CAPTURE.vxc...\n"
        "                OUT.z64\n"
        "Writes a ROM whose boot program loads the captures' RDRAM and sends their graphics\n"
        "tasks to the RSP, one task per vertical interrupt; several captures play in turn,\n"
        "one per task.\n"
        "--frames N        send tasks in the first N frames only (default: for ever)\n"
        "--tasks K         send K tasks per frame (default 1)\n"
        "--task-every K    send tasks in every K-th frame only (default 1)\n"
        "--cpu-draws       the CPU draws colour bars and the frame's number into a buffer of\n"
        "                  its own in each frame, and the VI shows that buffer\n"
        "--cpu-copies      the CPU copies the frame the tasks drew into a buffer of its own,\n"
        "                  and the VI shows that buffer\n"
        "--cpu-buffers N   the CPU's buffers: 2 shown in turn (default), or 1 that the VI\n"
        "                  keeps showing\n"
        "--ucode-text TEXT the microcode text written at the task's ucode_data where a\n"
        "                  capture holds none (default: the usual text of its family 0, 1,\n"
        "                  4, 7, 8)\n"
        "--ucode-sum HEX   every task names a stand-in microcode whose code's first 3,072\n"
        "                  bytes sum to HEX (32-bit words), and data without a text unless\n"
        "                  --ucode-text gives one: plug-ins that know microcodes by that\n"
        "                  sum must find the game's family by it\n");
}

static bool count_value(const char* text, uint32_t* out) {
    char* end;
    errno               = 0;
    const long long v   = std::strtoll(text, &end, 10);
    const bool is_count = *text && !*end && errno == 0 && v >= 1 && v <= 1000000;
    if (is_count) *out = static_cast<uint32_t>(v);
    return is_count;
}

static bool hex_value(const char* text, uint32_t* out) {
    char* end;
    errno                      = 0;
    const unsigned long long v = std::strtoull(text, &end, 16);
    const bool is_hex          = *text && *text != '-' && !*end && errno == 0 && v <= 0xFFFFFFFFu;
    if (is_hex) *out = static_cast<uint32_t>(v);
    return is_hex;
}

static bool ends_with(const std::string& s, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

int main(int argc, char** argv) {
    RomOptions options;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string a  = argv[i];
        const bool has_value = i + 1 < argc;
        if (a == "--frames" && has_value && count_value(argv[i + 1], &options.frames)) {
            ++i;
        } else if (a == "--tasks" && has_value &&
                   count_value(argv[i + 1], &options.tasks_per_frame)) {
            ++i;
        } else if (a == "--task-every" && has_value &&
                   count_value(argv[i + 1], &options.task_every)) {
            ++i;
        } else if (a == "--cpu-buffers" && has_value &&
                   count_value(argv[i + 1], &options.cpu_buffers) && options.cpu_buffers <= 2) {
            ++i;
        } else if (a == "--cpu-draws" || a == "--cpu-copies") {
            options.cpu = a == "--cpu-draws" ? kCpuDraws : kCpuCopies;
        } else if (a == "--ucode-sum" && has_value && hex_value(argv[i + 1], &options.ucode_sum)) {
            options.has_ucode_sum = true;
            ++i;
        } else if (a == "--ucode-text" && has_value && *argv[i + 1]) {
            options.ucode_text = argv[++i];
        } else if (!a.empty() && a[0] != '-') {
            files.push_back(a);
        } else {
            usage();
            return 2;
        }
    }
    // A forgotten output name must not make the last capture the output.
    if (files.size() < 2 || ends_with(files.back(), ".vxc")) {
        usage();
        return 2;
    }
    const std::string out = files.back();
    files.pop_back();

    std::vector<Capture> captures(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        std::string error;
        if (!load_capture(files[i], &captures[i], &error)) {
            std::fprintf(stderr, "vexa-rom: %s\n", error.c_str());
            return 1;
        }
    }
    std::vector<std::string> notes;
    const std::vector<uint8_t> boot(kBootProgram, kBootProgram + kBootProgramSize);
    const std::vector<uint8_t> rom = build_rom(captures, options, boot, &notes);
    for (const std::string& note : notes)
        std::fprintf(stderr, "vexa-rom: %s\n", note.c_str());
    if (rom.empty()) return 1;

    std::FILE* f       = std::fopen(out.c_str(), "wb");
    const bool written = f && std::fwrite(rom.data(), 1, rom.size(), f) == rom.size();
    if (f && std::fclose(f) != 0) f = nullptr;
    if (!written || !f) {
        std::fprintf(stderr, "vexa-rom: cannot write %s: %s\n", out.c_str(), std::strerror(errno));
        std::remove(out.c_str());
        return 1;
    }
    std::printf("%s: %zu bytes, %zu capture(s)\n", out.c_str(), rom.size(), captures.size());
    return 0;
}
