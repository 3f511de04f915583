#include "main_dialog.h"

#include "app_state.h"
#include "cmdline.h"
#include "corvane.h"
#include "device_state.h"
#include "dialog_logic.h"
#include "file_browse.h"
#include "port_line.h"
#include "program_device.h"
#include "resource_ids.h"
#include "sound.h"
#include "status_window.h"
#include "unopened_ports.h"
#include "window_geometry.h"

#include <commctrl.h>

#include <atomic>
#include <iterator>
#include <string>

namespace {

// The background search looks again this long after a search found nothing usable.
constexpr UINT kSearchAgainMs = 2000;
// How long an exit waits for the cancelled operation to end.
constexpr UINT kExitWaitMs = 10000;
constexpr UINT_PTR kSearchTimer = 1;
constexpr UINT_PTR kExitTimer = 2;

static_assert(kWmAppendStatus == WM_APP + 1 && WM_OPERATION_ENDED != kWmAppendStatus);

// The module whose resources the dialog came from: its icon and the About box are there too.
HINSTANCE OwnModule(HWND dialog) {
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
}

// The dialog's own state, touched only on its thread.
struct MainDialogState {
    // The window rectangle it opened with, which is also its minimum size.
    RECT minimum;
    DialogState state;
    // A search thread is under way (its handle is kept, so that the dialog's end can wait for it).
    bool searching;
    HANDLE searchThread;
    // The line the last failed search logged; a search that fails the same way again is quiet.
    std::string searchMessage;
    // Whether the device offers large-bin support ("Large RAM Support" available).
    bool largeAvailable;
    // The user chose to exit while an operation ran: the dialog ends when it does.
    bool exitPending;
    WNDPROC statusProc;
    WNDPROC logProc;
};

MainDialogState g_dialogState;

// The parameter controls, locked while an operation runs.
const int kParameterControls[] = {IDC_OPERATION,   IDC_FILE_PATH,   IDC_BROWSE,        IDC_FILE_ADDRESS,
                                  IDC_END_JUSTIFY, IDC_EMU_ADDRESS, IDC_TRANSFER_SIZE, IDC_LARGE};

const char* const kOperationNames[] = {
    "Read from emulator to file",
    "Write from file to emulator",
    "Verify emulator RAM with file",
    "Monitor file for changes and upload",
};

void ApplyState(HWND dialog, DialogState state) {
    g_dialogState.state = state;
    const DialogButtons buttons = ButtonsFor(state);
    EnableWindow(GetDlgItem(dialog, IDC_EXECUTE), buttons.execute);
    EnableWindow(GetDlgItem(dialog, IDC_CANCEL_OP), buttons.cancelOp);
    for (int id : kParameterControls) {
        bool enabled = buttons.parameters;
        if (id == IDC_EMU_ADDRESS) {
            enabled = enabled && IsDlgButtonChecked(dialog, IDC_END_JUSTIFY) != BST_CHECKED;
        } else if (id == IDC_LARGE) {
            enabled = enabled && g_dialogState.largeAvailable;
        }
        EnableWindow(GetDlgItem(dialog, id), enabled);
    }
    EnableMenuItem(GetMenu(dialog), IDM_DETECT,
                   MF_BYCOMMAND | (state == DialogState::Running ? MF_GRAYED : MF_ENABLED));
}

void FocusControl(HWND dialog, int id) {
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
}

bool StartThread(LPTHREAD_START_ROUTINE routine, HANDLE* kept = nullptr) {
    HANDLE thread = CreateThread(nullptr, 0, routine, nullptr, 0, nullptr);
    if (thread == nullptr) {
        return false;
    }
    if (kept != nullptr) {
        *kept = thread;
    } else {
        CloseHandle(thread);
    }
    return true;
}

void ForgetSearchThread() {
    if (g_dialogState.searchThread != nullptr) {
        CloseHandle(g_dialogState.searchThread);
        g_dialogState.searchThread = nullptr;
    }
}

// Starts a search for the emulator; `announce` logs "Detecting Hardware..." first (a search the
// user asked for, or one after the device stopped answering), the background's looks are quiet.
void StartSearch(HWND dialog, bool announce) {
    KillTimer(dialog, kSearchTimer);
    if (announce) {
        PrintStatus(1, "Detecting Hardware...");
        // Its outcome is told even when it is the last one's.
        g_dialogState.searchMessage.clear();
    }
    ApplyState(dialog, DialogState::Detecting);
    ForgetSearchThread();
    g_dialogState.searching = StartThread(DetectHardwareThread, &g_dialogState.searchThread);
    if (!g_dialogState.searching) {
        PrintStatus(1, "FAILURE: Could not start the hardware search");
        ApplyState(dialog, DialogState::NoUsableHardware);
    }
}

// A multi-line edit in a dialog turns Escape into a close of the dialog; in the log it does
// nothing, as everywhere else in the dialog.
LRESULT CALLBACK LogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_ESCAPE) {
        return 0;
    }
    return CallWindowProcA(g_dialogState.logProc, window, message, wParam, lParam);
}

