// The INI file: the profile-file text rules and the file on disk
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "platform/ini_text.h"
#include "platform/platform.h"
#include "support/config_files.h"

namespace {

TEST(IniText, FindsValuesAsProfileFilesDo) {
    const std::string text = "; games\n"
                             "Top=9\n"
                             "[Alpha]\n"
                             "UCode=1\n"
                             "  ucode = 7 \n"
                             "[ 78563412f0debc9a-45 ]\r\n"
                             "name=\"Quoted Name\"\r\n"
                             "  UCODE  =  3  \r\n"
                             ";UCode=5\n"
                             "Lonely\n"
                             "[alpha]\n"
                             "Extra=2\n"
                             "[Unclosed\n"
                             "Key='x'\n";
    struct Case {
        const char *section, *key;
        bool found;
        const char* value;
    } cases[] = {
        {"Alpha", "UCode", true, "1"},                        // the first of two keys of one name
        {"ALPHA", "ucode", true, "1"},                        // names without regard to case
        {"78563412F0DEBC9A-45", "UCode", true, "3"},          // blanks around names and values
        {"78563412F0DEBC9A-45", "Name", true, "Quoted Name"}, // one pair of quotes
        {"Alpha", "Extra", false, ""}, // only the first section of a name counts
        {"Alpha", "Top", false, ""},   // lines before any section belong to none
        {"", "Top", false, ""},
        {"78563412F0DEBC9A-45", "Lonely", false, ""}, // no '=': no key
        {"78563412F0DEBC9A-45", ";UCode", false, ""}, // a comment
        {"Unclosed", "Key", true, "x"},               // a header without ']'
        {"Missing", "UCode", false, ""},
    };
    for (const Case& k : cases) {
        std::string value = "untouched";
        EXPECT_EQ(ini_find_value(text, k.section, k.key, &value), k.found)
            << "[" << k.section << "] " << k.key;
        if (k.found) {
            EXPECT_EQ(value, k.value) << "[" << k.section << "] " << k.key;
        }
    }
}

TEST(IniText, SetsValuesAndKeepsEveryOtherLine) {
    struct Case {
        const char* before;
        const char *section, *key, *value;
        const char* after;
    } cases[] = {
        {"", "S", "UCode", "-1", "[S]\nUCode=-1\n"},
        {"; top\n[A]\nx=1\n", "S", "UCode", "3", "; top\n[A]\nx=1\n[S]\nUCode=3\n"},
        {"[A]\nx=1", "S", "k", "v", "[A]\nx=1\n[S]\nk=v\n"},               // no final line break
        {"[A]\r\nx=1\r\n", "S", "k", "v", "[A]\r\nx=1\r\n[S]\r\nk=v\r\n"}, // CRLF kept
        {"[s]\nName=a\n\n[B]\ny=2\n", "S", "UCode", "3", "[s]\nName=a\nUCode=3\n\n[B]\ny=2\n"},
        {"[S]\n; c\n  ucode = 1 ; old\nz=9\n", "S", "UCode", "6", "[S]\n; c\n  ucode =6\nz=9\n"},
        {"[S]\nUCode=1\r\n[T]\nUCode=2\n", "S", "UCode", "4", "[S]\nUCode=4\r\n[T]\nUCode=2\n"},
        {"[S]", "S", "k", "v", "[S]\nk=v\n"},
        {"[S]\nName=x\n", "S", "Name", "A\nUCode=6\rB", "[S]\nName=A UCode=6 B\n"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(ini_set_value(k.before, k.section, k.key, k.value), k.after)
            << "setting " << k.key << " in:\n"
            << k.before;
}

TEST(IniText, ReadsIntegersAsGetPrivateProfileIntDoes) {
    struct Case {
        const char* value;
        int32_t expected;
    } cases[] = {{"3", 3},           {"-1", -1},       {"+6", 6},       {"  42", 42},
                 {"7abc", 7},        {"0x10", 0},      {"abc", -99},    {"", -99},
                 {"-", -99},         {"- 1", -99},     {"\t-12x", -12}, {"2147483647", 2147483647},
                 {"4294967295", -1}, {"4294967296", 0}};
    for (const Case& k : cases)
        EXPECT_EQ(profile_int(k.value, -99), k.expected) << "\"" << k.value << "\"";
}

TEST(IniText, AcceptsAnyBytes) {
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary.push_back(static_cast<char>((i * 37) ^ (i >> 3)));
    binary += std::string("\0[S]\0\nUCode=\0", 13);
    std::string value;
    ini_find_value(binary, "S", "UCode", &value);
    const std::string updated = ini_set_value(binary, "S", "UCode", "2");
    EXPECT_TRUE(ini_find_value(updated, "S", "UCode", &value));
    EXPECT_EQ(value, "2");
    EXPECT_EQ(updated.compare(0, 4096, binary, 0, 4096), 0) << "the other bytes are kept";
}

TEST(ProfileFile, RoundTripKeepsOtherSectionsAndComments) {
    TempFolder dir;
    const std::string ini    = dir.file("vexa_ogl.ini");
    const std::string before = "; my games\n[Other]\nName=Other Game\nUCode=2\n\n";
    write_file(ini, before);
    std::filesystem::permissions(ini, std::filesystem::perms(0640));
    ASSERT_TRUE(platform_profile_write_string("ABC-45", "Name", "A Game", ini.c_str()));
    ASSERT_TRUE(platform_profile_write_string("abc-45", "UCode", "5", ini.c_str()));
    EXPECT_EQ(read_file(ini), before + "[ABC-45]\nName=A Game\nUCode=5\n");
    EXPECT_EQ(platform_profile_read_int("Abc-45", "ucode", -1, ini.c_str()), 5);
    EXPECT_EQ(platform_profile_read_int("Other", "UCode", -1, ini.c_str()), 2);
    EXPECT_EQ(platform_profile_read_int("Other", "Name", -1, ini.c_str()), -1);
    EXPECT_EQ(platform_profile_read_int("Missing", "UCode", -1, ini.c_str()), -1);
    EXPECT_EQ(std::filesystem::status(ini).permissions(), std::filesystem::perms(0640))
        << "the replaced file keeps its permissions";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 1)
        << "no temporary file is left behind";
}

TEST(ProfileFile, MissingFilesAndUnusablePaths) {
    TempFolder dir;
    const std::string ini = dir.file("new.ini");
    EXPECT_EQ(platform_profile_read_int("S", "UCode", -1, ini.c_str()), -1);
    EXPECT_TRUE(platform_profile_write_string("S", "UCode", "-1", ini.c_str()))
        << "a missing file is created";
    EXPECT_EQ(read_file(ini), "[S]\nUCode=-1\n");

    const std::string no_folder = dir.file("absent/x.ini");
    EXPECT_FALSE(platform_profile_write_string("S", "K", "v", no_folder.c_str()));
    EXPECT_FALSE(std::filesystem::exists(dir.file("absent")));

    // A folder where the file should be: unreadable, and never replaced.
    std::filesystem::create_directory(dir.file("folder.ini"));
    const std::string folder = dir.file("folder.ini");
    EXPECT_EQ(platform_profile_read_int("S", "UCode", 4, folder.c_str()), 4);
    EXPECT_FALSE(platform_profile_write_string("S", "UCode", "1", folder.c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    // A file far bigger than any profile file is left alone.
    const std::string huge = dir.file("huge.ini");
    write_file(huge, "[S]\nUCode=3\n" + std::string(5 << 20, ';'));
    EXPECT_EQ(platform_profile_read_int("S", "UCode", -1, huge.c_str()), -1);
    EXPECT_FALSE(platform_profile_write_string("S", "UCode", "1", huge.c_str()));
    EXPECT_EQ(std::filesystem::file_size(huge), 12u + (5u << 20));
}

TEST(ProfileFile, CorruptAndBinaryFilesNeitherCrashNorLoseData) {
    TempFolder dir;
    const std::string ini = dir.file("vexa_ogl.ini");
    std::string junk;
    for (int i = 0; i < 100000; ++i)
        junk.push_back(static_cast<char>(i * 131 % 251));
    write_file(ini, junk);
    EXPECT_EQ(platform_profile_read_int("S", "UCode", -1, ini.c_str()), -1);
    ASSERT_TRUE(platform_profile_write_string("S", "UCode", "6", ini.c_str()));
    EXPECT_EQ(platform_profile_read_int("S", "UCode", -1, ini.c_str()), 6);
    EXPECT_EQ(read_file(ini).substr(0, junk.size()), junk);
}

TEST(ProfileFile, WritesThroughASymbolicLink) {
    TempFolder dir;
    const std::string real = dir.file("real.ini"), link = dir.file("link.ini");
    write_file(real, "[A]\nx=1\n");
    std::filesystem::create_symlink(real, link);
    ASSERT_TRUE(platform_profile_write_string("A", "x", "2", link.c_str()));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(read_file(real), "[A]\nx=2\n");
}

// A process killed while it writes leaves the old file or a whole new one, never a mix.
TEST(ProfileFile, AWriterKilledMidWriteLeavesAWholeFile) {
    TempFolder dir;
    const std::string ini      = dir.file("vexa_ogl.ini");
    const std::string old_text = "[Keep]\nUCode=4\n";
    for (int delay_ms : {1, 3, 7, 15}) {
        write_file(ini, old_text);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const std::string big(3 << 20, 'x');
            for (int i = 0;; ++i)
                platform_profile_write_string("Big", "Value", (std::to_string(i) + big).c_str(),
                                              ini.c_str());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const std::string now = read_file(ini);
        EXPECT_EQ(now.substr(0, old_text.size()), old_text) << "after " << delay_ms << " ms";
        if (now.size() > old_text.size()) {
            std::string value;
            ASSERT_TRUE(ini_find_value(now, "Big", "Value", &value));
            EXPECT_EQ(value.size() - value.find('x'), 3u << 20) << "a whole value";
            EXPECT_EQ(now.back(), '\n');
        }
        EXPECT_EQ(platform_profile_read_int("Keep", "UCode", -1, ini.c_str()), 4);
    }
}

// Two processes that write the same file one after the other keep both changes.
TEST(ProfileFile, ConcurrentWritersLoseNothing) {
    TempFolder dir;
    const std::string ini = dir.file("vexa_ogl.ini");
    pid_t child           = fork();
    ASSERT_GE(child, 0);
    const char* who = child == 0 ? "Child" : "Parent";
    for (int i = 0; i < 40; ++i)
        platform_profile_write_string((std::string(who) + std::to_string(i)).c_str(), "UCode", "1",
                                      ini.c_str());
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    for (const char* name : {"Child", "Parent"})
        for (int i = 0; i < 40; ++i)
            EXPECT_EQ(platform_profile_read_int((std::string(name) + std::to_string(i)).c_str(),
                                                "UCode", -1, ini.c_str()),
                      1)
                << name << i;
}

} // namespace
