// The text of a Windows profile (INI) file: [section] headers and key=value lines
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Section and key names match without regard to case; lines before the first section,
// comment lines (';') and lines without '=' are nobody's keys. Any bytes are accepted.

// The value of `key` in the first `section`, blanks and one pair of quotes stripped.
// False when the text has no such key.
bool ini_find_value(std::string_view text, std::string_view section, std::string_view key,
                    std::string* value);

// The text with `key` in `section` set to `value`. A missing key is added after the last
// line of the section, a missing section at the end; every other line is kept as it was.
// Line breaks in `value` become blanks, so a value can never start a line of its own.
std::string ini_set_value(std::string_view text, std::string_view section, std::string_view key,
                          std::string_view value);

// A value read as an integer the way GetPrivateProfileIntA does: leading blanks, an
// optional sign, then decimal digits up to the first other character (wrapping at 32
// bits). `fallback` when there is no digit.
int32_t profile_int(std::string_view value, int32_t fallback);
