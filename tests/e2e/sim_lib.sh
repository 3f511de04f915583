# Shared by the end-to-end scripts: the virtual emulator on a pseudo-terminal and runs of the
# real program against it. Source it after setting:
#   program  the tevrix binary, or Tevrix.exe when runner is set
#   sim      the tevrix-sim binary
#   runner   empty natively; the Wine wrapper for Tevrix.exe
#   work     a scratch directory (the runs start there, so file names are relative)
#   com      under Wine, the COM port number whose dosdevices symlink leads to the pty
# sim_start exports TEVRIX_PORTS naming the simulator's port alone: its pty natively, COM<com>
# under Wine.

# Every run of the program keeps what it remembers between runs in this script's own folder
# (under Wine, whose profile names LOCALAPPDATA itself, in the prefix's), never the user's home;
# sim_start forgets it, since a new simulator is a new device.
export XDG_STATE_HOME="$work/state"
forget_port() {
    rm -rf "$work/state"
    mkdir -p "$work/state"
    [ -z "$runner" ] || rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Local/Tevrix
}
forget_port

program=$(realpath "$program")
sim=$(realpath "$sim")
source "$(dirname "${BASH_SOURCE[0]}")/../support/facts.sh"
sim_pid=""
monitor_pid=""
other_pids=()
other_ports=""
# The system's reasons for a file that is not there, a folder opened as a file and a folder that
# is not there (Wine's words; Windows says "The system cannot find the file specified.", "Access
# is denied." and "The system cannot find the path specified.").
if [ -n "${runner:-}" ]; then
    missing_reason="File not found."
    folder_reason="Access denied."
    nofolder_reason="Path not found."
else
    missing_reason="No such file or directory"
    folder_reason="Is a directory"
    nofolder_reason="No such file or directory"
fi
banner=$'-------------------------------\nTevrix v1.00.0092.01\nCopyright (C) 2026 The Tevrix developers\n-------------------------------\n'

