#!/usr/bin/env bash
# Monitor mode through the real program against the virtual emulator on a pty: an editor changes
# the watched file and the changed runs appear in the emulator's RAM; a monitor that cannot start
# fails.
# Usage: monitor_test.sh PROGRAM SIM [RUNNER WINEPREFIX]
set -u
program="$1"
sim="$2"
runner="${3:-}"
com=43
export WINEPREFIX="${4:-}"
work=$(mktemp -d)
trap 'monitor_stop; sim_stop; rm -rf "$work"' EXIT
source "$(dirname "$0")/sim_lib.sh"
corvane="Corvane USB v3.0.K"

# ram_bytes OFFSET COUNT: hex of the emulator's RAM there.
ram_bytes() {
    sim_dump "$work/ram.bin" && od -An -v -tx1 -j $(($1)) -N $(($2)) "$work/ram.bin" | tr -d ' \n'
}

sim_start --model corvane --dump "$work/ram.bin"
random_file image.bin 0x10000
# Known bytes where the edits go, so that every edit is a change.
poke image.bin 0x10 "$(printf '00%.0s' $(seq 33))"
poke image.bin 0x8000 0000
poke image.bin 0xFFFF FF
tev -write -infile image.bin
check "the emulator starts with the file" 0 "$corvane" \
    $'\nWriting 0x10000 bytes from file address 0x00 to emulator address 0x00 (Backfill)...\nSUCCESS: Operation completed...'

# How soon an edit reaches the emulator is measured by the monitor benchmark (make bench). A change
# uploaded twice would show in the exact messages below: the next upload would carry it again.
monitor_start -infile image.bin
# One write: 0x10 to 0x1F and 0x30 change, 0x20 to 0x2F are written back as they were.
unchanged=$(od -An -v -tx1 -j 32 -N 16 "$work/image.bin" | tr -d ' \n')
poke image.bin 0x10 "$(printf 'A5%.0s' $(seq 16))${unchanged}5A"
monitor_wait "Uploaded"
fact "the upload counts 17 bytes in 2 blocks" grep -q 'Changes detected. Uploaded 17 bytes in 2 blocks.' "$work/monitor.out"
fact "the 16 bytes are at 0x10" test "$(ram_bytes 0x10 16)" = "$(printf 'a5%.0s' $(seq 16))"
fact "the byte is at 0x30" test "$(ram_bytes 0x30 1)" = "5a"
poke image.bin 0xFFFF 00
monitor_wait "Uploaded 1 bytes in 1 blocks"
fact "the last byte of the file is uploaded" test "$(ram_bytes 0xFFFF 1)" = "00"
# An editor that saves a new file and renames it over the old one, and one that deletes the file
# and writes it anew: the monitor follows the new file.
cp "$work/image.bin" "$work/image.new"
poke image.new 0x8000 C3
mv "$work/image.new" "$work/image.bin"
monitor_wait "Uploaded 1 bytes in 1 blocks" 2
fact "a save by rename is seen" test "$(ram_bytes 0x8000 1)" = "c3"
cp "$work/image.bin" "$work/image.new"
poke image.new 0x8001 C4
rm "$work/image.bin"
cp "$work/image.new" "$work/image.bin"
monitor_wait "Uploaded 1 bytes in 1 blocks" 3
fact "a save by delete and create is seen" test "$(ram_bytes 0x8001 1)" = "c4"
# Under Windows: moved over it with MoveFileEx, and put in its place with ReplaceFile.
if [ -n "$runner" ]; then
    saves=3
    for way in move replace; do
        cp "$work/image.bin" "$work/image.new"
        saves=$((saves + 1))
        poke image.new 0x8002 "$saves$saves"
        (cd "$work" && $runner "$TEVRIX_SAVE_BY_REPLACE" "$way" image.bin image.new 2>"$work/save.err")
        fact "a save by $way succeeds while the file is monitored" test $? = 0
        cat "$work/save.err"
        monitor_wait "Uploaded 1 bytes in 1 blocks" "$saves"
        fact "a save by $way reaches the emulator" test "$(ram_bytes 0x8002 1)" = "$saves$saves"
    done
