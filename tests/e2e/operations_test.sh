#!/usr/bin/env bash
# Write, read and verify through the real program against the virtual emulator on a pty:
# exact messages, exit statuses and the bytes that arrive in RAM and in files.
# Usage: operations_test.sh PROGRAM SIM [RUNNER WINEPREFIX]
set -u
program="$1"
sim="$2"
runner="${3:-}"
com=41
export WINEPREFIX="${4:-}"
work=$(mktemp -d)
trap 'sim_stop; rm -rf "$work"' EXIT
source "$(dirname "$0")/sim_lib.sh"
ok=$'\nSUCCESS: Operation completed...'
mismatch=$'\nFAILURE: Buffers do NOT match! '

# shown FILE OFFSET COUNT: the bytes there as a verify shows them, "00 1F ..." (at most 8).
shown() {
    local bytes
    bytes=$(od -An -v -tx1 -j $(($2)) -N $(($3 < 8 ? $3 : 8)) "$work/$1" | tr -d '\n' | sed 's/^ *//' | tr a-f A-F)
    [ $(($3)) -gt 8 ] && bytes="$bytes ..."
    printf '%s' "$bytes"
}

# flip FILE OFFSET COUNT: every bit of COUNT bytes there is turned over, so each of them differs.
flip() {
    local i
    for ((i = $2; i < $2 + $3; i++)); do
        poke "$1" $i "$(printf '%02X' $((0x$(od -An -tx1 -j $i -N 1 "$work/$1" | tr -d ' ') ^ 0xFF)))"
    done
}

# --- A Corvane on USB: 64 KB, plain framing, bulk transfers ---
corvane="Corvane USB v3.0.K"
sim_start --model corvane --dump "$work/ram.bin"
random_file half.bin 0x8000
tev -write -infile half.bin
check "write 32 KB end-justified" 0 "$corvane" \
    $'\nWriting 0x8000 bytes from file address 0x00 to emulator address 0x8000 (Backfill)...'"$ok"
sim_dump "$work/ram.bin" && tail -c 32768 "$work/ram.bin" >"$work/ram-tail.bin"
same "the file sits at the end of RAM" half.bin ram-tail.bin

tev -read -outfile back.bin -size 8000
check "read it back" 0 "$corvane" $'\nReading 0x8000 bytes from emulator at address 0x8000 (Backfill)...'"$ok"
same "read back equals the file" half.bin back.bin

tev -verify -infile half.bin
check "verify matches, naming the size it took from the file" 0 "$corvane" \
    $'\nVerifying 0x8000 bytes from emulator RAM...\nSUCCESS: Contents match. Operation completed...'
cp "$work/half.bin" "$work/changed.bin"
flip changed.bin 0x10 1
flip changed.bin 0x4000 2
flip changed.bin 0x7FFF 1
tev -verify -infile changed.bin
# Each run of differing bytes in a line of its own, in address order, before the result line.
where=""
for run in "8010 10 1" "C000 4000 2" "FFFF 7FFF 1"; do
    set -- $run
    where+=$'\nDifference at emulator address 0x'"$1 (file address 0x$2), $3 bytes: emulator $(shown half.bin 0x$2 $3), file $(shown changed.bin 0x$2 $3)"
done
check "verify says where the bytes differ, counts every one and fails" 1 "$corvane" \
    $'\nVerifying 0x8000 bytes from emulator RAM...'"$where$mismatch"$'4 bytes different. Operation completed'

