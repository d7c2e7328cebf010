// The colour images the tasks drew, their pictures copied back into RDRAM when the game reads
// them, and frames the CPU drew shown from RDRAM
#include "framebuffer/color_images.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "config/settings.h"
#include "framebuffer/shown_picture.h"
#include "state/host_state.h"
#include "state/picture.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"

uint32_t framebuffer_rdram_size = kRdramSize;

namespace {

// Where an image's picture is now.
enum class Where : uint8_t {
    rdram,  // RDRAM holds it (copied back, drawn by the CPU, or nothing worth copying)
    window, // the window holds it: the tasks drew it last
    kept,   // a texture keeps it since the window moved on
    front,  // the front buffer of a double-buffered window shows it, until the next swap
};

struct Image {
    uint32_t address; // RDRAM offset
    uint32_t width;   // pixels a line
    uint32_t size;    // pixel size code: 2 16-bit, 3 32-bit (4- and 8-bit images count as 16)
    uint32_t lines;   // as far down as the scissor reached while it was drawn
    uint32_t frame;   // frame it was last drawn in
    bool used;
    bool drawn_since_shown;
    Where where;
    int kept_in;                 // slot keeping its picture + 1, 0 for none
    bool dropped;                // its picture was let go at a frame's clear
    uint32_t cpu_first, cpu_end; // lines the CPU changed since it was last shown
};

// A texture that keeps a picture the window lost: the picture area's size when it was taken.
struct Slot {
    GLuint name;
    int32_t width, height;        // the picture
    int32_t texture_w, texture_h; // the texture, power-of-two sides
    int owner;                    // image index + 1, 0 when free
};

constexpr int kImages     = 8;
constexpr int kSlots      = 4;
constexpr uint32_t kStale = 3; // frames after which an image's picture is no longer copied back
// Copies back per task or frame: a list that draws and loads in turn would otherwise read back
// a whole image (up to 4,096 x 1,024 pixels) for every load, for minutes. Later loads read
// RDRAM as it is.
constexpr uint32_t kCopiesPerTask = 16;
// Texture names past the cache's 1..4095, one per slot.
constexpr GLuint kSlotNames = 0x7F00;

Image images[kImages];
Slot slots[kSlots];
int window_owner     = -1; // the image whose picture the window holds
uint32_t copies_left = kCopiesPerTask;
int double_buffered  = -1; // whether the context has a front buffer of its own; -1 not asked
bool clear_pending;        // the next frame has begun: the window is cleared before it draws
bool reads_earlier;        // the game has read a picture drawn in an earlier frame
uint32_t frame_number = 1;
std::vector<uint8_t> pixels;   // pictures read back from OpenGL, and RDRAM pictures to draw
std::vector<uint32_t> columns; // a copy's picture byte in a row for each pixel of a line

uint32_t line_bytes(uint32_t width, uint32_t size) { return (width << std::max(size, 2u)) >> 1; }

// Lines of the image that lie inside the RDRAM the host has.
uint32_t lines_in_rdram(uint32_t address, uint32_t width, uint32_t size, uint32_t lines) {
    const uint32_t limit = std::min(framebuffer_rdram_size, kRdramSize);
    const uint32_t bytes = line_bytes(width, size);
    if (address >= limit || bytes == 0) return 0;
    return std::min(lines, (limit - address) / bytes);
}

uint32_t image_bytes(const Image& e) { return line_bytes(e.width, e.size) * e.lines; }

// The console's screen in the window, OpenGL's way up: a colour image's 4:3 space lies there,
// and a frame the CPU drew is shown there.
struct Area {
    int32_t x, y, width, height;
};
Area picture_area() {
    const WindowBox b = screen_box();
    return {b.x, b.y, std::max(b.width, 1), std::max(b.height, 1)};
}

int round_up_pow2(int32_t n) {
    int p = 1;
    while (p < n && p < (1 << 14))
        p <<= 1;
    return p;
}

void forget_picture(Image& e) {
    if (e.kept_in) slots[e.kept_in - 1].owner = 0;
    e.kept_in = 0;
    e.where   = Where::rdram;
}

// The window's picture goes into a texture before the window is drawn over or cleared.
void keep_window_picture() {
    if (window_owner < 0) return;
    Image& e     = images[window_owner];
    window_owner = -1;
    if (e.where != Where::window) return;
    int s = e.kept_in - 1;
    if (s < 0) {
        // A free slot, else the one whose image was drawn longest ago.
        s = 0;
        for (int i = 0; i < kSlots; ++i) {
            if (!slots[i].owner) {
                s = i;
                break;
            }
            if (images[slots[i].owner - 1].frame < images[slots[s].owner - 1].frame) s = i;
        }
        if (slots[s].owner) forget_picture(images[slots[s].owner - 1]);
    }
    Slot& slot   = slots[s];
    const Area a = picture_area();
    GLint bound  = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    slot.name = kSlotNames + static_cast<GLuint>(s);
    glBindTexture(GL_TEXTURE_2D, slot.name);
    if (slot.texture_w < a.width || slot.texture_h < a.height) {
        slot.texture_w = round_up_pow2(a.width);
        slot.texture_h = round_up_pow2(a.height);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, slot.texture_w, slot.texture_h, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
    }
    GLint read_buffer = GL_BACK, draw_buffer = GL_BACK;
    glGetIntegerv(GL_READ_BUFFER, &read_buffer);
    glGetIntegerv(GL_DRAW_BUFFER, &draw_buffer);
    glReadBuffer(static_cast<GLenum>(draw_buffer));
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, a.x, a.y, a.width, a.height);
    glReadBuffer(static_cast<GLenum>(read_buffer));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    slot.width  = a.width;
    slot.height = a.height;
    slot.owner  = static_cast<int>(&e - images) + 1;
    e.kept_in   = s + 1;
    e.where     = Where::kept;
}

