# bash completion for kelvora-cli: commands, sensor codes, options, table formats and signals.
_kelvora_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local command=${COMP_WORDS[1]-}
    local sensors="S R B K N E J T Pt100 Pt10 Cu100 Cu50 Pt1000 Pt500 Ni100 Ni1000 Cu10"
    COMPREPLY=()
    if [ "$COMP_CWORD" -eq 1 ]; then
        mapfile -t COMPREPLY < <(compgen -W "emf temp res slope tol table lut loop check list --help --version" -- "$cur")
        return
    fi
    case $prev in
        --format)
            if [ "$command" = lut ]; then
                mapfile -t COMPREPLY < <(compgen -W "c csv json" -- "$cur")
            elif [ "$command" = check ]; then
                mapfile -t COMPREPLY < <(compgen -W "text csv json" -- "$cur")
            else
                mapfile -t COMPREPLY < <(compgen -W "text csv json c" -- "$cur")
            fi
            return
            ;;
        --class)
            mapfile -t COMPREPLY < <(compgen -W "1 2 3 AA A B C" -- "$cur")
            return
            ;;
        --element)
            mapfile -t COMPREPLY < <(compgen -W "wire film" -- "$cur")
            return
            ;;
        --signal)
            mapfile -t COMPREPLY < <(compgen -W "4-20mA 0-20mA 1-5V 0-10V" -- "$cur")
            return
            ;;
        --from | --to | --step | --cj | --digits | --r0 | --cvd | --alpha | --delta | --beta | \
            --max-error | --points | --name | --cj-from | --cj-to | --range | --at | --found | \
            --left | --accuracy) return ;;
    esac
    local certificate="--r0 --cvd --alpha --delta --beta"
    local options="--digits --help"
    case $command in
        emf) sensors="S R B K N E J T" options="--cj $options" ;;
        temp) options="--cj --exact $certificate $options" ;;
        res) sensors="Pt100 Pt10 Cu100 Cu50 Pt1000 Pt500 Ni100 Ni1000 Cu10"
            options="$certificate $options" ;;
        slope) options="$certificate $options" ;;
        tol) options="--class --element $certificate --help" ;;
        table) options="--from --to --step --cj --format $certificate $options" ;;
        lut) options="--max-error --points --from --to --int --format --name --cj-from --cj-to
            $certificate --help" ;;
        loop)
            [[ $cur == -* ]] &&
                mapfile -t COMPREPLY < <(compgen -W "--range --signal --reverse $options" -- "$cur")
            return
            ;;
        check) options="--range --signal --cj --points --at --updown --found --left --accuracy
            --format $certificate --help" ;;
        *) return ;;
    esac
    if [ "$COMP_CWORD" -eq 2 ]; then
        mapfile -t COMPREPLY < <(compgen -W "$sensors" -- "$cur")
    elif [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    fi
}
complete -F _kelvora_cli kelvora-cli
