#!/usr/bin/env bash
# A monitor whose emulator goes away and comes back, through the real program against the virtual
# emulator: stopped and started again on the same link with other RAM contents, then on the other
# candidate link, then a different emulator on the link. And a monitor ended as a user ends it,
# which puts the port back as it found it.
# Usage: monitor_reconnect_test.sh PROGRAM SIM [RUNNER WINEPREFIX]
set -u
program="$1"
sim="$2"
runner="${3:-}"
com=43
export WINEPREFIX="${4:-}"
work=$(mktemp -d)
trap 'monitor_stop_quietly; sim_stop; rm -rf "$work"' EXIT
source "$(dirname "$0")/sim_lib.sh"
corvane="Corvane USB v3.0.K"

# The two candidate links: paths natively, COM ports under Wine.
link_a="$work/link-a"
link_b="$work/link-b"
TEVRIX_PORTS="$link_a:$link_b"
if [ -n "$runner" ]; then
    [ -d "$WINEPREFIX/dosdevices" ] || $runner cmd /c exit >/dev/null 2>&1
    link_a="$WINEPREFIX/dosdevices/com$com"
    link_b="$WINEPREFIX/dosdevices/com$((com + 1))"
    TEVRIX_PORTS="COM$com;COM$((com + 1))"
fi
export TEVRIX_PORTS

# sim_at LINK ARGS...: a simulator serving on LINK until sim_stop; waits at most 30 s for it.
sim_at() {
    local link="$1" i
    shift
    rm -f "$work/sim.out"
    "$sim" --link "$link" "$@" >"$work/sim.out" 2>"$work/sim.err" &
    sim_pid=$!
    for i in $(seq 300); do
        [ -s "$work/sim.out" ] && [ -L "$link" ] && return 0
        sleep 0.1
    done
    echo "FAIL: tevrix-sim $* did not start: $(cat "$work/sim.err")"
    failures=$((failures + 1))
    return 1
}

# A monitor the test did not get to stop.
monitor_stop_quietly() {
    [ -n "$monitor_pid" ] && kill -9 "$monitor_pid" 2>/dev/null
}

# cpu_ticks PID: the process's user and system time so far, in clock ticks.
cpu_ticks() {
    awk '{ print $14 + $15 }' "/proc/$1/stat"
}

# the_watched_bytes NAME: the last 64 KB of the emulator's RAM (all of it on a Corvane) are the file.
the_watched_bytes() {
    sim_dump "$work/ram.bin" && same "$1" ram.bin image.bin
}

random_file image.bin 0x10000
random_file other-ram.bin 0x10000
# Known bytes where the saves go, so that every save is a change.
poke image.bin 0x100 00
poke image.bin 0x200 00
poke image.bin 0x300 00

sim_at "$link_a" --model corvane --dump "$work/ram.bin"
monitor_start -infile image.bin

sim_stop
poke image.bin 0x100 11
fact "a save while the emulator is gone says it is lost" monitor_wait "waiting for it to come back"
# Waiting costs no CPU to speak of: a second of it in four would be a busy loop.
before=$(cpu_ticks "$monitor_pid")
sleep 4
fact "waiting takes little CPU time" test $(($(cpu_ticks "$monitor_pid") - before)) -lt "$(getconf CLK_TCK)"
# Saved while it is away: in the image it gets.
poke image.bin 0x200 22
sim_at "$link_a" --model corvane --dump "$work/ram.bin" --load "$work/other-ram.bin"
fact "back on the same link, it gets the whole file" monitor_wait "Uploaded the whole image again"
the_watched_bytes "the emulator holds the file, the save made meanwhile included"
poke image.bin 0x300 33
fact "later changes go on" monitor_wait "Changes detected"
the_watched_bytes "the change after the return is in the emulator"

sim_stop
poke image.bin 0x100 44
fact "lost again" monitor_wait "waiting for it to come back" 2
sim_at "$link_b" --model corvane --dump "$work/ram.bin" --load "$work/other-ram.bin"
fact "back on the other link, it gets the whole file" monitor_wait "Uploaded the whole image again" 2
the_watched_bytes "the emulator on the other link holds the file"