# The example of the man page: one byte, and a run longer than the eight bytes shown.
head -c 256 /dev/zero >"$work/zeros.bin"
tev -write -infile zeros.bin -nobackbuf -emuaddress 100
check "zeros at 0x100" 0 "$corvane" $'\nWriting 0x100 bytes from file address 0x00 to emulator address 0x100...'"$ok"
cp "$work/zeros.bin" "$work/where.bin"
poke where.bin 7 5A
poke where.bin 0x20 111111111111111111111111
tev -verify -infile where.bin -nobackbuf -emuaddress 100
check "verify shows at most 8 bytes of each side" 1 "$corvane" $'\nVerifying 0x100 bytes from emulator RAM...
Difference at emulator address 0x107 (file address 0x7), 1 bytes: emulator 00, file 5A
Difference at emulator address 0x120 (file address 0x20), 12 bytes: emulator 00 00 00 00 00 00 00 00 ..., file 11 11 11 11 11 11 11 11 ...'"$mismatch"$'13 bytes different. Operation completed'
# Every other byte: 32 runs, of which the first 16 are shown.
cp "$work/zeros.bin" "$work/every.bin"
where=""
for ((i = 0; i < 64; i += 2)); do
    poke every.bin $i FF
    [ $i -lt 32 ] && where+=$'\n'"$(printf 'Difference at emulator address 0x%X (file address 0x%X), 1 bytes: emulator 00, file FF' $((0x100 + i)) $i)"
done
tev -verify -infile every.bin -nobackbuf -emuaddress 100
check "verify shows the first 16 runs and counts the rest" 1 "$corvane" \
    $'\nVerifying 0x100 bytes from emulator RAM...'"$where"$'\n... and 16 more differing runs'"$mismatch"$'32 bytes different. Operation completed'

# A file that ends before the size: the bytes it lacks count as different.
tail -c +$((0x7E00 + 1)) "$work/half.bin" | head -c 256 >"$work/short.bin"
tev -verify -infile short.bin -size 200 -nobackbuf -emuaddress FE00
check "verify of a short file counts the missing bytes" 1 "$corvane" \
    $'\nVerifying 0x200 bytes from emulator RAM...\nDifference at emulator address 0xFF00 (file address 0x100), 256 bytes: emulator '"$(shown half.bin 0x7F00 256)"', past the end of the file'"$mismatch"$'256 bytes different. Operation completed'

# Slow packets: a size that is not a multiple of 256 skips the bulk commands.
random_file odd.bin 0x1234
tev -write -infile odd.bin -nobackbuf -emuaddress 0x100
check "slow write at a user address" 0 "$corvane" \
    $'\nWriting 0x1234 bytes from file address 0x00 to emulator address 0x100...'"$ok"
tev -read -outfile odd-back.bin -nobackbuf -emuaddress 100 -size 1234
check "slow read at a user address" 0 "$corvane" $'\nReading 0x1234 bytes from emulator at address 0x100...'"$ok"
same "slow round trip" odd.bin odd-back.bin

# A read into part of an existing file changes only that part.
random_file big.bin 0x10000
cp "$work/big.bin" "$work/patched.bin"
tev -read -outfile patched.bin -fileaddress 4000 -size 1000 -nobackbuf -emuaddress 100
check "read into the middle of a file" 0 "$corvane" $'\nReading 0x1000 bytes from emulator at address 0x100...'"$ok"
head -c 16384 "$work/big.bin" >"$work/want.bin"
head -c 4096 "$work/odd-back.bin" >>"$work/want.bin"
tail -c +20481 "$work/big.bin" >>"$work/want.bin"
same "only the 0x1000 bytes at 0x4000 changed" want.bin patched.bin

tev -write -infile big.bin -fileaddress 0x1000 -size 0x800 -nobackbuf -emuaddress 0x2000
check "write part of a file" 0 "$corvane" \
    $'\nWriting 0x800 bytes from file address 0x1000 to emulator address 0x2000...'"$ok"
tail -c +4097 "$work/big.bin" | head -c 2048 >"$work/part.bin"
sim_dump "$work/ram.bin" && tail -c +8193 "$work/ram.bin" | head -c 2048 >"$work/ram-part.bin"
same "the part arrived at 0x2000" part.bin ram-part.bin

# Without -size a write or verify takes the file from -fileaddress to its end; an address at or
# past the end is out of range before any emulator is looked for.
tev -write -infile half.bin -fileaddress 1
check "write of the rest of a file from a file address" 0 "$corvane" \
    $'\nWriting 0x7FFF bytes from file address 0x01 to emulator address 0x8001 (Backfill)...'"$ok"
