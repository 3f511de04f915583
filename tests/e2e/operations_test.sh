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
poke changed.bin 0x10 00
poke changed.bin 0x4000 0000
poke changed.bin 0x7FFF 00
cmp -l "$work/half.bin" "$work/changed.bin" | wc -l >"$work/count"
tev -verify -infile changed.bin
check "verify counts every differing byte and fails" 1 "$corvane" \
    $'\nVerifying 0x8000 bytes from emulator RAM...\nFAILURE: Buffers do NOT match! '"$(cat "$work/count")"$' bytes different. Operation completed'

# A file that ends before the size: the bytes it lacks count as different.
tail -c +$((0x7E00 + 1)) "$work/half.bin" | head -c 256 >"$work/short.bin"
tev -verify -infile short.bin -size 200 -nobackbuf -emuaddress FE00
check "verify of a short file counts the missing bytes" 1 "$corvane" \
    $'\nVerifying 0x200 bytes from emulator RAM...\nFAILURE: Buffers do NOT match! 256 bytes different. Operation completed'

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

# Every failure of the executor that a user can provoke; each exits with status 1.
mkdir -p "$work/folder"
tev -read -size 100
check "read without a file" 1 "$corvane" $'\nFAILURE: No file specified'
tev -write
check "write without a file" 1 "$corvane" $'\nFAILURE: No file specified'
tev -verify -size 10
check "verify without a file" 1 "$corvane" $'\nFAILURE: No file specified'
tev -read -outfile folder -size 100
check "read into a folder" 1 "$corvane" $'\nFAILURE: Invalid file specified: folder: '"$folder_reason"
tev -read -outfile zero.bin
check "read of 0 bytes" 1 "$corvane" $'\nFAILURE: Cannot read 0 bytes'
fact "a failed read leaves its new empty file" test -f "$work/zero.bin" -a ! -s "$work/zero.bin"
tev -verify -infile none.bin
check "verify of a missing file" 1 "$corvane" $'\nFAILURE: Cannot read 0 bytes'
fact "the verify created it empty" test -f "$work/none.bin" -a ! -s "$work/none.bin"
tev -write -infile missing.bin
check "write of a missing file" 1 "$corvane" $'\nFAILURE: Could not open input: missing.bin: '"$missing_reason"
tev -write -infile half.bin -fileaddress 1
check "write of the whole size from a later address" 1 "$corvane" $'\nFAILURE: File address and size out of range'
tev -write -infile half.bin -fileaddress FFFFFF00 -size 200
check "write at a file address that wraps round" 1 "$corvane" $'\nFAILURE: File address and size out of range'
if [ -z "$runner" ]; then
    tev -read -outfile /dev/full -size 100
    check "read whose file cannot be written" 1 "$corvane" \
        $'\nReading 0x100 bytes from emulator at address 0xFF00 (Backfill)...\nFAILURE: Could not write output file'
fi
: >"$work/empty.bin"
tev -write -infile empty.bin
check "write of an empty file" 1 "$corvane" $'\nFAILURE: Cannot write 0 bytes'

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

# --- Device failures: reads that get no answer, writes that are refused ---
sim_start --model corvane --fault silent,cmd=ZR --fault silent,cmd=R --fault nak,cmd=ZW --fault nak,cmd=W
tev -read -outfile fail.bin -size 100
check "emulator read fails" 1 "$corvane" \
    $'\nReading 0x100 bytes from emulator at address 0xFF00 (Backfill)...\nFAILURE: Emu read failed with CV_E_COMM_READ_TIMEOUT'
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
