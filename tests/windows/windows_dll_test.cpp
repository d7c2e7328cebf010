// The 32-bit Windows DLL seen from Linux: its export table and imports, and what it does when
// a Windows process (Wine) loads it, compared with the Linux build.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb_image.h>

namespace fs = std::filesystem;

namespace {

const std::string kBuild   = VEXA_WINDOWS_BUILD;
const std::string kDll     = kBuild + "/new_vexa_ogl.dll";
constexpr int kWineMissing = 77; // scripts/wine-run's exit code without Wine or Xvfb

struct Output {
    int status; // exit code, -1 when the command did not run
    std::string text;
};

Output run(const std::string& command) {
    Output out{-1, ""};
    FILE* f = popen((command + " 2>&1").c_str(), "r");
    if (!f) return out;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        out.text.append(buffer, n);
    const int status = pclose(f);
    if (WIFEXITED(status)) out.status = WEXITSTATUS(status);
    return out;
}

// A new directory of its own, so that two checkouts running these tests at once do not share
// their frames; a passing test removes it, a failing one leaves its frames to look at.
fs::path fresh_dir(const std::string& prefix) {
    std::string dir = fs::path(testing::TempDir()) / (prefix + "-XXXXXX");
    return mkdtemp(dir.data()) ? fs::path(dir) : fs::path();
}

bool tool_exists(const std::string& name) {
    return run("command -v " + name + " >/dev/null").status == 0;
}

// Runs a Windows program under Wine; status kWineMissing when Wine or Xvfb is not installed.
Output run_under_wine(const std::string& arguments) {
    return run("timeout 300 " VEXA_WINE_RUN " " + arguments);
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

class WindowsDll : public testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(kDll))
            GTEST_SKIP() << "no Windows build at " << kBuild
                         << " (scripts/build-windows makes it; it needs the mingw-w64 "
                            "cross toolchain)";
    }

    // objdump -p of the DLL; skips without the cross binutils.
    std::string private_headers(const std::string& file = kDll) {
        if (!tool_exists("i686-w64-mingw32-objdump")) return {};
        Output out = run("i686-w64-mingw32-objdump -p " + file);
        EXPECT_EQ(out.status, 0) << out.text;
        return out.text;
    }
};

TEST_F(WindowsDll, ExportsExactlyTheFourteenUndecoratedNames) {
    const std::string headers = private_headers();
    if (headers.empty()) GTEST_SKIP() << "i686-w64-mingw32-objdump is missing";
    // The name table lists "[   n] Name" lines after its heading, up to a blank line.
    std::vector<std::string> names;
    bool in_table = false;
    for (const std::string& line : lines_of(headers)) {
        if (line.find("[Ordinal/Name Pointer] Table") != std::string::npos) {
            in_table = true;
            continue;
        }
        if (!in_table) continue;
        const size_t bracket = line.find(']');
        if (line.empty() || bracket == std::string::npos) break;
        names.push_back(line.substr(bracket + 2));
    }
    std::sort(names.begin(), names.end());
    const std::vector<std::string> expected = {
        "ChangeWindow", "DllAbout",     "DllConfig",       "DllTest",       "DrawScreen",
        "GetDllInfo",   "InitiateGFX",  "MoveScreen",      "ProcessDList",  "RomClosed",
        "RomOpen",      "UpdateScreen", "ViStatusChanged", "ViWidthChanged"};
    EXPECT_EQ(names, expected) << "exports of " << kDll;
}

// The DLL and the two programs must run on a bare Windows: the C++ runtime and zlib are linked
// statically (a stray -Bdynamic in the link line once made the programs need libstdc++-6.dll).
TEST_F(WindowsDll, IsA32BitDllThatImportsOnlySystemDlls) {
    const std::vector<std::string> system   = {"kernel32.dll", "user32.dll", "gdi32.dll",
                                               "opengl32.dll", "glu32.dll",  "msvcrt.dll"};
    const std::vector<std::string> required = {"kernel32.dll", "user32.dll", "gdi32.dll",
                                               "opengl32.dll"};
    for (const std::string& file : {kDll, kBuild + "/vexa-host.exe", kBuild + "/vexa-dis.exe"}) {
        SCOPED_TRACE(file);
        const std::string headers = private_headers(file);
        if (headers.empty()) GTEST_SKIP() << "i686-w64-mingw32-objdump is missing";
        EXPECT_NE(headers.find("file format pei-i386"), std::string::npos) << "not 32-bit";

        std::vector<std::string> imported;
        for (const std::string& line : lines_of(headers)) {
            const size_t at = line.find("DLL Name: ");
            if (at != std::string::npos) imported.push_back(lower(line.substr(at + 10)));
        }
        for (const std::string& dll : imported)
            EXPECT_NE(std::find(system.begin(), system.end(), dll), system.end())
                << dll << " is not a system DLL: the runtime must be linked statically";
        if (file != kDll) continue;
        for (const std::string& dll : required)
            EXPECT_NE(std::find(imported.begin(), imported.end(), dll), imported.end())
                << dll << " is not imported";
    }
}