# rate_of ARGS...: the line rate that simulator options give the device (115200 unless --rate).
rate_of() {
    local rate=115200
    while [ $# -gt 0 ]; do
        [ "$1" = --rate ] && [ $# -gt 1 ] && rate="$2"
        shift
    done
    echo "$rate"
}

# sim_start ARGS...: serves a simulated device until sim_stop; waits at most 30 s for its pty.
# Sets port_line to the line that names the port the program then finds it on.
sim_start() {
    local link="$work/sim-link"
    if [ -n "$runner" ]; then
        [ -d "$WINEPREFIX/dosdevices" ] || $runner cmd /c exit >/dev/null 2>&1
        link="$WINEPREFIX/dosdevices/com$com"
    fi
    forget_port
    "$sim" --link "$link" "$@" >"$work/sim.out" 2>"$work/sim.err" &
    sim_pid=$!
    local i
    for i in $(seq 300); do
        if [ -s "$work/sim.out" ] && [ -L "$link" ]; then
            # The search tries this port, after those of sim_start_other, and no other.
            export TEVRIX_PORTS
            TEVRIX_PORTS="$other_ports$(head -n 1 "$work/sim.out")"
            [ -n "$runner" ] && TEVRIX_PORTS="${other_ports}COM$com"
            port_line="Port: ${TEVRIX_PORTS##*[:;]}, $(rate_of "$@") baud"
            return 0
        fi
        sleep 0.1
    done
    echo "FAIL: tevrix-sim $* did not start: $(cat "$work/sim.err")"
    failures=$((failures + 1))
    return 1
}

# Ends the simulator started last (by its process id); after 10 s it is killed outright.
sim_stop() {
    [ -n "$sim_pid" ] || return 0
    kill "$sim_pid" 2>/dev/null
    local i
    for i in $(seq 100); do
        kill -0 "$sim_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -9 "$sim_pid" 2>/dev/null
    wait "$sim_pid" 2>/dev/null
    sim_pid=""
}

# Removes every COM link of the Wine prefix, for a test that searches every COM port and runs
# alone: a link that a test stopped short left behind may lead to a pseudo-terminal that belongs
# to another program by now.
clear_com_links() {
    rm -f "$WINEPREFIX"/dosdevices/com[0-9]*
}

# monitor_start ARGS...: a console monitor run in $work in the background, its output in
# $work/monitor.out and its errors in $work/monitor.err; returns once it has taken the file's
# first contents, which it does before it says that monitoring has begun.
monitor_start() {
    (cd "$work" && exec $runner "$program" -monitor "$@" -noquitprompt </dev/null >"$work/monitor.out" \
        2>"$work/monitor.err") &
    monitor_pid=$!
    monitor_wait "Monitoring has begun"
}

# monitor_wait TEXT [COUNT]: waits until the monitor's output holds COUNT lines with TEXT (default
# 1); false when they have not come within a minute.
monitor_wait() {
    local i
    for i in $(seq 1200); do
        [ "$(grep -c -- "$1" "$work/monitor.out" 2>/dev/null)" -ge "${2:-1}" ] && return 0
        sleep 0.05
    done
    return 1
}

# Console monitoring never ends by itself: it is stopped by SIGTERM, and must still be running
# then and have written no error. Natively the monitor ends cleanly then, with "Monitoring ended"
# and status 0; under Wine the signal ends the process outright, since Wine turns it into no
# console event for a program without a console.
monitor_stop() {
    [ -n "$monitor_pid" ] || return 0
    fact "the monitor ran until it was stopped" kill -0 "$monitor_pid"
    kill "$monitor_pid" 2>/dev/null
    wait "$monitor_pid" 2>/dev/null
    local status=$?
    if [ -n "$runner" ]; then
        fact "the monitor ended by the signal" test $status = 143
    else
        fact "the monitor ended cleanly" test $status = 0
        fact "the monitor said so" test "$(tail -n 1 "$work/monitor.out")" = "Monitoring ended"
    fi
    monitor_pid=""
    # Wine on a machine without a sound card says so through ALSA when the program plays a sound.
    grep -v '^ALSA lib ' "$work/monitor.err" >"$work/monitor.errors"
    fact "the monitor wrote no error" test ! -s "$work/monitor.errors"
    head -5 "$work/monitor.errors"
}

# sim_start_other COM ARGS...: one more simulator, on a port the search tries before the one that
# sim_start serves: put ahead of it in TEVRIX_PORTS by the next sim_start, as COM port COM under
# Wine, natively as its pty. It runs until others_stop.
sim_start_other() {
    local link="$work/other-link-$1" name="COM$1;"
    [ -n "$runner" ] && link="$WINEPREFIX/dosdevices/com$1"
    shift
    rm -f "$work/other.out"
    forget_port
    "$sim" --link "$link" "$@" >"$work/other.out" 2>/dev/null &
    other_pids+=($!)
    local i
    for i in $(seq 300); do
        if [ -s "$work/other.out" ] && [ -L "$link" ]; then
            [ -n "$runner" ] || name="$(head -n 1 "$work/other.out"):"
            other_ports="$other_ports$name"
            return 0
        fi
        sleep 0.1
    done
    echo "FAIL: tevrix-sim $* did not start"
    failures=$((failures + 1))
    return 1
}

# Ends the simulators of sim_start_other (by their process ids).
others_stop() {
    local pid
    for pid in "${other_pids[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    other_pids=()
    other_ports=""
}

# sim_dump FILE: the simulator (started with --dump FILE) writes its whole RAM there now.
sim_dump() {
    rm -f "$1"
    kill -USR1 "$sim_pid"
    local i
    for i in $(seq 300); do
        [ -s "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

# tev ARGS...: one console run in $work without quit prompt; sets $out (line ends as on Linux)
# and $status. Every run is bounded by 60 s.
tev() {
    (cd "$work" && timeout 60 $runner "$program" "$@" -noquitprompt </dev/null >"$work/out" 2>/dev/null)
    status=$?
    out=$(tr -d '\r' <"$work/out"; printf x)
    out="${out%x}"
}

# expect_run NAME WANT_STATUS WANT: the last run exited with WANT_STATUS and printed exactly WANT.
expect_run() {
    local name="$1" want_status="$2" want="$3"
    ran=$((ran + 1))
    if [ "$status" != "$want_status" ] || [ "$out" != "$want" ]; then
        echo "FAIL: $name (status $status, want $want_status)"
        diff <(printf '%s\n' "$want") <(printf '%s\n' "$out") | head -20
        failures=$((failures + 1))
    else
        echo "ok: $name"
    fi
}

# check NAME WANT_STATUS FOUND_NAME WANT_LINES: the run printed the banner, the search, the
# FOUND line, the port's line, then exactly WANT_LINES, and ended its last line.
check() {
    expect_run "$1" "$2" "$banner"$'\nSearching for emulator...\n\nFOUND: '"$3"$'\n'"$port_line$4"$'\n'
}

# check_unsearched NAME WANT_STATUS WANT_LINES: the run printed the banner, then exactly
# WANT_LINES, and looked for no emulator: its file was refused first.
check_unsearched() {
    expect_run "$1" "$2" "$banner$3"$'\n'
}

# same NAME FILE1 FILE2: the two files hold the same bytes.
same() {
    ran=$((ran + 1))
    if cmp -s "$work/$2" "$work/$3"; then
        echo "ok: $1"
    else
        echo "FAIL: $1 ($2 and $3 differ: $(cmp "$work/$2" "$work/$3" 2>&1 | head -1))"
        failures=$((failures + 1))
    fi
}

# random_file NAME SIZE: SIZE bytes that differ from run to run.
random_file() {
    head -c $(($2)) /dev/urandom >"$work/$1"
}

# poke FILE OFFSET HEXBYTES: overwrites bytes in place, as an editor saving without truncating.
poke() {
    printf "$(printf '%s' "$3" | sed 's/\(..\)/\\x\1/g')" |
        dd of="$work/$1" bs=1 seek=$(($2)) conv=notrunc status=none
}

finish() {
    sim_stop
    others_stop
    facts_end
}
