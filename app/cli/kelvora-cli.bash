# bash completion for kelvora-cli: commands, sensor codes, options and table formats.
_kelvora_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local command=${COMP_WORDS[1]-}
    local sensors="S R B K N E J T Pt100 Pt10 Cu100 Cu50"
    COMPREPLY=()
    if [ "$COMP_CWORD" -eq 1 ]; then
        mapfile -t COMPREPLY < <(compgen -W "emf temp res table list --help --version" -- "$cur")
        return
    fi
    case $prev in
        --format)
            mapfile -t COMPREPLY < <(compgen -W "text csv json c" -- "$cur")
            return
            ;;
        --from | --to | --step | --cj | --digits) return ;;
    esac
    local options="--digits --help"
    case $command in
        emf) sensors="S R B K N E J T" options="--cj $options" ;;
        temp) options="--cj $options" ;;
        res) sensors="Pt100 Pt10 Cu100 Cu50" ;;
        table) options="--from --to --step --cj --format $options" ;;
        *) return ;;
    esac
    if [ "$COMP_CWORD" -eq 2 ]; then
        mapfile -t COMPREPLY < <(compgen -W "$sensors" -- "$cur")
    elif [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    fi
}
complete -F _kelvora_cli kelvora-cli