// The checks that only a Windows process can make, one section of win32-checks.exe each.
class Win32Checks : public WindowsDll, public testing::WithParamInterface<const char*> {};

TEST_P(Win32Checks, PassUnderWine) {
    const Output out =
        run_under_wine(kBuild + "/tests/windows/win32-checks.exe " + kDll + " " + GetParam());
    if (out.status == kWineMissing) GTEST_SKIP() << out.text;
    EXPECT_EQ(out.status, 0) << out.text;
}

INSTANTIATE_TEST_SUITE_P(Sections, Win32Checks,
                         testing::Values("resource", "dialog", "message-boxes", "context",
                                         "fullscreen"),
                         [](const testing::TestParamInfo<const char*>& param) {
                             std::string name = param.param;
                             name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                             return name;
                         });

// The INI file of the programs in the checks' folder, as the plug-in names it there:
// "<folder>\Plugin\\vexa_ogl.ini".
const fs::path kChecks = fs::path(kBuild) / "tests/windows";
const fs::path kIni    = kChecks / "Plugin/vexa_ogl.ini";

std::string read_text(const fs::path& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

void start_without_ini() {
    fs::remove(kIni);
    fs::create_directories(kIni.parent_path());
}

// The Windows build asks for an unknown game, the user picks family 4 and saves it at
// RomClosed, all through the Win32 profile functions; the Linux reader then finds it.
TEST_F(WindowsDll, IniFileWrittenUnderWineIsReadOnLinux) {
    start_without_ini();
    const Output out =
        run_under_wine((kChecks / "win32-checks.exe").string() + " " + kDll + " ini-write");
    if (out.status == kWineMissing) GTEST_SKIP() << out.text;
    ASSERT_EQ(out.status, 0) << out.text;
    const std::string text = read_text(kIni);
    EXPECT_EQ(platform_profile_read_int("78563412F0DEBC9A-45", "UCode", -1, kIni.c_str()), 4)
        << text;
    EXPECT_NE(text.find("Name=WINE WRITES"), std::string::npos) << text;
}

// The Linux writer records a game; the Windows build reads it without asking.
TEST_F(WindowsDll, IniFileWrittenOnLinuxIsReadUnderWine) {
    start_without_ini();
    const char* key = "78563413F0DEBC9A-45";
    ASSERT_TRUE(platform_profile_write_string(key, "Name", "LINUX WROTE", kIni.c_str()));
    ASSERT_TRUE(platform_profile_write_string(key, "UCode", "5", kIni.c_str()));
    const Output out =
        run_under_wine((kChecks / "win32-checks.exe").string() + " " + kDll + " ini-read 5");
    if (out.status == kWineMissing) GTEST_SKIP() << out.text;
    EXPECT_EQ(out.status, 0) << out.text << read_text(kIni);
}

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

bool load_png(const fs::path& path, Image* image) {
    int channels    = 0;
    uint8_t* pixels = stbi_load(path.c_str(), &image->width, &image->height, &channels, 4);
    if (!pixels) return false;
    image->rgba.assign(pixels, pixels + size_t(image->width) * image->height * 4);
    stbi_image_free(pixels);
    return true;
}

// Rasterisers of two builds may round an edge pixel differently: a channel may differ by a few
// steps, and one pixel in a thousand may differ more.
constexpr int kChannelTolerance = 4;
constexpr double kOutlierShare  = 0.001;

void expect_same_picture(const fs::path& linux_png, const fs::path& windows_png) {
    Image a, b;
    ASSERT_TRUE(load_png(linux_png, &a)) << linux_png;
    ASSERT_TRUE(load_png(windows_png, &b)) << windows_png << " was not written";
    ASSERT_EQ(a.width, b.width) << windows_png;
    ASSERT_EQ(a.height, b.height) << windows_png;
    size_t outliers = 0;
    std::string first;
    for (size_t i = 0; i < a.rgba.size(); i += 4) {
        int worst = 0;
        for (size_t c = 0; c < 4; ++c)
            worst = std::max(worst, std::abs(a.rgba[i + c] - b.rgba[i + c]));
        if (worst <= kChannelTolerance) continue;
        if (outliers++ == 0) {
            const size_t pixel = i / 4;
            char text[160];
            std::snprintf(text, sizeof text,
                          "first differing pixel (%zu, %zu): Linux %d,%d,%d,%d Windows %d,%d,%d,%d",
                          pixel % a.width, pixel / a.width, a.rgba[i], a.rgba[i + 1], a.rgba[i + 2],
                          a.rgba[i + 3], b.rgba[i], b.rgba[i + 1], b.rgba[i + 2], b.rgba[i + 3]);
            first = text;
        }
    }
    EXPECT_LE(outliers, size_t(kOutlierShare * a.width * a.height))
        << windows_png.filename() << ": " << outliers << " pixels differ; " << first;
}

TEST_F(WindowsDll, DrawsTheDemoScenesLikeTheLinuxBuild) {
    const fs::path out = fresh_dir("vexa-windows-frames");
    ASSERT_FALSE(out.empty());
    const fs::path linux_out = out / "linux", windows_out = out / "windows";

    const Output wine = run_under_wine(kBuild + "/vexa-host.exe --plugin " + kDll + " --out " +
                                       windows_out.string());
    if (wine.status == kWineMissing) GTEST_SKIP() << wine.text;
    ASSERT_EQ(wine.status, 0) << wine.text;
    const Output native = run(std::string(VEXA_HOST_PATH) + " --out " + linux_out.string());
    ASSERT_EQ(native.status, 0) << native.text;

    std::vector<fs::path> frames;
    for (const auto& entry : fs::directory_iterator(linux_out))
        frames.push_back(entry.path());
    std::sort(frames.begin(), frames.end());
    ASSERT_FALSE(frames.empty()) << "the Linux build drew no frame";
    for (const fs::path& frame : frames) {
        SCOPED_TRACE(frame.filename().string());
        expect_same_picture(frame, windows_out / frame.filename());
    }
    if (!HasFailure()) fs::remove_all(out);
}

// The DLL takes the picture's shape from [Settings] of its INI file, where vexa-host.exe writes
// it: in a 960 x 540 window, widescreen, the wide scene's sky reaches the top left corner,
// where the default 4:3 shape leaves a black bar.
TEST_F(WindowsDll, TakesTheShapeFromItsIniFile) {
    const fs::path out      = fresh_dir("vexa-windows-aspect");
    const std::string shape = " --scene wide --frames 1 --size 960x540 --aspect widescreen";
    const Output wine       = run_under_wine(kBuild + "/vexa-host.exe --plugin " + kDll + shape +
                                             " --out " + out.string());
    if (wine.status == kWineMissing) GTEST_SKIP() << wine.text;
    Image picture;
    ASSERT_TRUE(load_png(out / "wide-000.png", &picture)) << wine.text;
    EXPECT_GT(picture.rgba[2], 100) << "the sky's blue, not a black bar";
    if (!HasFailure()) fs::remove_all(out);
}

} // namespace

