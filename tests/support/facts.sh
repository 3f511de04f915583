# How the test scripts state what they find: `fact NAME COMMAND...` runs COMMAND and prints
# "ok: NAME" or "FAIL: NAME", counting both; `facts_end` prints the count and returns the
# verdict, so a script ends with it.
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

facts_end() {
    echo "$((ran - failures)) passed, $failures failed"
    [ "$failures" -eq 0 ]
}
