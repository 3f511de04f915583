#pragma once
// Messages of the KVTEXTPROGRESS control beside the progress-bar and text messages it answers.
#include <windows.h>

constexpr UINT TPM_SETTEXTCOLOR = WM_USER + 300;
constexpr UINT TPM_SETVERTICAL = WM_USER + 301;
constexpr UINT TPM_GETVERTICAL = WM_USER + 302;
constexpr UINT TPM_GETRANGE = WM_USER + 303;
