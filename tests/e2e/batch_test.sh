#!/usr/bin/env bash
# A batch file under Wine's cmd.exe drives Tevrix.exe against the virtual emulator and decides by
# %ERRORLEVEL%, as a user's batch job would.
# Usage: batch_test.sh TEVRIX_EXE SIM RUNNER WINEPREFIX
set -u
program="$1"
sim="$2"
runner="$3"
com=42
export WINEPREFIX="$4"
work=$(mktemp -d)
trap 'sim_stop; rm -rf "$work"' EXIT
source "$(dirname "$0")/sim_lib.sh"

exe=$(printf 'Z:%s' "$program" | tr / '\\')
cat >"$work/job.bat" <<BAT
@echo off
"$exe" -write -infile image.bin -noquitprompt > write.txt
if not %ERRORLEVEL% == 0 exit /b 11
"$exe" -verify -infile image.bin -noquitprompt > verify.txt
if not %ERRORLEVEL% == 0 exit /b 12
"$exe" -verify -infile other.bin -noquitprompt > mismatch.txt
if not %ERRORLEVEL% == 1 exit /b 13
"$exe" -verify -infile nosuch.bin -noquitprompt > fail.txt
if not %ERRORLEVEL% == 1 exit /b 14
echo batch done
exit /b 0
BAT
sed -i 's/$/\r/' "$work/job.bat"

sim_start --model corvane
random_file image.bin 0x4000
cp "$work/image.bin" "$work/other.bin"
poke other.bin 0x100 "$(od -An -tx1 -j 256 -N 1 "$work/image.bin" | tr -d ' ' | tr '0-9a-f' '1-9a-f0')"
(cd "$work" && timeout 120 $runner cmd /c job.bat </dev/null >"$work/cmd.txt" 2>/dev/null)
status=$?
fact "the batch file ran every step (cmd exit status $status)" test "$status" = 0
fact "the batch file reached its end" grep -q 'batch done' "$work/cmd.txt"
fact "the write reported success" grep -q 'SUCCESS: Operation completed...' "$work/write.txt"
fact "the mismatch is reported with its count" grep -q 'FAILURE: Buffers do NOT match! 1 bytes different. Operation completed' "$work/mismatch.txt"
fact "the failed verify says why" grep -q 'FAILURE: Invalid file specified' "$work/fail.txt"
fact "and creates no file" test ! -e "$work/nosuch.bin"
finish
