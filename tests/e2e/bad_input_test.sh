#!/usr/bin/env bash
# Bad input to the console program against the virtual emulator on a pty: sizes and addresses at
# the 32-bit limits and past the end of the emulator's RAM, over-long paths and arguments that
# hold quotes or blanks, empty and read-only files, files that shrink or grow while they are
# written or watched. Each run must end with its one FAILURE line or its one right result, and
# never with a crash or a sanitizer report (the asan preset runs this against its build).
# Usage: bad_input_test.sh PROGRAM SIM
set -u
program="$1"
sim="$2"
runner=""
work=$(mktemp -d)
chmod 755 "$work"
trap 'monitor_stop; sim_stop; rm -rf "$work"' EXIT
source "$(dirname "$0")/sim_lib.sh"
corvane="Corvane USB v3.0.K"
ok=$'\nSUCCESS: Operation completed...'

# run ARGS...: like tev, with the error output kept; a crash or a sanitizer report is a failure
# of its own.
run() {
    (cd "$work" && timeout 60 $as_user "$program" "$@" -noquitprompt </dev/null >"$work/out" 2>"$work/err")
    status=$?
    out=$(tr -d '\r' <"$work/out"; printf x)
    out="${out%x}"
    ran=$((ran + 1))
    if [ "$status" -gt 1 ] || grep -q 'Sanitizer\|runtime error' "$work/err"; then
        echo "FAIL: $* crashed (status $status): $(head -5 "$work/err")"
        failures=$((failures + 1))
    fi
}
as_user=""

# failure NAME LINE: the last run ended with status 1 and exactly one FAILURE line, LINE, which
# is the last line of its output (ended by a line break).
failure() {
    ran=$((ran + 1))
    local count
    count=$(grep -c '^FAILURE: \|^SUCCESS: ' <<<"$out")
    if [ "$status" = 1 ] && [ "$count" = 1 ] && [[ "$out" == *$'\n'"$2"$'\n' ]]; then
        echo "ok: $1"
    else
        echo "FAIL: $1 (status $status, want the line \"$2\")"
        printf '%s\n' "$out" | tail -3
        failures=$((failures + 1))
    fi
}

# success NAME: status 0 and the output ends with the SUCCESS line of a read or write.
success() {
    ran=$((ran + 1))
    if [ "$status" = 0 ] && [[ "$out" == *"$ok"$'\n' ]]; then
        echo "ok: $1"
    else
        echo "FAIL: $1 (status $status)"
        printf '%s\n' "$out" | tail -3
        failures=$((failures + 1))
    fi
}

