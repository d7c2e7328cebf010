// vexa-dis: prints the display list of a frame capture as the plug-in walks it
#include <cstdio>
#include <cstring>
#include <string>

#include "capture/capture_file.h"
#include "config/ucode_select.h"
#include "config/ucode_sum.h"
#include "config/ucode_text.h"
#include "disassembler.h"

static int usage() {
    std::fprintf(stderr, "usage: vexa-dis [--raw] FILE.vxc\n"
                         "Prints the captured task's display list, one command a line: address,\n"
                         "the two words, the command's name and fields (--raw: words only).\n");
    return 2;
}

int main(int argc, char** argv) {
    bool raw         = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--raw") == 0)
            raw = true;
        else if (!path && argv[i][0] != '-')
            path = argv[i];
        else
            return usage();
    }
    if (!path) return usage();

    static Capture capture; // 8 MB
    std::string error;
    if (!load_capture(path, &capture, &error)) {
        std::fprintf(stderr, "vexa-dis: %s\n", error.c_str());
        return 1;
    }
    const HeaderImage rom = header_image(capture.header.rom_header);
    std::printf("# %s: family %u, display list at %08X, ROM %s \"%s\"\n", path,
                capture.header.family, capture.header.dlist_start, rom_key(rom).c_str(),
                rom_name(rom).c_str());
    // What a plug-in without the family in its settings goes by: the code's sum, then the text.
    const UcodeIdentity id =
        identify_ucode(capture.dmem.data(), capture.rdram.data(), kCaptureRdramBytes);
    if (id.summed)
        std::printf("# microcode at %08X: code sum %08X, %s", id.code, id.sum,
                    id.sum_family >= 0 ? ("family " + std::to_string(id.sum_family)).c_str()
                                       : "not a known microcode's");
    else
        std::printf("# microcode at %08X: no code sum (not %u bytes of RDRAM)", id.code,
                    kUcodeSumBytes);
    if (id.text.empty())
        std::printf("; no microcode text at %08X\n", id.address);
    else
        std::printf("; text \"%s\", %s\n", id.text.c_str(),
                    id.text_family >= 0 ? ("family " + std::to_string(id.text_family)).c_str()
                                        : "no family");
    std::fputs(
        disassemble(capture.rdram.data(), capture.header.family, capture.header.dlist_start, raw)
            .c_str(),
        stdout);
    return 0;
}
