// The boot program of a vexa-rom ROM: loads the captures' RDRAM from the cartridge and sends
// their graphics tasks to the RSP once per vertical interrupt. It runs from DMEM, where the
// boot of the console left it, with interrupts disabled, polling every unit it waits for.
#include <stdbool.h>
#include <stdint.h>

#include "../play_table.h"

// Console registers through the uncached segment.
enum {
    SP_STATUS     = 0xA4040010,
    MI_MODE       = 0xA4300000,
    MI_INTR       = 0xA4300008,
    VI_BASE       = 0xA4400000,
    VI_ORIGIN     = 0xA4400004,
    VI_CURRENT    = 0xA4400010,
    PI_DRAM       = 0xA4600000,
    PI_CART       = 0xA4600004,
    PI_WR_LEN     = 0xA460000C,
    PI_STATUS     = 0xA4600010,
    DMEM          = 0xA4000000,
    RDRAM         = 0xA0000000,
    CART_UNCACHED = 0xB0000000,
    CART_BUS      = 0x10000000,
};

// SP_STATUS written: clear halt, clear broke, clear interrupt, set interrupt on break.
// Without the last, the RSP of some emulators never reports halted after a task.
enum { SP_START = 0x001 | 0x004 | 0x008 | 0x100, SP_CLEAR_INTR = 0x008, SP_HALTED = 0x001 };
enum { PI_BUSY = 0x3, PI_CLEAR_INTR = 0x2, MI_CLEAR_DP = 0x800, MI_VI = 0x08 };

static inline uint32_t io_read(uint32_t address) { return *(volatile uint32_t*)address; }
static inline void io_write(uint32_t address, uint32_t value) {
    *(volatile uint32_t*)address = value;
}

static void pi_wait(void) {
    while (io_read(PI_STATUS) & PI_BUSY)
        ;
}

// A word of the play table, read from the cartridge when the PI is idle.
static uint32_t table_word(uint32_t index) {
    pi_wait();
    return io_read(CART_UNCACHED + kPlayTableAt + 4 * index);
}

static uint32_t cart_word(uint32_t offset) {
    pi_wait();
    return io_read(CART_UNCACHED + offset);
}

static void load_pieces(uint32_t at) {
    const uint32_t pieces = table_word(kPlayPieces);
    const uint32_t first  = table_word(at);
    const uint32_t count  = table_word(at + 1);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t piece = pieces + kPieceBytes * (first + i);
        const uint32_t rom   = cart_word(piece);
        const uint32_t dram  = cart_word(piece + 4);
        const uint32_t bytes = cart_word(piece + 8);
        io_write(PI_DRAM, dram);
        io_write(PI_CART, CART_BUS + rom);
        io_write(PI_WR_LEN, bytes - 1);
        pi_wait();
        io_write(PI_STATUS, PI_CLEAR_INTR);
    }
}

static uint32_t record(uint32_t capture) { return kPlayHeaderWords + kRecordWords * capture; }

static void run_task(uint32_t capture, uint32_t odd_frame) {
    const uint32_t patches = table_word(kPlayPatches);
    const uint32_t first   = table_word(record(capture) + kRecordPatches);
    const uint32_t count   = table_word(record(capture) + kRecordPatches + 1);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t patch = patches + kPatchBytes * (first + i);
        io_write(RDRAM + cart_word(patch), cart_word(patch + 4 + 4 * odd_frame));
    }
    for (uint32_t i = 0; i < kTaskHeaderWords; ++i)
        io_write(DMEM + kTaskHeaderInDmem + 4 * i, table_word(record(capture) + kRecordTask + i));
    io_write(SP_STATUS, SP_START);
    while (!(io_read(SP_STATUS) & SP_HALTED))
        ;
    io_write(SP_STATUS, SP_CLEAR_INTR);
    io_write(MI_MODE, MI_CLEAR_DP);
}

