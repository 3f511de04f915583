#!/usr/bin/env bash
# Which ports a console search tries, and what a failed search says about ports it could not
# open: TEVRIX_PORTS pins the candidates and their order (COM names under Wine), and a port that
# another program holds, or one the user may not open, is named with its remedy.
# Usage: port_access_test.sh PROGRAM SIM [RUNNER WINEPREFIX]
set -u
program="$1"
sim="$2"
runner="${3:-}"
com=44
export WINEPREFIX="${4:-}"
work=$(mktemp -d)
holder_pid=""
quiet_pid=""
trap 'holder_stop; quiet_stop; sim_stop; rm -rf "$work"' EXIT
source "$(dirname "$0")/sim_lib.sh"
searching=$'\nSearching for emulator...'
not_found=$'\nDid not find hardware. Aborting...'

# A second simulated device that never answers, on its own port: sets `quiet_port` (a device
# path natively, a COM name under Wine).
quiet_start() {
    local link="$work/quiet-link" name
    if [ -n "$runner" ]; then
        link="$WINEPREFIX/dosdevices/com$((com + 1))"
    fi
    "$sim" --link "$link" --fault silent >"$work/quiet.out" 2>/dev/null &
    quiet_pid=$!
    for _ in $(seq 300); do
        [ -s "$work/quiet.out" ] && [ -L "$link" ] && break
        sleep 0.1
    done
    name=$(head -n 1 "$work/quiet.out")
    quiet_port="${runner:+COM$((com + 1))}"
    quiet_port="${quiet_port:-$name}"
}

quiet_stop() {
    [ -n "$quiet_pid" ] || return 0
    kill "$quiet_pid" 2>/dev/null
    wait "$quiet_pid" 2>/dev/null
    quiet_pid=""
}

holder_stop() {
    [ -n "$holder_pid" ] || return 0
    kill "$holder_pid" 2>/dev/null
    wait "$holder_pid" 2>/dev/null
    holder_pid=""
}

# As `tev` (natively), run by USER_PREFIX: a command that drops privileges, or nothing.
tev_as() {
    local as="$1"
    shift
    (cd "$work" && timeout 60 $as "$program" "$@" -noquitprompt </dev/null >"$work/out" 2>/dev/null)
    status=$?
    out=$(tr -d '\r' <"$work/out"; printf x)
    out="${out%x}"
}

# expect NAME WANT_STATUS WANT_OUTPUT
expect() {
    ran=$((ran + 1))
    if [ "$status" != "$2" ] || [ "$out" != "$3" ]; then
        echo "FAIL: $1 (status $status, want $2)"
        diff <(printf '%s\n' "$3") <(printf '%s\n' "$out") | head -20
        failures=$((failures + 1))
    else
        echo "ok: $1"
    fi
}

# opened_ports: the ports the device log shows opened, in order, one per line.
opened_ports() {
    tr -d '\r' <"$work/device.log" | sed -n 's/^KVSerial: \(.*\) opened at 115200 baud$/\1/p' | sed 's/^\\\\\.\\//'
}

# Permissions stop everyone but the superuser: the other user runs the program then.
other_user=""
if [ "$(id -u)" = 0 ]; then
    other_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
fi

sim_start --model corvane
quiet_start
emulator="$TEVRIX_PORTS"
separator=":"
[ -n "$runner" ] && separator=";"

