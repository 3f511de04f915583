#!/usr/bin/env bash
# Bad input to the console program against the virtual emulator on a pty: sizes and addresses at
# the 32-bit limits, over-long paths, empty and read-only files, files that shrink or grow while
# they are written or watched. Each run must end with its FAILURE line or its specified result,
# and never with a crash or a sanitizer report (the asan preset runs this against its build).
# Usage: bad_input_test.sh PROGRAM SIM
set -u
program="$1"
sim="$2"
runner=""
work=$(mktemp -d)
chmod 755 "$work"
monitor_pid=""
trap 'monitor_stop; sim_stop; rm -rf "$work"' EXIT
source "$(dirname "$0")/sim_lib.sh"
corvane="Corvane USB v3.0.K"
ok=$'\nSUCCESS: Operation completed...'

monitor_start() {
    (cd "$work" && exec "$program" -monitor "$@" -noquitprompt </dev/null >"$work/monitor.out" 2>"$work/err") &
    monitor_pid=$!
    local i
    for i in $(seq 100); do
        grep -q "Monitoring has begun" "$work/monitor.out" 2>/dev/null && break
        sleep 0.05
    done
    sleep 0.3
}

monitor_stop() {
    [ -n "$monitor_pid" ] || return 0
    kill "$monitor_pid" 2>/dev/null
    wait "$monitor_pid" 2>/dev/null
    monitor_pid=""
}

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
# is the last line of its output.
failure() {
    ran=$((ran + 1))
    local count
    count=$(grep -c '^FAILURE: \|^SUCCESS: ' <<<"$out")
    if [ "$status" = 1 ] && [ "$count" = 1 ] && [ "${out##*$'\n'}" = "$2" ]; then
        echo "ok: $1"
    else
        echo "FAIL: $1 (status $status, want the line \"$2\")"
        printf '%s\n' "$out" | tail -3
        failures=$((failures + 1))
    fi
}

# outcome NAME: exactly one SUCCESS or FAILURE line, and the status that goes with it.
outcome() {
    ran=$((ran + 1))
    local last="${out##*$'\n'}"
    if [ "$(grep -c '^FAILURE: \|^SUCCESS: ' <<<"$out")" = 1 ] &&
        { [[ "$status" = 0 && "$last" == SUCCESS:* ]] || [[ "$status" = 1 && "$last" == FAILURE:* ]]; }; then
        echo "ok: $1 ($last)"
    else
        echo "FAIL: $1 (status $status)"
        printf '%s\n' "$out" | tail -3
        failures=$((failures + 1))
    fi
}

