// The plug-in's INI file as a user who saved a game's microcode choice leaves it
#pragma once
#include <cstdint>
#include <string>

// The INI section of a ROM header (64 bytes, 32-bit words in host byte order): the two
// checksum words with their bytes reversed and the country code, "%08X%08X-%02X".
std::string ini_section_of(const uint8_t* rom_header);

// <folder of this executable>/Plugin//vexa_ogl.ini, where the plug-in looks.
std::string plugin_ini_path();

// Writes Name and UCode = family into the header's section; creates the Plugin folder.
// False with a message in *error when the file cannot be written.
bool save_family_choice(const uint8_t* rom_header, int family, std::string* error);
// Writes key = value into [Settings], as a player who set the plug-in up would.
bool save_setting(const char* key, const std::string& value, std::string* error);
// The same in the INI file at `path` (a host whose plug-in keeps it elsewhere).
bool save_family_choice_in(const std::string& path, const uint8_t* rom_header, int family,
                           std::string* error);
