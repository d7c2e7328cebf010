// Multisampled pixel formats through WGL_ARB_pixel_format and WGL_ARB_multisample
#pragma once
#include <windows.h>

// A format of `device` with at least `samples` samples per pixel and what `pfd` asks; 0 when
// the driver offers no such format or lacks either extension.
int choose_multisampled_format(HDC device, const PIXELFORMATDESCRIPTOR& pfd, int samples);
