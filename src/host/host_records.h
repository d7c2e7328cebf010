// The records exchanged with the host emulator
#pragma once
#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define VEXA_CALL __cdecl
#else
#define VEXA_CALL
#endif

// Passed by value to InitiateGFX: 31 consecutive pointer-sized fields but one 32-bit flag.
// On 32-bit targets it is 124 bytes; handles are HWNDs on Windows and X11 window ids on Linux.
struct HostGfxInfo {
    void* window;           // host render window, or null: the plug-in makes its own
    void* status_bar;       // host status bar window, or null
    int32_t member_flag;    // not read
    uint8_t* rom_header;    // first 64 bytes of the ROM, 32-bit words in host byte order
    uint8_t* rdram;         // 8 MB of RDRAM, 32-bit words in host byte order
    uint8_t* dmem;          // RSP data memory, 4 KB
    uint8_t* imem;          // RSP instruction memory, not used
    uint32_t* mi_interrupt; // MIPS-interface interrupt register, written by FULLSYNC
    uint32_t* vi_status;    // video-interface status; low two bits are the frame-buffer pixel size
    uint32_t* other_registers[21]; // the remaining RDP and VI registers, read only by captures
    void (*interrupt_check)();     // never called by the plug-in
};

static_assert(offsetof(HostGfxInfo, window) == 0, "HostGfxInfo layout");
static_assert(offsetof(HostGfxInfo, rom_header) == 3 * sizeof(void*), "HostGfxInfo layout");
static_assert(offsetof(HostGfxInfo, mi_interrupt) == 7 * sizeof(void*), "HostGfxInfo layout");
static_assert(offsetof(HostGfxInfo, vi_status) == 8 * sizeof(void*), "HostGfxInfo layout");
static_assert(offsetof(HostGfxInfo, interrupt_check) == 30 * sizeof(void*), "HostGfxInfo layout");
static_assert(sizeof(HostGfxInfo) == 31 * sizeof(void*), "HostGfxInfo layout");
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(HostGfxInfo) == 124, "HostGfxInfo is 124 bytes on 32-bit Windows");
static_assert(offsetof(HostGfxInfo, mi_interrupt) == 28, "HostGfxInfo layout");
static_assert(offsetof(HostGfxInfo, vi_status) == 32, "HostGfxInfo layout");
static_assert(offsetof(HostGfxInfo, interrupt_check) == 120, "HostGfxInfo layout");
#endif

// Filled by GetDllInfo; the host supplies the memory.
struct PluginInfo {
    uint16_t version;       // 0x0102
    uint16_t plugin_type;   // 2: graphics
    char name[100];         // zero-terminated
    int32_t plain_memory;   // 0
    int32_t swapped_memory; // 1: memories are 32-bit words in host byte order
};

static_assert(offsetof(PluginInfo, plugin_type) == 2, "PluginInfo layout");
static_assert(offsetof(PluginInfo, name) == 4, "PluginInfo layout");
static_assert(offsetof(PluginInfo, plain_memory) == 104, "PluginInfo layout");
static_assert(offsetof(PluginInfo, swapped_memory) == 108, "PluginInfo layout");
static_assert(sizeof(PluginInfo) == 112, "PluginInfo layout");
