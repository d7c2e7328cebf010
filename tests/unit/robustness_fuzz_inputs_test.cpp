// What the fuzzers found, replayed: every input under tests/data/fuzz/<target> runs through
// the same code as in its fuzzer (the sanitizer build checks memory on the way)
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "capture_run.h"
#include "ini_run.h"
#include "interpreter_run.h"
#include "pack_run.h"
#include "support/test_host.h"
#include "textures_run.h"

namespace {

struct FuzzInput {
    std::string name;
    std::vector<uint8_t> bytes;
};

std::vector<FuzzInput> inputs_of(const std::string& target) {
    const std::string dir = std::string(VEXA_FUZZ_DATA_DIR) + "/" + target;
    std::vector<FuzzInput> inputs;
    if (DIR* d = opendir(dir.c_str())) {
        while (const dirent* e = readdir(d)) {
            if (e->d_name[0] == '.') continue;
            std::ifstream f(dir + "/" + e->d_name, std::ios::binary);
            inputs.push_back({e->d_name, {std::istreambuf_iterator<char>(f), {}}});
        }
        closedir(d);
    }
    std::sort(inputs.begin(), inputs.end(),
              [](const FuzzInput& a, const FuzzInput& b) { return a.name < b.name; });
    return inputs;
}

} // namespace

TEST(RobustnessFindings, InterpreterInputsLeaveSoundState) {
    attach_test_host();
    RdramChunks chunks;
    for (const FuzzInput& in : inputs_of("interpreter")) {
        SCOPED_TRACE(in.name);
        EXPECT_TRUE(run_interpreter_input(test_console(), chunks, in.bytes.data(), in.bytes.size()))
            << "stack depth " << rdp_reg.stack.depth << ", batch " << rdp_reg.batch.count
            << ", model-view top " << rdp_reg.modelview.modelview_top << ", lights "
            << rdp_reg.num_lights << ", next name " << next_name;
    }
}

TEST(RobustnessFindings, TextureInputsStayInsideTheirBuffers) {
    attach_test_host();
    fill_texture_rdram(test_console());
    for (const FuzzInput& in : inputs_of("textures")) {
        SCOPED_TRACE(in.name);
        run_texture_input(in.bytes.data(), in.bytes.size());
        EXPECT_GE(next_name, 1u);
        EXPECT_LT(next_name, kTextureNames);
    }
}

TEST(RobustnessFindings, IniInputsReadBackWhatTheyWrite) {
    const std::string path              = ::testing::TempDir() + "robustness_findings.ini";
    const std::vector<FuzzInput> inputs = inputs_of("ini");
    EXPECT_FALSE(inputs.empty());
    for (const FuzzInput& in : inputs) {
        SCOPED_TRACE(in.name);
        const IniInput ini = parse_ini_input(in.bytes.data(), in.bytes.size());
        EXPECT_TRUE(run_ini_text(ini)) << "in memory";
        EXPECT_TRUE(run_ini_file(ini, path)) << "through a file";
    }
}

TEST(RobustnessFindings, CaptureInputsReadWholeOrNotAtAll) {
    const std::vector<FuzzInput> inputs = inputs_of("capture");
    EXPECT_FALSE(inputs.empty());
    for (const FuzzInput& in : inputs)
        EXPECT_TRUE(run_capture_input(in.bytes.data(), in.bytes.size())) << in.name;
}

TEST(RobustnessFindings, PackInputsReadSoundly) {
    const std::vector<FuzzInput> inputs = inputs_of("pack");
    EXPECT_FALSE(inputs.empty());
    for (const FuzzInput& in : inputs)
        EXPECT_TRUE(run_pack_input(in.bytes.data(), in.bytes.size())) << in.name;
}
