// The microcode family from the microcode's own identification text and the sum of its code, for
// hosts without a dialog
#pragma once
#include <cstdint>
#include <string>

// The graphics task's header at the end of DMEM: where the microcode's data lies in RDRAM.
constexpr uint32_t kTaskUcodeData     = 0xFD8; // RDRAM address of the microcode's data
constexpr uint32_t kTaskUcodeDataSize = 0xFDC; // its size in bytes

// Longest identification text kept; the microcodes' own are about 60 characters.
constexpr size_t kUcodeTextMax = 96;

struct UcodeIdentity {
    uint32_t code;       // ucode of the task
    bool summed;         // its code lies in RDRAM
    uint32_t sum;        // the sum of its code, when summed
    int32_t sum_family;  // 0..8, or -1 when the table of known sums gives none
    uint32_t address;    // ucode_data of the task
    uint32_t size;       // ucode_data_size of the task
    std::string text;    // the identification text found there, empty when none
    int32_t text_family; // 0..8, or -1 when the text names no family (or there is none)
    int32_t family;      // the sum's family, else the text's: a text can be shared
};

// Searches `size` bytes of RDRAM from `address` (masked to 23 bits, never read past
// `rdram_size`) for an identification text; bytes are in console order (a byte at a XOR 3).
std::string find_ucode_text(const uint8_t* rdram, uint32_t rdram_size, uint32_t address,
                            uint32_t size);

// "RSP SW Version: 2.0..." is family 0; "RSP Gfx ucode <name> ... <major>.<minor>..." is
// family 1 or 4 (S2DEX: 7 or 8) by the name and its major version; anything else is -1.
int32_t family_of_ucode_text(const std::string& text);

// The sum, text and family of the task whose header is in `dmem`.
UcodeIdentity identify_ucode(const uint8_t* dmem, const uint8_t* rdram, uint32_t rdram_size);
