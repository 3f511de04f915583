#!/usr/bin/env bash
# Intel HEX and S-record files through the real program against the virtual emulator on a pty,
# with GNU objcopy as the independent reference: images it converts land byte for byte, files
# Tevrix reads out convert back to the RAM's bytes, bad records are refused before anything is
# sent, and a monitored HEX file uploads what a new save changes.
# Usage: records_test.sh PROGRAM SIM [RUNNER WINEPREFIX]
set -u
program="$1"
sim="$2"
runner="${3:-}"
com=45
export WINEPREFIX="${4:-}"
work=$(mktemp -d)
trap 'monitor_stop; sim_stop; rm -rf "$work"' EXIT
source "$(dirname "$0")/sim_lib.sh"
corvane="Corvane USB v3.0.K"
ok=$'\nSUCCESS: Operation completed...'

# ram_part NAME OFFSET COUNT: that part of the emulator's RAM, now, in the file NAME.
ram_part() {
    sim_dump "$work/ram.bin" && tail -c +$(($2 + 1)) "$work/ram.bin" | head -c $(($3)) >"$work/$1"
}

# to_binary FORMAT FILE NAME: objcopy's binary of a record file (from its lowest address).
to_binary() {
    objcopy -I "$1" -O binary "$work/$2" "$work/$3"
}

sim_start --model corvane --dump "$work/ram.bin"

# --- Images objcopy made land byte for byte, 0xFF below their records ---
random_file data.bin 0x3000
objcopy -I binary -O ihex --change-addresses 0x1000 "$work/data.bin" "$work/data.hex"
tev -write -infile data.hex -nobackbuf -emuaddress 0
check "a HEX file at 0x1000 is its flat image from 0" 0 "$corvane" \
    $'\nWriting 0x4000 bytes from file address 0x00 to emulator address 0x00...'"$ok"
ram_part ram-data.bin 0x1000 0x3000
same "the records are at 0x1000" data.bin ram-data.bin
head -c 4096 /dev/zero | tr '\0' '\377' >"$work/unset.bin"
ram_part ram-below.bin 0 0x1000
same "the bytes below them are 0xFF" unset.bin ram-below.bin

random_file part.bin 0x2345
objcopy -I binary -O srec --change-addresses 0x20000 "$work/part.bin" "$work/part.srec"
tev -write -infile part.srec -fileaddress 20000 -size 2345 -nobackbuf -emuaddress 0x8000
check "S-records from their file address" 0 "$corvane" \
    $'\nWriting 0x2345 bytes from file address 0x20000 to emulator address 0x8000...'"$ok"
ram_part ram-part.bin 0x8000 0x2345
same "the S-record data is at 0x8000" part.bin ram-part.bin

tev -write -infile data.hex
check "a HEX file end-justified by its flat size" 0 "$corvane" \
    $'\nWriting 0x4000 bytes from file address 0x00 to emulator address 0xC000 (Backfill)...'"$ok"
tev -verify -infile data.hex
check "a HEX file verifies" 0 "$corvane" \
    $'\nVerifying 0x4000 bytes from emulator RAM...\nSUCCESS: Contents match. Operation completed...'

# --- What Tevrix reads out, objcopy converts back to the RAM's bytes ---
tev -read -outfile back.hex -size 4000
check "read into a HEX file" 0 "$corvane" $'\nReading 0x4000 bytes from emulator at address 0xC000 (Backfill)...'"$ok"
ram_part ram-tail.bin 0xC000 0x4000
to_binary ihex back.hex back-hex.bin
same "the HEX file holds the RAM's bytes" ram-tail.bin back-hex.bin

tev -read -outfile back.s28 -fileaddress 10000 -size 2345 -nobackbuf -emuaddress 8000
check "read into S-records at a file address" 0 "$corvane" \
    $'\nReading 0x2345 bytes from emulator at address 0x8000...'"$ok"
to_binary srec back.s28 back-s28.bin
same "the S-records hold the RAM's bytes" part.bin back-s28.bin
fact "addresses up to 0x12344 take the 24-bit form" test "$(cut -c1-2 "$work/back.s28" | sort -u | tr -d '\r\n')" = S0S2S8
fact "the first record is at the file address" test "$(sed -n 2p "$work/back.s28" | cut -c5-10)" = 010000

