// One fuzz input through the capture reader and, when it reads, the disassembler's walk
#pragma once
#include <cstdint>
#include <string>

#include "capture/capture_file.h"
#include "disassembler.h"
#include "dlist/interpreter.h"
#include "state/rdp_reg.h"

// False when the reader accepted an input it must refuse: a capture that reads has both
// memories whole and a family the plug-in has a row for.
inline bool run_capture_input(const uint8_t* data, size_t size) {
    static Capture capture; // 8 MB
    std::string error;
    if (!parse_capture(data, size, &capture, &error)) return !error.empty();
    if (capture.rdram.size() != kCaptureRdramBytes || capture.dmem.size() != kCaptureDmemBytes ||
        capture.header.family >= static_cast<uint32_t>(kUcodeFamilies))
        return false;
    // A short walk: the reader is what is fuzzed, the walk must only stay sound on what it read.
    const uint32_t budget = command_budget;
    command_budget        = 256;
    disassemble(capture.rdram.data(), capture.header.family, capture.header.dlist_start, false);
    command_budget = budget;
    return true;
}
