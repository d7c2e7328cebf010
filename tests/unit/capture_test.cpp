// Frame capture files: the format's round trip, damaged files, and the plug-in's capturing
#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "capture/capture_file.h"
#include "capture/frame_capture.h"
#include "state/rdp_reg.h"
#include "support/config_files.h"
#include "support/test_host.h"

namespace {

std::vector<uint8_t> patterned(size_t n, uint32_t seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; i += 997)
        v[i] = static_cast<uint8_t>(seed + i / 997);
    return v;
}

std::vector<uint8_t> file_bytes(const std::string& path) {
    const std::string s = read_file(path);
    return std::vector<uint8_t>(s.begin(), s.end());
}

CaptureHeader sample_header() {
    CaptureHeader h;
    h.family      = 4;
    h.dlist_start = 0x80123458;
    h.vi_status   = 0x3302;
    for (int i = 0; i < kCaptureRegisters; ++i)
        h.registers[i] = 0x1000 + i;
    for (int i = 0; i < 64; ++i)
        h.rom_header[i] = static_cast<uint8_t>(3 * i);
    return h;
}

void put_u32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST(CaptureFile, HeaderAndMemoriesComeBackAsWritten) {
    TempFolder dir;
    const auto rdram = patterned(kCaptureRdramBytes, 7), dmem = patterned(kCaptureDmemBytes, 9);
    std::string error;
    ASSERT_TRUE(
        write_capture(dir.file("a.vxc"), sample_header(), rdram.data(), dmem.data(), &error))
        << error;
    Capture c;
    ASSERT_TRUE(load_capture(dir.file("a.vxc"), &c, &error)) << error;
    const CaptureHeader h = sample_header();
    EXPECT_EQ(c.header.version, kCaptureVersion);
    EXPECT_EQ(c.header.family, h.family);
    EXPECT_EQ(c.header.dlist_start, h.dlist_start);
    EXPECT_EQ(c.header.vi_status, h.vi_status);
    EXPECT_EQ(0, std::memcmp(c.header.registers, h.registers, sizeof h.registers));
    EXPECT_EQ(0, std::memcmp(c.header.rom_header, h.rom_header, sizeof h.rom_header));
    EXPECT_TRUE(c.rdram == rdram);
    EXPECT_TRUE(c.dmem == dmem);
    EXPECT_LT(read_file(dir.file("a.vxc")).size(), 64u * 1024) << "RDRAM of zeros compresses";
}

