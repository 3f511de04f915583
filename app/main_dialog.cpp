#include "main_dialog.h"

#include "app_state.h"
#include "cmdline.h"
#include "corvane.h"
#include "dialog_logic.h"
#include "file_browse.h"
#include "inset_button.h"
#include "port_line.h"
#include "resource_ids.h"
#include "sound.h"
#include "status_window.h"
#include "unopened_ports.h"
#include "window_geometry.h"

#include <atomic>
#include <iterator>

namespace {

// The dialog's own state: the window rectangle it opened with, which is also its minimum size.
struct MainDialogState {
    RECT minimum;
};

MainDialogState g_dialogState;

const char* const kOperationNames[] = {
    "Read from emulator to file",
    "Write from file to emulator",
    "Verify emulator RAM with file",
    "Monitor file for changes and upload",
};

void ApplyState(HWND dialog, DialogState state) {
    const DialogButtons buttons = ButtonsFor(state);
    EnableWindow(GetDlgItem(dialog, IDC_EXECUTE), buttons.execute);
    EnableWindow(GetDlgItem(dialog, IDC_CANCEL_OP), buttons.cancelOp);
}

bool StartThread(LPTHREAD_START_ROUTINE routine) {
    HANDLE thread = CreateThread(nullptr, 0, routine, nullptr, 0, nullptr);
    if (thread == nullptr) {
        return false;
    }
    CloseHandle(thread);
    return true;
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
    HANDLE icon =
        LoadImageA(g_app.instance, MAKEINTRESOURCEA(IDI_TEVRIX), IMAGE_ICON, iconSize, iconSize, LR_SHARED);
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    g_app.mainDialog = dialog;
    g_app.logWindow = GetDlgItem(dialog, IDC_LOG);
    CenterWindow(dialog);
    GetWindowRect(dialog, &g_dialogState.minimum);

    AttachInsetButton(GetDlgItem(dialog, IDC_FILE_PATH), IDC_BROWSE, "...", 18);
    FillOperationList(GetDlgItem(dialog, IDC_OPERATION));

    SetDlgItemTextA(dialog, IDC_FILE_ADDRESS, "0x0000");
    EnableWindow(GetDlgItem(dialog, IDC_EMU_ADDRESS), FALSE);
    SetDlgItemTextA(dialog, IDC_EMU_ADDRESS, "0x0000");
    CheckDlgButton(dialog, IDC_END_JUSTIFY, BST_CHECKED);
    SetDlgItemTextA(dialog, IDC_TRANSFER_SIZE, "0x0000");

    g_app.progressWindow = GetDlgItem(dialog, IDC_STATUS);
    SetProgressText("Idle");
    SetProgressColours(kColourWhite, kColourBlue);

    ApplyState(dialog, DialogState::Detecting);
    PrintStatus(1, "Detecting Hardware...");
    if (!StartThread(DetectHardwareThread)) {
        PrintStatus(1, "FAILURE: Could not start the hardware search");
        ApplyState(dialog, DialogState::NoUsableHardware);
    }
    return TRUE;
}

void OnHardwareDetected(HWND dialog, const DetectionResult& result) {
    const DetectionOutcome outcome = DecideDetection(result.capabilities);
    if (outcome.message != nullptr) {
        PrintStatus(1, "%s", outcome.message);
        if (result.capabilities == 0) {
            PrintUnopenedPorts();
        }
        ApplyState(dialog, outcome.state);
        return;
    }
    SetVendorID(&g_device, 3);
    PrintStatus(2, "Found: %s", result.name);
    PrintPortLine();
    ApplyState(dialog, outcome.state);
    PlayProgramSound(SOUND_HARDWARE_FOUND);
    HWND large = GetDlgItem(dialog, IDC_LARGE);
    EnableWindow(large, outcome.largeEnabled);
    if (!outcome.largeEnabled) {
        CheckDlgButton(dialog, IDC_LARGE, BST_UNCHECKED);
    }
}

void OnBrowse(HWND dialog) {
    char path[MAX_PATH] = {};
    if (!BrowseForFile(dialog, path)) {
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
    HWND execute = GetDlgItem(dialog, IDC_EXECUTE);
    if (!IsWindowEnabled(execute)) {
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
    if (!FillOperationParams(inputs, &g_params)) {
        PrintStatus(1, "%s", kPathTooLongMessage);
        return;
    }

    // A cancel that raced with the end of the previous transfer must not stop this one.
    g_device.cancel = 0;
    if (GetFocus() == execute) {
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_CANCEL_OP)),
                     TRUE);
    }
    ApplyState(dialog, DialogState::Running);
    if (!StartThread(OperationThread)) {
        PrintStatus(1, "FAILURE: Could not start the operation");
        ApplyState(dialog, DialogState::Ready);
    }
}

void OnCancel() {
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

void OnCommand(HWND dialog, WORD id, WORD code) {
    switch (id) {
    case IDOK:
    case IDCANCEL:
    case IDM_EXIT:
        EndDialog(dialog, 1);
        break;
    case IDM_ABOUT:
        DialogBoxParamA(g_app.instance, MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutDialogProc, 0);
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
    case WM_APPEND_STATUS:
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
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}
