// A ROM that plays frame captures in an emulator: header, boot program, play table, RDRAM
#include "rom_image.h"

#include <algorithm>
#include <cstring>

#include "config/ucode_sum.h"
#include "config/ucode_text.h"
#include "disassembler.h"
#include "play_table.h"
#include "rdp/rdp_fields.h"
#include "state/bits.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"

namespace {

constexpr uint32_t kBlock          = 0x1000;   // RDRAM is compared and left out in blocks this size
constexpr uint32_t kChecksumEnd    = 0x101000; // a standard boot sums the megabyte after 0x1000
constexpr uint32_t kChecksumSeed   = 0xF8CA4DDC;
constexpr uint32_t kUcodeBytes     = 0x1000; // ucode_size given where a capture has none
constexpr uint32_t kUcodeDataBytes = 0x800;  // ucode_data_size given where a capture has none
constexpr uint32_t kStandInBytes   = kUcodeBytes + kUcodeDataBytes;
// The stand-in microcode goes below 4 MB, where plug-ins that mask addresses to a 4 MB
// console find it too.
constexpr uint32_t kStandInTop    = 0x400000;
constexpr uint32_t kSetColorImage = 0xFF;
constexpr uint32_t kSetDepthImage = 0xFE;

// Task header words (DMEM 0xFC0 on).
constexpr int kTaskType           = 0;
constexpr int kTaskUcodeWord      = 4; // DMEM 0xFD0
constexpr int kTaskUcodeBytesWord = 5;
constexpr int kTaskUcodeDataWord  = (kTaskUcodeData - kTaskHeaderInDmem) / 4;
constexpr int kTaskUcodeSizeWord  = (kTaskUcodeDataSize - kTaskHeaderInDmem) / 4;
constexpr int kTaskDataPtr        = (0xFF0 - kTaskHeaderInDmem) / 4;
constexpr size_t kMaxRomBytes     = 64u << 20;

// The VI of a 320 x 240 16-bit NTSC game, STATUS .. Y_SCALE; the origin shows line 1 of a
// frame buffer at 2 MB.
constexpr uint32_t kNtscVi[kViRegisterCount] = {
    0x0000311E, 0x00200280, 320,        2,          0,          0x03E52239, 0x0000020D,
    0x00000C15, 0x0C150C15, 0x006C02EC, 0x002501FF, 0x000E0204, 0x00000200, 0x00000400,
};
// Where a capture keeps VI_STATUS .. VI_Y_SCALE among the host's other registers: the
// record's slots after the eight RDP command registers.
constexpr int kCaptureViFirst  = 7;
constexpr int kCaptureViOrigin = 8, kCaptureViWidth = 9;

void put_be32(std::vector<uint8_t>& rom, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        rom[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

uint32_t get_be32(const std::vector<uint8_t>& rom, size_t at) {
    return uint32_t(rom[at]) << 24 | uint32_t(rom[at + 1]) << 16 | uint32_t(rom[at + 2]) << 8 |
           rom[at + 3];
}

uint32_t host_word(const std::vector<uint8_t>& memory, size_t at) {
    uint32_t v;
    std::memcpy(&v, &memory[at], 4);
    return v;
}

// RDRAM in console byte order: the capture holds 32-bit words in little-endian order.
std::vector<uint8_t> console_order(const std::vector<uint8_t>& host) {
    std::vector<uint8_t> bytes(host.size());
    for (size_t i = 0; i < host.size(); ++i)
        bytes[i] = host[i ^ 3];
    return bytes;
}

bool all_zero(const std::vector<uint8_t>& bytes, size_t at, size_t size) {
    return std::all_of(bytes.begin() + at, bytes.begin() + at + size, [](uint8_t b) { return !b; });
}

// The two checksums of a CIC-6102 boot over ROM 0x1000..0x100FFF.
void write_checksums(std::vector<uint8_t>& rom) {
    uint32_t t1 = kChecksumSeed, t2 = t1, t3 = t1, t4 = t1, t5 = t1, t6 = t1;
    for (uint32_t at = 0x1000; at < kChecksumEnd; at += 4) {
        const uint32_t d = get_be32(rom, at);
        if (t6 + d < t6) ++t4;
        t6 += d;
        t3 ^= d;
        const uint32_t shift = d & 31;
        const uint32_t r     = shift ? (d << shift | d >> (32 - shift)) : d;
        t5 += r;
        t2 ^= t2 > d ? r : t6 ^ d;
        t1 += t5 ^ d;
    }
    put_be32(rom, 0x10, t6 ^ t4 ^ t3);
    put_be32(rom, 0x14, t5 ^ t2 ^ t1);
}

void write_header(std::vector<uint8_t>& rom, const Capture& first) {
    put_be32(rom, 0x00, 0x80371240); // PI timing, cartridge byte order
    put_be32(rom, 0x04, 0x0000000F); // clock rate
    put_be32(rom, 0x08, 0x80000400); // entry point, unused by this boot program
    put_be32(rom, 0x0C, 0x0000144C); // library release
    const char name[] = "VEXA CAPTURE REPLAY";
    std::memset(&rom[0x20], ' ', 20);
    std::memcpy(&rom[0x20], name, sizeof name - 1);
    const uint8_t country = first.header.rom_header[0x3E ^ 3];
    rom[0x3B]             = 'N'; // game code "NRP?": a replay, in the capture's country
    rom[0x3C]             = 'R';
    rom[0x3D]             = 'P';
    rom[0x3E]             = country ? country : 'E';
}

struct Piece {
    uint32_t rom;
    uint32_t address;
    uint32_t bytes;
};

// Appends to the ROM the blocks where `to` differs from `from`, joined into pieces of at most
// 64 KB, and returns the pieces.
std::vector<Piece> append_differences(std::vector<uint8_t>& rom, const std::vector<uint8_t>& from,
                                      const std::vector<uint8_t>& to, bool keep_first_block) {
    std::vector<Piece> pieces;
    for (uint32_t at = 0; at < to.size(); at += kBlock) {
        const bool same = std::equal(to.begin() + at, to.begin() + at + kBlock, from.begin() + at);
        if (same && !(keep_first_block && at == 0)) continue;
        if (pieces.empty() || pieces.back().address + pieces.back().bytes != at ||
            pieces.back().bytes == kMaxPieceBytes)
            pieces.push_back({static_cast<uint32_t>(rom.size()), at, 0});
        pieces.back().bytes += kBlock;
        rom.insert(rom.end(), to.begin() + at, to.begin() + at + kBlock);
    }
    return pieces;
}

struct Range {
    uint32_t at;
    uint32_t bytes;
};

// The highest block-aligned stretch of `bytes` below `top` that every capture leaves zero (a
// stretch is zero in console order exactly when it is in the host's) and that meets no range
// in `taken`, where it is added; `top` less the stretch when there is none.
uint32_t take_free_stretch(const std::vector<Capture>& captures, uint32_t bytes, uint32_t top,
                           std::vector<Range>* taken) {
    bytes       = (bytes + kBlock - 1) & ~(kBlock - 1);
    uint32_t at = top - bytes;
    for (; at >= kBlock && at < top; at -= kBlock) {
        const bool free = std::none_of(taken->begin(), taken->end(),
                                       [&](const Range& r) {
                                           return at < r.at + r.bytes && r.at < at + bytes;
                                       }) &&
                          std::all_of(captures.begin(), captures.end(), [&](const Capture& c) {
                              return all_zero(c.rdram, at, bytes);
                          });
        if (free) break;
    }
    if (at < kBlock || at >= top) at = top - bytes;
    taken->push_back({at, bytes});
    return at;
}

// Games draw each frame into a buffer the screen does not show and then show it. A capture's
// display list draws into one, the colour image it names last; the ROM gives the
// SETCOLORIMAGE commands that name it a second buffer in every second frame (plug-ins that
// show a frame when the colour image changes need that), and the VI shows the buffer just
// drawn. A SETDEPTHIMAGE that names the same buffer moves with it, so that a fill of the
// depth image stays one.
struct FrameBuffer {
    uint32_t address     = 0; // 0: the list names no colour image
    uint32_t cmd1        = 0; // the commands' address word
    uint32_t line_bytes  = 0;
    uint32_t frame_bytes = 0;       // 4:3 lines of line_bytes
    std::vector<uint32_t> commands; // RDRAM addresses of the image commands naming it
};

FrameBuffer find_frame_buffer(const Capture& c) {
    struct Command {
        uint32_t at, cmd0, cmd1, address;
    };
    std::vector<Command> found;
    std::vector<uint8_t> rdram = c.rdram; // the walk runs on a copy the plug-in's code may touch
    walk_display_list(
        rdram.data(), c.header.family, c.header.dlist_start, [&](uint32_t at, int32_t, uint32_t) {
            const uint32_t op = opcode(rdp_reg.cmd0);
            if (op == kSetColorImage || op == kSetDepthImage)
                found.push_back({at, rdp_reg.cmd0, rdp_reg.cmd1, translate_address(rdp_reg.cmd1)});
        });
    FrameBuffer fb;
    const auto colour      = [](const Command& f) { return opcode(f.cmd0) == kSetColorImage; };
    const auto last_colour = std::find_if(found.rbegin(), found.rend(), colour);
    if (last_colour == found.rend()) return fb;
    const Command& last  = *last_colour;
    const uint32_t width = color_image_width(last.cmd0);
    fb.address           = last.address;
    fb.cmd1              = last.cmd1;
    fb.line_bytes        = width << color_image_size(last.cmd0) >> 1;
    fb.frame_bytes       = fb.line_bytes * (width * 3 / 4);
    for (const Command& f : found)
        if (f.cmd1 == last.cmd1) fb.commands.push_back(f.at);
    return fb;
}

struct Patch {
    uint32_t address;
    uint32_t value[2]; // in even and in odd frames
};

} // namespace

std::string usual_ucode_text(uint32_t family) {
    switch (family) {
    case 0: return "RSP SW Version: 2.0D, 04-01-96";
    case 1: return "RSP Gfx ucode F3DEX       1.23 Yoshitaka Yasumoto 1997 Nintendo.";
    case 4: return "RSP Gfx ucode F3DEX       fifo 2.08  Yoshitaka Yasumoto 1999 Nintendo.";
    case 7: return "RSP Gfx ucode S2DEX  1.07 Yoshitaka Yasumoto Nintendo.";
    case 8: return "RSP Gfx ucode S2DEX       fifo 2.05  Yoshitaka Yasumoto 1998 Nintendo.";
    default: return {};
    }
}

std::vector<uint8_t> build_rom(const std::vector<Capture>& captures, const RomOptions& options,
                               const std::vector<uint8_t>& boot_program,
                               std::vector<std::string>* notes) {
    const uint32_t count = static_cast<uint32_t>(captures.size());

    // The second frame buffer, in memory no capture uses.
    std::vector<FrameBuffer> buffers;
    std::vector<Range> taken;
    uint32_t frame_bytes = 320 * 240 * 2;
    for (const Capture& c : captures) {
        buffers.push_back(find_frame_buffer(c));
        frame_bytes = std::max(frame_bytes, buffers.back().frame_bytes);
        taken.push_back({buffers.back().address, buffers.back().frame_bytes});
    }
    const uint32_t second = take_free_stretch(captures, frame_bytes, kCaptureRdramBytes, &taken);
    // Where a capture names no microcode, a stand-in: code no plug-in knows, and its data.
    const uint32_t stand_in = take_free_stretch(captures, kStandInBytes, kStandInTop, &taken);
    // The CPU's two buffers where it draws or copies frames.
    uint32_t cpu_buffers[2] = {};
    for (uint32_t& b : cpu_buffers)
        if (options.cpu != kCpuNothing)
            b = take_free_stretch(captures, frame_bytes, kCaptureRdramBytes, &taken);
    if (options.cpu_buffers == 1) cpu_buffers[1] = cpu_buffers[0];

    // Each capture's task header as the capture recorded it, made whole where a host gave
    // only the display list: a graphics task whose ucode_data holds the microcode's text.
    std::vector<std::vector<uint32_t>> tasks(count, std::vector<uint32_t>(kTaskHeaderWords));
    std::vector<std::string> texts(count);
    for (uint32_t i = 0; i < count; ++i) {
        std::vector<uint32_t>& task = tasks[i];
        for (int w = 0; w < kTaskHeaderWords; ++w)
            task[w] = host_word(captures[i].dmem, kTaskHeaderInDmem + 4 * w);
        task[kTaskType]    = 1;
        task[kTaskDataPtr] = captures[i].header.dlist_start;
        if (options.has_ucode_sum) {
            task[kTaskUcodeWord]      = stand_in;
            task[kTaskUcodeBytesWord] = kUcodeBytes;
            task[kTaskUcodeDataWord]  = stand_in + kUcodeBytes;
            task[kTaskUcodeSizeWord]  = kUcodeDataBytes;
            texts[i]                  = options.ucode_text;
            continue;
        }
        if (task[kTaskUcodeWord] == 0) task[kTaskUcodeWord] = stand_in;
        if (task[kTaskUcodeBytesWord] == 0) task[kTaskUcodeBytesWord] = kUcodeBytes;
        if (task[kTaskUcodeDataWord] == 0) task[kTaskUcodeDataWord] = stand_in + kUcodeBytes;
        if (task[kTaskUcodeSizeWord] == 0) task[kTaskUcodeSizeWord] = kUcodeDataBytes;
        if (!find_ucode_text(captures[i].rdram.data(), kCaptureRdramBytes, task[kTaskUcodeDataWord],
                             task[kTaskUcodeSizeWord])
                 .empty())
            continue;
        texts[i] = !options.ucode_text.empty() ? options.ucode_text
                                               : usual_ucode_text(captures[i].header.family);
        if (texts[i].empty())
            notes->push_back("capture " + std::to_string(i + 1) + " (family " +
                             std::to_string(captures[i].header.family) +
                             ") holds no microcode text and its family has no usual one: a "
                             "plug-in needs the family from its settings (or give --ucode-text)");
    }
    // The capture's RDRAM in console byte order with the stand-in microcode where it uses
    // it and its text written at ucode_data. Plug-ins that know microcodes by a checksum of
    // their code find none for the stand-in (nor for zeros, which some take for one) and
    // go by the text, unless its last summed word makes the sum one they know.
    std::vector<uint32_t> stand_in_code(kUcodeBytes / 4);
    for (uint32_t w = 0; w < stand_in_code.size(); ++w)
        stand_in_code[w] = 0x9E3779B9u * (w + 1);
    if (options.has_ucode_sum) {
        const uint32_t last = kUcodeSumBytes / 4 - 1;
        uint32_t others     = 0;
        for (uint32_t w = 0; w < last; ++w)
            others += stand_in_code[w];
        stand_in_code[last] = options.ucode_sum - others;
    }
    auto image = [&](uint32_t i) {
        std::vector<uint8_t> bytes = console_order(captures[i].rdram);
        if (tasks[i][kTaskUcodeWord] == stand_in)
            for (uint32_t b = 0; b < kUcodeBytes; ++b)
                bytes[stand_in + b] =
                    static_cast<uint8_t>(stand_in_code[b / 4] >> (24 - 8 * (b % 4)));
        if (options.has_ucode_sum)
            std::fill_n(bytes.begin() + stand_in + kUcodeBytes, kUcodeDataBytes, 0);
        const uint32_t at = tasks[i][kTaskUcodeDataWord] & (kCaptureRdramBytes - 1);
        for (size_t b = 0; !texts[i].empty() && b <= texts[i].size() && at + b < bytes.size(); ++b)
            bytes[at + b] = b < texts[i].size() ? static_cast<uint8_t>(texts[i][b]) : 0;
        return bytes;
    };

    // RDRAM: the first capture over zeroed memory (the first block always, where the boot of
    // an emulator may have left words), then each capture over the one played before it.
    std::vector<uint8_t> data;
    std::vector<Piece> pieces =
        append_differences(data, std::vector<uint8_t>(kCaptureRdramBytes), image(0), true);
    const uint32_t first_load = static_cast<uint32_t>(pieces.size());
    std::vector<uint32_t> load_first(count), load_count(count);
    for (uint32_t i = 0; i < count && count > 1; ++i) {
        const std::vector<Piece> load =
            append_differences(data, image((i + count - 1) % count), image(i), false);
        load_first[i] = static_cast<uint32_t>(pieces.size());
        load_count[i] = static_cast<uint32_t>(load.size());
        pieces.insert(pieces.end(), load.begin(), load.end());
    }
    // The address words of the image commands, for even and odd frames.
    std::vector<Patch> patches;
    std::vector<uint32_t> patch_first(count), patch_count(count);
    for (uint32_t i = 0; i < count; ++i) {
        patch_first[i] = static_cast<uint32_t>(patches.size());
        for (uint32_t at : buffers[i].commands)
            patches.push_back(
                {at + 4, {buffers[i].cmd1, buffers[i].cmd1 + second - buffers[i].address}});
        patch_count[i] = static_cast<uint32_t>(patches.size()) - patch_first[i];
    }

    const uint32_t table_words = kPlayHeaderWords + kRecordWords * count;
    const uint32_t pieces_at   = kPlayTableAt + 4 * table_words;
    const uint32_t patches_at  = pieces_at + kPieceBytes * static_cast<uint32_t>(pieces.size());
    const uint32_t data_at =
        (patches_at + kPatchBytes * static_cast<uint32_t>(patches.size()) + kBlock - 1) &
        ~(kBlock - 1);
    if (data_at + data.size() > kMaxRomBytes) {
        notes->push_back("the captures' memories make a ROM over 64 MB: give fewer captures");
        return {};
    }
    std::vector<uint8_t> rom(std::max<size_t>(data_at + data.size(), kChecksumEnd));
    write_header(rom, captures[0]);
    std::copy(boot_program.begin(), boot_program.end(), rom.begin() + kBootProgramAt);
    std::copy(data.begin(), data.end(), rom.begin() + data_at);

    auto table = [&](uint32_t word, uint32_t value) {
        put_be32(rom, kPlayTableAt + 4 * word, value);
    };
    table(kPlayFrames, options.frames);
    table(kPlayTasksPerFrame, std::max<uint32_t>(options.tasks_per_frame, 1));
    table(kPlayCaptures, count);
    table(kPlayPieces, pieces_at);
    table(kPlayPatches, patches_at);
    table(kPlayFirstLoad, 0);
    table(kPlayFirstLoad + 1, first_load);
    const CaptureHeader& h = captures[0].header;
    const bool has_vi = h.registers[kCaptureViOrigin] != 0 && h.registers[kCaptureViWidth] != 0;
    for (int r = 0; r < kViRegisterCount; ++r) {
        uint32_t value = has_vi ? h.registers[kCaptureViFirst + r] : kNtscVi[r];
        // The pixel size is what plug-ins read of the VI: keep the capture's.
        if (r == 0 && (h.vi_status & 3) >= 2) value = (value & ~3u) | (h.vi_status & 3);
        table(kPlayViRegisters + r, value);
    }
    // The VI shows line 1 of the buffer drawn, as games' NTSC modes do, unless the capture
    // says where.
    const FrameBuffer& shown = buffers[0];
    uint32_t origin          = has_vi ? h.registers[kCaptureViOrigin] : kNtscVi[1];
    if (!has_vi && shown.address) origin = shown.address + shown.line_bytes;
    table(kPlayViRegisters + 1, origin);
    table(kPlayOtherOrigin, origin - shown.address + (shown.address ? second : frame_bytes));
    table(kPlayCpu, options.cpu);
    table(kPlayTaskEvery, std::max<uint32_t>(options.task_every, 1));
    // Without a colour image the origin is taken for line 1 of a 320-pixel 16-bit buffer: the
    // CPU's buffers are shown from their own line 1.
    table(kPlayDrawn, shown.address ? shown.address : origin - std::min(origin, 640u));
    table(kPlayDrawn + 1, shown.address ? second : frame_bytes);
    table(kPlayCpuBuffers, cpu_buffers[0]);
    table(kPlayCpuBuffers + 1, cpu_buffers[1]);
    table(kPlayFrameBytes, shown.address ? shown.frame_bytes : frame_bytes);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t record = kPlayHeaderWords + kRecordWords * i;
        for (int w = 0; w < kTaskHeaderWords; ++w)
            table(record + kRecordTask + w, tasks[i][w]);
        table(record + kRecordLoad, load_first[i]);
        table(record + kRecordLoad + 1, load_count[i]);
        table(record + kRecordPatches, patch_first[i]);
        table(record + kRecordPatches + 1, patch_count[i]);
    }
    for (size_t p = 0; p < pieces.size(); ++p) {
        put_be32(rom, pieces_at + kPieceBytes * p, data_at + pieces[p].rom);
        put_be32(rom, pieces_at + kPieceBytes * p + 4, pieces[p].address);
        put_be32(rom, pieces_at + kPieceBytes * p + 8, pieces[p].bytes);
    }
    for (size_t p = 0; p < patches.size(); ++p) {
        put_be32(rom, patches_at + kPatchBytes * p, patches[p].address);
        put_be32(rom, patches_at + kPatchBytes * p + 4, patches[p].value[0]);
        put_be32(rom, patches_at + kPatchBytes * p + 8, patches[p].value[1]);
    }
    write_checksums(rom);
    return rom;
}
