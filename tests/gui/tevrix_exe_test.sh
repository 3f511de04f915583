#!/usr/bin/env bash
# The shipped Tevrix.exe started without switches, as a user starts it, under Wine on a virtual
# screen: its dialog shows, finds nothing, keeps searching every COM port and finds the virtual
# emulator started after it, and File > Exit ends it with status 0. Started again, it monitors a
# file; closing it asks first, and Yes ends monitoring and the program with status 0. The dialog is read from outside (dialog_probe.exe) and driven with
# X events (xdotool), with no window manager: the menu bar is the top of the window.
# Usage: tevrix_exe_test.sh TEVRIX_EXE PROBE_EXE WINE_RUNNER WINEPREFIX TEVRIX_SIM
set -u
program="$1"
probe="$2"
runner="$3"
export WINEPREFIX="$4"
sim="$5"
com=41
work=$(mktemp -d)
tevrix_pid=""
tevrix_stop() {
    [ -n "$tevrix_pid" ] || return 0
    kill "$tevrix_pid" 2>/dev/null
    wait "$tevrix_pid" 2>/dev/null
    tevrix_pid=""
}
trap 'tevrix_stop; sim_stop; rm -rf "$work"' EXIT
source "$(dirname "$0")/../e2e/sim_lib.sh"

if [ -z "${DISPLAY:-}" ]; then
    echo "FAIL: no display (run under xvfb-run)"
    exit 1
fi

# probe ARGS...: one look at the dialog; sets $seen (line ends as on Linux) and $probed.
probe() {
    timeout 120 "$runner" "$probe" "$@" </dev/null >"$work/probe.out"
    probed=$?
    seen=$(tr -d '\r' <"$work/probe.out")
}

# tevrix_wait_end WHAT: the program ends within 60 s, with status 0.
tevrix_wait_end() {
    for _ in $(seq 600); do
        kill -0 "$tevrix_pid" 2>/dev/null || break
        sleep 0.1
    done
    ran=$((ran + 1))
    if kill -0 "$tevrix_pid" 2>/dev/null; then
        echo "FAIL: $1 did not end the program within 60 s"
        failures=$((failures + 1))
        return
    fi
    wait "$tevrix_pid"
    status=$?
    tevrix_pid=""
    if [ "$status" = 0 ]; then
        echo "ok: $1 ends the program with status 0"
    else
        echo "FAIL: $1 ended the program with status $status"
        failures=$((failures + 1))
    fi
}

# The dialog searches every COM port of the prefix, as it does for a user; at first there is none.
clear_com_links
unset TEVRIX_PORTS

"$runner" "$program" </dev/null >"$work/tevrix.out" 2>&1 &
tevrix_pid=$!
window=$(timeout 120 xdotool search --sync --onlyvisible --name '^Tevrix$' 2>/dev/null | head -n 1)
fact "the dialog shows" test -n "$window"
[ -n "$window" ] || { finish; exit 1; }

probe text Tevrix 1000 "No hardware detected" 60000
fact "the first search finds nothing (status $probed)" test "$probed" = 0
sim_start --model corvane || { finish; exit 1; }
unset TEVRIX_PORTS
probe text Tevrix 1000 "Found: " 60000
fact "the emulator started later is found without a restart (status $probed)" test "$probed" = 0
fact "the log tells of the search and names the emulator after a blank line" \
    test "$seen" = $'Detecting Hardware...\nNo hardware detected\n\nFound: Corvane USB v3.0.K'
probe enabled Tevrix 1002
fact "Execute is enabled" test "$seen" = 1

xdotool mousemove --window "$window" 15 10 click 1
probe menu 30000
fact "a click on File opens its menu" test "$probed" = 0
xdotool key x
tevrix_wait_end "File > Exit"

# Monitoring, then the close box: the program asks, and Yes ends both.
head -c 4096 /dev/urandom >"$work/watch.bin"
"$runner" "$program" </dev/null >"$work/tevrix.out" 2>&1 &
tevrix_pid=$!
probe text Tevrix 1000 "Found: " 60000
fact "started again, it finds the emulator (status $probed)" test "$probed" = 0
probe select Tevrix 1007 3
probe set Tevrix 1004 "Z:$work/watch.bin"
probe click Tevrix 1002
probe text "Tevrix: MONITORING" 1000 "Watching watch.bin: 0x1000 bytes from file address 0x0 to emulator address 0xF000" 60000
fact "monitoring names the file and where its bytes go (status $probed)" test "$probed" = 0
probe close "Tevrix: MONITORING"
probe text "Exit Tevrix" 65535 "Monitoring is running. Stop it and exit?" 30000
fact "closing while monitoring asks first (status $probed: $seen)" test "$probed" = 0
probe click "Exit Tevrix" 6
tevrix_wait_end "Yes to the question"

finish
