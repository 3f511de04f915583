#pragma once
// Runs the real main dialog (RunDialogMode, as WinMain does) on a thread of its own and lets a
// test drive it from outside: controls found by id, clicks sent as messages, every wait bounded.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class DialogSession {
  public:
    // Starts the dialog and waits until it shows; dialog() is null when it did not.
    DialogSession();
    ~DialogSession();
    DialogSession(const DialogSession&) = delete;
    DialogSession& operator=(const DialogSession&) = delete;

    HWND dialog() const { return dialog_; }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    std::string Text(HWND window) const;
    std::string ItemText(int id) const { return Text(Item(id)); }
    std::string Log() const { return ItemText(1000); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool Checked(int id) const;

    // A click as the user makes it: the button handles BM_CLICK on the dialog's thread.
    void Click(int id) const;
    // The window that has the keyboard focus on the dialog's thread; null when none has.
    HWND Focused() const;
    // A key pressed where the focus is (Alt held for `alt`), through the dialog's message loop as
    // a key of the keyboard goes; returns once the dialog's thread has handled it.
    void PressKey(UINT key, bool alt = false) const;
    // Menu and inset-button commands arrive posted, since some open modal loops.
    void PostCommand(int id) const;
    // Chooses an existing file through the real open-file dialog of the "..." button, with the
    // operation set to a write first (a read chooses with the save dialog).
    bool ChooseFile(const std::string& path) const;
    // The file-name box of a file dialog; null when it has none.
    static HWND FileNameBox(HWND chooser);
    // The file types that dialog offers, in order; it is cancelled afterwards.
    std::vector<std::string> ChooserFileTypes() const;

    // A top-level window of the dialog's thread with this caption (other than `except`), waiting
    // up to timeoutMs.
    HWND FindThreadWindow(const char* caption, int timeoutMs, HWND except = nullptr) const;

    // Ends the dialog with File, Exit and waits for its thread; true when it ended in time.
    bool Close();
    // True when the dialog's thread has ended within timeoutMs.
    bool WaitForEnd(int timeoutMs);

  private:
    static DWORD WINAPI Run(LPVOID);
    // Opens the file dialog with the "..." button; its window, or null when it did not show.
    HWND OpenChooser() const;

    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    HWND dialog_ = nullptr;
};

// Polls the condition every 20 ms until it holds or timeoutMs has passed; returns its last value.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);

// The bound of a wait for something that takes a second or two on a quiet machine: generous, so
// that a loaded one only makes the test slower.
constexpr int kEventTimeoutMs = 60000;

// Saves a screenshot of the window (frame, menu and client area) under the artifacts directory.
void SaveScreenshot(HWND window, const std::string& fileName);
