#!/usr/bin/env bash
# `cmake --install` of the native build into a scratch prefix: the two programs, the bash
# completion, the documents, and the manual pages, which render without a warning and document
# every switch the usage text lists.
# Usage: install_test.sh CMAKE BUILD_DIR
set -u
cmake="$1"
build="$2"
runner=""
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/../support/facts.sh"

"$cmake" --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1
fact "cmake --install succeeds" test $? = 0
fact "tevrix is in bin" test -x "$work/prefix/bin/tevrix"
fact "tevrix-sim is in bin" test -x "$work/prefix/bin/tevrix-sim"
fact "the bash completion is in share/bash-completion/completions" \
    test -f "$work/prefix/share/bash-completion/completions/tevrix"
for doc in README.md copyright changelog.gz; do
    fact "$doc is in share/doc/tevrix" test -f "$work/prefix/share/doc/tevrix/$doc"
done
for name in tevrix tevrix-sim; do
    fact "the manual page of $name is in share/man/man1" test -f "$work/prefix/share/man/man1/$name.1.gz"
    zcat "$work/prefix/share/man/man1/$name.1.gz" >"$work/$name.1"
    groff -man -Tutf8 -ww -z "$work/$name.1" >"$work/groff.log" 2>&1
    fact "the page of $name renders without a warning" test ! -s "$work/groff.log"
done
page="$work/tevrix.1"

"$work/prefix/bin/tevrix" -? -noquitprompt </dev/null >"$work/usage.txt" 2>&1
fact "the installed tevrix runs" grep -q '^ -write ' "$work/usage.txt"
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

facts_end
