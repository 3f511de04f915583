#!/usr/bin/env bash
# The Windows zip as a user gets it: unpacked into a scratch folder, its texts readable in
# Notepad (CR LF at every line end) and true to their sources, and its Tevrix.exe run from there
# under Wine.
# Usage: zip_test.sh PACKAGE.zip WINE_RUNNER
set -u
zip=$(realpath "$1")
runner="$2"
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$root/tests/support/facts.sh"

# Every line ends in CR LF, the last one included.
crlf_only() {
    [ -s "$1" ] && ! grep -qv $'\r$' "$1" && [ "$(tail -c 2 "$1" | od -An -tx1 | tr -d ' ')" = 0d0a ]
}

fact "it unpacks" unzip -q "$zip" -d "$work/unpacked"
dir="$work/unpacked"
(cd "$dir" && find . -type f | sort) >"$work/files"
printf '%s\n' ./LICENSE.txt ./README.txt ./Tevrix.exe ./tevrix.txt >"$work/want"
fact "it holds the program, the README, the manual and the licence, at its top" diff "$work/want" "$work/files"

for text in README.txt LICENSE.txt tevrix.txt; do
    fact "$text has CR LF line ends" crlf_only "$dir/$text"
done
fact "README.txt is the README" cmp -s <(tr -d '\r' <"$dir/README.txt") "$root/README.md"
fact "LICENSE.txt is the licence" cmp -s <(tr -d '\r' <"$dir/LICENSE.txt") "$root/LICENSE"
tr -d '\r' <"$dir/tevrix.txt" >"$work/manual"
for section in NAME SYNOPSIS OPTIONS 'EXIT STATUS' ENVIRONMENT EXAMPLES; do
    fact "the manual has its $section section" grep -q "^$section" "$work/manual"
done
plain_text() {
    ! grep -q $'[\b\033]' "$1"
}
fact "the manual is plain text (no overstriking, no escape sequences)" plain_text "$work/manual"

"$runner" "$dir/Tevrix.exe" -? -noquitprompt </dev/null >"$work/usage.txt" 2>/dev/null
fact "its Tevrix.exe -? runs under Wine with status 1" test $? = 1
tr -d '\r' <"$work/usage.txt" >"$work/usage"
fact "it prints the usage" grep -q '^ -write ' "$work/usage"
# The name's version is the one the program reports from its version resource.
version=$(basename "$zip" | sed -n 's/^Tevrix-\([0-9.]*\)-win64\.zip$/\1/p')
IFS=. read -r major minor patch tweak <<<"$version"
banner=$(printf 'Tevrix v%i.%.2i.%.4i.%.2i' "$major" "$minor" "$patch" "$tweak")
fact "the zip's name carries the program's version ($banner)" grep -qx "$banner" "$work/usage"

facts_end
