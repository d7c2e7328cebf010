// The plug-in of this build (VEXA_PLUGIN_PATH), loaded once per process as a host loads it
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "plugin_loader.h"

inline Plugin& loaded_plugin() {
    static Plugin p;
    static bool loaded = [] {
        std::string error;
        const bool ok = load_plugin(VEXA_PLUGIN_PATH, &p, &error);
        EXPECT_TRUE(ok) << error;
        return ok;
    }();
    EXPECT_TRUE(loaded);
    return p;
}