// While a transfer runs, its status text follows the bar: "Writing 37%, 24576 of 65536 bytes".
LRESULT CALLBACK StatusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcA(g_dialogState.statusProc, window, message, wParam, lParam);
    const bool moved = message == PBM_SETPOS || message == PBM_STEPIT || message == PBM_DELTAPOS;
    if (moved && g_dialogState.state == DialogState::Running) {
        const char* verb = TransferVerb(g_params.operation);
        if (*verb != '\0') {
            const auto position = CallWindowProcA(g_dialogState.statusProc, window, PBM_GETPOS, 0, 0);
            const auto range = CallWindowProcA(g_dialogState.statusProc, window, PBM_GETRANGE, FALSE, 0);
            const std::string text = TransferStatusText(verb, static_cast<std::uint32_t>(position),
                                                        static_cast<std::uint32_t>(range), g_params.size);
            CallWindowProcA(g_dialogState.statusProc, window, WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(text.c_str()));
        }
    }
    return result;
}

void FillOperationList(HWND list) {
    for (int code = 0; code < static_cast<int>(std::size(kOperationNames)); ++code) {
        const auto index =
            SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kOperationNames[code]));
        SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(index), code);
    }
    SendMessageA(list, CB_SETCURSEL, 0, 0);
}

BOOL OnInitDialog(HWND dialog) {
    const int iconSize = GetSystemMetrics(SM_CXSMICON);
    HANDLE icon = LoadImageA(OwnModule(dialog), MAKEINTRESOURCEA(IDI_TEVRIX), IMAGE_ICON, iconSize, iconSize,
                             LR_SHARED);
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    g_app.mainDialog = dialog;
    g_app.logWindow = GetDlgItem(dialog, IDC_LOG);
    g_dialogState = MainDialogState{};
    g_dialogState.largeAvailable = true;
    g_dialogState.logProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g_app.logWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LogProc)));
    CenterWindow(dialog);
    GetWindowRect(dialog, &g_dialogState.minimum);

    FillOperationList(GetDlgItem(dialog, IDC_OPERATION));

    SetDlgItemTextA(dialog, IDC_FILE_ADDRESS, "0x0000");
    EnableWindow(GetDlgItem(dialog, IDC_EMU_ADDRESS), FALSE);
    SetDlgItemTextA(dialog, IDC_EMU_ADDRESS, "0x0000");
    CheckDlgButton(dialog, IDC_END_JUSTIFY, BST_CHECKED);
    SetDlgItemTextA(dialog, IDC_TRANSFER_SIZE, "0x0000");

    g_app.progressWindow = GetDlgItem(dialog, IDC_STATUS);
    SetProgressText("Idle");
    SetProgressColours(kColourWhite, kColourBlue);
    g_dialogState.statusProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g_app.progressWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StatusProc)));

    StartSearch(dialog, true);
    return TRUE;
}

void OnHardwareDetected(HWND dialog, const DetectionResult& result) {
    g_dialogState.searching = false;
    const DetectionOutcome outcome = DecideDetection(result.capabilities);
    if (outcome.message != nullptr) {
        if (g_dialogState.searchMessage != outcome.message) {
            g_dialogState.searchMessage = outcome.message;
            PrintStatus(1, "%s", outcome.message);
            if (result.capabilities == 0) {
                PrintUnopenedPorts(&g_device);
            }
        }
        ApplyState(dialog, outcome.state);
        // Looks again until an emulator answers, so that one plugged in later is found.
        SetTimer(dialog, kSearchTimer, kSearchAgainMs, nullptr);
        return;
    }
    g_dialogState.searchMessage.clear();
    SetVendorID(&g_device, 3);
    PrintFound(&g_device, result.name);
    // Shows the device's bank as it is: one left in bank 8 by an earlier run shows ticked.
    g_dialogState.largeAvailable = outcome.largeEnabled;
    CheckDlgButton(dialog, IDC_LARGE, EmulatesLargeBank(&g_device) ? BST_CHECKED : BST_UNCHECKED);
    ApplyState(dialog, outcome.state);
    PlayProgramSound(SOUND_HARDWARE_FOUND);
}

