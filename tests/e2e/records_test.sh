#!/usr/bin/env bash
# Intel HEX and S-record files through the real program against the virtual emulator on a pty,
# with GNU objcopy and srec_cat as the independent references: images they convert land byte for
# byte, as do files in the shapes converters and editors write them, files Tevrix reads out
# convert back to the RAM's bytes, bad records and record files that hold none are refused before
# anything is sent, and a monitored record file uploads what a new save changes, in either format.
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

# srec_flat FORMAT FILE FROM SIZE NAME: what srec_cat makes of the records of FILE (format intel
# or motorola) from address FROM on, SIZE bytes, 0xFF where no record gives a value.
srec_flat() {
    local end=$(($3 + $4))
    srec_cat "$work/$2" "-$1" -crop $(($3)) $end -fill 0xFF $(($3)) $end -offset -$(($3)) \
        -o "$work/$5" -binary 2>/dev/null
}

sim_start --model corvane --dump "$work/ram.bin"

# --- Images objcopy made land byte for byte, 0xFF below their records ---
random_file data.bin 0x3000
objcopy -I binary -O ihex --change-addresses 0x1000 "$work/data.bin" "$work/data.hex"
data_hex=$'\ndata.hex: Intel HEX, 0x3000 bytes of data from 0x1000 to 0x3FFF'
tev -write -infile data.hex -nobackbuf -emuaddress 0
check "a HEX file at 0x1000 is its flat image from 0" 0 "$corvane" \
    "$data_hex"$'\nWriting 0x4000 bytes from file address 0x00 to emulator address 0x00...'"$ok"
ram_part ram-data.bin 0x1000 0x3000
same "the records are at 0x1000" data.bin ram-data.bin
head -c 4096 /dev/zero | tr '\0' '\377' >"$work/unset.bin"
ram_part ram-below.bin 0 0x1000
same "the bytes below them are 0xFF" unset.bin ram-below.bin

random_file part.bin 0x2345
objcopy -I binary -O srec --change-addresses 0x20000 "$work/part.bin" "$work/part.srec"
tev -write -infile part.srec -fileaddress 20000 -size 2345 -nobackbuf -emuaddress 0x8000
check "S-records from their file address" 0 "$corvane" \
    $'\npart.srec: S-records, 0x2345 bytes of data from 0x20000 to 0x22344'\
$'\nWriting 0x2345 bytes from file address 0x20000 to emulator address 0x8000...'"$ok"
ram_part ram-part.bin 0x8000 0x2345
same "the S-record data is at 0x8000" part.bin ram-part.bin

tev -write -infile data.hex
check "a HEX file end-justified by its flat size" 0 "$corvane" \
    "$data_hex"$'\nWriting 0x4000 bytes from file address 0x00 to emulator address 0xC000 (Backfill)...'"$ok"
tev -verify -infile data.hex
check "a HEX file verifies" 0 "$corvane" \
    "$data_hex"$'\nVerifying 0x4000 bytes from emulator RAM...\nSUCCESS: Contents match. Operation completed...'

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
    $'\ntop.hex: Intel HEX, 0x03 bytes of data from 0xFFFFFF00 to 0xFFFFFF02'\
$'\nWriting 0x03 bytes from file address 0xFFFFFF00 to emulator address 0x20...'"$ok"
ram_part ram-top.bin 0x20 3
printf '\001\002\003' >"$work/top.bin"
same "they are at 0x20" top.bin ram-top.bin

# --- Record files as converters and editors write them land as srec_cat reads them ---
# Each row: the file, the file srec_cat reads for reference (it skips a line that begins with a
# byte-order mark or a lower-case letter, so those rows give it the same records without), its
# format there, the part written to emulator address 0, and what Tevrix says it read.
random_file conv.bin 0x123
# The converter's default: S0, S1 and an S5 count, no termination record.
srec_cat "$work/conv.bin" -binary -offset 0x2000 -o "$work/conv.s19" -motorola
tr 'A-Z' 'a-z' <"$work/conv.s19" >"$work/lower.s19"
objcopy -I binary -O srec --change-addresses 0x3000 "$work/conv.bin" "$work/upper.srec"
sed '3,$y/ABCDEFS/abcdefs/' "$work/upper.srec" >"$work/mixed.srec"
{ printf '\xEF\xBB\xBF' && cat "$work/data.hex"; } >"$work/bom.hex"
# A record across 0xFFFF with no address record before it runs on; under a segment it wraps.
printf ':10FFF800000102030405060708090A0B0C0D0E0F81\r\n:00000001FF\r\n' >"$work/past.hex"
printf ':020000021000EC\r\n:10FFF800000102030405060708090A0B0C0D0E0F81\r\n:00000001FF\r\n' >"$work/seg.hex"
while IFS='|' read -r -u 3 file reference format from size read; do
    tev -write -infile "$file" -fileaddress "$from" -size "$size" -nobackbuf -emuaddress 0
    writing=$(printf 'Writing 0x%.2X bytes from file address 0x%.2X to emulator address 0x00...' $((size)) $((from)))
    check "$file: $read" 0 "$corvane" $'\n'"$file: $read"$'\n'"$writing$ok"
    ram_part ram-row.bin 0 "$size"
    srec_flat "$format" "$reference" "$from" "$size" srec-row.bin
    same "$file: the emulator holds what srec_cat reads" srec-row.bin ram-row.bin
