// The combiner's cycles as a chain of texture units in the combine environment: each unit
// samples one tile's texture and combines it with the unit before, the vertex colour and a
// constant colour, for the colour and the alpha apart
#pragma once
#include <cstdint>

#include "render/combiner_formula.h"
#include "render/texture_units.h"

enum class UnitOp : uint8_t { replace, modulate, add, interpolate };

// Where an argument of a unit's function comes from.
enum class UnitSource : uint8_t { texture, previous, primary, constant };

struct UnitArg {
    UnitSource source;
    bool alpha; // the source's alpha rather than its colour
};

// What one channel (the colour or the alpha) does in a unit: op over arg[0..2]
// (interpolate: arg0 x arg2 + arg1 x (1 - arg2)).
struct UnitStep {
    UnitOp op;
    UnitArg arg[3];
    int8_t tile;    // the tile whose texture an argument samples; -1 none
    bool scaled;    // that texture's channel is baked times `constant` (an added product)
    Input constant; // what the constant argument, or the scale, stands for (in_other: none)
};

struct UnitStage {
    int8_t tile; // the tile whose texture the unit samples, 0 or 1
    bool scaled; // its texels baked times the stage's constants
    UnitStep color, alpha;
};

struct UnitProgram {
    int stages;
    UnitStage stage[kMaxCombineUnits];
    Input primary_color; // what the vertex colour's RGB carries
    Input primary_alpha; // and its alpha
};

// Whether the combiner names TEXEL1 (or its alpha) in a cycle it runs. Where it does not, a
// second cycle's TEXEL0, which on the console samples the next tile, is read as tile 0's
// texel: games that set one mode for both cycles need not have set tile 1 up.
bool reads_second_texture(uint32_t cycle_type, uint32_t mux_key0, uint32_t mux_key1);

// The chain of at most `units` units that computes the combiner's colour and alpha; false when
// the formula needs more units or a shape a unit cannot compute, with the reason in *why.
bool build_unit_program(uint32_t cycle_type, uint32_t mux_key0, uint32_t mux_key1, int units,
                        UnitProgram& program, const char** why = nullptr);

// Sets up the program's units: each unit's tile texture bound (its texels scaled where a step
// adds them times a constant), its coordinates (tile 0's or tile 1's array) and its combine
// functions and constant; unit 0 is active afterwards. A unit whose functions name no texture
// runs on the texture of the unit before it: it needs one bound to run at all, and llvmpipe
// samples only the textures a function names.
void begin_unit_program(const UnitProgram& program, const float* texcoords0,
                        const float* texcoords1);
// Turns the units after the first off again and gives unit 0 back its modulation and tile 0's
// coordinates.
void end_unit_program(const UnitProgram& program, const float* texcoords0);
