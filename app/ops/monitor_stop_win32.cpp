#include "monitor_stop.h"

#include "corvane.h"
#include "program_device.h"

#include <windows.h>

#include <atomic>

namespace {

// The console's control events come on a thread of their own, which may still be waiting on
// these when the ConsoleStop ends; so they are made once and kept.
HANDLE g_stop = nullptr;
HANDLE g_done = nullptr;
std::atomic<bool> g_armed{false};
std::atomic<OperationParams*> g_stopParams{nullptr};
std::atomic<bool> g_requested{false};

// How long a console being closed waits for the port to be put back; the system ends the
// process a little later whatever the handler does.
constexpr DWORD kCloseWaitMs = 4000;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        break;
    default:
        return FALSE;
    }
    g_requested = true;
    if (OperationParams* params = g_stopParams.load()) {
        std::atomic_ref<std::int32_t>(params->keepRunning).store(0);
    }
    if (g_device.idle.load() == 0) {
        g_device.cancel.store(1);
    }
    SetEvent(g_stop);
    // The process ends when the handler of a closing console returns.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        WaitForSingleObject(g_done, kCloseWaitMs);
    }
    return TRUE;
}

} // namespace

ConsoleStop::ConsoleStop(OperationParams* params) {
    g_requested = false;
    if (g_stop == nullptr) {
        g_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        g_done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    } else {
        ResetEvent(g_stop);
        ResetEvent(g_done);
    }
    g_stopParams.store(params);
    g_armed = g_stop != nullptr;
    // A program started in a process group of its own has Ctrl+C switched off.
    SetConsoleCtrlHandler(nullptr, FALSE);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

ConsoleStop::~ConsoleStop() {
    SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    g_stopParams.store(nullptr);
    g_armed = false;
    Done();
}

bool ConsoleStop::Requested() const {
    return g_requested;
}

void ConsoleStop::Done() {
    if (g_done != nullptr) {
        SetEvent(g_done);
    }
}

void* StopEvent() {
    return g_armed ? g_stop : nullptr;
}

bool SleepUnlessStopped(std::chrono::milliseconds time) {
    const DWORD ms = static_cast<DWORD>(time.count());
    HANDLE stop = StopEvent();
    if (stop == nullptr) {
        Sleep(ms);
        return false;
    }
    return WaitForSingleObject(stop, ms) == WAIT_OBJECT_0;
}