tev -read -outfile back.S37 -fileaddress 1000000 -size 10 -nobackbuf -emuaddress 8000
check "read into S-records above 16 MB" 0 "$corvane" $'\nReading 0x10 bytes from emulator at address 0x8000...'"$ok"
fact "addresses above 16 MB take the 32-bit form" test "$(cut -c1-2 "$work/back.S37" | sort -u | tr -d '\r\n')" = S0S3S7

# A read into an existing record file replaces it: nothing of the longer file stays.
tev -read -outfile back.hex -size 10 -nobackbuf -emuaddress 8000
check "read into an existing HEX file" 0 "$corvane" $'\nReading 0x10 bytes from emulator at address 0x8000...'"$ok"
to_binary ihex back.hex back-short.bin
head -c 16 "$work/part.bin" >"$work/part-16.bin"
same "the HEX file was replaced" part-16.bin back-short.bin

# --- Bad records are refused before anything is sent ---
line=$(sed -n 3p "$work/data.hex" | tr -d '\r')
sum=${line: -2}
bad=$(printf '%02X' $(((0x$sum + 1) & 0xFF)))
sed "3s/$sum\r\$/$bad\r/" "$work/data.hex" >"$work/bad.hex"
sim_dump "$work/ram.bin" && cp "$work/ram.bin" "$work/ram-before.bin"
tev -write -infile bad.hex -nobackbuf -emuaddress 0
check_unsearched "a bad checksum names its file and line" 1 \
    $'\nFAILURE: bad.hex line 3: checksum 0x'"$bad"', the record calls for 0x'"$sum"
sim_dump "$work/ram.bin"
same "nothing was written" ram-before.bin ram.bin
tev -verify -infile bad.hex
check_unsearched "verify refuses it too" 1 \
    $'\nFAILURE: bad.hex line 3: checksum 0x'"$bad"', the record calls for 0x'"$sum"

# A record at the top of 4 GB is not laid out from address 0, but its part is.
printf ':02000004FFFFFC\r\n:03FF0000010203F8\r\n:00000001FF\r\n' >"$work/top.hex"
tev -write -infile top.hex
check_unsearched "a 4 GB image is refused" 1 \
    $'\nFAILURE: top.hex: 0xFFFFFF03 bytes, more than the 16 MB a HEX or S-record image may span here; give a file address and a size'
tev -write -infile top.hex -fileaddress FFFFFF00 -size 3 -nobackbuf -emuaddress 20
check "its records written from their file address" 0 "$corvane" \
    $'\nWriting 0x03 bytes from file address 0xFFFFFF00 to emulator address 0x20...'"$ok"
ram_part ram-top.bin 0x20 3
printf '\001\002\003' >"$work/top.bin"
same "they are at 0x20" top.bin ram-top.bin

# --- Monitor: a new save of a HEX file uploads what changed in its flat image ---
tev -write -infile data.hex -nobackbuf -emuaddress 0
check "the emulator starts with the HEX file" 0 "$corvane" \
    $'\nWriting 0x4000 bytes from file address 0x00 to emulator address 0x00...'"$ok"
monitor_start -infile data.hex -nobackbuf -emuaddress 0
cp "$work/data.bin" "$work/edited.bin"
poke edited.bin 0x10 "$(od -An -tx1 -j 16 -N 1 "$work/data.bin" | tr -d ' ' | tr '0-9a-f' '1-9a-f0')"
poke edited.bin 0x2000 "$(od -An -tx1 -j 8192 -N 1 "$work/data.bin" | tr -d ' ' | tr '0-9a-f' '1-9a-f0')"
objcopy -I binary -O ihex --change-addresses 0x1000 "$work/edited.bin" "$work/edited.hex"
# Saved in place, as an editor would; a look that finds it half written refuses it.
cp "$work/edited.hex" "$work/data.hex"
fact "the save is uploaded" monitor_wait "Uploaded 2 bytes in 2 blocks."
monitor_stop
ram_part ram-edited.bin 0x1000 0x3000
same "the changed bytes reached the emulator" edited.bin ram-edited.bin
fact "only the changes were sent" test "$(grep -c 'Changes detected' "$work/monitor.out")" = 1

finish
