#!/usr/bin/env bash
# `cmake --install` of the native build into a scratch prefix: the two programs and the manual
# page, which renders without a warning and documents every switch the usage text lists.
# Usage: install_test.sh CMAKE BUILD_DIR
set -u
cmake="$1"
build="$2"
runner=""
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
ran=0

fact() {
    local name="$1"
    shift
    ran=$((ran + 1))
    if "$@"; then
        echo "ok: $name"
    else
        echo "FAIL: $name"
        failures=$((failures + 1))
    fi
}

"$cmake" --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1
fact "cmake --install succeeds" test $? = 0
fact "tevrix is in bin" test -x "$work/prefix/bin/tevrix"
fact "tevrix-sim is in bin" test -x "$work/prefix/bin/tevrix-sim"
page="$work/prefix/share/man/man1/tevrix.1"
fact "the manual page is in share/man/man1" test -f "$page"

"$work/prefix/bin/tevrix" -? -noquitprompt </dev/null >"$work/usage.txt" 2>&1
fact "the installed tevrix runs" grep -q '^ -write ' "$work/usage.txt"
groff -man -Tutf8 -ww -z "$page" >"$work/groff.log" 2>&1
fact "the page renders without a warning" test ! -s "$work/groff.log"
groff -man -Tascii -P-cbou "$page" >"$work/page.txt" 2>/dev/null
for section in NAME SYNOPSIS DESCRIPTION OPTIONS 'EXIT STATUS' ENVIRONMENT EXAMPLES; do
    fact "the page has its $section section" grep -q "^$section" "$work/page.txt"
done
for switch in $(grep -o '^ -[a-z?]*' "$work/usage.txt"); do
    fact "the page documents $switch" grep -q -- "^ *$switch\\b" "$work/page.txt"
done
for variable in TEVRIX_PORTS TEVRIX_DEVICE_LOG; do
    fact "the page documents $variable" grep -q "^ *$variable" "$work/page.txt"
done

echo "$((ran - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
