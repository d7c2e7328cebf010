// The names a shared library exports, as `nm -D --defined-only` lists them, sorted
#pragma once
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

inline std::vector<std::string> exported_names(const std::string& library) {
    std::vector<std::string> names;
    FILE* f = popen(("nm -D --defined-only " + library).c_str(), "r");
    if (!f) return names;
    char line[512];
    while (std::fgets(line, sizeof line, f)) {
        std::string s(line);
        s.erase(s.find_last_not_of('\n') + 1);
        names.push_back(s.substr(s.rfind(' ') + 1));
    }
    pclose(f);
    std::sort(names.begin(), names.end());
    return names;
}
