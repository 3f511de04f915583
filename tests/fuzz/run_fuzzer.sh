#!/usr/bin/env bash
# Runs one libFuzzer target over its checked-in corpus.
# Usage: run_fuzzer.sh MODE FUZZER CORPUS WORK FINDINGS SECONDS RUNS (RUNS for a check only)
#   check    seed 1 and RUNS inputs, starting from the checked-in corpus alone, so every check
#            tries the same inputs (SECONDS only bounds a slow machine); one input counts as
#            hanging after a minute, so that a loaded machine is no finding
#   explore  a random seed for SECONDS; what it learns stays in WORK for the next exploration;
#            one input counts as hanging after 10 s
# A crashing input is written to FINDINGS (a directory); the run then fails.
set -u
mode="$1" fuzzer="$2" corpus="$3" work="$4" findings="$5" seconds="$6" runs="$7"
mkdir -p "$findings"
case "$mode" in
check)
    rm -rf "$work"
    mkdir -p "$work"
    options=(-seed=1 -runs="$runs" -max_total_time="$seconds" -timeout=60)
    ;;
explore)
    mkdir -p "$work"
    options=(-max_total_time="$seconds" -timeout=10)
    ;;
*)
    echo "run_fuzzer.sh: unknown mode $mode" >&2
    exit 2
    ;;
esac
ASAN_OPTIONS=detect_leaks=1 "$fuzzer" "${options[@]}" -print_final_stats=1 \
    -artifact_prefix="$findings/" "$work" "$corpus"
status=$?
if [ "$status" != 0 ]; then
    echo "Finding in $findings: add it to $corpus under a name that says what it shows, then fix the bug."
fi
exit "$status"
