// The simplest frame: the plug-in's clear, a nested call and the end of the list
#include "dl_builder.h"
#include "scenes.h"

static uint32_t build_clear(Console& console, int) {
    DisplayList nested(console, 0x100100);
    nested.add({cmd::pipe_sync(), cmd::end_dl()});
    DisplayList main(console, 0x100000);
    main.add({cmd::set_color_image(320, 0x200000), cmd::set_scissor(0, 0, 320, 240),
              cmd::call_dl(nested.start()), cmd::full_sync(), cmd::end_dl()});
    return main.start();
}

static SceneRegistrar clear_scene({"clear", "a cleared frame: opaque black", 0, 0x5645584Au,
                                   0x00000001u, 1, build_clear});
