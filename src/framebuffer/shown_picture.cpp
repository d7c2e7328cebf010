// The picture the VI shows from RDRAM, and whether the CPU changed it since it was last looked at
#include "framebuffer/shown_picture.h"

#include <algorithm>
#include <cstring>

#include "framebuffer/color_images.h"
#include "state/host_state.h"
#include "state/rdram.h"

namespace {

// The pictures last looked at: a game shows at most two or three buffers in turn.
struct Known {
    uint32_t origin, width, size, lines;
    uint64_t sum;
    uint32_t used;  // when last asked of; 0 for a free entry
    bool cpu_wrote; // FBWrite into it since
    bool rewritten; // the plug-in wrote into it: its sum is taken anew
};
constexpr int kKnown = 4;
Known known[kKnown];
uint32_t asked;

// The RDRAM bytes of the picture, [first, end), inside the RDRAM the host has.
void picture_bytes(const ViPicture& vi, uint32_t* first, uint32_t* end) {
    const uint32_t size  = vi.status & 3;
    const uint32_t width = vi.width & 0xFFF;
    const uint32_t limit = std::min(framebuffer_rdram_size, kRdramSize);
    *first               = std::min(vi.origin & kRdramMask, limit);
    const uint64_t bytes = size < 2 ? 0 : uint64_t(width << size >> 1) * vi_lines(vi);
    *end                 = static_cast<uint32_t>(std::min<uint64_t>(*first + bytes, limit));
}

} // namespace

uint32_t vi_lines(const ViPicture& vi) {
    const uint32_t first = (vi.v_start >> 16) & 0x3FF, last = vi.v_start & 0x3FF;
    const uint32_t lines = last > first ? ((last - first) >> 1) * (vi.y_scale & 0xFFF) >> 10 : 0;
    return std::min(lines ? lines : (3 * (vi.width & 0xFFF)) >> 2, 1024u);
}

// Four running sums of 64-bit words and four sums of those sums: a changed word changes the
// first, a word moved to another place the second. The lanes let the additions run side by
// side; the picture's ends are taken whole words around it.
uint64_t shown_picture_sum(const ViPicture& vi) {
    uint32_t first, end;
    picture_bytes(vi, &first, &end);
    if (!host.rdram || end <= first) return 0;
    first &= ~7u;
    end           = (end + 7) & ~7u;
    uint64_t a[4] = {}, b[4] = {};
    const uint8_t* p       = host.rdram + first;
    const uint32_t words   = (end - first) / 8;
    const uint32_t rounded = words & ~3u;
    for (uint32_t i = 0; i < rounded; i += 4, p += 32)
        for (int k = 0; k < 4; ++k) {
            uint64_t w;
            std::memcpy(&w, p + 8 * k, 8);
            a[k] += w;
            b[k] += a[k];
        }
    for (uint32_t i = rounded; i < words; ++i, p += 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        a[0] += w;
        b[0] += a[0];
    }
    uint64_t sum = words;
    for (int k = 0; k < 4; ++k)
        sum = (sum ^ a[k]) * 0x9E3779B97F4A7C15u ^ b[k] * 0xC2B2AE3D27D4EB4Fu;
    return sum;
}

bool cpu_changed_shown_picture(const ViPicture& vi) {
    const uint32_t origin = vi.origin & kRdramMask, width = vi.width & 0xFFF, size = vi.status & 3,
                   lines = vi_lines(vi);
    Known* e             = nullptr;
    for (Known& k : known)
        if (k.used && k.origin == origin && k.width == width && k.size == size && k.lines == lines)
            e = &k;
    asked += 1;
    if (!e) {
        e  = std::min_element(known, known + kKnown,
                              [](const Known& x, const Known& y) { return x.used < y.used; });
        *e = Known{origin, width, size, lines, shown_picture_sum(vi), asked, false, false};
        return false;
    }
    e->used = asked;
    // The CPU said it wrote there: no need to look. The sum is taken anew next time.
    if (e->cpu_wrote) {
        e->cpu_wrote = false;
        e->rewritten = true;
        return true;
    }
    const uint64_t sum = shown_picture_sum(vi);
    const bool changed = sum != e->sum && !e->rewritten;
    e->sum             = sum;
    e->rewritten       = false;
    return changed;
}

void shown_pictures_written(uint32_t start, uint32_t bytes, bool by_cpu) {
    start &= kRdramMask;
    for (Known& k : known) {
        if (!k.used) continue;
        const uint32_t end = k.origin + (k.width << k.size >> 1) * k.lines;
        if (start >= end || start + uint64_t(bytes) <= k.origin) continue;
        if (by_cpu)
            k.cpu_wrote = true;
        else
            k.rewritten = true;
    }
}

void reset_shown_pictures() {
    for (Known& k : known)
        k = Known{};
    asked = 0;
}
