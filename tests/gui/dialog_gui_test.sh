#!/usr/bin/env bash
# Runs the dialog tests under Wine: first with no emulator on any port.
# Usage: dialog_gui_test.sh TEST_EXE WINE_RUNNER
set -u
tests="$1"
runner="$2"
failures=0

if [ -z "${DISPLAY:-}" ]; then
    echo "FAIL: no display (run under xvfb-run)"
    exit 1
fi

# A virtual desktop of its own for the test program, so that Wine draws frames and captions into
# the screenshots; other programs of the prefix are not affected.
"$runner" reg add 'HKCU\Software\Wine\AppDefaults\dialog_gui_tests.exe\Explorer' /v Desktop /d TevrixGui /f >/dev/null
"$runner" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v TevrixGui /d 1024x768 /f >/dev/null

timeout 300 "$runner" "$tests" --gtest_filter='NoHardware.*' || failures=$((failures + 1))

[ "$failures" -eq 0 ]