// A frame captured by the DLL under Wine replays on Linux to the Linux build's own frame and
// to what the DLL drew.
TEST_F(WindowsDll, CaptureUnderWineReplaysOnLinux) {
    const fs::path out = fresh_dir("vexa-windows-capture");
    ASSERT_FALSE(out.empty());
    const Output wine = run("VEXA_CAPTURE=" + (out / "caps").string() + " timeout 300 " +
                            VEXA_WINE_RUN " " + kBuild + "/vexa-host.exe --scene mesh --frames 1 " +
                            "--plugin " + kDll + " --out " + (out / "windows").string());
    if (wine.status == kWineMissing) GTEST_SKIP() << wine.text;
    ASSERT_EQ(wine.status, 0) << wine.text;
    const fs::path capture = out / "caps" / "4A58455607000000-45-000.vxc";
    ASSERT_TRUE(fs::exists(capture)) << wine.text;

    const std::string host = VEXA_HOST_PATH;
    ASSERT_EQ(
        run(host + " --replay " + capture.string() + " --out " + (out / "replay").string()).status,
        0);
    ASSERT_EQ(run(host + " --scene mesh --frames 1 --out " + (out / "linux").string()).status, 0);
    const fs::path replayed = out / "replay" / "4A58455607000000-45-000.png";
    Image live, replay;
    ASSERT_TRUE(load_png(out / "linux" / "mesh-000.png", &live));
    ASSERT_TRUE(load_png(replayed, &replay));
    EXPECT_TRUE(live.rgba == replay.rgba) << "the replay differs from the Linux frame";
    expect_same_picture(replayed, out / "windows" / "mesh-000.png");
    if (!HasFailure()) fs::remove_all(out);
}

