// The sums of known microcodes' code and the families they are drawn with
//
// The sums and numbers are the [UCODE] section of Glide64mk2.ini as Debian's package
// mupen64plus-video-glide64mk2 (2.5.9+27+ga07050d-1) installs it in /usr/share/games/mupen64plus/,
// every entry copied as it stands: that plug-in sums a microcode's code the same way, and its
// number is its own name for the microcode. The file's comment names the numbers 0 to 8 by a
// microcode and an example game; numbers it does not name (9, 10, 21) and -1 ("unknown") give no
// family. Entries are sorted by sum.
#include "config/ucode_sum.h"

const KnownUcodeSum kKnownUcodeSums[] = {
    {0x006BD77F, 0},  {0x03044B84, 2},  {0x030F4B84, 2},  {0x05165579, 1},  {0x05777C62, 1},
    {0x057E7C62, 1},  {0x07200895, 0},  {0x0BF36D36, 9},  {0x0D7BBFFB, -1}, {0x0D7CBFFB, 5},
    {0x0FF79527, 2},  {0x0FF795BF, -1}, {0x1118B3E0, 1},  {0x1517A281, 1},  {0x168E9CD5, 2},
    {0x1A1E18A0, 2},  {0x1A1E1920, 2},  {0x1A62DBAF, 2},  {0x1A62DC2F, 2},  {0x1DE712FF, 1},
    {0x1EA9E30F, 6},  {0x1F120BBB, 21}, {0x21F91834, 2},  {0x21F91874, 2},  {0x22099872, 10},
    {0x24CD885B, 1},  {0x26A7879A, 1},  {0x299D5072, 6},  {0x2B291027, 2},  {0x2B5A89C2, 6},
    {0x2C7975D6, 1},  {0x2D3FE3F1, 1},  {0x2F71D1D5, 2},  {0x2F7DD1D5, 2},  {0x327B933D, 1},
    {0x339872A6, 1},  {0x377359B6, 2},  {0x3A1C2B34, 0},  {0x3A1CBAC3, 0},  {0x3F7247FB, 0},
    {0x3FF1A4CA, 1},  {0x4165E1FD, 0},  {0x4340AC9B, 1},  {0x440CFAD6, 1},  {0x47D46E86, 7},
    {0x485ABFF2, 2},  {0x4FE6DF78, 1},  {0x5182F610, 0},  {0x5257CD2A, 1},  {0x5414030C, 1},
    {0x5414030D, 1},  {0x559FF7D4, 1},  {0x5B5D36E3, 4},  {0x5B5D3763, 3},  {0x5D1D6F53, 0},
    {0x5D3099F1, 2},  {0x5DF1408C, 1},  {0x5EF4E34A, 1},  {0x6075E9EB, 1},  {0x60C1DCC4, 1},
    {0x6124A508, 2},  {0x630A61FB, 2},  {0x63BE08B1, 5},  {0x63BE08B3, 5},  {0x64ED27E5, 1},
    {0x65201989, 2},  {0x65201A09, 2},  {0x66C0B10A, 1},  {0x679E1205, 2},  {0x6BB745C9, 6},
    {0x6D8F8F8A, 2},  {0x6E4D50AF, 0},  {0x6EAA1DA8, 1},  {0x72A4F34E, 1},  {0x73999A23, 1},
    {0x74AF0A74, 6},  {0x753BE4A5, 2},  {0x794C3E28, 6},  {0x7DF75834, 1},  {0x7F2D0A2E, 1},
    {0x82F48073, 1},  {0x832FCB99, 1},  {0x841CE10F, 1},  {0x844B55B5, -1}, {0x863E1CA7, 1},
    {0x86B1593E, -1}, {0x8805FFEA, 1},  {0x8D5735B2, 1},  {0x8D5735B3, 1},  {0x8EC3E124, -1},
    {0x93D11F7B, 2},  {0x93D11FFB, 2},  {0x93D1FF7B, 2},  {0x9551177B, 2},  {0x955117FB, 2},
    {0x95CD0062, 2},  {0x97D1B58A, 1},  {0xA2D0F88E, 2},  {0xA346A5CC, 1},  {0xAA86CB1D, 2},
    {0xAAE4A5B9, 2},  {0xAD0A6292, 2},  {0xAD0A6312, 2},  {0xAE08D5B9, 0},  {0xB1821ED3, 1},
    {0xB4577B9C, 1},  {0xB54E7F93, 0},  {0xB62F900F, 2},  {0xBA65EA1E, 2},  {0xBA86CB1D, 8},
    {0xBC03E969, 0},  {0xBC45382E, 2},  {0xBE78677C, 1},  {0xBED8B069, 1},  {0xC3704E41, 1},
    {0xC46DBC3D, 1},  {0xC901CE73, 2},  {0xC901CEF3, 2},  {0xC99A4C6C, 1},  {0xCB8C9B6C, 2},
    {0xCEE7920F, 1},  {0xCFA35A45, 2},  {0xD1663234, 1},  {0xD20DEDBF, 6},  {0xD2A9F59C, 1},
    {0xD41DB5F7, 1},  {0xD5604971, 0},  {0xD57049A5, 1},  {0xD5C4DC96, -1}, {0xD5D68B1F, 0},
    {0xD67C2F8B, 0},  {0xD802EC04, 1},  {0xDA13AB96, 2},  {0xDE7D67D4, 2},  {0xE1290FA2, 2},
    {0xE41EC47E, 0},  {0xE65CB4AD, 2},  {0xE89C2B92, 1},  {0xE9231DF2, 1},  {0xEC040469, 1},
    {0xEE47381B, 1},  {0xEF54EE35, 1},  {0xF9893F70, 21}, {0xFB816260, 1},  {0xFF372492, 21},
};
const uint32_t kKnownUcodeSumCount = sizeof kKnownUcodeSums / sizeof kKnownUcodeSums[0];

// The file's numbers 0 to 8 by its names for them, and our family for each: the one made for the
// same microcode or example game (and what it decodes), -1 where none is. 4 and 8 are numbered
// apart from 0 and 2 there: microcodes of their own, which no family of ours is made for.
constexpr int32_t kFamilyOfNumber[] = {
    0,  // "RSP SW 2.0X (Super Mario 64)": 16-byte vertices, indices times 10
    1,  // "F3DEX 1.XX (Star Fox 64)": indices times 2, TRI2 at 0xB1
    4,  // "F3DEX 2.XX (The Legend of Zelda: Ocarina of Time)": the 2.x numbering
    2,  // "F3DEX ? (WaveRace)": the Wave Race family, indices times 5
    -1, // "RSP SW 2.0D EXT (Star Wars: Shadows of the Empire)"
    6,  // "RSP SW 2.0 (Diddy Kong Racing)": 10-byte vertices, triangles by DMA
    7,  // "S2DEX 1.XX (Yoshi's Story - SimCity 2000)": the 2-D microcode 1.x
    5,  // "RSP SW PD (Perfect Dark)": 12-byte vertices, a texture-coordinate table
    -1, // "F3DEXBG 2.08 (Conker's Bad Fur Day)"
};

int32_t family_of_ucode_number(int32_t number) {
    const int32_t count = sizeof kFamilyOfNumber / sizeof kFamilyOfNumber[0];
    return number >= 0 && number < count ? kFamilyOfNumber[number] : -1;
}