// Reads the image's picture from the window or its texture (RGBA rows, bottom row first).
// Returns false when there is none.
bool read_picture(const Image& e, int32_t* width, int32_t* height, int32_t* stride) {
    if (e.where == Where::window || e.where == Where::front) {
        const Area a = picture_area();
        pixels.resize(static_cast<size_t>(a.width) * a.height * 4);
        GLint read_buffer = GL_BACK, draw_buffer = GL_BACK;
        glGetIntegerv(GL_READ_BUFFER, &read_buffer);
        glGetIntegerv(GL_DRAW_BUFFER, &draw_buffer);
        glReadBuffer(e.where == Where::front ? GL_FRONT : static_cast<GLenum>(draw_buffer));
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(a.x, a.y, a.width, a.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        glPopClientAttrib();
        glReadBuffer(static_cast<GLenum>(read_buffer));
        *width = *stride = a.width;
        *height          = a.height;
        return true;
    }
    if (e.where != Where::kept || !e.kept_in) return false;
    const Slot& slot = slots[e.kept_in - 1];
    pixels.resize(static_cast<size_t>(slot.texture_w) * slot.texture_h * 4);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, slot.name);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glPopClientAttrib();
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    *width  = slot.width;
    *height = slot.height;
    *stride = slot.texture_w;
    return true;
}

// One line of the image from one row of the picture, `columns` giving each pixel's byte in the
// row: 16-bit pixels red-green-blue-coverage 5/5/5/1 as the console orders them, or 32-bit words
// with red in the top byte. A pixel lies on its own size in RDRAM's words, as the reads take it:
// an odd image address would otherwise put the last one past the end.
void write_line16(const uint8_t* row, uint32_t at, uint32_t width) {
    for (uint32_t x = 0; x < width; ++x) {
        const uint8_t* c = row + columns[x];
        const uint16_t v =
            static_cast<uint16_t>((c[0] >> 3) << 11 | (c[1] >> 3) << 6 | (c[2] >> 3) << 1 | 1);
        std::memcpy(host.rdram + (((at + 2 * x) & ~1u) ^ 2), &v, 2);
    }
}

void write_line32(const uint8_t* row, uint32_t at, uint32_t width) {
    for (uint32_t x = 0; x < width; ++x) {
        const uint8_t* c = row + columns[x];
        const uint32_t v = uint32_t(c[0]) << 24 | uint32_t(c[1]) << 16 | uint32_t(c[2]) << 8 | 0xFF;
        std::memcpy(host.rdram + ((at + 4 * x) & ~3u), &v, 4);
    }
}

// The picture scaled to the image's own width x lines in its 4:3 space, written into RDRAM in
// the image's format.
void copy_back(Image& e) {
    int32_t w, h, stride;
    const uint32_t lines = lines_in_rdram(e.address, e.width, e.size, e.lines);
    if (copies_left == 0) return;
    copies_left -= 1;
    if (lines == 0 || !host.rdram || !read_picture(e, &w, &h, &stride)) {
        forget_picture(e);
        return;
    }
    columns.resize(e.width);
    for (uint32_t x = 0; x < e.width; ++x)
        columns[x] = 4 * ((2 * x + 1) * w / (2 * e.width));
    const uint32_t rows43 = std::max(1u, (3 * e.width) >> 2);
    const uint32_t bytes  = line_bytes(e.width, e.size);
    for (uint32_t y = 0; y < lines; ++y) {
        const uint32_t sy  = std::min<uint32_t>(h - 1, (2 * y + 1) * h / (2 * rows43));
        const uint8_t* row = &pixels[static_cast<size_t>(h - 1 - sy) * stride * 4];
        if (e.size == 3)
            write_line32(row, e.address + y * bytes, e.width);
        else
            write_line16(row, e.address + y * bytes, e.width);
    }
    texels_may_change();
    shown_pictures_written(e.address, lines * bytes, false);
    forget_picture(e);
}

