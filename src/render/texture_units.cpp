// The texture units a draw may combine, chosen when the context is made
#include "render/texture_units.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

#ifndef GL_TEXTURE0
#define GL_TEXTURE0 0x84C0 // OpenGL 1.3; the Windows headers stop at 1.1
#endif
#ifndef GL_MAX_TEXTURE_UNITS
#define GL_MAX_TEXTURE_UNITS 0x84E2
#endif

int texture_units = 1;

// Called as OpenGL calls its functions (__stdcall on 32-bit Windows).
using SelectUnit = void(APIENTRY*)(GLenum unit);
static SelectUnit active_texture;
static SelectUnit client_active_texture;

static bool has_extension(const char* extensions, const char* name) {
    const size_t n = std::strlen(name);
    for (const char* p = extensions; p && (p = std::strstr(p, name)) != nullptr; p += n) {
        const bool starts = p == extensions || p[-1] == ' ';
        if (starts && (p[n] == ' ' || p[n] == '\0')) return true;
    }
    return false;
}

static bool version_at_least_1_3(const char* version) {
    int major = 0, minor = 0;
    if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2) return false;
    return major > 1 || (major == 1 && minor >= 3);
}

int combine_units_for(const char* version, const char* extensions, int max_units) {
    const bool combine =
        version_at_least_1_3(version) || (has_extension(extensions, "GL_ARB_multitexture") &&
                                          has_extension(extensions, "GL_ARB_texture_env_combine"));
    if (!combine || max_units < 2) return 1;
    return max_units < kMaxCombineUnits ? max_units : kMaxCombineUnits;
}

void choose_texture_units() {
    texture_units   = 1;
    const auto text = [](GLenum name) { return reinterpret_cast<const char*>(glGetString(name)); };
    const char* ver = text(GL_VERSION);
    GLint max_units = 1;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &max_units);
    const int units = combine_units_for(ver, text(GL_EXTENSIONS), max_units);
    // The core names from 1.3 on, the extension's before.
    const bool core = version_at_least_1_3(ver);
    active_texture  = reinterpret_cast<SelectUnit>(
        platform_gl_function(core ? "glActiveTexture" : "glActiveTextureARB"));
    client_active_texture = reinterpret_cast<SelectUnit>(
        platform_gl_function(core ? "glClientActiveTexture" : "glClientActiveTextureARB"));
    if (units > 1 && active_texture && client_active_texture) texture_units = units;
}

void select_texture_unit(int unit) {
    if (texture_units < 2) return;
    active_texture(GL_TEXTURE0 + unit);
    client_active_texture(GL_TEXTURE0 + unit);
}
