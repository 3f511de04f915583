#!/usr/bin/env bash
# Console runs of the real program: exact output and exit status.
# Usage: console_test.sh PROGRAM [RUNNER]   (RUNNER: the Wine wrapper for Tevrix.exe)
set -u
program="$1"
runner="${2:-}"
failures=0
ran=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

banner=$'-------------------------------\nTevrix v1.00.0092.01\nCopyright (C) 2026 The Tevrix developers\n-------------------------------\n'
usage=$'Usage: tevrix [operation] [options] [input/output file]\n\nswitches:\n -write              write to emulator from [infile]\n -read               read from emulator to [outfile]\n -verify             verify emulator contents with [infile]\n -monitor            monitor [infile] for changes and upload when found\n -infile <file>      upload/verify file path (use quotes if it contains spaces)\n -outfile <file>     download file path (use quotes if it contains spaces)\n -fileaddress <0xXX> start address (HEX) within file\n -emuaddress <0xXX>  if -nobackbuf is specified, start address within the emu\n -size <0xXX>        number of bytes to read/write/verify\n -large              use bank 8 (Dravel) for full 4-MBit\n -nobackbuf          use emuaddress to read/write. If not specified, emuaddress\n                        is ignored and data is written to the end of RAM.\n -noquitprompt       do not wait for input to quit (used for batching)\n -list               list the emulators on every port, then quit\n\n'
prompt=$'\n\nPress enter to quit...'

# run NAME EXPECTED_STATUS EXPECTED_OUTPUT STDIN ARGS...
run() {
    local name="$1" want_status="$2" want="$3" input="$4"
    shift 4
    ran=$((ran + 1))
    $runner "$program" "$@" <"$input" >"$work/out" 2>/dev/null
    local status=$?
    local got
    got=$(tr -d '\r' <"$work/out"; printf x)
    got="${got%x}"
    if [ "$status" != "$want_status" ] || [ "$got" != "$want" ]; then
        echo "FAIL: $name (status $status, want $want_status)"
        diff <(printf '%s' "$want") <(printf '%s' "$got") | head -20
        failures=$((failures + 1))
    else
        echo "ok: $name"
    fi
}

# Every run ends its last line, so that the shell's prompt starts on a line of its own.
run "help" 1 "$banner$usage$prompt"$'\n' /dev/null -?
run "help with slash and switches" 1 "$banner$usage"$'\n' /dev/null -write /? -noquitprompt
run "invalid switch" 1 "$banner"$'\nINVALID SWITCH!\n\n'"$usage"$'\n' /dev/null /SIZE 8000 -badswitch -noquitprompt
run "no hardware" 1 "$banner"$'\nSearching for emulator...\nDid not find hardware. Aborting...\n' /dev/null \
    -read -outfile x.bin -size 100 -noquitprompt
# Refused, never cut: cut to 259 characters the path could name another file.
run "a path longer than 259 characters" 1 "$banner"$'\nFAILURE: File path longer than 259 characters\n' \
    /dev/null -read -outfile "$(printf 'p%.0s' $(seq 260))" -size 10 -noquitprompt

if [ -z "$runner" ]; then
    # Each argument is one token as given: a blank one is no switch, and a quote inside one
    # neither swallows the switches after it nor brings back the quit prompt.
    run "a blank argument" 1 "$banner"$'\nINVALID SWITCH!\n\n'"$usage$prompt"$'\n' /dev/null " "
    run "a quote inside an argument" 1 "$banner"$'\nSearching for emulator...\nDid not find hardware. Aborting...\n' \
        /dev/null -read -outfile 'q"uote.bin' -size 10 -noquitprompt
fi

# The quit prompt waits for one line of standard input.
mkfifo "$work/in"
start=$(date +%s%N)
(sleep 1; echo) >"$work/in" &
run "quit prompt waits for a line" 1 "$banner$usage$prompt"$'\n' "$work/in" -?
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
if [ "$elapsed" -lt 900 ]; then
    echo "FAIL: quit prompt returned after ${elapsed} ms, before the line arrived"
    failures=$((failures + 1))
fi

echo "$((ran - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
