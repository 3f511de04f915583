#!/usr/bin/env bash
# The real program against the virtual emulator on a line that misbehaves as real ones do: adapter
# latency, a reply that pauses, a port that streams text ahead of the emulator, an emulator at
# another rate that answers noise. No run may report SUCCESS with bytes other than the emulator's,
# none may hang, and those that a clean retry can finish must succeed.
# Usage: line_faults_test.sh PROGRAM SIM [RUNNER WINEPREFIX]
set -u
program="$1"
sim="$2"
runner="${3:-}"
com=45
export WINEPREFIX="${4:-}"
work=$(mktemp -d)
trap 'sim_stop; others_stop; rm -rf "$work"' EXIT
source "$(dirname "$0")/sim_lib.sh"
corvane="Corvane USB v3.0.K"

# outcome NAME WANT: the run found the emulator and ended as WANT says: "success" (status 0 and a
# SUCCESS line), "failure" (status 1 and a FAILURE line) or "either".
outcome() {
    local name="$1" want="$2" ended=""
    ran=$((ran + 1))
    if [ "$status" = 0 ] && grep -q '^SUCCESS: ' <<<"$out"; then
        ended=success
    elif [ "$status" = 1 ] && grep -q '^FAILURE: ' <<<"$out"; then
        ended=failure
    fi
    if ! grep -qx "FOUND: $corvane" <<<"$out" || [ -z "$ended" ] || { [ "$want" != either ] && [ "$want" != "$ended" ]; }; then
        echo "FAIL: $name (status $status, want $want)"
        sed 's/^/    /' <<<"$out" | tail -8
        failures=$((failures + 1))
        return 1
    fi
    echo "ok: $name ($ended)"
}

# ram_slice NAME ADDRESS SIZE: the emulator's RAM from ADDRESS, SIZE bytes, into $work/NAME.
ram_slice() {
    sim_dump "$work/ram.bin" && tail -c +$(($2 + 1)) "$work/ram.bin" | head -c $(($3)) >"$work/$1"
}

# A read that a clean retry can finish, and one that may fail but must not hand out wrong bytes.
# RAM holds zeros and two bytes summing to 0 modulo 256, so bytes read out of place pass the sums.
printf '\x80\x80' >"$work/two.bin"
for pause in 600 1500; do
    sim_start --load "$work/two.bin@0x4110" --dump "$work/ram.bin" --fault "gap,cmd=ZR,times=1,at=1000,arg=$pause"
    ram_slice want.bin 0x4000 0x2000
    rm -f "$work/back.bin" "$work/device.log"
    TEVRIX_DEVICE_LOG=device.log tev -read -outfile back.bin -size 2000 -nobackbuf -emuaddress 4000
    fact "the device log shows the late bytes discarded ($pause ms)" grep -q '^KVCorvane: Discarding the rest of the reply' "$work/device.log"
    if [ "$pause" = 600 ]; then
        outcome "read whose reply pauses $pause ms" success && same "the read bytes are the emulator's" want.bin back.bin
    elif outcome "read whose reply pauses $pause ms" either && [ "$status" = 0 ]; then
        same "a read reported as done holds the emulator's bytes" want.bin back.bin
    fi
    tev -read -outfile again.bin -size 2000 -nobackbuf -emuaddress 4000
    outcome "the next read" success && same "the next read holds the emulator's bytes" want.bin again.bin
    sim_stop
done

# A USB adapter's 16 ms latency timer: end-justified, odd-sized file written, read back, verified.
sim_start --latency 16 --dump "$work/ram.bin"
random_file odd.bin 0xFFFF
tev -write -infile odd.bin
outcome "write 65535 bytes through a 16 ms adapter" success
ram_slice ram-tail.bin 1 0xFFFF && same "the file sits at the end of RAM" odd.bin ram-tail.bin
tev -read -outfile odd-back.bin -size FFFF
outcome "read them back" success && same "read back equals the file" odd.bin odd-back.bin
tev -verify -infile odd.bin
outcome "verify them" success
sim_stop

# A port that streams text comes first; the search passes over it to the emulator.
sim_start_other $((com - 1)) --chatty
sim_start --dump "$work/ram.bin"
random_file block.bin 0x1000
rm -f "$work/device.log"
TEVRIX_DEVICE_LOG=device.log tev -write -infile block.bin -nobackbuf -emuaddress 2000
outcome "write with a talkative port ahead of the emulator" success
fact "the search passed over the talkative port" grep -q '^KVCorvane: No emulator answers here' "$work/device.log"
ram_slice ram-block.bin 0x2000 0x1000 && same "the block arrived" block.bin ram-block.bin
sim_stop
others_stop

# Only the talkative port: no emulator found, in bounded time.
sim_start --chatty
start=$(date +%s)
tev -read -outfile none.bin -size 100
ran=$((ran + 1))
if [ "$status" = 1 ] && grep -qx 'Did not find hardware. Aborting...' <<<"$out"; then
    echo "ok: a talkative port alone is not taken for the emulator ($(($(date +%s) - start)) s)"
else
    echo "FAIL: a talkative port alone (status $status)"
    sed 's/^/    /' <<<"$out" | tail -5
    failures=$((failures + 1))
fi
sim_stop

# An emulator at another rate answers the tries at the wrong rates with noise.
for rate in 921600 19200; do
    sim_start --rate "$rate" --dump "$work/ram.bin"
    random_file rated.bin 0x1100
    tev -write -infile rated.bin -nobackbuf -emuaddress 0x300
    outcome "write to an emulator at $rate baud" success
    ram_slice ram-rated.bin 0x300 0x1100 && same "the bytes arrived at $rate baud" rated.bin ram-rated.bin
    tev -read -outfile rated-back.bin -size 1100 -nobackbuf -emuaddress 300
    outcome "read from it" success && same "read back at $rate baud" rated.bin rated-back.bin
    sim_stop
done

finish
