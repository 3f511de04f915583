#!/usr/bin/env bash
# The Debian package as a user gets it, unpacked into a scratch folder with dpkg-deb -x and never
# installed: its files, its control fields, its programs run from there (against each other),
# its documents, and lintian.
# Usage: deb_test.sh PACKAGE.deb
set -u
deb=$(realpath "$1")
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
sim_pid=""
trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
source "$root/tests/support/facts.sh"
# What the programs and lintian keep between runs stays in the scratch folder, never in the
# user's home.
export HOME="$work/home" XDG_STATE_HOME="$work/home/state" XDG_CONFIG_HOME="$work/home/config"
export XDG_CACHE_HOME="$work/home/cache"
mkdir -p "$HOME"

version=$(dpkg-deb -f "$deb" Version)
fact "the file is named for its version" test "$(basename "$deb")" = "tevrix_${version}_amd64.deb"
fact "it unpacks" dpkg-deb -x "$deb" "$work/root"
tree="$work/root"

# Exactly these files, no build leftovers and nothing outside /usr.
(cd "$tree" && find . -type f | sort) >"$work/files"
cat >"$work/want" <<'FILES'
./usr/bin/tevrix
./usr/bin/tevrix-sim
./usr/share/bash-completion/completions/tevrix
./usr/share/doc/tevrix/README.md
./usr/share/doc/tevrix/changelog.gz
./usr/share/doc/tevrix/copyright
./usr/share/man/man1/tevrix-sim.1.gz
./usr/share/man/man1/tevrix.1.gz
FILES
fact "it holds the programs, the completion, the manual pages and the documents" diff "$work/want" "$work/files"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
fact "its dependencies come from the binaries (libc6 and the C++ runtime)" \
    bash -c '[[ "$1" == *libc6* && "$1" == *libstdc++6* ]]' _ "$depends"

"$tree/usr/bin/tevrix" -? -noquitprompt </dev/null >"$work/usage.txt" 2>&1
fact "its tevrix -? runs and prints the usage, with status 1" test $? = 1
fact "the usage lists the switches" grep -q '^ -write ' "$work/usage.txt"
IFS=. read -r major minor patch tweak <<<"$version"
banner=$(printf 'Tevrix v%i.%.2i.%.4i.%.2i' "$major" "$minor" "$patch" "$tweak")
fact "the program's banner shows the package's version ($banner)" grep -qx "$banner" "$work/usage.txt"
zcat "$tree/usr/share/man/man1/tevrix.1.gz" | head -n 1 >"$work/th"
fact "the manual page shows the package's version" grep -q "\"Tevrix $version\"" "$work/th"

# The two programs of the package work together: a read from its simulator.
"$tree/usr/bin/tevrix-sim" --model dravel >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 300); do
    [ -s "$work/sim.out" ] && break
    sleep 0.1
done
(cd "$work" && TEVRIX_PORTS=$(head -n 1 sim.out) timeout 60 "$tree/usr/bin/tevrix" -read -outfile x.bin \
    -size 100 -noquitprompt </dev/null >read.txt 2>&1)
fact "its tevrix reads from its tevrix-sim" grep -q '^SUCCESS: Operation completed' "$work/read.txt"
fact "the read wrote 0x100 bytes" test "$(stat -c %s "$work/x.bin" 2>/dev/null)" = 256
fact "the port it found is remembered in the scratch state folder" test -s "$XDG_STATE_HOME/tevrix/last-port"

copyright="$tree/usr/share/doc/tevrix/copyright"
fact "the copyright file is in Debian's machine-readable form" grep -q '^Format: https://www.debian.org/' "$copyright"
# Every line of the licence after its title, as a continuation line (" ." for a blank one).
tail -n +2 "$root/LICENSE" | sed -e 's/^$/./' -e 's/^/ /' >"$work/licence"
sed -n '/^License: Expat$/,$p' "$copyright" | tail -n +2 >"$work/licence.shipped"
fact "the copyright file carries the whole MIT licence" diff "$work/licence" "$work/licence.shipped"
fact "the README is the project's" cmp -s "$root/README.md" "$tree/usr/share/doc/tevrix/README.md"
zcat "$tree/usr/share/doc/tevrix/changelog.gz" | head -n 1 >"$work/changelog"
fact "the change log names this version" grep -q "^tevrix ($version) " "$work/changelog"

# lintian: no error; what it warns about is shown.
lintian --fail-on error "$deb" >"$work/lintian.txt" 2>&1
status=$?
grep -v 'root privileges' "$work/lintian.txt"
fact "lintian reports no error" test "$status" = 0

facts_end