done 3<<'ROWS'
conv.s19|conv.s19|motorola|0x2000|0x123|S-records, 0x123 bytes of data from 0x2000 to 0x2122
lower.s19|conv.s19|motorola|0x2000|0x123|S-records, 0x123 bytes of data from 0x2000 to 0x2122
mixed.srec|upper.srec|motorola|0x3000|0x123|S-records, 0x123 bytes of data from 0x3000 to 0x3122
bom.hex|data.hex|intel|0x1000|0x3000|Intel HEX, 0x3000 bytes of data from 0x1000 to 0x3FFF
seg.hex|seg.hex|intel|0x10000|0x10000|Intel HEX, 0x10 bytes of data from 0x10000 to 0x1FFFF
past.hex|past.hex|intel|0xFFF0|0x18|Intel HEX, 0x10 bytes of data from 0xFFF8 to 0x10007
ROWS
# The last row is in the emulator still.
to_binary ihex past.hex objcopy-past.bin
ram_part ram-past-data.bin 8 16
same "objcopy runs on past 0xFFFF too" objcopy-past.bin ram-past-data.bin

# A file that holds no records but is named like one, or one that begins like a record and is
# cut short in its first line (which srec_cat refuses too), is refused and nothing is sent.
printf ';comment\r\n' >"$work/comment.hex" && cat "$work/data.hex" >>"$work/comment.hex"
printf ':02000004' >"$work/cut.hex"
cp "$work/cut.hex" "$work/cut.bin"
cut=' line 1: the record'"'"'s length 0x02 calls for 14 hexadecimal digits after the colon, the line has 8'
sim_dump "$work/ram.bin" && cp "$work/ram.bin" "$work/ram-before.bin"
while IFS='|' read -r -u 3 file failure; do
    tev -write -infile "$file" -nobackbuf -emuaddress 0
    check_unsearched "$file is refused" 1 $'\nFAILURE: '"$file$failure"
done 3<<ROWS
comment.hex| is named like a HEX or S-record file but line 1 is not a record; rename it to write its bytes raw
cut.hex|$cut
cut.bin|$cut
ROWS
sim_dump "$work/ram.bin"
same "nothing was written" ram-before.bin ram.bin
fact "srec_cat refuses the file cut short" bash -c "! srec_cat '$work/cut.hex' -intel -o /dev/null -binary 2>/dev/null"
# Renamed, the commented file is raw bytes, as srec_cat reads a binary file.
cp "$work/comment.hex" "$work/comment.txt"
size=$(printf '%X' "$(stat -c %s "$work/comment.txt")")
tev -write -infile comment.txt -nobackbuf -emuaddress 0
check "renamed, it is written raw" 0 "$corvane" \
    $'\nWriting 0x'"$size"$' bytes from file address 0x00 to emulator address 0x00...'"$ok"
ram_part ram-raw.bin 0 "0x$size"
srec_cat "$work/comment.txt" -binary -o "$work/srec-raw.bin" -binary
same "the emulator holds its bytes" srec-raw.bin ram-raw.bin

# --- Monitor: a new save of a HEX file uploads what changed in its flat image ---
tev -write -infile data.hex -nobackbuf -emuaddress 0
check "the emulator starts with the HEX file" 0 "$corvane" \
    "$data_hex"$'\nWriting 0x4000 bytes from file address 0x00 to emulator address 0x00...'"$ok"
monitor_start -infile data.hex -nobackbuf -emuaddress 0
cp "$work/data.bin" "$work/edited.bin"
poke edited.bin 0x10 "$(od -An -tx1 -j 16 -N 1 "$work/data.bin" | tr -d ' ' | tr '0-9a-f' '1-9a-f0')"
poke edited.bin 0x2000 "$(od -An -tx1 -j 8192 -N 1 "$work/data.bin" | tr -d ' ' | tr '0-9a-f' '1-9a-f0')"
objcopy -I binary -O ihex --change-addresses 0x1000 "$work/edited.bin" "$work/edited.hex"
# Saved in place, as an editor would; a look that finds it half written refuses it.
cp "$work/edited.hex" "$work/data.hex"
fact "the save is uploaded" monitor_wait "Uploaded 2 bytes in 2 blocks."
# Saved as S-records, as srec_cat writes them, then as HEX again: each save is read as what it
# holds. Raw bytes saved under the HEX name are not sent.
cp "$work/edited.bin" "$work/edited2.bin"
poke edited2.bin 0x100 "$(od -An -tx1 -j 256 -N 1 "$work/edited.bin" | tr -d ' ' | tr '0-9a-f' '1-9a-f0')"
srec_cat "$work/edited2.bin" -binary -offset 0x1000 -o "$work/edited2.s19" -motorola
cp "$work/edited2.s19" "$work/data.hex"
fact "the save as S-records is uploaded" monitor_wait "Uploaded 1 bytes in 1 blocks."
cp "$work/edited2.bin" "$work/edited3.bin"
poke edited3.bin 0x200 "$(od -An -tx1 -j 512 -N 1 "$work/edited2.bin" | tr -d ' ' | tr '0-9a-f' '1-9a-f0')"
objcopy -I binary -O ihex --change-addresses 0x1000 "$work/edited3.bin" "$work/edited3.hex"
cp "$work/edited3.hex" "$work/data.hex"
fact "the save as HEX again is uploaded" monitor_wait "Uploaded 1 bytes in 1 blocks." 2
{ printf '\177ELF\002' && head -c $((0x3000)) /dev/urandom; } >"$work/data.hex"
fact "raw bytes are not uploaded" monitor_wait "Not uploaded: data.hex is named like a HEX or S-record file but line 1 is not a record; rename it to write its bytes raw"
monitor_stop
srec_flat intel edited3.hex 0x1000 0x3000 srec-edited.bin
ram_part ram-edited.bin 0x1000 0x3000
same "the emulator holds what srec_cat reads of the last good save" srec-edited.bin ram-edited.bin
same "which is the changed image" edited3.bin ram-edited.bin
fact "only the changes were sent" test "$(grep -c 'Changes detected' "$work/monitor.out")" = 3

finish
