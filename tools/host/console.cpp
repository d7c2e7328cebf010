// The emulated console's memories and registers that a host hands to the plug-in
#include "console.h"

#include <cstring>

void Console::write_u32(uint32_t address, uint32_t value) {
    std::memcpy(&rdram[address & (kRdramSize - 4)], &value, 4);
}

void Console::write_u16(uint32_t address, uint16_t value) {
    std::memcpy(&rdram[(address ^ 2) & (kRdramSize - 2)], &value, 2);
}

void Console::write_u8(uint32_t address, uint8_t value) {
    rdram[(address ^ 3) & (kRdramSize - 1)] = value;
}

uint32_t Console::read_u32(uint32_t address) const {
    uint32_t v;
    std::memcpy(&v, &rdram[address & (kRdramSize - 4)], 4);
    return v;
}

// Header bytes in cartridge order: the checksums at 0x10 and 0x14 big-endian, the name at
// 0x20, the country code at 0x3E. The host keeps them as host-order words (byte i at i ^ 3).
void Console::set_rom_header(uint32_t crc1, uint32_t crc2, uint8_t country,
                             const std::string& name) {
    uint8_t image[64]{};
    image[0] = 0x80;
    image[1] = 0x37;
    image[2] = 0x12;
    image[3] = 0x40;
    for (int i = 0; i < 4; ++i) {
        image[0x10 + i] = static_cast<uint8_t>(crc1 >> (24 - 8 * i));
        image[0x14 + i] = static_cast<uint8_t>(crc2 >> (24 - 8 * i));
    }
    for (size_t i = 0; i < name.size() && i < 20; ++i)
        image[0x20 + i] = static_cast<uint8_t>(name[i]);
    image[0x3E] = country;
    for (int i = 0; i < 64; ++i)
        rom_header[i ^ 3] = image[i];
}

void Console::set_task(uint32_t dlist_address) { std::memcpy(&dmem[0xFF0], &dlist_address, 4); }

HostGfxInfo Console::gfx_info(void* window) {
    HostGfxInfo info{};
    info.window       = window;
    info.rom_header   = rom_header;
    info.rdram        = rdram.data();
    info.dmem         = dmem.data();
    info.imem         = imem.data();
    info.mi_interrupt = &mi_interrupt;
    info.vi_status    = &vi_status;
    for (int i = 0; i < 21; ++i)
        info.other_registers[i] = &other_registers[i];
    return info;
}
