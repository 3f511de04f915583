#pragma once
// The dialog front end: the main dialog with its detection and operation threads, and the About
// box.
#include <windows.h>

#include <cstdint>

// Sent by the detection thread to the main dialog; lParam points to a DetectionResult that stays
// valid until the message has been handled.
constexpr UINT WM_HARDWARE_DETECTED = WM_USER + 1;

// Sent by the operation thread when the operation has ended: wParam 1 for done and 0 for failed,
// lParam non-zero when the device no longer answers. (Above WM_USER the dialog manager has
// messages of its own.)
constexpr UINT WM_OPERATION_ENDED = WM_APP + 2;

struct DetectionResult {
    char name[200];
    std::uint8_t firmwareVersion[3];
    std::uint32_t capabilities;
};

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Searches for the hardware and reports the result to the main dialog.
DWORD WINAPI DetectHardwareThread(LPVOID);

// Runs the operation that g_params describes.
DWORD WINAPI OperationThread(LPVOID);

// A search still under way when the dialog has ended must not outlive it: the device object is
// the process's one; waits for it, bounded.
void WaitForSearchToEnd();

// Registers the control classes and runs the main dialog until the user closes it; returns 0.
int RunDialogMode(HINSTANCE instance);
