// The configuration dialog: initial check, OK, cancel and one instance at a time
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "config/config_dialog.h"
#include "config/config_template.h"
#include "config/ucode_select.h"
#include "support/test_host.h"

namespace {

class ConfigDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        selected_ucode = -1;
        ucode_chosen   = 0;
        config_dialog  = nullptr;
    }
};

TEST_F(ConfigDialog, OpensWithTheSelectedFamilyChecked) {
    struct Case {
        int32_t selected;
        std::vector<int> checked;
    } cases[] = {{-1, {1000}}, {0, {1000}}, {1, {1001}}, {3, {1003}}, {6, {1006}},
                 {8, {1008}},  {9, {}},     {-2, {}},    {1000, {}}};
    for (const Case& k : cases) {
        ScriptedUi ui;
        config_dialog  = nullptr;
        selected_ucode = k.selected;
        open_config_dialog();
        ASSERT_TRUE(ui.dialog_open());
        EXPECT_EQ(ui.checked_controls(), k.checked) << "selected_ucode " << k.selected;
    }
}

TEST_F(ConfigDialog, OkStoresTheFirstCheckedFamily) {
    struct Case {
        int32_t selected;
        int click; // a radio button clicked before OK, or 0
        int32_t stored;
    } cases[] = {{-1, 0, 0}, {2, 0, 2}, {-1, 1006, 6}, {4, 1001, 1}, {9, 0, -1}, {9, 1003, 3}};
    for (const Case& k : cases) {
        ScriptedUi ui;
        selected_ucode = k.selected;
        ucode_chosen   = 0;
        open_config_dialog();
        if (k.click) ui.click(k.click);
        ui.click(kIdOk);
        EXPECT_EQ(selected_ucode.load(), k.stored)
            << "from " << k.selected << ", click " << k.click;
        EXPECT_EQ(ucode_chosen.load(), 1);
        EXPECT_FALSE(ui.dialog_open());
        EXPECT_EQ(config_dialog.load(), nullptr);
    }
}

TEST_F(ConfigDialog, CancelChangesNothing) {
    ScriptedUi ui;
    selected_ucode = 3;
    open_config_dialog();
    ui.click(1005);
    ui.click(kIdCancel);
    EXPECT_EQ(selected_ucode.load(), 3);
    EXPECT_EQ(ucode_chosen.load(), 0);
    EXPECT_FALSE(ui.dialog_open());
    EXPECT_EQ(config_dialog.load(), nullptr);
}

TEST_F(ConfigDialog, OneDialogAtATime) {
    ScriptedUi ui;
    open_config_dialog();
    ui.click(1002);
    open_config_dialog();
    EXPECT_EQ(ui.dialogs_opened, 1) << "a second DllConfig while open opens nothing";
    EXPECT_EQ(ui.checked_controls(), std::vector<int>{1002}) << "and leaves the open one alone";
    EXPECT_FALSE(config_dialog_proc(config_dialog.load(), DialogMessage::command, 1002))
        << "other commands are not the procedure's";
    EXPECT_TRUE(ui.dialog_open());
    ui.click(kIdCancel);
    open_config_dialog();
    EXPECT_EQ(ui.dialogs_opened, 2) << "closed, it opens again";
}

// Without a display the dialog cannot be shown: DllConfig returns at once, the choices go
// to standard error and nothing changes.
TEST_F(ConfigDialog, WithoutADisplayItReportsTheChoicesAndChangesNothing) {
    if (std::getenv("DISPLAY")) GTEST_SKIP() << "a display would show the real dialog";
    testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    open_config_dialog();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    for (int i = 0; i < 200 && config_dialog.load(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // the thread's last words
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(config_dialog.load(), nullptr) << "the dialog ended";
    for (const char* label : kFamilyLabels)
        EXPECT_NE(err.find(label), std::string::npos) << label;
    EXPECT_NE(err.find("Configuration ..."), std::string::npos);
    EXPECT_EQ(selected_ucode.load(), -1);
    EXPECT_EQ(ucode_chosen.load(), 0);
}

} // namespace
