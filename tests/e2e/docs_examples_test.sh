#!/usr/bin/env bash
# The documents' examples run as a reader runs them: the README's shell blocks marked
# "```sh tested", in order in one shell, from the top of a clone after `make demo`; the run the
# README's first screen shows, compared with what the program prints; and the example of the
# tevrix-sim manual page. Every tevrix run must succeed, and nothing may land in the clone.
# Usage: docs_examples_test.sh SOURCE_DIR TEVRIX TEVRIX_SIM
set -u
source_dir=$(realpath "$1")
program=$(realpath "$2")
sim=$(realpath "$3")
work=$(mktemp -d)
group=""
trap '[ -n "$group" ] && kill -- "-$group" 2>/dev/null; rm -rf "$work"' EXIT
source "$(dirname "$0")/../support/facts.sh"

# A clone as `make demo` leaves it, as far as the examples see it: the two programs where the
# build puts them, tevrix behind a wrapper that logs the status of every run.
clone="$work/clone"
mkdir -p "$clone/build/native/app" "$clone/build/native/sim" "$work/tmp" "$work/home"
cat >"$clone/build/native/app/tevrix" <<WRAPPER
#!/usr/bin/env bash
"$program" "\$@"
status=\$?
echo "\$status tevrix \$*" >>"$work/runs.log"
exit \$status
WRAPPER
chmod +x "$clone/build/native/app/tevrix"
ln -s "$sim" "$clone/build/native/sim/tevrix-sim"
touch "$work/runs.log"
(cd "$clone" && find . | sort) >"$work/clone.before"

# The shell PATH of a reader who has not yet put the programs on it; state and temporary files
# of the runs stay in the scratch folder, and a search the examples do not point at their
# simulator tries no port at all.
export HOME="$work/home" XDG_STATE_HOME="$work/home/state" XDG_CONFIG_HOME="$work/home/config"
export XDG_CACHE_HOME="$work/home/cache" TMPDIR="$work/tmp"
export TEVRIX_PORTS=""

# run_examples NAME SCRIPT: runs SCRIPT with bash -e in a process group of its own, from the
# clone, for at most 5 minutes; whatever it leaves running is ended with the group.
run_examples() {
    local name="$1" script="$2"
    : >"$work/runs.log"
    (cd "$clone" && exec setsid timeout 300 bash -e "$script" </dev/null >"$work/$name.out" 2>&1) &
    group=$!
    wait "$group"
    local status=$?
    kill -- "-$group" 2>/dev/null
    group=""
    fact "the $name examples run to their end" test "$status" = 0
    [ "$status" = 0 ] || sed 's/^/    /' "$work/$name.out"
}

# every_run_succeeded NAME LEAST: at least LEAST tevrix runs, each with status 0.
every_run_succeeded() {
    local runs
    runs=$(wc -l <"$work/runs.log")
    fact "the $1 examples ran tevrix $2 times or more (ran $runs)" test "$runs" -ge "$2"
    fact "every tevrix run of the $1 examples succeeded" bash -c '! grep -v "^0 " "$1"' _ "$work/runs.log"
}

# The README's tested blocks, with the indentation of their fence taken off.
awk '
    /^ *```sh tested *$/ { indent = index($0, "`") - 1; inside = 1; next }
    inside && /^ *``` *$/ { inside = 0; print ""; next }
    inside { print substr($0, indent + 1) }
' "$source_dir/README.md" >"$work/readme.sh"
tevrix_lines=$(grep -c '^tevrix ' "$work/readme.sh")
fact "the README has tested examples with tevrix runs" test "$tevrix_lines" -gt 0
run_examples README "$work/readme.sh"
every_run_succeeded README "$tevrix_lines"
(cd "$clone" && find . | sort) >"$work/clone.after"
fact "the README examples leave nothing in the clone" diff "$work/clone.before" "$work/clone.after"

# The first screen: the first fenced block, a "$ tevrix ..." line and what it prints, against a
# Dravel holding 32 KB of RAM in its first bank, with a 32 KB rom.bin.
awk '/^```/ { if (inside) exit; inside = 1; next } inside { print }' "$source_dir/README.md" >"$work/screen"
command=$(head -n 1 "$work/screen")
tail -n +2 "$work/screen" >"$work/screen.want"
cat >"$work/screen.sh" <<SCREEN
export PATH="\$PWD/build/native/app:\$PWD/build/native/sim:\$PATH"
cd "\$(mktemp -d)"
tevrix-sim --model dravel >pty.txt &
until [ -s pty.txt ]; do sleep 0.1; done
export TEVRIX_PORTS=\$(head -n 1 pty.txt)
head -c 32768 /dev/urandom >rom.bin
${command#\$ } >"$work/screen.got"
# The screen shows the port a user's adapter has; the simulator's terminal stands in for it.
sed -i "s|^Port: \$TEVRIX_PORTS, |Port: /dev/ttyUSB0, |" "$work/screen.got"
kill %1
SCREEN
fact "the first screen shows a tevrix command" bash -c '[[ "$1" == "\$ tevrix "* ]]' _ "$command"
run_examples "first-screen" "$work/screen.sh"
fact "the first screen shows what the program prints" diff "$work/screen.want" "$work/screen.got"

# The Usage section's block is the usage text the program prints.
awk '/^## Usage$/ { section = 1; next } section && /^```/ { if (inside) exit; inside = 1; next } inside { print }' \
    "$source_dir/README.md" >"$work/usage.want"
"$program" -? -noquitprompt | sed -n '/^Usage: /,/^ -list /p' >"$work/usage.got"
fact "the README's usage is the program's" diff "$work/usage.want" "$work/usage.got"

# The tevrix-sim manual page's example, as its reader types it after installing both programs.
sed -n '/^\.EX$/,/^\.EE$/p' "$source_dir/docs/tevrix-sim.1.in" | sed -e '/^\.E[XE]$/d' -e 's/\\-/-/g' \
    >"$work/sim-page.body"
{
    echo 'export PATH="$PWD/build/native/app:$PWD/build/native/sim:$PATH"'
    echo 'cd "$(mktemp -d)"'
    cat "$work/sim-page.body"
    echo "test \"\$(stat -c %s x.bin)\" = 256"
} >"$work/sim-page.sh"
run_examples "tevrix-sim page" "$work/sim-page.sh"
every_run_succeeded "tevrix-sim page" 1

facts_end