sim_stop
poke image.bin 0x100 55
fact "lost a third time" monitor_wait "waiting for it to come back" 3
sim_at "$link_a" --model corvane --serial 0102030405060708 --dump "$work/ram.bin" --load "$work/other-ram.bin"
fact "another emulator is named" monitor_wait "Another emulator answers"
sleep 2
sim_dump "$work/ram.bin" && same "another emulator is not written" ram.bin other-ram.bin

# Under Wine a signal ends the program outright: it has no console for Wine to pass the signal to
# as a console event.
if [ -n "$runner" ]; then
    kill "$monitor_pid"
    wait "$monitor_pid"
else
    kill -INT "$monitor_pid"
    wait "$monitor_pid"
    fact "a monitor stopped while it waits ends with status 0" test $? = 0
fi
monitor_pid=""
ran=$((ran + 1))
# Each link by the name the program gives it: its path, or its COM port under Wine.
name_a="${TEVRIX_PORTS%[:;]*}"
name_b="${TEVRIX_PORTS#*[:;]}"
lost=$'\nEmulator lost (R): waiting for it to come back...'
found=$'\n\nFOUND: '"$corvane"$'\nPort: '
whole=$', 115200 baud\nUploaded the whole image again: 65536 bytes.'
want="$banner"$'\nSearching for emulator...'"$found$name_a"$', 115200 baud\nMonitoring has begun'
want+=$'\nWatching image.bin: 0x10000 bytes from file address 0x0 to emulator address 0x0'
want+="$lost$found$name_a$whole"
want+=$'\nChanges detected. Uploaded 1 bytes in 1 blocks.'"$lost$found$name_b$whole$lost"
want+=$'\nAnother emulator answers ('"$corvane"$', serial 0102030405060708): not the one monitored, still waiting...'
# Every line ends as it is printed; under Wine the signal ends the program before "Monitoring ended".
if [ -z "$runner" ]; then
    want+=$'\nMonitoring ended\n'
else
    want+=$'\n'
fi
got=$(tr -d '\r' <"$work/monitor.out" | sed 's/^Emulator lost ([A-Z_]*)/Emulator lost (R)/'; printf x)
if [ "${got%x}" = "$want" ]; then
    echo "ok: monitor messages"
else
    echo "FAIL: monitor messages"
    diff <(printf '%s\n' "$want") <(printf '%s\n' "${got%x}")
    failures=$((failures + 1))
fi
sim_stop

# Ended as a user ends a console program: the monitor says so, exits with 0, and leaves the line
# with the settings it found and no claim on it, for the next program.
if [ -z "$runner" ]; then
    # claimed PTY [no]: whether the terminal is claimed for exclusive use (with "no": is not).
    claimed() {
        python3 -c 'import fcntl, os, struct, sys
fd = os.open(sys.argv[1], os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
held = struct.unpack("i", fcntl.ioctl(fd, 0x80045440, b"\0" * 4))[0] != 0
sys.exit(0 if held != (sys.argv[2] == "no") else 1)' "$1" "${2:-}"
    }
    for signal in INT TERM; do
        sim_at "$link_a" --model corvane
        pty=$(head -n 1 "$work/sim.out")
        settings=$(stty -F "$pty" -g)
        monitor_start -infile image.bin
        fact "SIG$signal: the monitor claims the line" claimed "$pty"
        kill -"$signal" "$monitor_pid"
        wait "$monitor_pid"
        fact "SIG$signal ends the monitor with status 0" test $? = 0
        monitor_pid=""
        fact "SIG$signal: \"Monitoring ended\" is the last line" test "$(tail -n 2 "$work/monitor.out")" = $'Watching image.bin: 0x10000 bytes from file address 0x0 to emulator address 0x0\nMonitoring ended'
        fact "SIG$signal: the line has its settings back" test "$(stty -F "$pty" -g)" = "$settings"
        fact "SIG$signal: the line is no longer claimed" claimed "$pty" no
        tev -read -outfile next.bin -size 10
        fact "SIG$signal: the next program has the line" test "$status" = 0
        sim_stop
    done
fi

finish
