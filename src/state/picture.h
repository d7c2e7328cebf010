// The picture's shape: where the console's 4:3 screen lies in the window, and what is shown
#pragma once
#include <cstdint>

// How the console's picture fills a window of another shape.
enum class AspectMode : int32_t {
    four_by_three,   // the 4:3 shape kept, as large as fits, centred; black bars beside it
    stretch,         // the whole window
    sixteen_by_nine, // a 16:9 picture, centred, for games that draw anamorphic widescreen
    widescreen,      // 3-D scenes see further to the sides; rectangles keep the 4:3 middle
};

// A box of window pixels, as OpenGL counts them: x from the left, y up from the bottom.
struct WindowBox {
    int32_t x, y;
    int32_t width, height;
};

struct PictureLayout {
    WindowBox picture; // what the player sees; the rest of the window stays black
    WindowBox screen;  // the console's screen: its colour image maps here, and so do its
                       // viewport, scissor and rectangles (the middle of a widescreen picture)
    float widen;       // picture width / screen width in widescreen, else 1: how much wider
                       // 3-D scenes are drawn around the window's centre
};

// The layout of a window of the given size in a mode; a window with no area lays out empty.
PictureLayout lay_out_picture(int32_t width, int32_t height, AspectMode mode);

// The layout of the window as last measured in a mode, and the console-to-window scale
// (scale_x, scale_y: screen pixels per console pixel) that goes with it. Run after every
// measure.
void update_picture_layout(AspectMode mode);
const PictureLayout& picture_layout();

// The console's screen in the window: where a frame read back to the console's memory comes
// from, and where the colour image's (0, 0) to (width, 3/4 width) lands.
inline WindowBox screen_box() { return picture_layout().screen; }
// The part of the window the player sees the picture in (no bars): screenshots read this.
inline WindowBox picture_box() { return picture_layout().picture; }
// Whether the picture leaves black bars in the window.
bool picture_has_bars();
// The part of `a` inside `b` (no area where they do not meet).
WindowBox overlap(const WindowBox& a, const WindowBox& b);

// Whether something the game places across [left, right] of its colour image (console
// pixels) is drawn wider in widescreen: it must span the whole image. A split-screen view or
// a picture-in-picture keeps the 4:3 mapping.
bool widens_across(float left, float right);
// Widens a horizontal span of window pixels around its own centre by the layout's factor;
// returns old width / new width, the horizontal scale that keeps what is drawn through the
// span where it was (1 when nothing widens).
float widen_span(int32_t* x, int32_t* width);

// The horizontal scale of the projection while the current 3-D viewport is widened, else 1.
extern float wide_projection_scale;
