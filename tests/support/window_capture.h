#pragma once
#include "png_writer.h"

#include <windows.h>

// The window's client area as it is on screen after it has painted (UpdateWindow first).
Image CaptureClient(HWND window);

// The whole window, frame and menu included, as it is on screen after it has painted again.
Image CaptureWindow(HWND window);

// Dispatches the thread's pending messages.
void PumpMessages();
