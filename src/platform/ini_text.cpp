// The text of a Windows profile (INI) file: [section] headers and key=value lines
#include "platform/ini_text.h"

#include <vector>

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back()))
        s.remove_suffix(1);
    return s;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// One line of the file without its line break; `end` is where the next line starts.
struct Line {
    std::string_view content; // without "\n" or "\r\n"
    size_t begin, end;        // byte range in the text, line break included
};

std::vector<Line> split_lines(std::string_view text) {
    std::vector<Line> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t newline = text.find('\n', begin);
        size_t end     = newline == std::string_view::npos ? text.size() : newline + 1;
        std::string_view content =
            text.substr(begin, (newline == std::string_view::npos ? end : newline) - begin);
        if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
        lines.push_back({content, begin, end});
        begin = end;
    }
    return lines;
}

// "[name]" gives true and the name; a missing ']' ends the name at the end of the line.
bool section_header(std::string_view line, std::string_view* name) {
    line = trim(line);
    if (line.empty() || line.front() != '[') return false;
    line.remove_prefix(1);
    size_t close = line.find(']');
    *name        = trim(close == std::string_view::npos ? line : line.substr(0, close));
    return true;
}

// "key=value" gives true, the key and where the value starts in the line.
bool key_line(std::string_view line, std::string_view* key, size_t* value_at) {
    std::string_view t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return false;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    *key      = trim(line.substr(0, eq));
    *value_at = eq + 1;
    return true;
}

struct Place {
    bool section_found       = false;
    size_t section_last_line = 0; // last non-blank line of the section (its header at least)
    bool key_found           = false;
    size_t key_line          = 0;
    size_t value_at          = 0;
};

Place place_of(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Place p;
    bool inside = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (section_header(lines[i].content, &name)) {
            if (p.section_found) break; // only the first matching section counts
            inside = same_name(name, section);
            if (inside) {
                p.section_found     = true;
                p.section_last_line = i;
            }
            continue;
        }
        if (!inside) continue;
        if (!trim(lines[i].content).empty()) p.section_last_line = i;
        std::string_view k;
        size_t value_at;
        if (!p.key_found && key_line(lines[i].content, &k, &value_at) && same_name(k, key)) {
            p.key_found = true;
            p.key_line  = i;
            p.value_at  = value_at;
        }
    }
    return p;
}

std::string one_line(std::string_view value) {
    std::string s(value);
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

// What a text that does not end in "\n" needs before a line of its own: a "\r" at the end is
// a line break cut short and only needs its "\n" (another "\r" would join the line).
std::string_view break_to_complete(std::string_view text, const char* newline) {
    if (text.empty() || text.back() == '\n') return {};
    return text.back() == '\r' ? "\n" : newline;
}

} // namespace

bool ini_find_value(std::string_view text, std::string_view section, std::string_view key,
                    std::string* value) {
    const std::vector<Line> lines = split_lines(text);
    const Place p                 = place_of(lines, section, key);
    if (!p.key_found) return false;
    std::string_view v = trim(lines[p.key_line].content.substr(p.value_at));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    value->assign(v);
    return true;
}

std::string ini_set_value(std::string_view text, std::string_view section, std::string_view key,
                          std::string_view value) {
    const std::vector<Line> lines = split_lines(text);
    const Place p                 = place_of(lines, section, key);
    const char* newline           = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    const std::string entry       = std::string(trim(key)) + "=" + one_line(value);

    std::string out;
    out.reserve(text.size() + entry.size() + section.size() + 8);
    if (p.key_found) {
        const Line& l = lines[p.key_line];
        out += text.substr(0, l.begin);
        out += l.content.substr(0, p.value_at);
        out += one_line(value);
        out += text.substr(l.begin + l.content.size());
        return out;
    }
    if (p.section_found) {
        const Line& l = lines[p.section_last_line];
        out += text.substr(0, l.end);
        out += break_to_complete(text.substr(0, l.end), newline);
        out += entry;
        out += newline;
        out += text.substr(l.end);
        return out;
    }
    out += text;
    out += break_to_complete(text, newline);
    out += "[" + one_line(trim(section)) + "]";
    out += newline;
    out += entry;
    out += newline;
    return out;
}

int32_t profile_int(std::string_view value, int32_t fallback) {
    size_t i = 0;
    while (i < value.size() && is_blank(value[i]))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    if (i >= value.size() || value[i] < '0' || value[i] > '9') return fallback;
    uint32_t n = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
        n = n * 10 + static_cast<uint32_t>(value[i] - '0');
    return static_cast<int32_t>(negative ? 0u - n : n);
}