tev -verify -infile half.bin -fileaddress 1 -nobackbuf -emuaddress 8001
check "verify of the rest of a file from a file address" 0 "$corvane" \
    $'\nVerifying 0x7FFF bytes from emulator RAM...\nSUCCESS: Contents match. Operation completed...'
for op in -write -verify -monitor; do
    tev $op -infile half.bin -fileaddress 8000
    check_unsearched "$op from the end of the file" 1 $'\nFAILURE: File address and size out of range'
done
tev -write -infile half.bin -fileaddress 7000 -size 1001
check_unsearched "write of a size past the end of the file" 1 $'\nFAILURE: File address and size out of range'

# A read without -size takes the whole RAM, end-justified or from -emuaddress on; the file it
# makes comes once the bytes have.
tev -read -outfile whole.bin
check "read without a size takes the whole RAM" 0 "$corvane" \
    $'\nReading 0x10000 bytes from emulator at address 0x00 (Backfill)...'"$ok"
sim_dump "$work/ram.bin"
same "the file holds the whole RAM" ram.bin whole.bin
tev -read -outfile rest.bin -nobackbuf -emuaddress C000
check "read without a size from an emulator address" 0 "$corvane" \
    $'\nReading 0x4000 bytes from emulator at address 0xC000...'"$ok"
tail -c 16384 "$work/ram.bin" >"$work/ram-rest.bin"
same "the file holds the RAM from that address" ram-rest.bin rest.bin
tev -read -outfile none.bin -nobackbuf -emuaddress 10000
check "read without a size from the end of RAM" 1 "$corvane" \
    $'\nFAILURE: Emulator address 0x10000 lies at or past the end of the emulator\'s RAM of 0x10000 bytes'
fact "the refused read made no file" test ! -e "$work/none.bin"

# Every failure of the executor that a user can provoke; each exits with status 1. A file that
# a write or verify cannot take is refused before the search.
mkdir -p "$work/folder"
tev -read -size 100
check "read without a file" 1 "$corvane" $'\nFAILURE: No file specified'
tev -write
check_unsearched "write without a file" 1 $'\nFAILURE: No file specified'
tev -verify -size 10
check_unsearched "verify without a file" 1 $'\nFAILURE: No file specified'
tev -read -outfile folder -size 100
check "read into a folder" 1 "$corvane" $'\nFAILURE: Invalid file specified: folder: '"$folder_reason"
tev -read -outfile nofolder/x.bin -size 100
check "read into a folder that is not there" 1 "$corvane" \
    $'\nFAILURE: Invalid file specified: nofolder/x.bin: '"$nofolder_reason"
tev -verify -infile none.bin
check_unsearched "verify of a missing file" 1 $'\nFAILURE: Invalid file specified: none.bin: '"$missing_reason"
fact "the verify created no file" test ! -e "$work/none.bin"
tev -write -infile missing.bin
check_unsearched "write of a missing file" 1 $'\nFAILURE: Could not open input: missing.bin: '"$missing_reason"
tev -write -infile half.bin -fileaddress FFFFFF00 -size 200
check_unsearched "write at a file address that wraps round" 1 $'\nFAILURE: File address and size out of range'
if [ -z "$runner" ]; then
    tev -read -outfile /dev/full -size 100
    check "read whose file cannot be written" 1 "$corvane" \
        $'\nReading 0x100 bytes from emulator at address 0xFF00 (Backfill)...\nFAILURE: Could not write output file'
fi
: >"$work/empty.bin"
tev -write -infile empty.bin
check_unsearched "write of an empty file" 1 $'\nFAILURE: Cannot write 0 bytes'
tev -verify -infile empty.bin
check_unsearched "verify of an empty file" 1 $'\nFAILURE: Cannot read 0 bytes'

