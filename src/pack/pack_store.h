// Replacement packs of the running game: the index of a pack's files, their images decoded on
// first use and dropped least recently used first, and the dumps of the textures the game makes
#pragma once
#include <cstdint>
#include <string>

#include "pack/pack_image.h"
#include "pack/pack_names.h"

// Memory the decoded replacements may take together (a 32-bit process has 2 GB in all).
constexpr uint64_t kPackImageBudget = 256u << 20;

// Opens the game `rom`'s pack in `<pack_root>/<rom>/` (with all its sub-folders) when `load`,
// and dumps into `<dump_root>/<rom>/` when `dump`; what was open before is closed.
void pack_open(const std::string& rom, const std::string& pack_root, const std::string& dump_root,
               bool load, bool dump);
void pack_close();

bool pack_loading(); // a pack is open and holds files
bool pack_dumping();

// The replacement of a texture, or null. A file that cannot be read gives one message and is
// not tried again.
const PackImage* pack_find(const PackKey& key);
// Writes the texture (width x height RGBA texels) as a pack file, once per key.
void pack_dump(const PackKey& key, const uint8_t* rgba, uint32_t width, uint32_t height);

// Files indexed and images decoded now, for the log and the tests.
struct PackCounts {
    uint32_t files;
    uint32_t decoded;
    uint64_t decoded_bytes;
    uint32_t dumped;
};
PackCounts pack_counts();

// Adds one file name to the open index as if found in the folder (the benchmark's and the
// fuzzer's way in); returns what the name was.
PackNameCheck pack_index_name(const std::string& path);