void OnSearchTimer(HWND dialog) {
    KillTimer(dialog, kSearchTimer);
    if (g_dialogState.state == DialogState::NoUsableHardware && !g_dialogState.searching) {
        StartSearch(dialog, false);
    }
}

void OnDetectHardware(HWND dialog) {
    if (g_dialogState.state != DialogState::Running && !g_dialogState.searching) {
        StartSearch(dialog, true);
    }
}

void OnBrowse(HWND dialog) {
    if (g_dialogState.state == DialogState::Running) {
        return;
    }
    char path[MAX_PATH] = {};
    const bool save = SendDlgItemMessageA(dialog, IDC_OPERATION, CB_GETCURSEL, 0, 0) == OP_READ;
    if (!BrowseForFile(dialog, path, save)) {
        return;
    }
    SetDlgItemTextA(dialog, IDC_FILE_PATH, path);
    const std::uint32_t size = GetFileSizeByName(path);
    char sizeText[16];
    FormatSizeText(size, sizeText, sizeof sizeText);
    SetDlgItemTextA(dialog, IDC_TRANSFER_SIZE, sizeText);
    if (SuggestsLargeBin(size, IsWindowEnabled(GetDlgItem(dialog, IDC_LARGE)))) {
        CheckDlgButton(dialog, IDC_LARGE, BST_CHECKED);
        PrintStatus(1, "%s", kLargeBinMessage);
    }
}

void OnExecute(HWND dialog) {
    // The executor enables the button as it ends, a moment before the dialog hears of the end.
    if (g_dialogState.state != DialogState::Ready || !IsWindowEnabled(GetDlgItem(dialog, IDC_EXECUTE))) {
        return;
    }
    // Room for one character more than a path may have, so that a longer one shows.
    char path[kMaxPath + 1] = {};
    char emuAddress[100] = {};
    char fileAddress[100] = {};
    char size[100] = {};
    GetDlgItemTextA(dialog, IDC_FILE_PATH, path, sizeof path);
    GetDlgItemTextA(dialog, IDC_EMU_ADDRESS, emuAddress, sizeof emuAddress);
    GetDlgItemTextA(dialog, IDC_FILE_ADDRESS, fileAddress, sizeof fileAddress);
    GetDlgItemTextA(dialog, IDC_TRANSFER_SIZE, size, sizeof size);
    const DialogInputs inputs{
        static_cast<int>(SendDlgItemMessageA(dialog, IDC_OPERATION, CB_GETCURSEL, 0, 0)),
        path,
        emuAddress,
        fileAddress,
        size,
        IsDlgButtonChecked(dialog, IDC_LARGE) == BST_CHECKED,
        IsDlgButtonChecked(dialog, IDC_END_JUSTIFY) == BST_CHECKED,
    };
    InputRefusal refusal{};
    if (!FillOperationParams(inputs, &g_params, &refusal)) {
        PrintStatus(1, "%s", refusal.message.c_str());
        const int field = refusal.field == InputField::FilePath      ? IDC_FILE_PATH
                          : refusal.field == InputField::FileAddress ? IDC_FILE_ADDRESS
                          : refusal.field == InputField::EmuAddress  ? IDC_EMU_ADDRESS
                                                                     : IDC_TRANSFER_SIZE;
        // WM_NEXTDLGCTL selects the field's text too, ready to be typed over.
        FocusControl(dialog, field);
        return;
    }

    // A cancel that raced with the end of the previous transfer must not stop this one.
    g_device.cancel = 0;
    SetProgressColours(kColourWhite, kColourBlue);
    SendMessageA(g_app.progressWindow, PBM_SETPOS, 0, 0);
    // Every other control is locked now; the keyboard stays on a live one.
    ApplyState(dialog, DialogState::Running);
    FocusControl(dialog, IDC_CANCEL_OP);
    if (!StartThread(OperationThread)) {
        PrintStatus(1, "FAILURE: Could not start the operation");
        ApplyState(dialog, DialogState::Ready);
        FocusControl(dialog, IDC_EXECUTE);
    }
}

// The worker's end: the outcome shows until the next operation, the controls are unlocked and the
// keyboard is back on Execute; a device that stopped answering is searched for again.
void OnOperationEnded(HWND dialog, int result, bool lost) {
    ApplyState(dialog, DialogState::Ready);
    const OperationOutcome outcome = OutcomeFor(result);
    SendMessageA(g_app.progressWindow, PBM_SETPOS, 0, 0);
    SetProgressColours(kColourWhite, outcome.colour);
    SetProgressText(outcome.text);
    if (g_dialogState.exitPending) {
        EndDialog(dialog, 1);
        return;
    }
    if (lost) {
        FocusControl(dialog, IDC_OPERATION);
        StartSearch(dialog, true);
        return;
    }
    FocusControl(dialog, IDC_EXECUTE);
}