int find_image(uint32_t address) {
    for (int i = 0; i < kImages; ++i)
        if (images[i].used && address - images[i].address < image_bytes(images[i])) return i;
    return -1;
}

// The image at `address`, made anew where none starts there: a free entry, else the one
// drawn longest ago (never the one the window holds).
int image_starting_at(uint32_t address) {
    for (int i = 0; i < kImages; ++i)
        if (images[i].used && images[i].address == address) return i;
    int pick = -1;
    for (int i = 0; i < kImages; ++i) {
        if (i == window_owner) continue;
        if (!images[i].used) {
            pick = i;
            break;
        }
        if (pick < 0 || images[i].frame < images[pick].frame) pick = i;
    }
    if (images[pick].used) forget_picture(images[pick]);
    images[pick]         = Image{};
    images[pick].used    = true;
    images[pick].address = address;
    return pick;
}

// The image's lines the CPU changed, drawn from RDRAM over the window.
void draw_cpu_lines(Image& e) {
    if (e.cpu_end <= e.cpu_first) return;
    // The lines around them are the same; the image's 4:3 space spans the picture.
    draw_rdram_picture(e.address, e.width, e.size, e.lines, std::max(1u, (3 * e.width) >> 2));
    e.cpu_first = e.cpu_end = 0;
}

} // namespace

void note_drawing() {
    settle_window_clear();
    if (player_settings.copy_frame == CopyFrame::off) return;
    const uint32_t address = rdp_reg.color_image_address & kRdramMask;
    const uint32_t width   = rdp_reg.color_image_width;
    if (address == (rdp_reg.depth_image_address & kRdramMask) || width == 0) return;
    const int i          = image_starting_at(address);
    Image& e             = images[i];
    const uint32_t size  = std::max<uint32_t>(rdp_reg.color_image_size, 2);
    const uint32_t lower = static_cast<uint32_t>(std::clamp(240 - rdp_reg.scissor_y, 1, 1024));
    if (e.width != width || e.size != size) e.lines = 0;
    e.width             = width;
    e.size              = size;
    e.lines             = lines_in_rdram(address, width, size, std::max(e.lines, lower));
    e.frame             = frame_number;
    e.drawn_since_shown = true;
    e.dropped           = false;
    if (window_owner != i) {
        keep_window_picture();
        window_owner = i;
        if (e.kept_in) forget_picture(e);
    }
    e.where = Where::window;
}

void before_rdram_read(uint32_t start, uint32_t bytes) {
    if (player_settings.copy_frame == CopyFrame::off) return;
    for (Image& e : images) {
        const uint32_t end = e.address + image_bytes(e);
        if (!e.used || start >= end || e.address >= start + bytes) continue;
        if (e.dropped || (e.where != Where::rdram && e.frame != frame_number)) reads_earlier = true;
        if (e.where != Where::rdram) copy_back(e);
    }
}

static bool has_front_buffer() {
    if (double_buffered < 0) {
        GLboolean d = GL_FALSE;
        glGetBooleanv(GL_DOUBLEBUFFER, &d);
        double_buffered = d ? 1 : 0;
    }
    return double_buffered;
}

// A picture the clear would lose is kept in a texture, once the game has read a picture of an
// earlier frame (or one let go here): a game that never does pays nothing. Until then the
// window keeps the last frame's picture up to the next frame's first drawing, so that a pause
// screen that loads it first finds it there; one that draws first finds it from its second time.
void before_frame_clear() {
    if (player_settings.copy_frame == CopyFrame::off || window_owner < 0) return;
    if (reads_earlier || player_settings.copy_frame == CopyFrame::always) {
        keep_window_picture();
        return;
    }
    Image& e     = images[window_owner];
    window_owner = -1;
    if (e.where != Where::window) return;
    forget_picture(e);
    e.dropped = true;
}

void clear_window_before_drawing() { clear_pending = true; }

void settle_window_clear() {
    if (!clear_pending) return;
    clear_pending = false;
    before_frame_clear();
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPopAttrib();
}

// A double-buffered window shows the picture in its front buffer from the swap on, until the
// next swap: a pause screen drawn in the next frame reads it from there, and a game that reads
// none pays nothing.
void frame_shown() {
    for (Image& e : images)
        if (e.where == Where::front) forget_picture(e); // the swap replaces it
    if (window_owner >= 0) {
        Image& e = images[window_owner];
        draw_cpu_lines(e);
        e.drawn_since_shown = false;
        if (player_settings.copy_frame != CopyFrame::off && e.where == Where::window &&
            has_front_buffer()) {
            e.where      = Where::front;
            window_owner = -1;
        }
    }
    frame_number += 1;
    copies_left = kCopiesPerTask;
    for (int i = 0; i < kImages; ++i)
        if (images[i].used && frame_number - images[i].frame > kStale && i != window_owner) {
            forget_picture(images[i]);
            images[i].used = false;
        }
}