# Ranges past the end of the 64 KB RAM would wrap round onto other bytes: refused before
# anything is sent, and the RAM stays as it was.
ram_fit="do not fit the emulator's RAM of 0x10000 bytes"
sim_dump "$work/ram.bin" && cp "$work/ram.bin" "$work/ram-before.bin"
tev -write -infile odd.bin -nobackbuf -emuaddress 20010 -size 100
check "write at an address past the end of RAM" 1 "$corvane" \
    $'\nFAILURE: 0x100 bytes at emulator address 0x20010 '"$ram_fit"
tev -write -infile odd.bin -nobackbuf -emuaddress FF80 -size 100
check "write across the end of RAM" 1 "$corvane" $'\nFAILURE: 0x100 bytes at emulator address 0xFF80 '"$ram_fit"
random_file double.bin 0x20000
tev -write -infile double.bin
check "end-justified write of a file twice the RAM" 1 "$corvane" \
    $'\nFAILURE: 0x20000 bytes at emulator address 0x00 (Backfill) '"$ram_fit"
tev -read -outfile past.bin -nobackbuf -emuaddress FFF0 -size 20
check "read across the end of RAM" 1 "$corvane" $'\nFAILURE: 0x20 bytes at emulator address 0xFFF0 '"$ram_fit"
tev -verify -infile half.bin -nobackbuf -emuaddress 8001
check "verify across the end of RAM" 1 "$corvane" $'\nFAILURE: 0x8000 bytes at emulator address 0x8001 '"$ram_fit"
sim_dump "$work/ram.bin"
same "nothing past the end reached the emulator" ram-before.bin ram.bin

# The bank switch is not offered: "-large" sends nothing.
TEVRIX_DEVICE_LOG="$work/device.log" tev -verify -infile half.bin -large
check "-large on a device without banks" 0 "$corvane" \
    $'\nVerifying 0x8000 bytes from emulator RAM...\nSUCCESS: Contents match. Operation completed...'
fact "no bank command was sent" bash -c "! grep -q 'Bank Succeeded\|Bank Failed' '$work/device.log'"
sim_stop

# --- No emulator attached: a bad file is reported all the same, and a good one goes on to the
# search. The search is pointed at a port that does not exist, since the stopped simulator's pty
# may by now belong to another test. ---
export TEVRIX_PORTS="$work/no-port"
[ -n "$runner" ] && TEVRIX_PORTS=COM98
printf ':0400000001020304F1\r\n:00000001FF\r\n' >"$work/bad.hex"
tev -write -infile bad.hex
check_unsearched "a bad file without an emulator" 1 $'\nFAILURE: bad.hex line 1: checksum 0xF1, the record calls for 0xF2'
tev -verify -infile nosuch.bin
check_unsearched "a missing file without an emulator" 1 $'\nFAILURE: Invalid file specified: nosuch.bin: '"$missing_reason"
fact "nor does that verify create it" test ! -e "$work/nosuch.bin"
tev -monitor -infile half.bin -fileaddress 8000
check_unsearched "a monitor out of range without an emulator" 1 $'\nFAILURE: File address and size out of range'
tev -write -infile half.bin
check_unsearched "a good file goes on to the search" 1 $'\nSearching for emulator...\nDid not find hardware. Aborting...'

# --- Device failures: reads that get no answer, writes that are refused ---
sim_start --model corvane --fault silent,cmd=ZR --fault silent,cmd=R --fault nak,cmd=ZW --fault nak,cmd=W
tev -read -outfile fail.bin -size 100
check "emulator read fails" 1 "$corvane" \
    $'\nReading 0x100 bytes from emulator at address 0xFF00 (Backfill)...\nFAILURE: Emu read failed with CV_E_COMM_READ_TIMEOUT'
fact "the failed read made no file" test ! -e "$work/fail.bin"
cp "$work/half.bin" "$work/kept.bin"
tev -read -outfile kept.bin -size 100
same "a failed read into a file leaves its bytes" half.bin kept.bin
tev -verify -infile half.bin
check "verify read fails" 1 "$corvane" \
    $'\nVerifying 0x8000 bytes from emulator RAM...\nFAILURE: Verify failed. Emu read failed with CV_E_COMM_READ_TIMEOUT'