# success NAME: status 0 and the output ends with the SUCCESS line of a read or write.
success() {
    ran=$((ran + 1))
    if [ "$status" = 0 ] && [ "${out: -${#ok}}" = "$ok" ]; then
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
# Addresses beyond the device's RAM: the requests carry only the address bits the device takes,
# so what a SUCCESS wrote at an address must read back from that same address.
run -write -infile small.bin -nobackbuf -emuaddress FFFFFF00
outcome "write at emulator address 0xFFFFFF00"
wrote=$status
run -read -outfile top.bin -nobackbuf -emuaddress FFFFFF00 -size 400
outcome "read at emulator address 0xFFFFFF00"
[ "$wrote" = 0 ] && [ "$status" = 0 ] && same "what was written at 0xFFFFFF00 reads back there" small.bin top.bin
run -write -infile small.bin -nobackbuf -emuaddress FFFFFFFF -size 1
outcome "one byte at emulator address 0xFFFFFFFF"
run -read -outfile limit.bin -nobackbuf -emuaddress FFFFFF80 -size 100
outcome "read across the top of the 32-bit range"
[ "$status" = 1 ] && fact "a failed read leaves its file empty" test ! -s "$work/limit.bin"

# 0xFFFFFFFF bytes: the buffer is allocated (or "Out of memory" is reported) and the transfer
# starts; it would run for days, so the run is ended after a few seconds.
for op in "-read -outfile huge.bin" "-verify -infile small.bin"; do
    (cd "$work" && timeout 5 "$program" $op -size FFFFFFFF -noquitprompt </dev/null >"$work/out" 2>"$work/err")
    status=$?
    ran=$((ran + 1))
    if { [ "$status" = 124 ] || grep -q '^FAILURE: ' "$work/out"; } && ! grep -q 'Sanitizer\|runtime error' "$work/err"; then
        echo "ok: $op of 0xFFFFFFFF bytes starts or fails cleanly (status $status)"
    else
        echo "FAIL: $op of 0xFFFFFFFF bytes (status $status): $(tail -2 "$work/out") $(head -3 "$work/err")"
        failures=$((failures + 1))
    fi
done
fact "an unfinished read wrote nothing" test ! -s "$work/huge.bin"

# A read into a file address near 4 GB extends the file there (sparsely).
run -read -outfile far.bin -fileaddress FFFFFF00 -size 100 -nobackbuf
success "read into file address 0xFFFFFF00"
fact "the file ends 0x100 bytes after 0xFFFFFF00" test "$(stat -c %s "$work/far.bin")" = $((0x100000000))
tail -c 256 "$work/far.bin" >"$work/far-tail.bin"
sim_dump "$work/ram.bin"
head -c 256 "$work/ram.bin" >"$work/ram-head.bin"
same "the bytes arrived at the far end" ram-head.bin far-tail.bin
rm -f "$work/far.bin"

# --- Paths of 259, 260 and 1000 characters ---
p259=$(long_path 259 f)
cp "$work/small.bin" "$work/$p259"
run -write -infile "$p259" -nobackbuf -emuaddress 0x100
success "write from a path of 259 characters"
p260=$(long_path 260 g)
cp "$work/small.bin" "$work/$p260"
run -write -infile "$p260" -nobackbuf -emuaddress 0x100
failure "write from a path of 260 characters (cut to 259: no such file)" "FAILURE: Could not open input"
p1000=$(long_path 1000 h)
run -write -infile "$p1000"
failure "write from a path of 1000 characters" "FAILURE: Could not open input"
run -verify -infile "$p1000" -size 10
fact "a verify of a 1000-character path ends within the program's rules" test "$status" -le 1
run -read -outfile "$p1000" -size 10
fact "a read into a 1000-character path ends within the program's rules" test "$status" -le 1

# --- Missing, empty and read-only files ---
run -write -infile missing.bin
failure "write of a missing file" "FAILURE: Could not open input"
: >"$work/empty.bin"
run -verify -infile empty.bin
failure "verify of an empty file" "FAILURE: Cannot read 0 bytes"
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
failure "read into a read-only file" "FAILURE: Invalid file specified"
same "the read-only file is unchanged" small.bin readonly.bin
chmod 000 "$work/small.bin"
run -write -infile small.bin
failure "write of a file that cannot be read" "FAILURE: Could not open input"
chmod 644 "$work/small.bin"
as_user=""
sim_stop

# --- A file that shrinks or grows while it is written ---
sim_start --model corvane --pace --dump "$work/ram.bin"
random_file moving.bin 0x10000
cp "$work/moving.bin" "$work/moving-orig.bin"
(cd "$work" && timeout 60 "$program" -write -infile moving.bin -noquitprompt </dev/null >"$work/out" 2>"$work/err") &
writer=$!
sleep 1.5
truncate -s $((0x100)) "$work/moving.bin"
sleep 1
head -c $((0x20000)) /dev/urandom >>"$work/moving.bin"
wait "$writer"
status=$?
out=$(cat "$work/out")
ran=$((ran + 1))
success "a write whose file shrinks and grows meanwhile completes"
sim_dump "$work/ram.bin"
same "the emulator holds the file as it was read" moving-orig.bin ram.bin

# --- A file that shrinks or grows while it is watched ---
uploads() { grep -c 'Changes detected' "$work/monitor.out"; }

cp "$work/moving-orig.bin" "$work/watched.bin"
monitor_start -infile watched.bin
truncate -s $((0x100)) "$work/watched.bin"
sleep 1.5
fact "a shrunk file shows no change" test "$(uploads)" = 0
poke watched.bin 0x10 5A5A
sleep 1.5
fact "a change in what is left is uploaded" test "$(uploads)" = 1
head -c $((0x20000)) /dev/urandom >>"$work/watched.bin"
sleep 1.5
fact "the bytes of a grown file beyond the first length are not looked at" test "$(uploads)" -le 2
fact "the monitor still runs" kill -0 "$monitor_pid"
monitor_stop
fact "the monitor wrote no error" test ! -s "$work/err"
sim_dump "$work/ram.bin"
fact "the uploaded change is in RAM" test "$(od -An -tx1 -j 16 -N 2 "$work/ram.bin" | tr -d ' ')" = 5a5a

finish
