// The boot program's bytes (MIPS, big-endian), built from boot/boot.c into the ROM tool
#pragma once
#include <cstddef>
#include <cstdint>

extern const uint8_t kBootProgram[];
extern const size_t kBootProgramSize;
