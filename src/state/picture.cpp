// The picture's shape: where the console's 4:3 screen lies in the window, and what is shown
#include "state/picture.h"

#include <algorithm>
#include <cmath>

#include "state/host_state.h"
#include "state/rdp_reg.h"

float wide_projection_scale = 1.0f;

// The floats nearest to 1/320 and 1/240.
constexpr float kInv320 = 0.003125f;
constexpr float kInv240 = 0.0041666669f;

// Before the first measure: the 640 x 480 window that scale_x and scale_y start with.
static PictureLayout layout = {{0, 0, 640, 480}, {0, 0, 640, 480}, 1.0f};

// The largest box of shape num:den that fits the window, centred.
static WindowBox fit(int32_t width, int32_t height, int64_t num, int64_t den) {
    WindowBox b{0, 0, width, height};
    if (int64_t{width} * den > int64_t{height} * num)
        b.width = static_cast<int32_t>((int64_t{height} * num * 2 + den) / (den * 2));
    else
        b.height = static_cast<int32_t>((int64_t{width} * den * 2 + num) / (num * 2));
    b.x = (width - b.width) / 2;
    b.y = (height - b.height) / 2;
    return b;
}

PictureLayout lay_out_picture(int32_t width, int32_t height, AspectMode mode) {
    if (width < 1 || height < 1) return {{0, 0, 0, 0}, {0, 0, 0, 0}, 1.0f};
    const WindowBox whole{0, 0, width, height};
    switch (mode) {
    case AspectMode::stretch: return {whole, whole, 1.0f};
    case AspectMode::sixteen_by_nine: {
        const WindowBox b = fit(width, height, 16, 9);
        return {b, b, 1.0f};
    }
    case AspectMode::widescreen: {
        // Wider than 4:3 the picture fills the window's width; narrower, nothing is gained
        // by seeing less, and the 4:3 picture is shown.
        const WindowBox screen = fit(width, height, 4, 3);
        if (screen.width >= width || screen.width < 1) return {screen, screen, 1.0f};
        const WindowBox wide{0, screen.y, width, screen.height};
        return {wide, screen, static_cast<float>(width) / static_cast<float>(screen.width)};
    }
    default: {
        const WindowBox b = fit(width, height, 4, 3);
        return {b, b, 1.0f};
    }
    }
}

void update_picture_layout(AspectMode mode) {
    layout  = lay_out_picture(window_width, window_height, mode);
    scale_x = static_cast<float>(layout.screen.width) * kInv320;
    scale_y = static_cast<float>(layout.screen.height) * kInv240;
}

const PictureLayout& picture_layout() { return layout; }

bool picture_has_bars() {
    const WindowBox& p = layout.picture;
    return p.x != 0 || p.y != 0 || p.width != window_width || p.height != window_height;
}

WindowBox overlap(const WindowBox& a, const WindowBox& b) {
    const int32_t x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
    const int32_t x1 = std::min(a.x + a.width, b.x + b.width);
    const int32_t y1 = std::min(a.y + a.height, b.y + b.height);
    if (x1 <= x0 || y1 <= y0) return {x0, y0, 0, 0};
    return {x0, y0, x1 - x0, y1 - y0};
}

bool widens_across(float left, float right) {
    return layout.widen != 1.0f && left <= 0.0f &&
           right >= static_cast<float>(rdp_reg.color_image_width);
}

float widen_span(int32_t* x, int32_t* width) {
    if (layout.widen == 1.0f || *width < 1) return 1.0f;
    const auto wide = static_cast<int32_t>(std::lround(static_cast<float>(*width) * layout.widen));
    *x -= (wide - *width) / 2;
    const float scale = static_cast<float>(*width) / static_cast<float>(wide);
    *width            = wide;
    return scale;
}
