#!/usr/bin/env bash
# Monitor mode through the real program against the virtual emulator on a pty: an editor changes
# the watched file and the changed runs appear in the emulator's RAM.
# Usage: monitor_test.sh PROGRAM SIM [RUNNER WINEPREFIX]
set -u
program="$1"
sim="$2"
runner="${3:-}"
com=43
export WINEPREFIX="${4:-}"
work=$(mktemp -d)
monitor_pid=""
trap 'monitor_stop; sim_stop; rm -rf "$work"' EXIT
source "$(dirname "$0")/sim_lib.sh"
corvane="Corvane USB v3.0.K"

# monitor_start ARGS...: a console monitor run in the background, its output in $work/monitor.out;
# returns once the baseline is taken.
monitor_start() {
    (cd "$work" && exec $runner "$program" -monitor "$@" -noquitprompt </dev/null >"$work/monitor.out" 2>/dev/null) &
    monitor_pid=$!
    wait_for "Monitoring has begun" 30 && sleep 0.3
}

# Console monitoring never ends by itself: it is ended by terminating the process.
monitor_stop() {
    [ -n "$monitor_pid" ] || return 0
    kill "$monitor_pid" 2>/dev/null
    wait "$monitor_pid" 2>/dev/null
    monitor_pid=""
}

# wait_for TEXT SECONDS [COUNT]: the monitor's output holds COUNT lines with TEXT (default 1)
# within that time.
wait_for() {
    local i
    for i in $(seq $(($2 * 20))); do
        [ "$(grep -c "$1" "$work/monitor.out" 2>/dev/null)" -ge "${3:-1}" ] && return 0
        sleep 0.05
    done
    return 1
}

# ram_bytes OFFSET COUNT: hex of the emulator's RAM there.
ram_bytes() {
    sim_dump "$work/ram.bin" && od -An -v -tx1 -j $(($1)) -N $(($2)) "$work/ram.bin" | tr -d ' \n'
}

sim_start --model corvane --dump "$work/ram.bin"
random_file image.bin 0x10000
# Known bytes where the edits go, so that every edit is a change.
poke image.bin 0x10 "$(printf '00%.0s' $(seq 33))"
poke image.bin 0x8000 00
poke image.bin 0xFFFF FF
tev -write -infile image.bin
check "the emulator starts with the file" 0 "$corvane" \
    $'\nWriting 0x10000 bytes from file address 0x00 to emulator address 0x00 (Backfill)...\nSUCCESS: Operation completed...'

monitor_start -infile image.bin
edited=$(date +%s%N)
# One write: 0x10 to 0x1F and 0x30 change, 0x20 to 0x2F are written back as they were.
unchanged=$(od -An -v -tx1 -j 32 -N 16 "$work/image.bin" | tr -d ' \n')
poke image.bin 0x10 "$(printf 'A5%.0s' $(seq 16))${unchanged}5A"
wait_for "Uploaded" 5
seen=$(date +%s%N)
sleep 1.2
fact "an edit reaches the emulator within about a second" test $(((seen - edited) / 1000000)) -lt 2500
fact "the upload counts 17 bytes in 2 blocks" grep -q 'Changes detected. Uploaded 17 bytes in 2 blocks.' "$work/monitor.out"
fact "the 16 bytes are at 0x10" test "$(ram_bytes 0x10 16)" = "$(printf 'a5%.0s' $(seq 16))"
fact "the byte is at 0x30" test "$(ram_bytes 0x30 1)" = "5a"
poke image.bin 0xFFFF 00
wait_for "Uploaded 1 bytes in 1 blocks" 5
fact "the last byte of the file is uploaded" test "$(ram_bytes 0xFFFF 1)" = "00"
# An editor that saves a new file and renames it over the old one. (On Windows the watched file
# is not shared for deletion, so such a save is refused there instead.)
if [ -z "$runner" ]; then
    cp "$work/image.bin" "$work/image.new"
    poke image.new 0x8000 C3
    mv "$work/image.new" "$work/image.bin"
    wait_for "Uploaded 1 bytes in 1 blocks" 5 2
    sleep 1.2
    fact "a save by rename is seen" test "$(ram_bytes 0x8000 1)" = "c3"
fi
monitor_stop
ran=$((ran + 1))
want="$banner"$'\nSearching for emulator...\n\nFOUND: '"$corvane"$'\nMonitoring has begun\nChanges detected. Uploaded 17 bytes in 2 blocks.\nChanges detected. Uploaded 1 bytes in 1 blocks.'
[ -z "$runner" ] && want+=$'\nChanges detected. Uploaded 1 bytes in 1 blocks.'
if [ "$(tr -d '\r' <"$work/monitor.out")" = "$want" ]; then
    echo "ok: monitor messages"
else
    echo "FAIL: monitor messages"
    diff <(printf '%s\n' "$want") <(tr -d '\r' <"$work/monitor.out")
    failures=$((failures + 1))
fi

# A user address: file offset 5 goes to 0x4005.
random_file small.bin 0x100
poke small.bin 5 00
monitor_start -infile small.bin -nobackbuf -emuaddress 0x4000
poke small.bin 5 99
wait_for "Uploaded 1 bytes in 1 blocks" 5
monitor_stop
fact "-nobackbuf -emuaddress 0x4000 puts offset 5 at 0x4005" test "$(ram_bytes 0x4005 1)" = "99"

tev -monitor -infile absent.bin
check "a missing file begins and ends at once" 0 "$corvane" $'\nMonitoring has begun\nMonitoring ended'
tev -monitor -infile small.bin -fileaddress 100
check "a file address at the end watches nothing" 0 "$corvane" $'\nMonitoring has begun\nMonitoring ended'

finish