namespace {

size_t count_of(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// The release as a player gets it: the zip unpacked into an emulator's folder, vexa-host.exe
// run from there against Plugin\new_vexa_ogl.dll, the settings changed in Plugin\vexa_ogl.ini.
TEST_F(WindowsDll, ReleaseZipPlaysFromAnEmulatorsFolderWithItsSettings) {
    const fs::path dir = fresh_dir("vexa-release");
    ASSERT_FALSE(dir.empty());
    const Output packed =
        run("VEXA_WINDOWS_BUILD=" + kBuild +
            " VEXA_SETTINGS_TOOL=" VEXA_SETTINGS_PATH " " VEXA_PACKAGE_WINDOWS " " + dir.string());
    ASSERT_EQ(packed.status, 0) << packed.text;
    const std::string zip = (dir / ("new_vexa_ogl-" VEXA_VERSION "-win32.zip")).string();
    EXPECT_EQ(run("unzip -Z1 " + zip).text,
              "Plugin/\nPlugin/new_vexa_ogl.dll\nPlugin/vexa_ogl.ini\n"
              "README-windows.txt\nvexa-host.exe\nvexa-dis.exe\n");
    const fs::path emulator = dir / "Emulator";
    ASSERT_EQ(run("unzip -q " + zip + " -d " + emulator.string()).status, 0);
    const fs::path ini       = emulator / "Plugin/vexa_ogl.ini";
    const std::string readme = read_text(emulator / "README-windows.txt");
    EXPECT_EQ(count_of(readme, "\n"), count_of(readme, "\r\n")) << "README-windows.txt: CRLF";
    EXPECT_NE(readme.find("    TextureFilter=auto\r\n"), std::string::npos) << readme;
    EXPECT_EQ(private_headers((emulator / "Plugin/new_vexa_ogl.dll").string()).find(".debug"),
              std::string::npos)
        << "the DLL is stripped";

    // Each run draws the mesh scene's first frame: its bricks are magnified textures.
    auto play = [&](const char* name) {
        return run_under_wine((emulator / "vexa-host.exe").string() +
                              " --scene mesh --frames 1 --out " + (dir / name).string());
    };
    const Output first = play("default");
    if (first.status == kWineMissing) GTEST_SKIP() << first.text;
    ASSERT_EQ(first.status, 0) << first.text;
    const std::string written = read_text(ini);
    EXPECT_NE(written.find("[4A58455607000000-45]"), std::string::npos) << written;
    EXPECT_NE(written.find("; How textures are sampled"), std::string::npos) << written;
    ASSERT_EQ(run(std::string(VEXA_HOST_PATH) + " --scene mesh --frames 1 --out " +
                  (dir / "linux").string())
                  .status,
              0);
    expect_same_picture(dir / "linux/mesh-000.png", dir / "default/mesh-000.png");

    const struct {
        const char *filter, *samples, *out;
        bool changed;
        size_t warnings;
    } cases[]                 = {{"Bilinear", "0", "bilinear-forced", true, 0},
                                 {"sharp", "3", "unknown", false, 2}};
    const std::string unknown = "new_vexa_ogl: [Settings] TextureFilter=sharp is not "
                                "\"auto\", \"bilinear\" or \"nearest\": using auto";
    Image plain;
    ASSERT_TRUE(load_png(dir / "default/mesh-000.png", &plain));
    for (const auto& c : cases) {
        ASSERT_TRUE(
            platform_profile_write_string("Settings", "TextureFilter", c.filter, ini.c_str()));
        ASSERT_TRUE(
            platform_profile_write_string("Settings", "MultiSampling", c.samples, ini.c_str()));
        const Output out = play(c.out);
        ASSERT_EQ(out.status, 0) << out.text;
        EXPECT_EQ(count_of(out.text, "new_vexa_ogl: [Settings] "), c.warnings) << out.text;
        EXPECT_EQ(count_of(out.text, unknown), c.warnings / 2) << out.text;
        Image picture;
        ASSERT_TRUE(load_png(dir / c.out / "mesh-000.png", &picture));
        EXPECT_EQ(picture.rgba != plain.rgba, c.changed) << c.filter;
    }

    // A multisampled format where the driver has one (smoother edges); else the plain one and
    // one message.
    ASSERT_TRUE(platform_profile_write_string("Settings", "MultiSampling", "4", ini.c_str()));
    const Output smooth = play("samples");
    ASSERT_EQ(smooth.status, 0) << smooth.text;
    const size_t refused = count_of(smooth.text, "MultiSampling=4: ");
    EXPECT_LE(refused, 1u) << smooth.text;
    Image edges;
    ASSERT_TRUE(load_png(dir / "samples/mesh-000.png", &edges));
    EXPECT_EQ(edges.rgba != plain.rgba, refused == 0) << smooth.text;
    if (!HasFailure()) fs::remove_all(dir);
}

} // namespace
