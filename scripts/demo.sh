#!/usr/bin/env bash
# The main job, as a user would see it, against the virtual emulator: a Dravel on USB with
# 512 KB of RAM on a pseudo-terminal. Writes a sample image, verifies it, reads it back, verifies
# a changed copy, and monitors the file for a few seconds while it is edited.
# Usage: demo.sh BUILD_DIR
set -u
build="$1"
tevrix="$(cd "$build" && pwd)/app/tevrix"
sim="$(cd "$build" && pwd)/sim/tevrix-sim"
[ -x "$sim" ] || { echo "demo: the virtual emulator $sim is not built"; exit 1; }
work=$(mktemp -d)
sim_pid=""
monitor_pid=""
cleanup() {
    [ -n "$monitor_pid" ] && kill "$monitor_pid" 2>/dev/null && wait "$monitor_pid" 2>/dev/null
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

say() { printf '\n=== %s ===\n' "$*"; }
run() {
    printf '\n$ tevrix %s\n' "$*"
    timeout 60 "$tevrix" "$@" -noquitprompt </dev/null
    printf '\n(exit status %s)\n' "$?"
}

say "Starting the virtual emulator (Dravel on USB, 512 KB)"
"$sim" --model dravel --interface U --pace >sim.out 2>sim.err &
sim_pid=$!
for _ in $(seq 50); do
    [ -s sim.out ] && break
    sleep 0.1
done
export TEVRIX_PORTS
TEVRIX_PORTS=$(head -n 1 sim.out)
[ -n "$TEVRIX_PORTS" ] || { echo "tevrix-sim did not start: $(cat sim.err)"; exit 1; }
echo "Serving on $TEVRIX_PORTS"

say "A 64 KB sample image"
head -c 65536 /dev/urandom >sample.bin
ls -l sample.bin

say "Write it into the emulator (end-justified in bank 8 with -large)"
run -write -infile sample.bin -large
say "Verify the emulator against it"
run -verify -infile sample.bin -large
say "Read it back into another file and compare"
run -read -outfile readback.bin -size 10000 -large
cmp sample.bin readback.bin && echo "readback.bin is identical to sample.bin"

say "Verify against a copy with three bytes changed"
cp sample.bin changed.bin
for offset in 16 4096 65535; do
    printf '\x00' | dd of=changed.bin bs=1 seek=$offset count=1 conv=notrunc status=none
done
cmp -l sample.bin changed.bin | wc -l | xargs echo "bytes that differ:"
run -verify -infile changed.bin -large

say "Monitor sample.bin for a few seconds while a script edits it"
printf '\n$ tevrix -monitor -infile sample.bin -large\n'
"$tevrix" -monitor -infile sample.bin -large -noquitprompt </dev/null &
monitor_pid=$!
sleep 2
for offset in 256 512; do
    printf '\n(an editor saves sample.bin with 16 zero bytes at offset %s)' "$offset"
    head -c 16 /dev/zero | dd of=sample.bin bs=1 seek=$offset conv=notrunc status=none
    sleep 1.5
done
sleep 1
kill "$monitor_pid"
wait "$monitor_pid" 2>/dev/null
monitor_pid=""
printf '\n(monitoring ended by stopping the program, as in a console)\n'

say "Verify the emulator against the edited file"
run -verify -infile sample.bin -large

say "Stopping the virtual emulator"
kill "$sim_pid"
wait "$sim_pid" 2>/dev/null
sim_pid=""
echo "Done."
