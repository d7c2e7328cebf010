// One fuzz input through the INI reader and writer, in memory and through a real file
#pragma once
#include <unistd.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/ini_text.h"
#include "platform/platform.h"

// The input is the file's text, then the section, key and value the plug-in looks up and
// writes, each after a zero byte; missing ones are the plug-in's own.
struct IniInput {
    std::string_view text;
    std::string section = "0123ABCD89EF4567-45";
    std::string key     = "UCode";
    std::string value   = "3";
};

inline IniInput parse_ini_input(const uint8_t* data, size_t size) {
    IniInput in;
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    size_t zero           = rest.find('\0');
    in.text               = rest.substr(0, zero);
    std::string* fields[] = {&in.section, &in.key, &in.value};
    for (std::string* f : fields) {
        if (zero == std::string_view::npos) break;
        rest = rest.substr(zero + 1);
        zero = rest.find('\0');
        f->assign(rest.substr(0, zero));
    }
    return in;
}

// A name that a profile file can hold: no line break, bracket, '=' or ';' and no blanks at
// either end. A value: no blanks or quotes at either end.
inline bool plain_name(std::string_view s) {
    if (s.empty() || s.front() == ' ' || s.front() == '\t' || s.back() == ' ' || s.back() == '\t')
        return false;
    return s.find_first_of("\r\n[]=;") == std::string_view::npos;
}
inline bool plain_value(std::string_view s) {
    if (s.empty()) return true;
    const char ends[] = " \t\"'";
    return std::string_view(ends).find(s.front()) == std::string_view::npos &&
           std::string_view(ends).find(s.back()) == std::string_view::npos;
}

// What a line of its own makes of a value: line breaks turn into blanks.
inline std::string as_one_line(std::string v) {
    for (char& c : v)
        if (c == '\r' || c == '\n') c = ' ';
    return v;
}

// Returns false when a value written cannot be read back.
inline bool run_ini_text(const IniInput& in) {
    std::string found;
    ini_find_value(in.text, in.section, in.key, &found);
    profile_int(found, -1);
    profile_int(in.text, -1);

    const std::string written = ini_set_value(in.text, in.section, in.key, in.value);
    if (!plain_name(in.section) || !plain_name(in.key)) return true;
    const std::string expected = as_one_line(in.value);
    if (!plain_value(expected)) return true;
    std::string read_back;
    return ini_find_value(written, in.section, in.key, &read_back) && read_back == expected;
}

// The same through a file that holds the input's bytes, as the plug-in reads and saves it.
inline bool run_ini_file(const IniInput& in, const std::string& path) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(in.text.data(), 1, in.text.size(), f);
        std::fclose(f);
    }
    platform_profile_read_int(in.section.c_str(), in.key.c_str(), -1, path.c_str());
    const bool written = platform_profile_write_string(in.section.c_str(), in.key.c_str(),
                                                       in.value.c_str(), path.c_str());
    // The C strings end at the first zero byte: compare what the file was given.
    const std::string section = in.section.c_str(), key = in.key.c_str();
    const std::string value = in.value.c_str();
    const int32_t read_back =
        platform_profile_read_int(section.c_str(), key.c_str(), -7, path.c_str());
    std::remove(path.c_str());
    if (!written || !plain_name(section) || !plain_name(key)) return true;
    const std::string expected = as_one_line(value);
    if (!plain_value(expected)) return true;
    return read_back == (expected.empty() ? -7 : profile_int(expected, -7));
}
