// The texture units a draw may combine: OpenGL 1.3, or ARB_multitexture with
// ARB_texture_env_combine, chosen when the context is made
#pragma once
#include <cstdint>

// Units the draw may use: 1 where the context offers no combine environment on several units
// (the draw then samples one texture, as OpenGL 1.1 does).
extern int texture_units;

// The units for a context's GL_VERSION, GL_EXTENSIONS and GL_MAX_TEXTURE_UNITS: its units
// (at most kMaxCombineUnits) from OpenGL 1.3 on or with both extensions, else 1.
constexpr int kMaxCombineUnits = 4;
int combine_units_for(const char* version, const char* extensions, int max_units);

// Takes the units and the unit-selecting functions from the current context.
void choose_texture_units();

// Selects the unit that texture calls and the texture-coordinate array apply to (unit 0 where
// there is only one).
void select_texture_unit(int unit);
