// The central state record: the command being run, the display-list stack and segments,
// and the RDP, geometry and rendering state the commands write
#pragma once
#include <cstdint>

#include "state/matrix_types.h"
#include "state/render_types.h"
#include "state/tile_types.h"
#include "state/vertex_types.h"

constexpr int kUcodeFamilies  = 9; // 0..6 the 3-D families, 7 and 8 the 2-D ones
constexpr int kSegmentCount   = 16;
constexpr int kStackLevels    = 16;
constexpr int kUc6MatrixSlots = 3;

// Family 6 keeps matrices in slots; its vertex command loads one as OpenGL's projection.
using Uc6MatrixSlot = Matrix4;

struct DisplayListStack {
    uint32_t pc[kStackLevels]; // RDRAM address of the next command of each level
    int32_t depth;             // active level; -1 after the end of the task's own list
};

// The 2-D microcodes' own state: the 2-D matrix, the four status words their conditional
// loads test, the render-mode bits and what G_RDPHALF_0 left for G_SELECT_DL.
struct ObjMatrix {
    float a, b, c, d;                 // s15.16 on the console
    float x, y;                       // screen position in pixels
    float base_scale_x, base_scale_y; // 1.0 = no scaling
};
struct ObjState {
    ObjMatrix mtx        = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f}; // identity
    uint32_t status[4]   = {};
    uint32_t render_mode = 0;
    uint32_t select_sid  = 0; // byte 0, 4, 8 or 12 of G_RDPHALF_0
    uint32_t select_flag = 0; // its cmd1
    uint32_t select_low  = 0; // low 16 bits of the list's address
};

struct RdpReg {
    // Fetch
    uint32_t cmd0;        // current command, opcode in bits 24..31
    uint32_t cmd1;        // second word of the current command
    uint32_t lookahead1;  // word 12 bytes after the command's start
    uint32_t lookahead2;  // word 20 bytes after the command's start
    uint32_t dlist_end;   // set when the task's list has ended
    uint32_t* run_cursor; // the next command of the running run in place; null outside runs

    DisplayListStack stack;
    uint32_t segments[kSegmentCount]; // SegmentTable; 0xFFFFFFFF means unset (use entry 0)

    // RDP modes
    uint32_t othermode_h; // low 24 bits used
    uint32_t othermode_l; // the blender's selectors in bits 16..31, render flags below
    uint8_t cycle_type;   // 0 one-cycle, 1 two-cycle, 2 copy, 3 fill

    // RDP colours and images
    uint32_t fill_color;          // raw word
    uint32_t blend_color;         // raw word
    uint32_t fog_color;           // raw word, R in bits 24..31
    uint32_t prim_color;          // raw word, R in bits 24..31
    float prim_rgba[4];           // 0..1
    float prim_lod_frac;          // SETPRIMCOLOR's LOD fraction, 0..1
    uint32_t env_color;           // raw word, R in bits 24..31
    float env_rgba[4];            // 0..1
    uint32_t color_image_address; // RDRAM offset
    uint16_t color_image_width;   // pixels
    uint8_t color_image_size;     // pixel size: 0 4-bit, 1 8-bit, 2 16-bit, 3 32-bit
    uint32_t depth_image_address; // RDRAM offset

    // Scissor in console pixels, y measured from the bottom of the 240-line screen
    int32_t scissor_x      = 0;
    int32_t scissor_y      = 0;
    int32_t scissor_width  = 320;
    int32_t scissor_height = 240;

    uint32_t reserved2_address; // RDRAM offset, read by family 5
    uint32_t rdphalf_address;   // RDRAM offset, family 4's BRANCHZ target and G_LOAD_UCODE's data

    // Tiles
    TileDescriptor tiles[kTileCount];
    uint32_t current_tile;       // index of the descriptor the last command pointed at
    uint32_t current_tile_index; // tile last named by SETTILE, LOADBLOCK, LOADTILE, TEXRECT, VERTEX
    TextureImage texture_image;

    // Geometry
    uint32_t geometry_mode;
    ModelViewStack modelview;
    TransformedVertex vtx[kVertexCount];
    LightRecord lights[kLightCount];
    uint32_t num_lights;
    uint32_t fog_factors;    // G_MW_FOG word: signed multiplier in bits 16..31, offset in 0..15
    float viewport_scale[4]; // console pixels
    float viewport_trans[4]; // console pixels
    Uc6MatrixSlot uc6_matrix_slots[kUc6MatrixSlots]; // zero matrices until loaded

    // Rendering
    TriangleBatch batch;
    CombinerSelectors combine;
    uint32_t mux_key0;      // packed cycle 0 selectors
    uint32_t mux_key1;      // packed cycle 1 selectors
    uint32_t texture_mode;  // texel transform requested by the recipe
    uint32_t texture_color; // constant colour of the texel transform

    // 2-D families
    ObjState obj;
};

extern RdpReg rdp_reg;
extern uint32_t UcodeType;  // the row in use, 0..8; G_LOAD_UCODE changes it inside a task
extern uint32_t TaskFamily; // the family the running task started in (the game's own)

// pc[depth] of the active level (level 0 once the list has ended).
inline uint32_t& active_pc() {
    DisplayListStack& s = rdp_reg.stack;
    return s.pc[s.depth < 0 ? 0 : s.depth];
}

// Where the command after the current one starts: the active level's pc, or the cursor of a
// run in place. Commands longer than eight bytes advance it past their extra units.
inline uint32_t& command_cursor() { return rdp_reg.run_cursor ? *rdp_reg.run_cursor : active_pc(); }
