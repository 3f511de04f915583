#include "progress_recorder.h"

#include "status_window.h"

#include <algorithm>
#include <cstdio>
#include <future>
#include <utility>

void ProgressRecorder::Record(std::uint32_t message, std::intptr_t lParam) {
    std::string event;
    char text[32];
    switch (message) {
    case kWmSetText:
        event = std::string("text:") + reinterpret_cast<const char*>(lParam);
        break;
    case kPbmSetBkColor:
        std::snprintf(text, sizeof text, "bk:%06lX", static_cast<unsigned long>(lParam));
        event = text;
        break;
    case kPbmSetBarColor:
        std::snprintf(text, sizeof text, "bar:%06lX", static_cast<unsigned long>(lParam));
        event = text;
        break;
    case kTpmSetTextColor:
        std::snprintf(text, sizeof text, "fg:%06lX", static_cast<unsigned long>(lParam));
        event = text;
        break;
    default:
        std::snprintf(text, sizeof text, "msg:%X", message);
        event = text;
        break;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    events.push_back(std::move(event));
}

std::size_t ProgressRecorder::Count(const std::string& event) {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<std::size_t>(std::count(events.begin(), events.end(), event));
}

#ifndef _WIN32
ProgressRecorder::ProgressRecorder() = default;
ProgressRecorder::~ProgressRecorder() = default;

ProgressWindow ProgressRecorder::Window() {
    return this;
}

std::intptr_t ProgressRecorder::Receive(std::uint32_t message, std::uintptr_t, std::intptr_t lParam) {
    Record(message, lParam);
    return 0;
}
#else
ProgressRecorder::ProgressRecorder() {
    std::promise<HWND> made;
    std::future<HWND> window = made.get_future();
    thread_ = std::thread([this, &made] {
        static const ATOM atom = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = &ProgressRecorder::WindowProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "TevrixProgressRecorder";
            return RegisterClassA(&wc);
        }();
        HWND own = atom != 0 ? CreateWindowExA(0, "TevrixProgressRecorder", "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                               nullptr, GetModuleHandleA(nullptr), nullptr)
                             : nullptr;
        if (own != nullptr) {
            SetWindowLongPtrA(own, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        }
        made.set_value(own);
        MSG message;
        while (own != nullptr && GetMessageA(&message, nullptr, 0, 0) > 0) {
            DispatchMessageA(&message);
        }
    });
    window_ = window.get();
}

ProgressRecorder::~ProgressRecorder() {
    if (window_ != nullptr) {
        PostMessageA(window_, WM_CLOSE, 0, 0);
    }
    thread_.join();
}

ProgressWindow ProgressRecorder::Window() {
    return window_;
}

LRESULT CALLBACK ProgressRecorder::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    auto* recorder = reinterpret_cast<ProgressRecorder*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (recorder == nullptr || (message < WM_USER && message != WM_SETTEXT)) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    recorder->Record(message, static_cast<std::intptr_t>(lParam));
    return 0;
}
#endif
