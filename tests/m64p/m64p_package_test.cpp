// scripts/package: the plug-in's Debian package, named as Debian names its video plug-ins, with
// the plug-in where Debian's mupen64plus looks for it
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/config_files.h"

namespace {

std::string output_of(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

TEST(M64pPackage, HoldsThePluginWhereMupen64plusFindsIt) {
    TempFolder out;
    const std::string script = VEXA_SOURCE_DIR "/scripts/package " + out.path.string();
    ASSERT_EQ(std::system((script + " >" + out.file("log.txt") + " 2>&1").c_str()), 0)
        << read_file(out.file("log.txt"));
    const std::string deb = out.file("mupen64plus-video-vexa_" VEXA_VERSION "-1_" +
                                     output_of("dpkg --print-architecture | tr -d '\\n'") + ".deb");
    EXPECT_EQ(output_of("dpkg-deb -c " + deb + " | awk '{print $6}' | grep -v '/$'"),
              "./usr/lib/" VEXA_MULTIARCH "/mupen64plus/mupen64plus-video-vexa.so\n"
              "./usr/share/doc/mupen64plus-video-vexa/README.md\n");
    EXPECT_EQ(output_of("dpkg-deb -f " + deb + " Package Provides"),
              "Package: mupen64plus-video-vexa\nProvides: mupen64plus-video\n");
    EXPECT_NE(output_of("dpkg-deb -f " + deb + " Depends").find("mupen64plus-vidext-abi-3"),
              std::string::npos);
}

} // namespace