// Four upright bars, red, green, blue and white, as a 16-bit picture of `width` pixels a line,
// under a row of ten blocks, white or black, that spell the field's number in binary (lowest
// bit on the left), so that a picture of a later field differs.
static void draw_bars(uint32_t buffer, uint32_t width, uint32_t field) {
    static const uint16_t bars[4] = {0xF801, 0x07C1, 0x003F, 0xFFFF};
    for (uint32_t y = 0; y < kCpuBufferLines; ++y)
        for (uint32_t x = 0, bar = 0, next = width / 4; x < width; ++x) {
            if (x == next) {
                bar += 1;
                next += width / 4;
            }
            uint16_t c = bars[bar & 3];
            if (y < kCpuCounterLines) {
                const uint32_t bit = x / (width / kCpuCounterBits);
                c                  = bit < kCpuCounterBits && (field >> bit & 1) ? 0xFFFF : 0x0001;
            }
            *(volatile uint16_t*)(RDRAM + buffer + 2 * (y * width + x)) = c;
        }
}

static void copy_words(uint32_t to, uint32_t from, uint32_t bytes) {
    for (uint32_t i = 0; i < bytes; i += 4)
        io_write(RDRAM + to + i, io_read(RDRAM + from + i));
}

void play(void) {
    const uint32_t frames   = table_word(kPlayFrames);
    const uint32_t tasks    = table_word(kPlayTasksPerFrame);
    const uint32_t captures = table_word(kPlayCaptures);

    load_pieces(kPlayFirstLoad);
    for (uint32_t i = 0; i < kViRegisterCount; ++i)
        if (VI_BASE + 4 * i != VI_CURRENT) // writing it acknowledges the interrupt instead
            io_write(VI_BASE + 4 * i, table_word(kPlayViRegisters + i));

    // Frames are shown from two buffers in turn, as games do: emulators' video plug-ins
    // show a new frame when the VI's origin changes.
    const uint32_t origins[2] = {table_word(kPlayViRegisters + 1), table_word(kPlayOtherOrigin)};
    const uint32_t cpu        = table_word(kPlayCpu);
    const uint32_t every      = table_word(kPlayTaskEvery);
    const uint32_t width      = table_word(kPlayViRegisters + 2);
    const uint32_t drawn[2]   = {table_word(kPlayDrawn), table_word(kPlayDrawn + 1)};
    const uint32_t mine[2]    = {table_word(kPlayCpuBuffers), table_word(kPlayCpuBuffers + 1)};
    const uint32_t bytes      = table_word(kPlayFrameBytes);
    uint32_t capture          = 0;
    for (uint32_t frame = 0, wait = 0;; ++frame) {
        io_write(VI_CURRENT, 0);
        while (!(io_read(MI_INTR) & MI_VI))
            ;
        const uint32_t odd = frame & 1;
        const bool send    = (frames == 0 || frame < frames) && wait == 0;
        wait               = send ? every - 1 : wait - 1;
        for (uint32_t t = 0; send && t < tasks; ++t) {
            run_task(capture, odd);
            if (captures > 1) {
                capture = capture + 1 < captures ? capture + 1 : 0;
                load_pieces(record(capture) + kRecordLoad);
            }
        }
        // The CPU's picture is shown whether tasks were sent or not; the tasks' only after them.
        if (cpu == kCpuDraws) draw_bars(mine[odd], width, frame);
        if (cpu == kCpuCopies) copy_words(mine[odd], drawn[odd], bytes);
        if (cpu != kCpuNothing)
            io_write(VI_ORIGIN, mine[odd] + origins[0] - drawn[0]);
        else if (send)
            io_write(VI_ORIGIN, origins[odd]);
    }
}

// The boot jumps here with no stack of ours: IMEM's top is free while the RSP's tasks are
// carried out by the emulator.
__asm__(".section .text.entry, \"ax\"\n"
        ".globl _start\n"
        "_start:\n"
        "  lui $sp, 0xA400\n"
        "  ori $sp, $sp, 0x1FF0\n"
        "  j play\n"
        "  nop\n");
