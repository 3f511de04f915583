#!/usr/bin/env bash
# The bash completion script, sourced into a bash of its own and asked to complete words as the
# shell would: switches in any case and with either leader, file names after the file switches,
# nothing after the number switches, and every switch the program's usage text lists.
# Usage: completion_test.sh COMPLETION_SCRIPT TEVRIX
set -u
script=$(realpath "$1")
program="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# The files a user might complete after -infile: images of every kind, a name with a blank, and
# one that looks like a switch, which must not leak into switch completion.
mkdir "$work/files"
touch "$work/files/"{rom.bin,boot.hex,app.s19,'my image.bin','-x'}
mkdir "$work/files/sub"

# completions LINE: what the script offers for the last word of LINE (a trailing blank starts a
# new, empty word), one per line, sorted.
completions() {
    (cd "$work/files" && bash --norc --noprofile -c '
        source "$1"
        read -r -a COMP_WORDS <<<"$2"
        [ "${2: -1}" = " " ] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE="$2"
        COMP_POINT=${#2}
        _tevrix
        printf "%s\n" "${COMPREPLY[@]}" | sort' _ "$script" "$1")
}

check() {
    local line="$1" want="$2" got
    got=$(completions "$line" | paste -sd'|')
    if [ "$got" = "$want" ]; then
        echo "ok: '$line' -> $want"
    else
        echo "FAIL: '$line' -> '$got', want '$want'"
        failures=$((failures + 1))
    fi
}

registered=$(bash --norc --noprofile -c 'source "$1" && complete -p tevrix' _ "$script")
if [ "$registered" = "complete -F _tevrix tevrix" ]; then
    echo "ok: registered for tevrix, with no fallback to file names"
else
    echo "FAIL: registered as '$registered'"
    failures=$((failures + 1))
fi

# LINE | what is offered ('|' between offers; empty: nothing at all)
while IFS='|' read -r line want; do
    check "$line" "$want"
done <<'CASES'
tevrix -wr|-write
tevrix /wr|/write
tevrix -WR|-WRITE
tevrix /Ve|/Verify
tevrix -no|-nobackbuf|-noquitprompt
tevrix -write -NoQ|-NoQuitprompt
tevrix -?|-?
tevrix -l|-large|-list
tevrix -write -infile |-x|app.s19|boot.hex|my image.bin|rom.bin|sub
tevrix -write /INFILE b|boot.hex
tevrix -read -outfile a|app.s19
tevrix -read -OutFile my|my image.bin
tevrix -read -size |
tevrix -read /SIZE 1|
tevrix -write -fileaddress |
tevrix -write -emuaddress 4|
tevrix rom|
tevrix -bogus|
CASES

# Every switch the program lists is offered, as typed and in capitals.
for switch in $("$program" -? -noquitprompt </dev/null 2>/dev/null | grep -o '^ -[a-z]*'); do
    check "tevrix $switch" "$switch"
    check "tevrix ${switch^^}" "${switch^^}"
done

[ "$failures" -eq 0 ] && echo "all passed" || echo "$failures failed"
[ "$failures" -eq 0 ]
