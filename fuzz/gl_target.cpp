// What the GL-backed fuzz targets link in: a gluScaleImage, a texture upload and a draw that
// check the plug-in's buffers and leave OpenGL little work, and their AddressSanitizer defaults
#include <GL/glu.h>
#include <dlfcn.h>
#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Reports a call whose buffer does not hold every byte the call names, and stops.
static void check_region(const char* call, const void* data, uint64_t bytes, const char* what) {
    if (const void* bad = __asan_region_is_poisoned(const_cast<void*>(data), bytes)) {
        std::fprintf(stderr, "%s: %s of %llu bytes at %p reaches %p, outside its buffer\n", call,
                     what, static_cast<unsigned long long>(bytes), data, bad);
        std::abort();
    }
}

static uint64_t rgba_bytes(GLsizei width, GLsizei height) {
    return uint64_t(width) * uint64_t(height) * 4;
}

// libGLU is not built with AddressSanitizer, so a read or write of its past the end of the
// plug-in's buffers goes unseen, and its box filter over images of up to 1,048,576 texels took
// two thirds of every interpreter execution. What the fuzzers test is the plug-in's side of
// the call: that both buffers hold every pixel the call names. The scaled pixels stay as they
// were: the fuzzers look for memory errors and hangs, not pictures.
extern "C" GLint GLAPIENTRY gluScaleImage(GLenum format, GLsizei wIn, GLsizei hIn, GLenum typeIn,
                                          const void* dataIn, GLsizei wOut, GLsizei hOut,
                                          GLenum typeOut, GLvoid* dataOut) {
    if (format != GL_RGBA || typeIn != GL_UNSIGNED_BYTE || typeOut != GL_UNSIGNED_BYTE)
        return GLU_INVALID_ENUM;
    if (wIn < 0 || hIn < 0 || wOut < 0 || hOut < 0) return GLU_INVALID_VALUE;
    check_region("gluScaleImage", dataIn, rgba_bytes(wIn, hIn), "source image");
    check_region("gluScaleImage", dataOut, rgba_bytes(wOut, hOut), "scaled image");
    return 0;
}

// Mesa is not built with AddressSanitizer either, and what it spends per texel and per
// vertex is its own work, not the plug-in's. The upload checks that the plug-in's buffer
// holds every pixel it names, then gives OpenGL at most the image's first 8 x 8 pixels (the
// row length set to the image's width, so they are its own): a texture of a million texels
// costs Mesa no more than a small one.
using TexImage2D = void(GLAPIENTRY*)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum,
                                     const void*);

extern "C" void GLAPIENTRY glTexImage2D(GLenum target, GLint level, GLint internal_format,
                                        GLsizei width, GLsizei height, GLint border, GLenum format,
                                        GLenum type, const void* pixels) {
    static const auto real = reinterpret_cast<TexImage2D>(dlsym(RTLD_NEXT, "glTexImage2D"));
    if (format != GL_RGBA || type != GL_UNSIGNED_BYTE || width < 0 || height < 0) {
        std::fprintf(stderr, "glTexImage2D: %d x %d, format %#x, type %#x\n", width, height, format,
                     type);
        std::abort();
    }
    if (pixels) check_region("glTexImage2D", pixels, rgba_bytes(width, height), "image");
    constexpr GLsizei kSide = 8;
    glPixelStorei(GL_UNPACK_ROW_LENGTH, width);
    real(target, level, internal_format, std::min(width, kSide), std::min(height, kSide), border,
         format, type, pixels);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

// The draw checks that every enabled client array holds the vertices it names, then gives
// OpenGL the first triangle only: a batch of 344 vertices costs Mesa's vertex pipeline and
// rasteriser no more than one triangle.
struct ClientArray {
    GLenum array, pointer, size, type, stride;
    GLint fixed_size; // components of an array whose size cannot be set (normals)
};

constexpr ClientArray kClientArrays[] = {
    {GL_VERTEX_ARRAY, GL_VERTEX_ARRAY_POINTER, GL_VERTEX_ARRAY_SIZE, GL_VERTEX_ARRAY_TYPE,
     GL_VERTEX_ARRAY_STRIDE, 0},
    {GL_COLOR_ARRAY, GL_COLOR_ARRAY_POINTER, GL_COLOR_ARRAY_SIZE, GL_COLOR_ARRAY_TYPE,
     GL_COLOR_ARRAY_STRIDE, 0},
    {GL_NORMAL_ARRAY, GL_NORMAL_ARRAY_POINTER, 0, GL_NORMAL_ARRAY_TYPE, GL_NORMAL_ARRAY_STRIDE, 3},
    {GL_TEXTURE_COORD_ARRAY, GL_TEXTURE_COORD_ARRAY_POINTER, GL_TEXTURE_COORD_ARRAY_SIZE,
     GL_TEXTURE_COORD_ARRAY_TYPE, GL_TEXTURE_COORD_ARRAY_STRIDE, 0},
};

static void check_client_array(const ClientArray& a, GLint first, GLsizei count) {
    if (!glIsEnabled(a.array) || count <= 0) return;
    void* data = nullptr;
    glGetPointerv(a.pointer, &data);
    GLint size = a.fixed_size, type = 0, stride = 0;
    if (a.size) glGetIntegerv(a.size, &size);
    glGetIntegerv(a.type, &type);
    glGetIntegerv(a.stride, &stride);
    if (type != GL_FLOAT) {
        std::fprintf(stderr, "glDrawArrays: array %#x of type %#x\n", a.array, type);
        std::abort();
    }
    const uint64_t element = uint64_t(size) * sizeof(GLfloat);
    const uint64_t step    = stride ? uint64_t(stride) : element;
    check_region("glDrawArrays", data, (uint64_t(first) + uint64_t(count) - 1) * step + element,
                 "client array");
}

using DrawArrays = void(GLAPIENTRY*)(GLenum, GLint, GLsizei);

extern "C" void GLAPIENTRY glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    static const auto real = reinterpret_cast<DrawArrays>(dlsym(RTLD_NEXT, "glDrawArrays"));
    if (first < 0) std::abort();
    for (const ClientArray& a : kClientArrays)
        check_client_array(a, first, count);
    real(mode, first, std::min(count, 3));
}

// The plug-in allocates nothing on the heap: the quarantine of freed memory only held back
// Mesa's texture and vertex buffers, which AddressSanitizer then mapped and faulted in afresh,
// and their allocation stacks end in Mesa's frames anyway. Bounds checks are untouched.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=0:malloc_context_size=0:max_malloc_fill_size=0";
}
