// What WinMain does before it opens the dialog: the monitor callbacks and the version text.
#include "app_state.h"
#include "monitor.h"
#include "version.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

class DialogEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        InstallMonitorCallbacks();
        char modulePath[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
        GetModuleVersionString(modulePath, g_app.versionText);
    }
};

[[maybe_unused]] testing::Environment* const g_environment =
    testing::AddGlobalTestEnvironment(new DialogEnvironment);

} // namespace
