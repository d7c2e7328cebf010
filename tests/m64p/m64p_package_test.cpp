// scripts/package: the plug-in's Debian package, named as Debian names its video plug-ins, with
// the plug-in where Debian's mupen64plus looks for it
#include <gtest/gtest.h>

#include <cstdio>

#include "support/config_files.h"

TEST(M64pPackage, HoldsThePluginWhereMupen64plusFindsIt) {
    TempFolder out;
    const std::string deb  = out.file("mupen64plus-video-vexa_" VEXA_VERSION "-1_*.deb");
    const std::string list = VEXA_SOURCE_DIR "/scripts/package " + out.path.string() +
                             " >/dev/null 2>&1 && " + "dpkg-deb -c " + deb +
                             " | awk '!/\\/$/ { print $6 }' && dpkg-deb -f " + deb +
                             " Package Provides";
    std::string text;
    char buffer[512];
    FILE* pipe = popen(list.c_str(), "r");
    while (pipe && std::fgets(buffer, sizeof buffer, pipe))
        text += buffer;
    EXPECT_EQ(pipe ? pclose(pipe) : -1, 0);
    EXPECT_EQ(text, "./usr/lib/" VEXA_MULTIARCH "/mupen64plus/mupen64plus-video-vexa.so\n"
                    "./usr/share/doc/mupen64plus-video-vexa/README.md\n"
                    "Package: mupen64plus-video-vexa\nProvides: mupen64plus-video\n");
}
