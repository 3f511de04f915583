#!/usr/bin/env bash
# Console runs of the real program against tevrix-sim: the search finds the simulated device and
# names it, or reports that nothing is there.
# Usage: console_device_test.sh PROGRAM SIM [RUNNER PREFIX]
#   Without RUNNER the native program finds the simulator through TEVRIX_PORTS; with RUNNER (the
#   Wine wrapper) and PREFIX (its Wine prefix) Tevrix.exe finds it as COM33, the one port it tries.
set -u
program="$1" sim="$2" runner="${3:-}" prefix="${4:-}"
failures=0
work=$(mktemp -d)
sim_pid=""
stop_sim() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null
        wait "$sim_pid" 2>/dev/null
        sim_pid=""
    fi
}
trap 'stop_sim; rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $1"
    sed 's/^/    /' "$work/out"
    failures=$((failures + 1))
}

# start_sim OPTIONS...: serves a simulated device; sets `port` to what the program should find.
start_sim() {
    local link=()
    if [ -n "$runner" ]; then
        link=(--link "$prefix/dosdevices/com33")
    fi
    # A fresh file each time, so the wait below cannot see the previous simulator's path.
    rm -f "$work/pty"
    "$sim" "${link[@]}" "$@" >"$work/pty" &
    sim_pid=$!
    for _ in $(seq 600); do
        [ -s "$work/pty" ] && break
        sleep 0.05
    done
    port=$(head -1 "$work/pty")
}

# run_tevrix PORTS ARGS...: runs the program with the given candidate list (native only).
run_tevrix() {
    local ports="$1"
    shift
    if [ -n "$runner" ]; then
        TEVRIX_PORTS="COM33" timeout 120 "$runner" "$program" "$@" </dev/null >"$work/out" 2>/dev/null
    else
        TEVRIX_PORTS="$ports" timeout 60 "$program" "$@" </dev/null >"$work/out" 2>/dev/null
    fi
    status=$?
    tr -d '\r' <"$work/out" >"$work/out.txt" && mv "$work/out.txt" "$work/out"
}

read_args=(-read -outfile "$work/x.bin" -size 100 -noquitprompt)
if [ -n "$runner" ]; then
    # The first Wine run creates the prefix and its dosdevices directory.
    run_tevrix "" -? -noquitprompt
else
    # How fast a search gives up is measured by the search benchmark (make bench).
    run_tevrix "/dev/tevrix-no-such-port" "${read_args[@]}"
    if [ "$status" != 1 ] || ! grep -q '^Did not find hardware. Aborting...$' "$work/out"; then
        fail "no device: status $status"
    else
        echo "ok: no device"
    fi
fi

# check_found NAME FOUND NEXT STATUS SIM_OPTIONS...: the search names the device, then the port
# and rate it answers at, NEXT is the line after them, the run exits with STATUS and ends its
# last line.
check_found() {
    local name="$1" found="$2" next="$3" want_status="$4" rate=115200 option
    shift 4
    for option in "$@"; do
        [ "${prev:-}" = --rate ] && rate="$option"
        prev="$option"
    done
    prev=""
    start_sim "$@"
    run_tevrix "$port" "${read_args[@]}"
    stop_sim
    local where="$port"
    [ -n "$runner" ] && where=COM33
    local port_line="Port: $where, $rate baud"
    if ! grep -q "^Searching for emulator...$" "$work/out" || ! grep -qx -- "$found" "$work/out"; then
        fail "$name: no '$found'"
    elif ! grep -A1 -x -- "$found" "$work/out" | tail -1 | grep -qxF -- "$port_line"; then
        fail "$name: '$port_line' does not follow"
    elif ! grep -A2 -x -- "$found" "$work/out" | tail -1 | grep -qx -- "$next"; then
        fail "$name: '$next' does not follow"
    elif [ "$status" != "$want_status" ]; then
        fail "$name: status $status, want $want_status"
    elif [ -n "$(tail -c 1 "$work/out")" ]; then
        fail "$name: the last line is not ended"
    else
        echo "ok: $name"
    fi
}

reading="Reading 0x100 bytes from emulator at address 0xFF00 (Backfill)..."
check_found "corvane" "FOUND: Corvane USB v3.0.K" "$reading" 0
check_found "dravel at 19200" "FOUND: Dravel Serial v10.15.L" "$reading" 0 \
    --model dravel --version 10.15 --interface S --rate 19200
check_found "no emulation" "FOUND: Glint & Sear USB v1.0.G" "This hardware does not support emulation. Aborting..." 1 \
    --model glintsear

echo "$failures failed"
[ "$failures" -eq 0 ]
