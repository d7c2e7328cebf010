// One fuzz input through the texture pack reader: a file name, or a file's bytes
#pragma once
#include <string>

#include "pack/pack_image.h"
#include "pack/pack_names.h"

// An input starting with 'N' is a file name (the rest); any other is an image file. A name
// read as a pack name must come back from the name a dump of its key gets; an image decoded
// must hold its texels and stay inside the size limits. False when a property breaks.
inline bool run_pack_input(const uint8_t* data, size_t size) {
    const std::string rom = "VEXA CAPTURE REPLAY";
    if (size > 0 && data[0] == 'N') {
        const std::string name(reinterpret_cast<const char*>(data) + 1, size - 1);
        PackName n;
        if (parse_pack_name(name, rom, &n) != PackNameCheck::ok) return true;
        if (n.form != PackForm::all && n.form != PackForm::ci_by_rgba) return true;
        PackName again;
        return parse_pack_name(pack_dump_name(rom, n.key), rom, &again) == PackNameCheck::ok &&
               again.key == n.key && again.form == n.form;
    }
    PackImage image;
    std::string why;
    if (!pack_decode_image(data, size, &image, &why)) return !why.empty();
    return image.width >= 1 && image.height >= 1 && image.width <= kPackMaxSide &&
           image.height <= kPackMaxSide &&
           image.rgba.size() == size_t(image.width) * image.height * 4;
}
