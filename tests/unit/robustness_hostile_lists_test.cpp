// Seeded random display lists in every family row (and in no family at all): whatever the
// words say, each task ends with sound state; the sanitizer build checks every access
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "dlist/command_table.h"
#include "interpreter_run.h"
#include "support/test_host.h"

namespace {

// A fuzz input of one RDRAM chunk holding `commands` command pairs. Opcodes are drawn from
// the family's own commands, operands are noise, and half of the second words point back
// into the chunk, so that calls, branches, vertices and textures find more commands.
std::vector<uint8_t> hostile_list(std::mt19937& random, uint32_t family, uint32_t commands) {
    std::vector<uint8_t> opcodes;
    for (uint32_t op = 0; op < 256; ++op)
        if (family >= kUcodeFamilies || CommandTable[family][op] != do_nothing)
            opcodes.push_back(static_cast<uint8_t>(op));

    const uint32_t base   = random() & 0x7FFFF8;
    const uint32_t length = commands * 8;
    std::vector<uint8_t> input;
    auto le32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            input.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    input.push_back(static_cast<uint8_t>(family));
    le32(base);
    le32(base);
    input.push_back(static_cast<uint8_t>(length));
    input.push_back(static_cast<uint8_t>(length >> 8));
    for (uint32_t i = 0; i < commands; ++i) {
        const uint32_t w0 =
            (uint32_t(opcodes[random() % opcodes.size()]) << 24) | (random() & 0xFFFFFF);
        const uint32_t w1 = (random() & 1) ? base + (random() % length) : random();
        le32(w0); // host-order words, as the host keeps RDRAM
        le32(w1);
    }
    return input;
}

} // namespace

TEST(RobustnessHostileLists, EveryFamilyEndsEveryTaskWithSoundState) {
    attach_test_host();
    RdramChunks chunks;
    std::mt19937 random(20261207);
    for (uint32_t family = 0; family < 8; ++family) {
        for (int list = 0; list < 40; ++list) {
            const std::vector<uint8_t> input = hostile_list(random, family, 256);
            ASSERT_TRUE(run_interpreter_input(test_console(), chunks, input.data(), input.size()))
                << "family " << family << " list " << list << ": stack depth "
                << rdp_reg.stack.depth << ", batch " << rdp_reg.batch.count << ", model-view top "
                << rdp_reg.modelview.modelview_top << ", lights " << rdp_reg.num_lights
                << ", next name " << next_name;
        }
    }
}