# --- Pinned ports: only these, in this order ---
rm -f "$work/device.log"
TEVRIX_PORTS="$emulator" TEVRIX_DEVICE_LOG="$work/device.log" tev -read -outfile a.bin -size 10
fact "a pinned port is found" test "$status" = 0
fact "only the pinned port is opened" test "$(opened_ports)" = "$emulator"
rm -f "$work/device.log"
# A first run: nothing remembered yet.
forget_port
TEVRIX_PORTS="$quiet_port$separator$emulator" TEVRIX_DEVICE_LOG="$work/device.log" tev -read -outfile a.bin -size 10
fact "the pinned ports are tried in their order" test "$(opened_ports | uniq | tr '\n' ' ')" = "$quiet_port $emulator "
fact "the emulator behind a silent pinned port is found" test "$status" = 0
# The next run remembers where the emulator was found and goes there first.
rm -f "$work/device.log"
TEVRIX_PORTS="$quiet_port$separator$emulator" TEVRIX_DEVICE_LOG="$work/device.log" tev -read -outfile a.bin -size 10
fact "the next run opens the remembered port alone" test "$(opened_ports | tr '\n' ' ')" = "$emulator "
fact "and finds the emulator there" test "$status" = 0
# Remembered, but no candidate now: the whole search, as without a memory.
TEVRIX_PORTS="$quiet_port" tev -read -outfile a.bin -size 10
fact "a remembered port that is no candidate is not tried" test "$status" = 1
# A state file that is not the program's costs the search its head start, nothing more.
state_file="$work/state/tevrix/last-port"
[ -n "$runner" ] && state_file="$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local/Tevrix)/last-port"
printf 'garbage\0\377' >"$state_file"
rm -f "$work/device.log"
TEVRIX_PORTS="$quiet_port$separator$emulator" TEVRIX_DEVICE_LOG="$work/device.log" tev -read -outfile a.bin -size 10
fact "an unreadable state file leaves the whole search" test "$(opened_ports | uniq | tr '\n' ' ')" = "$quiet_port $emulator "
fact "which still finds the emulator" test "$status" = 0
fact "and says why in the device log" grep -q "No remembered port: .* does not hold a port and a rate" "$work/device.log"
# --- -list: every emulator on every candidate port, with its serial number ---
sim_start_other $((com + 2)) --model dravel2 --serial 0011223344556677
second="${other_ports%[:;]}"
TEVRIX_PORTS="$emulator$separator$quiet_port$separator$second" tev -list
expect "-list names each emulator on its port with its serial" 0 \
    "$banner$searching"$'\n\n'"$emulator: Corvane USB v3.0.K, serial 5456583030303137"$'\n'"$second: Dravel II USB v12.3.M, serial 0011223344556677"$'\n'
TEVRIX_PORTS="$quiet_port" tev -list
expect "-list without an emulator" 1 "$banner$searching$not_found"$'\n'
others_stop
TEVRIX_PORTS="$emulator" tev -read -outfile a.bin -size 10
fact "after -list the emulator is found as before" test "$status" = 0

quiet_stop

# The two cases below run natively only: Wine lets a second Wine program open a COM port that
# another one holds (Windows refuses it), and Wine runs as the superuser here.
if [ -n "$runner" ]; then
    finish
    exit
fi

# --- A port another program holds ---
echo "held" >"$work/image.bin"
(cd "$work" && TEVRIX_PORTS="$emulator" exec "$program" -monitor -infile image.bin -noquitprompt \
    </dev/null >"$work/holder.out" 2>/dev/null) &
holder_pid=$!
for _ in $(seq 300); do
    grep -q "Monitoring has begun" "$work/holder.out" 2>/dev/null && break
    sleep 0.1
done
chmod 666 "$emulator"
TEVRIX_PORTS="$emulator" tev_as "$other_user" -read -outfile b.bin -size 10
expect "a port another program holds is named" 1 \
    "$banner$searching$not_found"$'\n'"Could not open $emulator: in use by another program."$'\n'
TEVRIX_PORTS="$emulator" tev_as "$other_user" -list
expect "-list names it as well" 1 \
    "$banner$searching$not_found"$'\n'"Could not open $emulator: in use by another program."$'\n'
holder_stop

# --- A port the user may not open (file modes bind everyone but the superuser) ---
if [ -n "$other_user" ]; then
    chown root:dialout "$emulator"
    chmod 660 "$emulator"
    TEVRIX_PORTS="$emulator" tev_as "$other_user" -read -outfile b.bin -size 10
    expect "a port without permission is named with the remedy" 1 \
        "$banner$searching$not_found"$'\n'"Could not open $emulator: permission denied. Add your user to the group dialout (sudo usermod -aG dialout \$USER), then log in again."$'\n'
    # Only its owner may open it: joining its group would not help, a udev rule has to.
    chown root:root "$emulator"
    chmod 600 "$emulator"
    TEVRIX_PORTS="$emulator" tev_as "$other_user" -read -outfile b.bin -size 10
    grep -q "^Could not open $emulator: permission denied. Only its owner (root) may open it. To grant access, add a udev rule such as SUBSYSTEM==\"tty\", KERNEL==\"$(basename "$(realpath "$emulator")")\"" \
        <<<"$out" && owner_only=1 || owner_only=""
    fact "a port only its owner may open is named with the udev remedy" test "$status" = 1 -a -n "$owner_only"
fi

finish
