// What the GL-backed fuzz targets link in: a gluScaleImage that checks the two pixel buffers
// instead of filtering them, and their AddressSanitizer defaults
#include <GL/glu.h>
#include <sanitizer/asan_interface.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// libGLU is not built with AddressSanitizer, so a read or write of its past the end of the
// plug-in's buffers goes unseen, and its box filter over images of up to 1,048,576 texels took
// two thirds of every interpreter execution. What the fuzzers test is the plug-in's side of
// the call: that both buffers hold every pixel the call names. The scaled pixels stay as they
// were: the fuzzers look for memory errors and hangs, not pictures.
static void check_pixels(const char* which, const void* data, GLsizei width, GLsizei height) {
    const uint64_t bytes = uint64_t(width) * uint64_t(height) * 4;
    if (const void* bad = __asan_region_is_poisoned(const_cast<void*>(data), bytes)) {
        std::fprintf(stderr, "gluScaleImage: %s image of %d x %d reaches %p, outside its buffer\n",
                     which, width, height, bad);
        std::abort();
    }
}

extern "C" GLint GLAPIENTRY gluScaleImage(GLenum format, GLsizei wIn, GLsizei hIn, GLenum typeIn,
                                          const void* dataIn, GLsizei wOut, GLsizei hOut,
                                          GLenum typeOut, GLvoid* dataOut) {
    if (format != GL_RGBA || typeIn != GL_UNSIGNED_BYTE || typeOut != GL_UNSIGNED_BYTE)
        return GLU_INVALID_ENUM;
    if (wIn < 0 || hIn < 0 || wOut < 0 || hOut < 0) return GLU_INVALID_VALUE;
    check_pixels("source", dataIn, wIn, hIn);
    check_pixels("scaled", dataOut, wOut, hOut);
    return 0;
}

// The plug-in allocates nothing on the heap: the quarantine of freed memory only held back
// Mesa's texture and vertex buffers, which AddressSanitizer then mapped and faulted in afresh,
// and their allocation stacks end in Mesa's frames anyway. Bounds checks are untouched.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=0:malloc_context_size=0:max_malloc_fill_size=0";
}
