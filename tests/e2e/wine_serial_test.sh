#!/usr/bin/env bash
# Runs a Windows test program under Wine against tevrix-sim on a pseudo-terminal that Wine sees
# as COM33. Usage: wine_serial_test.sh SIM RUNNER PREFIX PROGRAM [SIM OPTIONS...]
set -u
sim="$1" runner="$2" prefix="$3" program="$4"
shift 4
# The first run creates the Wine prefix, and with it the dosdevices directory.
"$runner" "$program" --gtest_list_tests >/dev/null 2>&1
link="$prefix/dosdevices/com33"
out=$(mktemp)
"$sim" --link "$link" "$@" >"$out" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null; wait "$sim_pid"; rm -f "$out"' EXIT
for _ in $(seq 600); do
    [ -s "$out" ] && break
    sleep 0.05
done
[ -L "$link" ] || { echo "tevrix-sim did not start"; exit 1; }
TEVRIX_TEST_PORT='\\.\COM33' timeout 120 "$runner" "$program"
