// What vexa-host needs of the operating system: its own path, a window, the drawn frame
#pragma once
#include <cstdint>
#include <string>
#include <vector>

std::string executable_dir();
std::string executable_path();
std::string default_plugin_path(); // the plug-in beside the executable (Windows: or in Plugin)

// The host window handed to the plug-in, of the given client size (0 x 0: the default size,
// or on Linux none: the plug-in makes its own). False after a message on standard error.
bool make_host_window(int width, int height, void** window);
// Lets the window system deliver what is pending for the host's windows.
void pump_host_messages();

// The frame the last interpreted task drew, from the buffer it drew into (bottom row first).
bool read_frame(std::vector<uint8_t>* rgba, int* width, int* height);

// Runs a command line, as a shell would; the exit code.
int run_command(const std::string& command);
