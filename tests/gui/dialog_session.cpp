#include "dialog_session.h"

#include "main_dialog.h"
#include "png_writer.h"
#include "resource_ids.h"
#include "wait_until.h"
#include "window_capture.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace {

struct ThreadWindowSearch {
    const char* caption;
    HWND except;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<ThreadWindowSearch*>(context);
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    if (window != search->except && IsWindowVisible(window) && std::strcmp(text, search->caption) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindFileNameEdit(HWND window, LPARAM context) {
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    // The file-name box of the open dialog: an edit (edt1) or the edit inside its combo box (cmb13).
    const int id = GetDlgCtrlID(window);
    const int parentId = GetDlgCtrlID(GetParent(window));
    if (_stricmp(className, "Edit") == 0 && (id == 0x480 || parentId == 0x47C)) {
        *reinterpret_cast<HWND*>(context) = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    return WaitUntil(condition, std::chrono::milliseconds(timeoutMs));
}

DWORD WINAPI DialogSession::Run(LPVOID) {
    return static_cast<DWORD>(RunDialogMode(GetModuleHandleA(nullptr)));
}

DialogSession::DialogSession() {
    thread_ = CreateThread(nullptr, 0, Run, nullptr, 0, &threadId_);
    if (thread_ != nullptr) {
        dialog_ = FindThreadWindow("Tevrix", kEventTimeoutMs);
    }
}

DialogSession::~DialogSession() {
    Close();
    if (thread_ != nullptr) {
        CloseHandle(thread_);
    }
}

std::string DialogSession::Text(HWND window) const {
    // The text progress control answers WM_GETTEXT but not WM_GETTEXTLENGTH.
    const auto length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> text(std::max<std::size_t>(static_cast<std::size_t>(length) + 1, 300));
    SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

bool DialogSession::Checked(int id) const {
    return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DialogSession::Click(int id) const {
    SendMessageA(Item(id), BM_CLICK, 0, 0);
}

HWND DialogSession::Focused() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(threadId_, &info) ? info.hwndFocus : nullptr;
}

void DialogSession::PressKey(UINT key, bool alt) const {
    HWND target = Focused();
    if (target == nullptr) {
        target = dialog_;
    }
    if (alt) {
        // A letter with Alt comes as a system character; bit 29 says Alt is down.
        PostMessageA(target, WM_SYSCHAR, key, 1 | (1 << 29));
    } else {
        PostMessageA(target, WM_KEYDOWN, key, 1);
        PostMessageA(target, WM_KEYUP, key, 1 | (3u << 30));
    }
    // A message posted after the keys is handled once they have been; its mark, the RAM start
    // address's length limit (far above what a number takes), is read back until it shows.
    HWND marker = Item(IDC_EMU_ADDRESS);
    const auto mark = SendMessageA(marker, EM_GETLIMITTEXT, 0, 0) == 0x7FFFFFF0 ? 0x7FFFFFF1 : 0x7FFFFFF0;
    PostMessageA(marker, EM_SETLIMITTEXT, mark, 0);
    WaitUntil([&] { return SendMessageA(marker, EM_GETLIMITTEXT, 0, 0) == mark; }, kEventTimeoutMs);
}

void DialogSession::PostCommand(int id) const {
    PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

HWND DialogSession::OpenChooser() const {
    // Posted: the chooser is modal, its loop runs inside the click.
    PostMessageA(Item(IDC_BROWSE), BM_CLICK, 0, 0);
    return FindThreadWindow("Select file...", kEventTimeoutMs);
}

bool DialogSession::ChooseFile(const std::string& path) const {
    SendMessageA(Item(IDC_OPERATION), CB_SETCURSEL, 1, 0);
    HWND chooser = OpenChooser();
    if (chooser == nullptr) {
        return false;
    }
    HWND name = FileNameBox(chooser);
    if (name == nullptr) {
        PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
        return false;
    }
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDOK)));
    return WaitUntil([&] { return !IsWindow(chooser); }, kEventTimeoutMs);
}

HWND DialogSession::FileNameBox(HWND chooser) {
    HWND name = nullptr;
    EnumChildWindows(chooser, FindFileNameEdit, reinterpret_cast<LPARAM>(&name));
    return name;
}

std::vector<std::string> DialogSession::ChooserFileTypes() const {
    std::vector<std::string> types;
    HWND chooser = OpenChooser();
    if (chooser == nullptr) {
        return types;
    }
    // The "files of type" list (cmb1).
    HWND list = GetDlgItem(chooser, 0x470);
    const auto count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = {};
        if (SendMessageA(list, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof text)) {
            SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        }
        types.emplace_back(text);
    }
    PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    WaitUntil([&] { return !IsWindow(chooser); }, kEventTimeoutMs);
    return types;
}

HWND DialogSession::FindThreadWindow(const char* caption, int timeoutMs, HWND except) const {
    ThreadWindowSearch search{caption, except, nullptr};
    WaitUntil(
        [&] {
            EnumThreadWindows(threadId_, MatchCaption, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

bool DialogSession::WaitForEnd(int timeoutMs) {
    return thread_ == nullptr || WaitForSingleObject(thread_, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

bool DialogSession::Close() {
    if (dialog_ != nullptr && IsWindow(dialog_)) {
        PostCommand(IDM_EXIT);
    }
    dialog_ = nullptr;
    return WaitForEnd(kEventTimeoutMs);
}

void SaveScreenshot(HWND window, const std::string& fileName) {
    WritePng(ArtifactPath(fileName), CaptureWindow(window));
}
