#!/usr/bin/env bash
# The progress line of a transfer on a terminal: the real program on a pseudo-terminal (made by
# util-linux's script) against the virtual emulator, compared with the same runs redirected.
# Usage: terminal_test.sh PROGRAM SIM
set -u
program="$1"
sim="$2"
runner=""
work=$(mktemp -d)
trap 'sim_stop; rm -rf "$work"' EXIT
source "$(dirname "$0")/sim_lib.sh"

# redirected NAME ARGS...: one run with standard output in NAME.out and standard error in NAME.err.
redirected() {
    local name="$1"
    shift
    (cd "$work" && timeout 60 "$program" "$@" -noquitprompt </dev/null >"$work/$name.out" 2>"$work/$name.err")
}

# on_terminal OUT ERR ARGS...: one run on a pseudo-terminal; OUT and ERR are "tty" or a file for
# standard output and error. The terminal's bytes go to $work/raw and what a person sees there,
# line by line, to $work/screen: a carriage return starts the line again and every redraw covers
# the one before. Line feeds stay as the program wrote them.
on_terminal() {
    local out="$1" err="$2"
    shift 2
    local command
    command="stty -onlcr; cd '$work' && exec '$program' $(printf '%q ' "$@")-noquitprompt"
    [ "$out" = tty ] || command+=" >'$work/$out'"
    [ "$err" = tty ] || command+=" 2>'$work/$err'"
    timeout 60 script -qfec "$command" /dev/null </dev/null >"$work/raw"
    status=$?
    sed 's/.*\r//; s/ *$//' "$work/raw" >"$work/screen"
}

# The screen without its progress lines.
without_progress() {
    sed '/^ *[0-9]*%  /d' "$work/screen"
}

# The screen's line after the first one that matches.
line_after() {
    grep -A1 -m1 "$1" "$work/screen" | tail -n +2
}

ends_with_line_break() {
    [ "$(tail -c 1 "$1" | od -An -tx1 | tr -d ' ')" = 0a ]
}

line_done='^100%  65536 of 65536 bytes  [0-9]+ B/s  0:00 left$'

sim_start --model corvane
random_file image.bin 0x10000
redirected write -write -infile image.bin
fact "a redirected write says nothing on standard error" test ! -s "$work/write.err"

on_terminal tty tty -write -infile image.bin
fact "on a terminal the write succeeds" test "$status" = 0
fact "the screen is the redirected output with one line more" cmp -s <(without_progress) "$work/write.out"
fact "that line follows the transfer's message and ends at 100%" \
    grep -Eq "$line_done" <(line_after '^Writing 0x10000 bytes')
fact "it was drawn from 0% in place" grep -q $'\r  0%  0 of 65536 bytes' "$work/raw"

on_terminal write-tty.out tty -write -infile image.bin
fact "standard output redirected alone is unchanged" cmp -s "$work/write-tty.out" "$work/write.out"
fact "the line alone on the terminal shows 100%" grep -Eq "$line_done" "$work/screen"
fact "and ends with its own line break" ends_with_line_break "$work/raw"

on_terminal tty write-tty.err -write -infile image.bin
fact "with standard error redirected the terminal shows the redirected output" cmp -s "$work/screen" "$work/write.out"
fact "and standard error gets nothing" test ! -s "$work/write-tty.err"

# One block moves before a line could say anything.
redirected small -read -outfile small.bin -size 100
on_terminal tty tty -read -outfile small.bin -size 100
fact "a read of one block draws no line" cmp -s "$work/screen" "$work/small.out"
sim_stop

# A transfer that fails half-way leaves the line where it stopped, and the failure below it. The
# firmware has no bulk commands, so the whole block goes by slow packets.
sim_start --model corvane --version 2.11 --fault nak,cmd=W,skip=5
random_file odd.bin 0x1234
on_terminal tty tty -write -infile odd.bin -nobackbuf -emuaddress 100
fact "the failed write fails" test "$status" = 1
fact "its line stops after 5 of 19 packets, above the failure" \
    grep -q '^FAILURE: Emu write failed' <(line_after '^ 27%  1280 of 4660 bytes')
sim_stop

# Uploads of monitor mode draw nothing, however large: 8 KB of changes, two bulk chunks.
sim_start --model corvane
head -c 8192 /dev/zero | dd of="$work/image.bin" bs=8192 count=1 seek=1 iflag=fullblock conv=notrunc status=none
timeout 60 script -qfec "stty -onlcr; cd '$work' && echo \$\$ >monitor.pid && exec '$program' -monitor -infile image.bin -noquitprompt" \
    /dev/null </dev/null >"$work/raw" &
script_pid=$!
wait_for() {
    local i
    for i in $(seq 600); do
        grep -q "$1" "$work/raw" && return 0
        sleep 0.1
    done
    return 1
}
# Monitoring has begun once the file's first contents are taken.
wait_for 'Monitoring has begun'
# One write, so that the changes arrive as one.
head -c 8192 /dev/zero | tr '\0' '\377' | dd of="$work/image.bin" bs=8192 count=1 seek=1 iflag=fullblock conv=notrunc status=none
wait_for 'Uploaded'
kill "$(cat "$work/monitor.pid")"
wait "$script_pid"
sed 's/.*\r//; s/ *$//' "$work/raw" >"$work/screen"
fact "monitoring uploaded 8 KB" grep -q 'Uploaded 8192 bytes in 1 blocks' "$work/screen"
fact "and drew no progress line" bash -c "! grep -q '%' '$work/raw'"

finish
