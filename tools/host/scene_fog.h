// The fogged corridor: what its picture is made of, shared with the test that checks it
#pragma once
#include <cstdint>

#include "dl_ucode0.h"

namespace fog_scene {

constexpr float kFovY = 60.0f, kNear = 50.0f, kFar = 2000.0f;
constexpr int kFogMin = 700, kFogMax = 1000; // on the 0..1000 scale of the projected depth
constexpr uint32_t kFogColor  = 0x3C506EFF;
constexpr uint32_t kRingColor = 0xDCBE8CFF; // the rings' shade, under white texels

// Square rings across the corridor (half sizes 80 x 60 outside, 65 x 45 inside), facing the
// eye: each has one depth, so one fog factor.
constexpr float kRingDepths[5]        = {120, 250, 450, 800, 1300};
constexpr float kRingOuter[2]         = {80, 60};
constexpr float kRingInner[2]         = {65, 45};
constexpr float kTopBarMiddle         = (kRingOuter[1] + kRingInner[1]) / 2;
constexpr uint32_t kTwoCycleFogOpaque = 0xC8112078; // fog by shade alpha, then an opaque surface

inline uc0::Mat projection() { return uc0::perspective(kFovY, 4.0f / 3.0f, kNear, kFar); }

} // namespace fog_scene
