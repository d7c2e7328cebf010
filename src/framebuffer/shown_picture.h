// The picture the VI shows from RDRAM, and whether the CPU changed it since it was last looked at
#pragma once
#include <cstdint>

// The VI registers that tell what a frame the CPU drew looks like.
struct ViPicture {
    uint32_t origin;  // RDRAM offset of the first pixel shown
    uint32_t status;  // pixel size in the low two bits: 2 16-bit, 3 32-bit
    uint32_t width;   // pixels a line
    uint32_t v_start; // first and last half line shown
    uint32_t y_scale; // lines per half line, 2.10 fixed point
};

// The lines the VI shows: half the span between its first and last half line, times its
// vertical scale; 4:3 of its width when the registers give none.
uint32_t vi_lines(const ViPicture& vi);
// A sum of the bytes of the picture's lines in RDRAM (as many as lie inside it).
uint64_t shown_picture_sum(const ViPicture& vi);
// True when RDRAM's picture there differs from the last time this was asked of the same
// picture (same origin, width, pixel size and lines), or the CPU reported writing into it since.
// The first time a picture is asked of, or after the plug-in itself wrote into it (a copy-back),
// it only becomes the one compared with.
bool cpu_changed_shown_picture(const ViPicture& vi);
// [start, start + bytes) of RDRAM was written, by the CPU (its FBWrite) or by a copy-back.
void shown_pictures_written(uint32_t start, uint32_t bytes, bool by_cpu);
// A new context or game: no picture is known.
void reset_shown_pictures();
