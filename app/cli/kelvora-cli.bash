# bash completion for kelvora-cli: commands, sensor codes, options and table formats.
_kelvora_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local command=${COMP_WORDS[1]-}
    local sensors="S R B K N E J T Pt100 Pt10 Cu100 Cu50 Pt1000 Pt500 Ni100 Ni1000 Cu10 ITS90"
    COMPREPLY=()
    if [ "$COMP_CWORD" -eq 1 ]; then
        mapfile -t COMPREPLY < <(compgen -W "emf temp res slope tol table fit lut list --help --version" -- "$cur")
        return
    fi
    case $prev in
        --format)
            if [ "$command" = lut ]; then
                mapfile -t COMPREPLY < <(compgen -W "c csv json" -- "$cur")
            elif [ "$command" = fit ]; then
                mapfile -t COMPREPLY < <(compgen -W "text json" -- "$cur")
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
        --deviation)
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
        --from | --to | --step | --cj | --digits | --r0 | --cvd | --alpha | --delta | --beta | \
            --max-error | --points | --name | --cj-from | --cj-to | --degree | --rtpw | --dev) return ;;
        --range)
            mapfile -t COMPREPLY < <(compgen -W "4 5 7 8 9 10 11" -- "$cur")
            return
            ;;
    esac
    local certificate="--r0 --cvd --alpha --delta --beta --rtpw --dev"
    local options="--digits --help"
    local deviation="--deviation --degree"
    case $command in
        emf) sensors="S R B K N E J T" options="--cj $deviation $options" ;;
        temp) options="--cj --exact $deviation $certificate $options" ;;
        res) sensors="Pt100 Pt10 Cu100 Cu50 Pt1000 Pt500 Ni100 Ni1000 Cu10 ITS90"
            options="$certificate $options" ;;
        slope) options="$deviation $certificate $options" ;;
        tol) options="--class --element $certificate --help" ;;
        table) options="--from --to --step --cj --format $deviation $certificate $options" ;;
        fit) sensors="Pt100 Pt1000 Pt500 Pt10 ITS90"
            if [ "$COMP_CWORD" -ge 3 ] && [[ $cur != -* ]]; then
                mapfile -t COMPREPLY < <(compgen -f -- "$cur")
                return
            fi
            options="--r0 --range --rtpw --format --help" ;;
        lut) options="--max-error --points --from --to --int --format --name --cj-from --cj-to
            $certificate --help" ;;
        *) return ;;
    esac
    if [ "$COMP_CWORD" -eq 2 ]; then
        mapfile -t COMPREPLY < <(compgen -W "$sensors" -- "$cur")
    elif [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    fi
}
complete -F _kelvora_cli kelvora-cli