void OnCancel() {
    if (g_dialogState.state != DialogState::Running) {
        return;
    }
    // The worker's monitor loop reads the flag while this thread clears it.
    std::atomic_ref<std::int32_t>(g_params.keepRunning).store(0);
    if (g_device.idle == 0) {
        g_device.cancel = 1;
    }
}

void OnSize(HWND dialog, int clientWidth, int clientHeight) {
    HWND log = GetDlgItem(dialog, IDC_LOG);
    if (log == nullptr) {
        return;
    }
    RECT rect;
    GetWindowRectInParent(log, dialog, &rect);
    const Extent extent = LogExtentForClient(clientWidth, clientHeight, rect.top);
    SetWindowPos(log, nullptr, 0, 0, extent.width, extent.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnGetMinMaxInfo(MINMAXINFO* info) {
    const RECT& minimum = g_dialogState.minimum;
    if (minimum.right > minimum.left) {
        info->ptMinTrackSize.x = minimum.right - minimum.left;
        info->ptMinTrackSize.y = minimum.bottom - minimum.top;
    }
}

// File > Exit, Alt+F4 and the close box. While an operation runs the user is asked first; Yes
// stops it and the dialog ends once it has (or after a bounded wait).
void RequestClose(HWND dialog) {
    if (g_dialogState.exitPending) {
        return;
    }
    const char* question = CloseQuestion(g_dialogState.state, g_params.operation);
    if (question == nullptr) {
        EndDialog(dialog, 1);
        return;
    }
    if (MessageBoxA(dialog, question, "Exit Tevrix", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        return;
    }
    // The operation may have ended while the question was open.
    if (g_dialogState.state != DialogState::Running) {
        EndDialog(dialog, 1);
        return;
    }
    g_dialogState.exitPending = true;
    OnCancel();
    SetTimer(dialog, kExitTimer, kExitWaitMs, nullptr);
}

void OnCommand(HWND dialog, WORD id, WORD code) {
    switch (id) {
    // Enter and Escape: the dialog manager's OK and Cancel. Escape must not end the program; a
    // close comes through RequestClose only.
    case IDOK:
    case IDCANCEL:
        break;
    case IDM_EXIT:
        RequestClose(dialog);
        break;
    case IDM_DETECT:
        OnDetectHardware(dialog);
        break;
    case IDM_ABOUT:
        DialogBoxParamA(OwnModule(dialog), MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutDialogProc, 0);
        break;
    case IDC_END_JUSTIFY:
        if (code == BN_CLICKED) {
            EnableWindow(GetDlgItem(dialog, IDC_EMU_ADDRESS),
                         IsDlgButtonChecked(dialog, IDC_END_JUSTIFY) != BST_CHECKED);
        }
        break;
    case IDC_BROWSE:
        OnBrowse(dialog);
        break;
    case IDC_EXECUTE:
        OnExecute(dialog);
        break;
    case IDC_CANCEL_OP:
        OnCancel();
        break;
    default:
        break;
    }
}

} // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_HARDWARE_DETECTED:
        // The number is also the dialog manager's DM_SETDEFID, which never carries an lParam.
        if (lParam == 0) {
            return FALSE;
        }
        OnHardwareDetected(dialog, *reinterpret_cast<const DetectionResult*>(lParam));
        return TRUE;
    case WM_OPERATION_ENDED:
        OnOperationEnded(dialog, static_cast<int>(wParam), lParam != 0);
        return TRUE;
    case WM_TIMER:
        if (wParam == kSearchTimer) {
            OnSearchTimer(dialog);
        } else if (wParam == kExitTimer) {
            EndDialog(dialog, 1);
        }
        return TRUE;
    case WM_CLOSE:
        RequestClose(dialog);
        return TRUE;
    case kWmAppendStatus:
        AppendEditText(g_app.logWindow, reinterpret_cast<const char*>(lParam),
                       static_cast<std::int32_t>(wParam));
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_SIZE:
        OnSize(dialog, LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return TRUE;
    case WM_DESTROY:
        // A worker that outlives the dialog must find no window to write to.
        g_app.mainDialog = nullptr;
        g_app.logWindow = nullptr;
        g_app.progressWindow = nullptr;
        KillTimer(dialog, kSearchTimer);
        KillTimer(dialog, kExitTimer);
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

void WaitForSearchToEnd() {
    if (g_dialogState.searchThread != nullptr) {
        WaitForSingleObject(g_dialogState.searchThread, kExitWaitMs);
        ForgetSearchThread();
    }
}
