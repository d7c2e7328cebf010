// The emulated console's memories and registers that a host hands to the plug-in
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host/host_records.h"

struct Console {
    static constexpr uint32_t kRdramSize = 0x800000;

    std::vector<uint8_t> rdram = std::vector<uint8_t>(kRdramSize); // 32-bit words, host order
    std::vector<uint8_t> dmem  = std::vector<uint8_t>(0x1000);
    std::vector<uint8_t> imem  = std::vector<uint8_t>(0x1000);
    uint8_t rom_header[64]{}; // 32-bit words, host order
    uint32_t mi_interrupt = 0;
    uint32_t vi_status    = 2; // a 16-bit frame buffer
    uint32_t other_registers[21]{};

    // Console addresses: words whole, half-words at a XOR 2, bytes at a XOR 3.
    void write_u32(uint32_t address, uint32_t value);
    void write_u16(uint32_t address, uint16_t value);
    void write_u8(uint32_t address, uint8_t value);
    uint32_t read_u32(uint32_t address) const;

    // A header whose checksum bytes, country byte and name give the INI section and name.
    void set_rom_header(uint32_t crc1, uint32_t crc2, uint8_t country, const std::string& name);

    // The display list of the next task, where the RSP's boot code leaves it.
    void set_task(uint32_t dlist_address);

    HostGfxInfo gfx_info(void* window);
};
