#!/usr/bin/env bash
# The main job, as a user would see it: a simulated Dravel on a pseudo-terminal, a file written
# into its RAM, read back and verified, and the emulator's RAM dumped when it stops.
set -u
bin="$1/app/tevrix"
sim="$1/sim/tevrix-sim"
work=$(mktemp -d)
"$sim" --model dravel --version 10.15 --pace --dump "$work/emulator-ram.bin" >"$work/pty" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
    [ -s "$work/pty" ] && break
    sleep 0.05
done
export TEVRIX_PORTS
TEVRIX_PORTS=$(head -1 "$work/pty")
echo "Virtual emulator on $TEVRIX_PORTS"

head -c 65536 /dev/urandom >"$work/image.bin"
# Messages end without a line break; the echo closes each run's last line.
"$bin" -write -infile "$work/image.bin" -noquitprompt; echo
"$bin" -read -outfile "$work/back.bin" -size 10000 -noquitprompt; echo
"$bin" -verify -infile "$work/image.bin" -noquitprompt; echo