# long_path LENGTH LETTER: a relative path of exactly LENGTH characters, in nested folders that
# exist, whose file name repeats LETTER.
long_path() {
    local path="" part
    part=$(printf 'd%.0s' $(seq 99))
    while [ $((${#path} + 100 + 10)) -le "$1" ]; do
        path="$path$part/"
    done
    mkdir -p "$work/$path"
    printf '%s%s' "$path" "$(printf "$2%.0s" $(seq $(($1 - ${#path}))))"
}

# --- Sizes and addresses at the 32-bit limits ---
sim_start --model corvane --dump "$work/ram.bin"
random_file small.bin 0x400
random_file ram-start.bin 0x10000
run -write -infile ram-start.bin
success "the emulator starts with known bytes"

run -write -infile small.bin -size FFFFFFFF
failure "write of 0xFFFFFFFF bytes from a 1 KB file" "FAILURE: File address and size out of range"
run -write -infile small.bin -fileaddress FFFFFFFF -size 1
failure "write from file address 0xFFFFFFFF" "FAILURE: File address and size out of range"
run -write -infile small.bin -fileaddress FFFFFFFF
failure "write of the whole file from file address 0xFFFFFFFF" "FAILURE: File address and size out of range"
# Ranges past the end of the 64 KB RAM: the requests carry only the address bits the device
# takes, so the device would wrap them round onto other bytes. Each is refused before anything is
# sent; the RAM stays as it was.
ram_fit="do not fit the emulator's RAM of 0x10000 bytes"
run -write -infile small.bin -nobackbuf -emuaddress FFFFFF00
failure "write at emulator address 0xFFFFFF00" "FAILURE: 0x400 bytes at emulator address 0xFFFFFF00 $ram_fit"
run -read -outfile top.bin -nobackbuf -emuaddress FFFFFF00 -size 400
failure "read at emulator address 0xFFFFFF00" "FAILURE: 0x400 bytes at emulator address 0xFFFFFF00 $ram_fit"
run -write -infile small.bin -nobackbuf -emuaddress FFFFFFFF -size 1
failure "one byte at emulator address 0xFFFFFFFF" "FAILURE: 0x01 bytes at emulator address 0xFFFFFFFF $ram_fit"
run -write -infile small.bin -nobackbuf -emuaddress 20010 -size 100
failure "write past the end that would land at 0x10" "FAILURE: 0x100 bytes at emulator address 0x20010 $ram_fit"
run -write -infile small.bin -nobackbuf -emuaddress FF80 -size 100
failure "write across the end of RAM" "FAILURE: 0x100 bytes at emulator address 0xFF80 $ram_fit"
random_file double.bin 0x20000
run -write -infile double.bin
failure "end-justified write of a file twice the RAM" \
    "FAILURE: 0x20000 bytes at emulator address 0x00 (Backfill) $ram_fit"
run -read -outfile limit.bin -nobackbuf -emuaddress FFFFFF80 -size 100
failure "read across the top of the 32-bit range" "FAILURE: 0x100 bytes at emulator address 0xFFFFFF80 $ram_fit"
fact "a failed read leaves its file empty" test ! -s "$work/limit.bin"
# 0xFFFFFFFF bytes cannot fit either: refused before a buffer is taken or a request sent.
run -read -outfile huge.bin -size FFFFFFFF
failure "read of 0xFFFFFFFF bytes" "FAILURE: 0xFFFFFFFF bytes at emulator address 0x00 (Backfill) $ram_fit"
fact "the refused read wrote nothing" test ! -s "$work/huge.bin"
run -verify -infile small.bin -size FFFFFFFF
failure "verify of 0xFFFFFFFF bytes" "FAILURE: 0xFFFFFFFF bytes at emulator address 0x00 (Backfill) $ram_fit"
sim_dump "$work/ram.bin"
same "nothing past the end reached the emulator" ram-start.bin ram.bin
run -write -infile small.bin -nobackbuf -emuaddress FC00
success "a write that ends at the last byte of RAM"

# A read into a file address near 4 GB extends the file there (sparsely).
run -read -outfile far.bin -fileaddress FFFFFF00 -size 100 -nobackbuf
success "read into file address 0xFFFFFF00"
fact "the file ends 0x100 bytes after 0xFFFFFF00" test "$(stat -c %s "$work/far.bin")" = $((0x100000000))
tail -c 256 "$work/far.bin" >"$work/far-tail.bin"
sim_dump "$work/ram.bin"
head -c 256 "$work/ram.bin" >"$work/ram-head.bin"
same "the bytes arrived at the far end" ram-head.bin far-tail.bin
rm -f "$work/far.bin"

# --- Numbers that are not hexadecimal numbers of 32 bits: refused before any search ---
while read -r switch value; do
    run -write -infile small.bin "$switch" "$value"
    failure "$switch $value is refused" "FAILURE: $switch: '$value' is not a hexadecimal number"
    fact "$switch $value is refused before the search" test "${out#*Searching}" = "$out"
done <<'EOF_NUMBERS'
-size 1G0
-size zz
-fileaddress hello
-emuaddress -10
-size 1FFFFFFFFF
/FILEADDRESS 0x
EOF_NUMBERS

# --- Paths of 259, 260 and 1000 characters, quotes and blanks ---
too_long="FAILURE: File path longer than 259 characters"
p259=$(long_path 259 f)
cp "$work/small.bin" "$work/$p259"
run -write -infile "$p259" -nobackbuf -emuaddress 0x100
success "write from a path of 259 characters"
# The first 259 characters of this path name the file above: cut, the read would overwrite it.
run -read -outfile "${p259}f" -size 10
failure "read into a path of 260 characters" "$too_long"
same "the file that its first 259 characters name is unchanged" small.bin "$p259"
p1000=$(long_path 1000 h)
for op in "-write -infile" "-verify -infile" "-read -outfile" "-monitor -infile"; do
    run $op "$p1000" -size 10
    failure "$op of a 1000-character path" "$too_long"
done
# Each argument is one token exactly as given.
cp "$work/small.bin" "$work/q\"uote.bin"
run -write -infile 'q"uote.bin' -nobackbuf -emuaddress 0x100
success "write from a path with a quote in it"
cp "$work/small.bin" "$work/   "
run -write -infile "   " -nobackbuf -emuaddress 0x100
success "write from a path of blanks only"

# --- Missing, empty and read-only files ---
run -write -infile missing.bin
failure "write of a missing file" "FAILURE: Could not open input: missing.bin: $missing_reason"
: >"$work/empty.bin"
run -verify -infile empty.bin
failure "verify of an empty file" "FAILURE: Cannot read 0 bytes"
run -write -infile empty.bin
failure "write of an empty file" "FAILURE: Cannot write 0 bytes"
run -write -infile /dev/zero
failure "write of a device file of no length" "FAILURE: Cannot write 0 bytes"
run -write -infile empty.bin -fileaddress 1
failure "write of an empty file from address 1" "FAILURE: File address and size out of range"
cp "$work/small.bin" "$work/readonly.bin"
chmod 444 "$work/readonly.bin"
# Permissions bind everyone but the superuser: run as nobody when the tests run as root.
if [ "$(id -u)" = 0 ]; then
    as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
    chmod 666 "$TEVRIX_PORTS"
fi
run -read -outfile readonly.bin -size 100
failure "read into a read-only file" "FAILURE: Invalid file specified: readonly.bin: Permission denied"
same "the read-only file is unchanged" small.bin readonly.bin
chmod 000 "$work/small.bin"
run -write -infile small.bin
failure "write of a file that cannot be read" "FAILURE: Could not open input: small.bin: Permission denied"
chmod 644 "$work/small.bin"
as_user=""
sim_stop

# --- A file that shrinks or grows while it is written ---
sim_start --model corvane --pace --dump "$work/ram.bin"
random_file moving.bin 0x10000
cp "$work/moving.bin" "$work/moving-orig.bin"
(cd "$work" && timeout 60 "$program" -write -infile moving.bin -noquitprompt </dev/null >"$work/out" 2>"$work/err") &
writer=$!
# The program tells of the write once it has read the file; the paced transfer takes seconds.
for _ in $(seq 600); do
    grep -q '^Writing ' "$work/out" 2>/dev/null && break
    sleep 0.1
done
truncate -s $((0x100)) "$work/moving.bin"
head -c $((0x20000)) /dev/urandom >>"$work/moving.bin"
wait "$writer"
status=$?
out=$(cat "$work/out"; printf x)
out="${out%x}"
ran=$((ran + 1))
success "a write whose file shrinks and grows meanwhile completes"
sim_dump "$work/ram.bin"
same "the emulator holds the file as it was read" moving-orig.bin ram.bin

# --- A file that shrinks or grows while it is watched ---
# The monitor says nothing at a poll that finds no change, so each step is followed by a marker
# change, and the upload of the marker alone shows that the step itself was not taken as one.
cp "$work/moving-orig.bin" "$work/watched.bin"
# Known bytes where the edits go, so that every edit is a change.
poke watched.bin 0x10 0000
monitor_start -infile watched.bin
truncate -s $((0x100)) "$work/watched.bin"
poke watched.bin 0x10 5A5A
monitor_wait "Changes detected"
fact "a shrunk file uploads only the change in what is left" \
    grep -qx 'Changes detected. Uploaded 2 bytes in 1 blocks.' "$work/monitor.out"
# Grown back to its first length with the bytes it had, and beyond that with new ones.
tail -c +$((0x101)) "$work/moving-orig.bin" >>"$work/watched.bin"
head -c $((0x20000)) /dev/urandom >>"$work/watched.bin"
poke watched.bin 0x10 A5
monitor_wait "Changes detected" 2
fact "the file's first length is all that is watched" \
    test "$(grep -c 'Changes detected' "$work/monitor.out")" = 2 -a \
    "$(tail -n 1 "$work/monitor.out")" = 'Changes detected. Uploaded 1 bytes in 1 blocks.'
monitor_stop
sim_dump "$work/ram.bin"
head -c $((0x10000)) "$work/watched.bin" >"$work/watched-head.bin"
same "the emulator holds the file's first length" watched-head.bin ram.bin

finish