fi
monitor_stop
ran=$((ran + 1))
want="$banner"$'\nSearching for emulator...\n\nFOUND: '"$corvane"$'\n'"$port_line"$'\nMonitoring has begun\nWatching image.bin: 0x10000 bytes from file address 0x0 to emulator address 0x0\nChanges detected. Uploaded 17 bytes in 2 blocks.\nChanges detected. Uploaded 1 bytes in 1 blocks.'
want+=$'\nChanges detected. Uploaded 1 bytes in 1 blocks.\nChanges detected. Uploaded 1 bytes in 1 blocks.'
if [ -n "$runner" ]; then
    want+=$'\nChanges detected. Uploaded 1 bytes in 1 blocks.\nChanges detected. Uploaded 1 bytes in 1 blocks.'
else
    want+=$'\nMonitoring ended'
fi
if [ "$(tr -d '\r' <"$work/monitor.out")" = "$want" ]; then
    echo "ok: monitor messages"
else
    echo "FAIL: monitor messages"
    diff <(printf '%s\n' "$want") <(tr -d '\r' <"$work/monitor.out")
    failures=$((failures + 1))
fi

# Read through a pipe line by line, as a wrapper script or `| tee` reads it: each event's line
# arrives whole before anything else happens (before the next save here), not with the next event.
mkfifo "$work/pipe"
random_file piped.bin 0x100
poke piped.bin 0 00
(cd "$work" && exec $runner "$program" -monitor -infile piped.bin -noquitprompt </dev/null >"$work/pipe" \
    2>/dev/null) &
monitor_pid=$!
exec 7<"$work/pipe"
# next_line TEXT: reads whole lines from the pipe until one holds TEXT; false when no such line
# has been ended within 30 s.
next_line() {
    local line
    while IFS= read -r -t 30 line <&7; do
        [[ "$line" == *"$1"* ]] && return 0
    done
    return 1
}
fact "through a pipe, the start's line comes whole before any save" next_line "Monitoring has begun"
poke piped.bin 0 11
fact "the first save's line comes whole before the next save" next_line "Uploaded 1 bytes in 1 blocks"
poke piped.bin 0 22
fact "and so does the second's" next_line "Uploaded 1 bytes in 1 blocks"
kill "$monitor_pid" 2>/dev/null
wait "$monitor_pid" 2>/dev/null
monitor_pid=""
exec 7<&-

# A user address: file offset 5 goes to 0x4005.
random_file small.bin 0x100
poke small.bin 5 00
monitor_start -infile small.bin -nobackbuf -emuaddress 0x4000
poke small.bin 5 99
monitor_wait "Uploaded 1 bytes in 1 blocks"
monitor_stop
fact "-nobackbuf -emuaddress 0x4000 puts offset 5 at 0x4005" test "$(ram_bytes 0x4005 1)" = "99"

# With -size only that many bytes are watched, placed by their own length: the 0x10 bytes from
# file address 0x20 end at the end of RAM, and a change past them is not sent.
poke small.bin 0x2F 00
monitor_start -infile small.bin -fileaddress 20 -size 10
poke small.bin 0x80 77
poke small.bin 0x2F 66
monitor_wait "Uploaded"
monitor_stop
fact "-size 10 puts the last watched byte at the end of RAM" test "$(ram_bytes 0xFFFF 1)" = "66"
fact "and watches nothing past it" test "$(grep -c 'Changes detected' "$work/monitor.out")" = 1 -a \
    "$(grep -c 'Uploaded 1 bytes in 1 blocks.' "$work/monitor.out")" = 1

# Nothing to watch: a failure that names why, without starting.
tev -monitor -infile absent.bin
check_unsearched "a missing file" 1 $'
FAILURE: Could not open input: absent.bin: '"$missing_reason"
: >"$work/empty.bin"
tev -monitor -infile empty.bin
check_unsearched "an empty file" 1 $'\nFAILURE: Cannot monitor 0 bytes'
tev -monitor -infile small.bin -fileaddress 100
check_unsearched "a file address at the end" 1 $'\nFAILURE: File address and size out of range'
tev -monitor -infile small.bin -nobackbuf -emuaddress FF80
check "watched bytes past the end of RAM" 1 "$corvane" \
    $'\nFAILURE: 0x100 bytes at emulator address 0xFF80 do not fit the emulator\'s RAM of 0x10000 bytes'

finish