void task_done() {
    settle_window_clear();
    copies_left = kCopiesPerTask;
    if (player_settings.copy_frame != CopyFrame::always || window_owner < 0) return;
    Image& e = images[window_owner];
    if (e.where != Where::window) return;
    copy_back(e);
    e.where = Where::window; // the window still holds it: the next task draws on there
}

void note_cpu_write(uint32_t start, uint32_t bytes) {
    texels_may_change();
    shown_pictures_written(start, bytes, true);
    const int i = find_image(start & kRdramMask);
    if (i < 0 || bytes == 0) return;
    Image& e             = images[i];
    const uint32_t lb    = line_bytes(e.width, e.size);
    const uint32_t first = ((start & kRdramMask) - e.address) / lb;
    const uint32_t end = std::min(e.lines, ((start & kRdramMask) - e.address + bytes - 1) / lb + 1);
    if (e.cpu_end <= e.cpu_first) e.cpu_first = first;
    e.cpu_first = std::min(e.cpu_first, first);
    e.cpu_end   = std::max(e.cpu_end, end);
    if (i != window_owner) forget_picture(e); // RDRAM holds it from now on
}

int color_image_info(ColorImageInfo* out) {
    int n = 0;
    for (uint32_t age = 0; age <= kStale && n < kImageInfoEntries; ++age)
        for (const Image& e : images)
            if (e.used && e.frame == frame_number - age && n < kImageInfoEntries)
                out[n++] = {e.address, e.size == 3 ? 4u : 2u, e.width, e.lines};
    return n;
}

bool tasks_drew_image_at(uint32_t address) {
    const int i = find_image(address & kRdramMask);
    return i >= 0 && images[i].drawn_since_shown;
}

void draw_rdram_picture(uint32_t origin, uint32_t width, uint32_t size_code, uint32_t lines,
                        uint32_t rows) {
    origin &= kRdramMask;
    if (size_code < 2 || width == 0 || width > 4096 || !host.rdram) return;
    if (rows == 0) rows = std::min(lines, 1024u);
    lines = lines_in_rdram(origin, width, size_code, std::min(lines, 1024u));
    if (lines == 0) return;
    pixels.resize(static_cast<size_t>(width) * lines * 4);
    const uint32_t bytes = line_bytes(width, size_code);
    for (uint32_t y = 0; y < lines; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* c        = &pixels[4 * (static_cast<size_t>(y) * width + x)];
            const uint32_t at = origin + y * bytes;
            if (size_code == 3) {
                const uint32_t v = read_rdram_u32(at + 4 * x);
                c[0]             = static_cast<uint8_t>(v >> 24);
                c[1]             = static_cast<uint8_t>(v >> 16);
                c[2]             = static_cast<uint8_t>(v >> 8);
            } else {
                const uint32_t v = read_rdram_u16(at + 2 * x);
                c[0]             = static_cast<uint8_t>(((v >> 11) & 0x1F) * 255 / 31);
                c[1]             = static_cast<uint8_t>(((v >> 6) & 0x1F) * 255 / 31);
                c[2]             = static_cast<uint8_t>(((v >> 1) & 0x1F) * 255 / 31);
            }
            c[3] = 255;
        }
    const Area a = picture_area();
    glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT | GL_PIXEL_MODE_BIT | GL_CURRENT_BIT);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_TEXTURE_2D);
    glViewport(0, 0, std::max(window_width, 1), std::max(window_height, 1));
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, std::max(window_width, 1), 0, std::max(window_height, 1), -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // The raster position moves to the picture's top-left corner by a bitmap of no pixels,
    // which places it outside the clip volume's reach.
    glRasterPos2i(0, 0);
    glBitmap(0, 0, 0, 0, static_cast<GLfloat>(a.x), static_cast<GLfloat>(a.y + a.height), nullptr);
    glPixelZoom(static_cast<GLfloat>(a.width) / static_cast<GLfloat>(width),
                -static_cast<GLfloat>(a.height) / static_cast<GLfloat>(rows));
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(static_cast<GLsizei>(width), static_cast<GLsizei>(lines), GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels.data());
    glPopClientAttrib();
    glPixelZoom(1, 1);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

void reset_color_images() {
    for (Image& e : images)
        e = Image{};
    for (Slot& s : slots)
        s = Slot{};
    window_owner    = -1;
    copies_left     = kCopiesPerTask;
    double_buffered = -1;
    clear_pending   = false;
    reads_earlier   = false;
    reset_shown_pictures();
}
