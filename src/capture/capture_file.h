// Frame capture files (.vxc): one graphics task's console memories, for replay and reading
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Layout, every number a little-endian 32-bit word:
//   0  magic "VEXACAP" and 0x1A         8  format version        12 header bytes (payload start)
//  16  microcode family                20  display-list start    24  VI status register
//  28  the 21 other host registers    112  ROM header, 64 bytes as the host holds it
// 176  RDRAM bytes  180  DMEM bytes   184  payload bytes          188 zero
// 192  payload: RDRAM then DMEM in one zlib stream, both as the host holds them (32-bit words
//      in host byte order, which is little-endian on every host the plug-in is built for).
constexpr char kCaptureMagic[8]        = {'V', 'E', 'X', 'A', 'C', 'A', 'P', 0x1A};
constexpr uint32_t kCaptureVersion     = 1;
constexpr uint32_t kCaptureHeaderBytes = 192;
constexpr uint32_t kCaptureRdramBytes  = 0x800000;
constexpr uint32_t kCaptureDmemBytes   = 0x1000;
constexpr int kCaptureRegisters        = 21;

struct CaptureHeader {
    uint32_t version                      = kCaptureVersion;
    uint32_t family                       = 0; // the family the task started in, 0..8
    uint32_t dlist_start                  = 0; // the word at DMEM 0xFF0, unmasked
    uint32_t vi_status                    = 0;
    uint32_t registers[kCaptureRegisters] = {}; // the host's other registers, 0 where it gave none
    uint8_t rom_header[64]                = {};
};

struct Capture {
    CaptureHeader header;
    std::vector<uint8_t> rdram; // kCaptureRdramBytes
    std::vector<uint8_t> dmem;  // kCaptureDmemBytes
};

// Writes a capture of the given memories; false with a reason in *error.
bool write_capture(const std::string& path, const CaptureHeader& header, const uint8_t* rdram,
                   const uint8_t* dmem, std::string* error);

// Reads a capture from bytes or a file. Anything but a whole capture of this format version
// or an older one (truncated, corrupt, newer) gives false and a reason in *error.
bool parse_capture(const uint8_t* data, size_t size, Capture* capture, std::string* error);
bool load_capture(const std::string& path, Capture* capture, std::string* error);
