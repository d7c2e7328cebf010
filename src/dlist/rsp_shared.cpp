// Geometry commands whose decoding several microcode families share
#include "dlist/rsp_shared.h"

#include "dlist/ucode0_fields.h"
#include "geometry/vertex.h"
#include "geometry/viewport.h"
#include "state/bits.h"
#include "state/rdp_reg.h"
#include "state/rdram.h"
#include "texture/tile_commands.h"

// The later families keep family 0's fields for these commands.
using namespace uc0_fields;

// The float nearest to 1/(32 x 65535) (bits 0x35000080): the TEXTURE scale as a fraction of
// one texel step.
constexpr float kTextureScale = 1.0f / (32.0f * 65535.0f);

void rsp_texture() {
    const uint32_t t     = texture_tile(rdp_reg.cmd0);
    TileDescriptor& tile = rdp_reg.tiles[t];
    tile.texture_on      = static_cast<uint8_t>(texture_on(rdp_reg.cmd0));
    tile.scale_s         = static_cast<float>(texture_scale_s(rdp_reg.cmd1)) * kTextureScale;
    tile.scale_t         = static_cast<float>(texture_scale_t(rdp_reg.cmd1)) * kTextureScale;
    if (t == 0) refresh_draw_factors();
}

void moveword_lightcol(uint32_t cmd0, uint32_t cmd1) {
    set_light_color(lightcol_light(cmd0), !lightcol_main(cmd0), cmd1);
}

void moveword_fog(uint32_t offset, uint32_t cmd1) {
    if (offset == 0) rdp_reg.fog_factors = cmd1;
}

void load_viewport(uint32_t a) {
    for (uint32_t i = 0; i < 4; ++i) {
        rdp_reg.viewport_scale[i] = static_cast<float>(sext16(read_rdram_u16(a + 2 * i))) * 0.25f;
        rdp_reg.viewport_trans[i] =
            static_cast<float>(sext16(read_rdram_u16(a + 8 + 2 * i))) * 0.25f;
    }
    apply_viewport();
}