TEST(CaptureFile, DamagedFilesAreRefusedWithTheReason) {
    TempFolder dir;
    const auto rdram = patterned(kCaptureRdramBytes, 1), dmem = patterned(kCaptureDmemBytes, 2);
    std::string error;
    ASSERT_TRUE(
        write_capture(dir.file("good.vxc"), sample_header(), rdram.data(), dmem.data(), &error));
    const std::vector<uint8_t> good = file_bytes(dir.file("good.vxc"));

    // A payload that unpacks whole but too short: 100 bytes instead of both memories.
    std::vector<uint8_t> short_payload(good.begin(), good.begin() + kCaptureHeaderBytes);
    {
        uint8_t packed[256];
        uLongf n = sizeof packed;
        const std::vector<uint8_t> hundred(100, 5);
        compress(packed, &n, hundred.data(), hundred.size());
        short_payload.insert(short_payload.end(), packed, packed + n);
        put_u32(short_payload, 184, static_cast<uint32_t>(n));
    }

    using Edit = std::function<void(std::vector<uint8_t>&)>;
    struct Case {
        const char* what;
        Edit edit;
        const char* reason;
    };
    const Case cases[] = {
        {"empty file", [](auto& b) { b.clear(); }, "not a frame capture"},
        {"another file type", [](auto& b) { b[0] = 0x89; }, "not a frame capture"},
        {"a newer format", [](auto& b) { put_u32(b, 8, 2); }, "version 2 is newer"},
        {"version 0", [](auto& b) { put_u32(b, 8, 0); }, "corrupt capture header"},
        {"another header size", [](auto& b) { put_u32(b, 12, 256); }, "corrupt capture header"},
        {"cut in the header", [](auto& b) { b.resize(100); }, "truncated"},
        {"cut in the payload", [](auto& b) { b.resize(b.size() - 10); }, "truncated"},
        {"bytes after the payload", [](auto& b) { b.push_back(0); }, "bytes after the payload"},
        {"family 9", [](auto& b) { put_u32(b, 16, 9); }, "microcode family 9"},
        {"another RDRAM size", [](auto& b) { put_u32(b, 176, 0x400000); }, "memory sizes"},
        {"a damaged payload", [](auto& b) { b[b.size() / 2] ^= 0x55; }, "do not unpack"},
        {"a payload too short", [&](auto& b) { b = short_payload; }, "do not unpack"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        c.edit(bytes);
        Capture capture;
        error.clear();
        EXPECT_FALSE(parse_capture(bytes.data(), bytes.size(), &capture, &error)) << c.what;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
    }
    Capture capture;
    EXPECT_FALSE(load_capture(dir.file("missing.vxc"), &capture, &error));
    EXPECT_NE(error.find("missing.vxc"), std::string::npos) << error;
}

struct FrameCaptureTest : ::testing::Test {
    HostFolder host_dir;
    void SetUp() override {
        attach_test_host();
        reset_core_state();
        reset_frame_capture();
        unsetenv("VEXA_CAPTURE");
        unsetenv("VEXA_CAPTURE_FRAMES");
    }
    void TearDown() override {
        reset_frame_capture();
        unsetenv("VEXA_CAPTURE");
        unsetenv("VEXA_CAPTURE_FRAMES");
    }
    static int files_in(const std::filesystem::path& dir) {
        std::error_code ec;
        int n = 0;
        for (auto it = std::filesystem::directory_iterator(dir, ec);
             !ec && it != std::filesystem::directory_iterator(); ++it)
            ++n;
        return n;
    }
};

TEST_F(FrameCaptureTest, IniFolderGetsTheAskedNumberOfTasksAsTheHostHoldsThem) {
    const std::string folder = host_dir.file("caps");
    write_file(host_dir.ini(), "[Settings]\nCaptureFolder=" + folder + "\nCaptureFrames=2\n");
    Console& console = test_console();
    console.set_rom_header(0x11223344, 0x55667788, 0x45, "CAPTURE TEST");
    console.write_u32(0x1000, 0xB8000000);
    console.vi_status = 3;
    UcodeType         = 5;
    for (int task = 0; task < 3; ++task)
        capture_task(0x1000 + task);
    EXPECT_EQ(files_in(folder), 2) << "CaptureFrames=2";

    Capture c;
    std::string error;
    ASSERT_TRUE(load_capture(folder + "/4433221188776655-45-001.vxc", &c, &error)) << error;
    EXPECT_EQ(c.header.family, 5u);
    EXPECT_EQ(c.header.dlist_start, 0x1001u);
    EXPECT_EQ(c.header.vi_status, 3u);
    EXPECT_EQ(0, std::memcmp(c.header.rom_header, console.rom_header, 64));
    EXPECT_TRUE(c.rdram == console.rdram);
    EXPECT_TRUE(c.dmem == console.dmem);
}

TEST_F(FrameCaptureTest, EnvironmentComesBeforeTheIniFileAndEarlierCapturesStay) {
    const std::string ini_folder = host_dir.file("ini-caps"), env_folder = host_dir.file("env");
    write_file(host_dir.ini(), "[Settings]\nCaptureFolder=" + ini_folder + "\n");
    std::filesystem::create_directory(env_folder);
    write_file(env_folder + "/0000000000000000-00-000.vxc", "an earlier capture");
    setenv("VEXA_CAPTURE", env_folder.c_str(), 1);
    test_console().set_rom_header(0, 0, 0, "");
    capture_task(0);
    capture_task(0); // one frame by default
    EXPECT_EQ(files_in(env_folder), 2);
    EXPECT_EQ(read_file(env_folder + "/0000000000000000-00-000.vxc"), "an earlier capture");
    EXPECT_EQ(files_in(ini_folder), 0);
}

TEST_F(FrameCaptureTest, UnwritableFolderIsReportedOnceAndCapturingStops) {
    write_file(host_dir.file("a-file"), "");
    const std::string folder = host_dir.file("a-file") + "/caps"; // a file is no folder
    setenv("VEXA_CAPTURE", folder.c_str(), 1);
    setenv("VEXA_CAPTURE_FRAMES", "5", 1);
    ::testing::internal::CaptureStderr();
    for (int task = 0; task < 3; ++task)
        capture_task(0);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.find("new_vexa_ogl: cannot write frame captures to " + folder), 0u) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

} // namespace
