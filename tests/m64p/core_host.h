// A mupen64plus front end for tests: Debian's core started without a ROM, one video plug-in
// attached to it, and the console memories of a stand-in emulator handed to the plug-in
#pragma once
#include <string>
#include <vector>

#include "console.h"
#include "m64p_plugin.h"
#include "m64p_types.h"

struct CoreMessage {
    int level; // m64p_msg_level
    std::string text;
};

// The video plug-in's functions, looked up by name as the core does.
struct VideoPlugin {
    void* library = nullptr;
    std::string name;
    m64p_error (*PluginStartup)(m64p_dynlib_handle, void*, void (*)(void*, int, const char*));
    m64p_error (*PluginShutdown)();
    m64p_error (*PluginGetVersion)(m64p_plugin_type*, int*, int*, const char**, int*);
    int (*InitiateGFX)(GFX_INFO);
    int (*RomOpen)();
    void (*RomClosed)();
    void (*ProcessDList)();
    void (*UpdateScreen)();
    void (*ReadScreen2)(void*, int*, int*, int);
    void (*SetRenderingCallback)(void (*)(int));
    void (*ChangeWindow)();                      // null where the plug-in has none
    void (*ResizeVideoOutput)(int, int);         // null where the plug-in has none
    void (*FBGetFrameBufferInfo)(void*);         // null where the plug-in has none
    void (*FBWrite)(unsigned int, unsigned int); // null where the plug-in has none
};

// The registers GFX_INFO points at, for a 320 x 240 16-bit picture at the colour image.
struct VideoRegisters {
    unsigned int dpc[9]{};
    unsigned int vi_status = 0x320E, vi_origin = 0x200000, vi_width = 320, vi_intr = 2,
                 vi_current_line = 0, vi_timing = 0x03E52239, vi_v_sync = 0x20D, vi_h_sync = 0xC15,
                 vi_leap = 0x0C150C15, vi_h_start = 0x006C02EC, vi_v_start = 0x002501FF,
                 vi_v_burst = 0x000E0204, vi_x_scale = 0x200, vi_y_scale = 0x400;
    unsigned int sp_status  = 0x203; // halted, broke, task done: as before ProcessDList
    unsigned int rdram_size = Console::kRdramSize;
};

class CoreHost {
  public:
    ~CoreHost() { stop(); }
    // Loads libmupen64plus.so.2 and starts it with its configuration (and data and cache)
    // in a fresh temporary folder. False with the reason in *error.
    bool start(std::string* error);
    void stop();
    const std::string& config_dir() const { return config_dir_; }

    // Loads a video plug-in and runs its PluginStartup with this core.
    bool attach(const std::string& path, VideoPlugin* plugin, std::string* error);
    void detach(VideoPlugin* plugin);

    GFX_INFO gfx_info(Console& console, VideoRegisters& registers);

    // A parameter in the core's configuration, as a user or front end sets it.
    bool set_parameter(const char* section, const char* name, int value);
    bool set_parameter(const char* section, const char* name, const char* value);

    std::vector<CoreMessage> messages; // everything the core and plug-in logged
    bool echo = false;                 // also print each message to standard error

  private:
    void* core_ = nullptr;
    std::string config_dir_;
};

// Where the graphics task's header puts the microcode and its data, and what they hold:
// a fixed pattern for the code (several plug-ins identify a microcode by a checksum of it,
// and zeros could match one) and the identification text of the family.
constexpr uint32_t kUcodeAddress     = 0x7E0000;
constexpr uint32_t kUcodeSize        = 0x1000;
constexpr uint32_t kUcodeDataAddress = 0x7F0000;
constexpr uint32_t kUcodeDataSize    = 0x800;

// The identification text of a microcode of `family`, or null where the family has none.
const char* ucode_text_of_family(int family);
// Writes the task header (graphics task, microcode, its data, the display list) into DMEM,
// the code pattern and `text` (null: none) into RDRAM.
void set_gfx_task(Console& console, uint32_t dlist_address, const char* text);

// The frame the plug-in drew, through its ReadScreen2: RGB rows, bottom row first.
bool read_screen(const VideoPlugin& plugin, std::vector<uint8_t>* rgb, int* width, int* height);
