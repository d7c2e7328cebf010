// vexa-settings: the [Settings] section of vexa_ogl.ini, every setting with its default and what
// it does in comments, as the Windows release ships it
#include <cstdio>
#include <string>

#include "config/settings.h"
#include "state/host_state.h"

// `text` as comment lines of at most 96 characters.
static void comment(const std::string& text) {
    std::string line = ";";
    size_t start     = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        if (line.size() > 1 && line.size() + 1 + word.size() > 96) {
            std::printf("%s\n", line.c_str());
            line = ";";
        }
        line += " " + word;
        start = end + 1;
    }
    std::printf("%s\n", line.c_str());
}

static std::string listed(const char* values) {
    std::string list = values;
    for (size_t at; (at = list.find('|')) != std::string::npos;)
        list.replace(at, 1, list.find('|', at + 1) == std::string::npos ? " or " : ", ");
    return list;
}

int main() {
    comment(std::string("Settings of ") + kPluginName +
            ", read when the emulator starts the plug-in. Names and values are taken without "
            "regard to case; a value not listed gives the default and a line in the log. The "
            "plug-in adds a section per game below (the microcode family you chose).");
    std::printf("[Settings]\n");
    for (const SettingRow& row : setting_rows()) {
        if (row.mupen64plus_only) continue;
        std::printf("\n");
        comment(row.description);
        if (row.values)
            comment("Values: " + listed(row.values) + "; default " + setting_default(row) + ".");
        std::printf("%s=%s\n", row.key, setting_default(row).c_str());
    }
    std::printf("\n");
    comment("Frame captures for bug reports: the next CaptureFrames drawn frames are written to "
            "CaptureFolder (empty: none), one .vxc file each. vexa-host.exe --replay draws them, "
            "vexa-dis.exe lists their commands.");
    std::printf("CaptureFolder=\nCaptureFrames=1\n");
    return 0;
}