tev -write -infile half.bin
check "emulator write fails" 1 "$corvane" \
    $'\nWriting 0x8000 bytes from file address 0x00 to emulator address 0x8000 (Backfill)...\nFAILURE: Emu write failed with CV_E_INVALID_RESPONSE'
sim_stop

# --- A Dravel on USB: banks, encrypted framing once the vendor ID is written ---
dravel="Dravel USB v11.0.L"
sim_start --model dravel --dump "$work/ram.bin"
random_file bank.bin 0x10000
tev -write -infile bank.bin -nobackbuf -emuaddress 0
check "encrypted write of a 64 KB bank" 0 "$dravel" \
    $'\nWriting 0x10000 bytes from file address 0x00 to emulator address 0x00...'"$ok"
tev -read -outfile bank-back.bin -size 10000
check "encrypted read end-justified on a 64 KB bank" 0 "$dravel" \
    $'\nReading 0x10000 bytes from emulator at address 0x00 (Backfill)...'"$ok"
same "encrypted round trip" bank.bin bank-back.bin

random_file large.bin 0x10000
random_file double.bin 0x20000
TEVRIX_DEVICE_LOG="$work/device.log" tev -write -infile double.bin
check "a banked device without -large offers 64 KB" 1 "$dravel" \
    $'\nFAILURE: 0x20000 bytes at emulator address 0x00 (Backfill) do not fit the emulator\'s RAM of 0x10000 bytes'
fact "a refused transfer switches no bank" bash -c "! grep -q 'Set Persistent Emulation Bank' '$work/device.log'"
TEVRIX_DEVICE_LOG="$work/device.log" tev -write -infile large.bin -large
check "-large end-justifies in 512 KB" 0 "$dravel" \
    $'\nWriting 0x10000 bytes from file address 0x00 to emulator address 0x70000 (Backfill)...'"$ok"
fact "the large-bin bank was selected" grep -q 'Set Persistent Emulation Bank Succeeded: Bank 8' "$work/device.log"
fact "the link is encrypted" grep -q 'Encryption Enabled' "$work/device.log"
tev -read -outfile large-back.bin -size 10000 -large
check "-large read" 0 "$dravel" $'\nReading 0x10000 bytes from emulator at address 0x70000 (Backfill)...'"$ok"
same "-large round trip" large.bin large-back.bin
sim_dump "$work/ram.bin" && tail -c 65536 "$work/ram.bin" >"$work/ram-tail.bin"
same "the data is the last 64 KB of the 512 KB RAM" large.bin ram-tail.bin
tev -read -outfile large-all.bin -large
check "read without a size with -large takes the 512 KB" 0 "$dravel" \
    $'\nReading 0x80000 bytes from emulator at address 0x00 (Backfill)...'"$ok"
same "the file holds the whole 512 KB" ram.bin large-all.bin
random_file odd-large.bin 0x10301
tev -write -infile odd-large.bin -large -nobackbuf -emuaddress 0xFF80
check "slow write across banks" 0 "$dravel" \
    $'\nWriting 0x10301 bytes from file address 0x00 to emulator address 0xFF80...'"$ok"
tev -verify -infile odd-large.bin -large -nobackbuf -emuaddress 0xFF80
check "verify across banks" 0 "$dravel" \
    $'\nVerifying 0x10301 bytes from emulator RAM...\nSUCCESS: Contents match. Operation completed...'
# The device stays in bank 8 from the runs before: without -large its bank is not changed, but
# the run says so and where end-justified data goes.
tev -read -outfile note.bin -size 100
check "a device left in bank 8 is named" 0 "$dravel" \
    $'\nThe emulator emulates bank 8 (0x80000 bytes) and -large is not given: its bank stays, and end-justified data goes to the end of those 0x80000 bytes\nReading 0x100 bytes from emulator at address 0x7FF00 (Backfill)...'"$ok"
sim_stop

finish
