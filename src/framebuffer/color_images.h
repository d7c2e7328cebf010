// The colour images the tasks drew, their pictures copied back into RDRAM when the game reads
// them, and frames the CPU drew shown from RDRAM
#pragma once
#include <cstdint>

// The window holds one picture at a time: the tasks draw every colour image into it. A picture
// the window is about to lose (another image is drawn into, the frame is cleared) is kept in a
// texture of its own, and written into RDRAM only when the game reads it, as the player's
// CopyFrameToRdram setting says (config/settings.h).

// A colour image as the frame-buffer calls of mupen64plus report it.
struct ColorImageInfo {
    uint32_t address; // RDRAM offset
    uint32_t size;    // bytes per pixel: 2 or 4
    uint32_t width;   // pixels
    uint32_t height;  // lines drawn
};
constexpr int kImageInfoEntries = 6;

// The task draws into the current colour image (rdp_reg's): a rectangle or a triangle batch.
void note_drawing();
// A texture load (or the CPU) is about to read RDRAM [start, start + bytes): every colour image
// there whose picture RDRAM does not hold yet is copied back first.
void before_rdram_read(uint32_t start, uint32_t bytes);
// The window is about to be cleared for the next frame: its picture is kept where the game
// may read it.
void before_frame_clear();
// The next frame begins: the window is cleared at its first drawing (or at the end of a task
// that draws nothing); until then its picture is there to be read.
void clear_window_before_drawing();
// The clear asked for, if it is still to come, now.
void settle_window_clear();
// The frame in the window is shown (its lines the CPU changed drawn first from RDRAM): ends a
// frame of the images' bookkeeping.
void frame_shown();
// A task has ended: under `always` the picture it drew last is written into its image.
void task_done();
// The CPU changed [start, start + bytes): RDRAM holds the picture there from now on, and the
// next frame shows those lines from it.
void note_cpu_write(uint32_t start, uint32_t bytes);
// The images drawn in the last frames, most recent first; returns how many (at most 6).
int color_image_info(ColorImageInfo* out);
// True when a task drew into the image holding `address` since it was last shown.
bool tasks_drew_image_at(uint32_t address);
// Draws the picture that RDRAM holds at `origin` over the console's screen: `width` pixels a
// line, 16-bit (size code 2) or 32-bit (3), `lines` lines, the screen `rows` lines high (0:
// `lines`). Nothing for other sizes; only the lines inside RDRAM.
void draw_rdram_picture(uint32_t origin, uint32_t width, uint32_t size_code, uint32_t lines,
                        uint32_t rows = 0);
// A new context: no picture is kept, no image known.
void reset_color_images();
// The RDRAM the host has, in bytes (at most 8 MB); nothing is read or written past it.
extern uint32_t framebuffer_rdram_size;
