#!/usr/bin/env bash
# Runs the dialog tests under Wine on a virtual screen: first with no emulator on any port, then
# against the virtual emulator on a pty that the prefix maps as a COM port.
# Usage: dialog_gui_test.sh TEST_EXE WINE_RUNNER WINEPREFIX TEVRIX_SIM
set -u
tests="$1"
runner="$2"
export WINEPREFIX="$3"
sim="$4"
program=""
com=41
work=$(mktemp -d)
here="$(dirname "$0")"
source "$here/../e2e/sim_lib.sh"
trap 'sim_stop; rm -rf "$work"' EXIT

if [ -z "${DISPLAY:-}" ]; then
    echo "FAIL: no display (run under xvfb-run)"
    exit 1
fi

# A virtual desktop of its own for the test program, so that Wine draws frames and captions into
# the screenshots; other programs of the prefix are not affected.
"$runner" reg add 'HKCU\Software\Wine\AppDefaults\dialog_gui_tests.exe\Explorer' /v Desktop /d TevrixGui /f >/dev/null
"$runner" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v TevrixGui /d 1024x768 /f >/dev/null

# gtest FILTER: one run of the test program, bounded; a filter that runs no test fails.
gtest() {
    ran=$((ran + 1))
    timeout 300 "$runner" "$tests" --gtest_filter="$1" | tee "$work/gtest.out"
    if [ "${PIPESTATUS[0]}" = 0 ] && grep -q '^\[  PASSED  \] [1-9]' "$work/gtest.out"; then
        echo "ok: $1"
    else
        echo "FAIL: $1"
        failures=$((failures + 1))
    fi
}

# The dialog searches every COM port of the prefix, as it does for a user: first with none there.
clear_com_links
unset TEVRIX_PORTS
gtest 'NoHardware.*'

# An emulator that comes after the dialog, goes away and comes back, on the pinned port: the
# simulator starts, stops and starts again as the test asks through signal files (each wait
# bounded).
late_sim() {
    local link="$WINEPREFIX/dosdevices/com$com" pid=""
    trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; exit 0' TERM
    signal_wait() {
        for _ in $(seq 1500); do
            [ -e "$work/$1" ] && return 0
            sleep 0.2
        done
        return 1
    }
    signal_wait sim-now || return 0
    "$sim" --link "$link" --model dravel >"$work/late.out" 2>&1 &
    pid=$!
    signal_wait sim-now.stop || return 0
    kill "$pid"
    wait "$pid"
    pid=""
    : >"$work/sim-now.stopped"
    signal_wait sim-now.again || return 0
    "$sim" --link "$link" --model dravel >>"$work/late.out" 2>&1 &
    pid=$!
    wait "$pid"
}
if [ -x "$sim" ]; then
    export TEVRIX_PORTS="COM$com"
    export TEVRIX_GUI_SIGNAL="Z:$work/sim-now"
    [ -d "$WINEPREFIX/dosdevices" ] || "$runner" cmd /c exit >/dev/null 2>&1
    late_sim &
    late_pid=$!
    gtest 'LateEmulator.*'
    kill "$late_pid" 2>/dev/null
    wait "$late_pid" 2>/dev/null
    unset TEVRIX_GUI_SIGNAL
    clear_com_links
fi

if [ ! -x "$sim" ]; then
    echo "FAIL: no simulator at '$sim'"
    failures=$((failures + 1))
else
    # A paced banked device: transfers take seconds, so progress and cancel can be watched.
    export TEVRIX_GUI_MODEL=Dravel
    if sim_start --model dravel --pace; then
        unset TEVRIX_PORTS
        gtest 'WithEmulator.*'
    fi
    sim_stop
    if sim_start --model glintsear; then
        unset TEVRIX_PORTS
        gtest 'NotCapable.*'
    fi
fi

finish
