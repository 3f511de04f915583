// The dialog's side of an operation, on real windows: the buttons, the status text and the title.
#include "app_state.h"
#include "executor.h"
#include "monitor.h"
#include "program_device.h"
#include "resource_ids.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <string>
#include <windows.h>

namespace {

std::string TextOf(HWND window) {
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

HWND Child(HWND parent, const char* className, int id, DWORD style) {
    return CreateWindowExA(0, className, "", WS_CHILD | style, 0, 0, 80, 20, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                           nullptr);
}

class StatusWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog_ = CreateWindowExA(0, "STATIC", "Tevrix", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(dialog_, nullptr);
        // As while an operation runs: Execute off, Cancel Op on.
        execute_ = Child(dialog_, "BUTTON", IDC_EXECUTE, WS_DISABLED);
        cancel_ = Child(dialog_, "BUTTON", IDC_CANCEL_OP, 0);
        status_ = Child(dialog_, "STATIC", IDC_STATUS, 0);
        g_app = AppState{};
        g_app.mainDialog = dialog_;
        g_app.progressWindow = status_;
    }
    void TearDown() override {
        DestroyWindow(dialog_);
        g_app = AppState{};
    }

    HWND dialog_ = nullptr;
    HWND execute_ = nullptr;
    HWND cancel_ = nullptr;
    HWND status_ = nullptr;
};

} // namespace

TEST_F(StatusWindowTest, AfterAnOperationExecuteIsOnCancelIsOffAndTheStatusIsIdle) {
    OperationParams params{};
    params.operation = OP_WRITE;
    EXPECT_EQ(ExecuteOperation(&g_device, &params, kProgramMonitorReports), 0);
    EXPECT_TRUE(IsWindowEnabled(execute_));
    EXPECT_FALSE(IsWindowEnabled(cancel_));
    EXPECT_EQ(TextOf(status_), "Idle");
}

TEST_F(StatusWindowTest, MonitoringShowsInTheTitleUntilItEnds) {
    OnMonitorBegin(0, 0);
    EXPECT_EQ(TextOf(dialog_), "Tevrix: MONITORING");
    EXPECT_EQ(TextOf(status_), "Monitoring...");
    OnMonitorEnd(0, 0);
    EXPECT_EQ(TextOf(dialog_), "Tevrix");
    EXPECT_EQ(TextOf(status_), "Idle");
}
#endif
