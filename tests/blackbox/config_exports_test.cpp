// Microcode selection through the exports: the INI file decides whether the plug-in asks
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "console.h"
#include "dl_builder.h"
#include "host_ini.h"
#include "platform/platform.h"
#include "plugin_loader.h"

namespace {

// What a host process did with the plug-in, seen from outside.
struct HostRun {
    std::string err;      // its standard error
    bool ended_by_itself; // false: still running at the deadline, then killed
    double cpu_seconds;   // user + system time of the whole process
};

// Runs `body` in a child process that loads the plug-in as a host does; a task that waits
// for the user can only be stopped from outside.
HostRun run_host(const std::function<void(Plugin&, Console&)>& body, int deadline_ms) {
    int pipe_fds[2];
    EXPECT_EQ(pipe(pipe_fds), 0);
    pid_t child = fork();
    if (child == 0) {
        dup2(pipe_fds[1], 2);
        close(pipe_fds[0]);
        Plugin plugin;
        std::string error;
        if (!load_plugin(VEXA_PLUGIN_PATH, &plugin, &error)) _exit(3);
        static Console console;
        body(plugin, console);
        _exit(0);
    }
    close(pipe_fds[1]);
    HostRun run{"", false, 0};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadline_ms);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{pipe_fds[0], POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char buf[4096];
        ssize_t n = read(pipe_fds[0], buf, sizeof buf);
        if (n <= 0) {
            run.ended_by_itself = true; // the child closed its standard error: it exited
            break;
        }
        run.err.append(buf, static_cast<size_t>(n));
    }
    if (!run.ended_by_itself) kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    close(pipe_fds[0]);
    run.cpu_seconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                      usage.ru_stime.tv_usec / 1e6;
    if (run.ended_by_itself) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    return run;
}

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

const std::string kAsk = "Vexa ogl: Config your UCode\nChange to the GUI and click Config";

// Two tasks of an empty frame: the first only signals, the second interprets.
void run_two_tasks(Plugin& plugin, Console& c, uint32_t crc1) {
    c.set_rom_header(crc1, 0x00C0FFEEu, 0x45, "BLACKBOX");
    if (plugin.InitiateGFX(c.gfx_info(nullptr)) != 1) _exit(4);
    DisplayList dl(c, 0x100000);
    dl.add({cmd::end_dl()});
    c.set_task(dl.start());
    plugin.ProcessDList();
    plugin.ProcessDList();
    plugin.RomClosed();
}

int32_t ini_ucode(uint32_t crc1) {
    Console c;
    c.set_rom_header(crc1, 0x00C0FFEEu, 0x45, "BLACKBOX");
    return platform_profile_read_int(ini_section_of(c.rom_header).c_str(), "UCode", -100,
                                     plugin_ini_path().c_str());
}

void save(uint32_t crc1, const char* value) {
    Console c;
    c.set_rom_header(crc1, 0x00C0FFEEu, 0x45, "BLACKBOX");
    std::filesystem::create_directories(std::filesystem::path(plugin_ini_path()).parent_path());
    ASSERT_TRUE(platform_profile_write_string(ini_section_of(c.rom_header).c_str(), "UCode", value,
                                              plugin_ini_path().c_str()));
}

TEST(ExportsSelection, ASavedChoiceRunsWithoutAnyBox) {
    save(0xB10C0001u, "3");
    HostRun run = run_host([](Plugin& p, Console& c) { run_two_tasks(p, c, 0xB10C0001u); }, 10000);
    EXPECT_TRUE(run.ended_by_itself);
    EXPECT_EQ(count(run.err, "Config your UCode"), 0u) << run.err;
    EXPECT_EQ(count(run.err, "Do ya want"), 0u) << "RomClosed asks nothing without the dialog";
    EXPECT_EQ(ini_ucode(0xB10C0001u), 3);
}

// No display: the box's text goes to standard error once a second, and the task waits
// without burning the processor.
TEST(ExportsSelection, AnUnknownRomWaitsForTheUserWithoutSpinning) {
    const uint32_t crc1 = 0xB10C0002u;
    save(crc1, "-1");
    HostRun run = run_host([=](Plugin& p, Console& c) { run_two_tasks(p, c, crc1); }, 2600);
    EXPECT_FALSE(run.ended_by_itself) << "the task waits for the configuration dialog";
    EXPECT_GE(count(run.err, kAsk), 2u) << run.err;
    EXPECT_LE(count(run.err, kAsk), 4u) << "about one round a second\n" << run.err;
    EXPECT_LT(run.cpu_seconds, 1.0) << "waiting 2.6 s";
    RecordProperty("cpu_ms", static_cast<int>(run.cpu_seconds * 1000));
    EXPECT_EQ(ini_ucode(crc1), -1);
}

// A value that names no family counts as not configured (see docs/decisions.md).
TEST(ExportsSelection, AValueOutsideTheFamiliesAsksToo) {
    const uint32_t crc1 = 0xB10C0003u;
    save(crc1, "9");
    HostRun run = run_host([=](Plugin& p, Console& c) { run_two_tasks(p, c, crc1); }, 1500);
    EXPECT_FALSE(run.ended_by_itself);
    EXPECT_GE(count(run.err, kAsk), 1u) << run.err;
    EXPECT_EQ(ini_ucode(crc1), -1) << "marked as seen but not configured";
}

TEST(ExportsSelection, DllConfigWithoutADisplayListsTheChoicesAndReturns) {
    if (std::getenv("DISPLAY")) GTEST_SKIP() << "a display would show the real dialog";
    HostRun run = run_host(
        [](Plugin& p, Console&) {
            p.DllConfig(nullptr); // before InitiateGFX, as hosts may
            usleep(200000);       // the dialog thread reports and ends
            p.RomClosed();        // nothing was chosen: nothing to ask
        },
        10000);
    EXPECT_TRUE(run.ended_by_itself);
    EXPECT_NE(run.err.find("Configuration ..."), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("0 - Ex. Mario64, Demos"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("6 - Ex. Diddy Kong Racing"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("Do ya want"), std::string::npos) << run.err;
}

} // namespace
