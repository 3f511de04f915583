# Bash completion for tevrix. Switches are completed in any case and with '-' or '/', as the
# program takes them; a file name after -infile and -outfile (any file: binary, HEX and
# S-record images alike); nothing after the switches that take a hexadecimal number.

_tevrix() {
    local cur="${COMP_WORDS[COMP_CWORD]}"
    local prev=""
    [ "$COMP_CWORD" -gt 0 ] && prev="${COMP_WORDS[COMP_CWORD - 1]}"
    COMPREPLY=()

    case "${prev,,}" in
    -infile | /infile | -outfile | /outfile)
        compopt -o filenames 2>/dev/null
        local IFS=$'\n'
        COMPREPLY=($(compgen -f -- "$cur"))
        return 0
        ;;
    -fileaddress | /fileaddress | -emuaddress | /emuaddress | -size | /size)
        return 0
        ;;
    esac

    local leader="${cur:0:1}"
    [ -z "$cur" ] && leader="-"
    if [ "$leader" != "-" ] && [ "$leader" != "/" ]; then
        return 0
    fi
    local typed="${cur:1}"
    # Upper case when the user types in upper case, so that what is typed stays as it is.
    local upper=0
    [[ "$typed" =~ [A-Z] && ! "$typed" =~ [a-z] ]] && upper=1
    local name
    for name in write read verify monitor list infile outfile fileaddress emuaddress size large \
        nobackbuf noquitprompt '?'; do
        if [[ "$name" == "${typed,,}"* ]]; then
            local rest="${name:${#typed}}"
            [ "$upper" = 1 ] && rest="${rest^^}"
            COMPREPLY+=("$leader$typed$rest")
        fi
    done
    return 0
}
complete -F _tevrix tevrix
