// The nine rows of 256 command handlers, one row per microcode family
#include "dlist/command_table.h"

#include <initializer_list>

#include "rdp/rdp_commands.h"
#include "rdp/rectangles.h"
#include "render/combiner.h"
#include "texture/tile_commands.h"

CommandHandler CommandTable[kUcodeFamilies][256];
bool KeepsBatch[kUcodeFamilies][256];

void do_nothing() {}

void install_commands(CommandHandler* row, const CommandEntry* entries, int count) {
    for (int i = 0; i < count; ++i)
        row[entries[i].opcode] = entries[i].handler;
}

// The RDP commands sit at the same bytes in every row.
static const CommandEntry kRdpCommands[] = {
    {0xC0, rdp_noop},
    {0xC8, rdp_tri_fill},
    {0xC9, rdp_tri_fill_z},
    {0xCA, rdp_tri_txtr},
    {0xCB, rdp_tri_txtr_z},
    {0xCC, rdp_tri_shade},
    {0xCD, rdp_tri_shade_z},
    {0xCE, rdp_tri_shade_txtr},
    {0xCF, rdp_tri_shade_txtr_z},
    {0xE4, rdp_tex_rect},
    {0xE5, rdp_tex_rect_flip},
    {0xE6, rdp_load_sync},
    {0xE7, rdp_pipe_sync},
    {0xE8, rdp_tile_sync},
    {0xE9, rdp_full_sync},
    {0xEA, rdp_set_key_g},
    {0xEB, rdp_set_key_r},
    {0xEC, rdp_set_convert},
    {0xED, rdp_set_scissor},
    {0xEE, rdp_set_prim_depth},
    {0xEF, rdp_set_other_mode},
    {0xF0, rdp_load_tlut},
    {0xF2, rdp_set_tile_size},
    {0xF3, rdp_load_block},
    {0xF4, rdp_load_tile},
    {0xF5, rdp_set_tile},
    {0xF6, rdp_fill_rect},
    {0xF7, rdp_set_fill_color},
    {0xF8, rdp_set_fog_color},
    {0xF9, rdp_set_blend_color},
    {0xFA, rdp_set_prim_color},
    {0xFB, rdp_set_env_color},
    {0xFC, rdp_set_combine},
    {0xFD, rdp_set_texture_image},
    {0xFE, rdp_set_depth_image},
    {0xFF, rdp_set_color_image},
};

// RSP_RESERVED0 to 3; families 4, 7 and 8 keep only byte 0 shared, family 6 uses 0x05 and
// 0x07 itself.
static const CommandEntry kReservedCommands[] = {
    {0x02, rsp_reserved0}, {0x05, rsp_reserved1}, {0x07, rsp_reserved2}, {0x08, rsp_reserved3}};
static const CommandEntry kReservedFamily6[] = {{0x02, rsp_reserved0}, {0x08, rsp_reserved3}};

static void (*const kInstallFamily[kUcodeFamilies])(CommandHandler*) = {
    install_ucode0, install_ucode1, install_ucode2, install_ucode3, install_ucode4,
    install_ucode5, install_ucode6, install_ucode7, install_ucode8};

// Triangle commands that keep the batch growing instead of flushing it.
static void mark_batch_keepers() {
    for (int family = 0; family <= 3; ++family)
        for (uint8_t op : {0xB1, 0xB5, 0xBF})
            KeepsBatch[family][op] = true;
    for (uint8_t op : {0x05, 0x06, 0x07})
        KeepsBatch[4][op] = true;
}

static bool build_command_table() {
    for (int family = 0; family < kUcodeFamilies; ++family) {
        CommandHandler* row = CommandTable[family];
        for (int op = 0; op < 256; ++op)
            row[op] = do_nothing;
        if (family == 6)
            install_commands(row, kReservedFamily6);
        else if (family < 4 || family == 5)
            install_commands(row, kReservedCommands);
        install_commands(row, kRdpCommands);
        kInstallFamily[family](row);
    }
    mark_batch_keepers();
    return true;
}

static const bool table_built = build_command_table();
