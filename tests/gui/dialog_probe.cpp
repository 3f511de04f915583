// Looks at another program's windows from outside, as an assistive tool would, for scripts that
// drive the shipped program: the text of a dialog's control, whether a control is enabled, and
// whether a popup menu is open. Every wait is bounded.
//
// Usage:
//   dialog_probe text CAPTION ID TEXT TIMEOUT_MS  waits until control ID of the top-level window
//                                                 CAPTION holds TEXT; prints the control's text
//   dialog_probe enabled CAPTION ID               prints 1 when the control is enabled, else 0
//   dialog_probe menu TIMEOUT_MS                  waits until a popup menu shows
// and drives it as a user's tool would, with the messages a click or a choice sends:
//   dialog_probe set CAPTION ID TEXT              puts TEXT into control ID
//   dialog_probe select CAPTION ID INDEX          selects entry INDEX of the drop-down list ID
//   dialog_probe click CAPTION ID                 clicks the button ID
//   dialog_probe close CAPTION                    the close box of the window CAPTION
// Exit status: 0 when what was asked for holds, 1 when it did not in time, 2 on a usage error.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr UINT kReplyTimeoutMs = 2000;

// Polls `holds` every 50 ms until it returns true or the time is up.
template <typename Condition> bool WaitFor(Condition holds, unsigned timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!holds()) {
        if (GetTickCount64() >= deadline) {
            return holds();
        }
        Sleep(50);
    }
    return true;
}

HWND Control(const char* caption, int id) {
    HWND window = FindWindowA(nullptr, caption);
    return window != nullptr ? GetDlgItem(window, id) : nullptr;
}

// The control's text, asked of the thread that owns it; empty when it does not answer.
std::string TextOf(HWND control) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &length)) {
        return {};
    }
    std::vector<char> text(length + 1);
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kReplyTimeoutMs, &copied)) {
        return {};
    }
    return std::string(text.data(), copied);
}

bool MenuShows() {
    // The system's class of popup menus.
    HWND menu = FindWindowA("#32768", nullptr);
    return menu != nullptr && IsWindowVisible(menu);
}

int Usage() {
    std::fprintf(stderr, "usage: dialog_probe text CAPTION ID TEXT TIMEOUT_MS | enabled CAPTION ID | menu "
                         "TIMEOUT_MS | set CAPTION ID TEXT | select CAPTION ID INDEX | click CAPTION ID | "
                         "close CAPTION\n");
    return 2;
}

// Sends the message to the control and waits for it to be handled; false when it was not.
bool SendToControl(const char* caption, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND control = Control(caption, id);
    DWORD_PTR reply = 0;
    return control != nullptr &&
           SendMessageTimeoutA(control, message, wParam, lParam, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &reply);
}

} // namespace

int main(int argc, char** argv) {
    // The text goes out as the control holds it, line ends included.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc >= 2 && std::strcmp(argv[1], "text") == 0 && argc == 6) {
        const char* caption = argv[2];
        const int id = std::atoi(argv[3]);
        const std::string wanted = argv[4];
        std::string text;
        const bool found = WaitFor(
            [&] {
                HWND control = Control(caption, id);
                text = control != nullptr ? TextOf(control) : std::string();
                return text.find(wanted) != std::string::npos;
            },
            static_cast<unsigned>(std::atoi(argv[5])));
        std::fwrite(text.data(), 1, text.size(), stdout);
        return found ? 0 : 1;
    }
    if (argc >= 2 && std::strcmp(argv[1], "enabled") == 0 && argc == 4) {
        HWND control = Control(argv[2], std::atoi(argv[3]));
        if (control == nullptr) {
            return 1;
        }
        std::printf("%d", IsWindowEnabled(control) ? 1 : 0);
        return 0;
    }
    if (argc == 5 && std::strcmp(argv[1], "set") == 0) {
        return SendToControl(argv[2], std::atoi(argv[3]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]))
                   ? 0
                   : 1;
    }
    if (argc == 5 && std::strcmp(argv[1], "select") == 0) {
        return SendToControl(argv[2], std::atoi(argv[3]), CB_SETCURSEL, std::atoi(argv[4]), 0) ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "click") == 0) {
        // Posted: a click may open a modal loop of its own.
        HWND control = Control(argv[2], std::atoi(argv[3]));
        return control != nullptr && PostMessageA(control, BM_CLICK, 0, 0) ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "close") == 0) {
        HWND window = FindWindowA(nullptr, argv[2]);
        return window != nullptr && PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
    }
    if (argc >= 2 && std::strcmp(argv[1], "menu") == 0 && argc == 3) {
        return WaitFor(MenuShows, static_cast<unsigned>(std::atoi(argv[2]))) ? 0 : 1;
    }
    return Usage();
}
