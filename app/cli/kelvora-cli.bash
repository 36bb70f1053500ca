# bash completion for kelvora-cli: commands, sensor codes, options, formats, wirings, cables and
# signals.
_kelvora_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local command=${COMP_WORDS[1]-}
    local sensors="S R B K N E J T Pt100 Pt10 Cu100 Cu50 Pt1000 Pt500 Ni100 Ni1000 Cu10 ITS90"
    COMPREPLY=()
    if [ "$COMP_CWORD" -eq 1 ]; then
        mapfile -t COMPREPLY < <(compgen -W "emf temp res slope tol leads budget table fit lut loop check list --help --version" -- "$cur")
        return
    fi
    case $prev in
        --format)
            if [ "$command" = lut ]; then
                mapfile -t COMPREPLY < <(compgen -W "c csv json" -- "$cur")
            elif [ "$command" = budget ] || [ "$command" = check ]; then
                mapfile -t COMPREPLY < <(compgen -W "text csv json" -- "$cur")
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
        --signal)
            mapfile -t COMPREPLY < <(compgen -W "4-20mA 0-20mA 1-5V 0-10V" -- "$cur")
            return
            ;;
        --wires)
            mapfile -t COMPREPLY < <(compgen -W "2 3 4" -- "$cur")
            return
            ;;
        --cable)
            mapfile -t COMPREPLY < <(compgen -W "JX:1 JX:2 TX:1 TX:2 EX:1 EX:2 KX:1 KX:2 NX:1 NX:2
                KCA:2 KCB:2 NC:2 RCA:2 SCA:2 RCB:2 SCB:2 BC:2" -- "$cur")
            return
            ;;
        --deviation)
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
        --from | --to | --step | --cj | --digits | --r0 | --cvd | --alpha | --delta | --beta | \
            --max-error | --points | --name | --cj-from | --cj-to | --ohms | --length | --area | \
            --awg | --at | --imbalance | --cj-error | --cable-at | --meter | --transmitter | \
            --row | --k | --degree | --rtpw | --dev | --found | --left | --accuracy) return ;;
        --range)  # fit ITS90's sub-range; a transmitter's LRV,URV
            if [ "$command" = fit ]; then
                mapfile -t COMPREPLY < <(compgen -W "4 5 7 8 9 10 11" -- "$cur")
            fi
            return
            ;;
    esac
    local certificate="--r0 --cvd --alpha --delta --beta --rtpw --dev"
    local leads="--wires --ohms --length --area --awg --at --imbalance"
    local options="--digits --help"
    local deviation="--deviation --degree"
    case $command in
        emf) sensors="S R B K N E J T" options="--cj $deviation $options" ;;
        temp) options="--cj --exact $deviation $certificate $options" ;;
        res) sensors="Pt100 Pt10 Cu100 Cu50 Pt1000 Pt500 Ni100 Ni1000 Cu10 ITS90"
            options="$certificate $options" ;;
        slope) options="$deviation $certificate $options" ;;
        tol) options="--class --element $certificate --help" ;;
        leads) sensors="Pt100 Pt10 Cu100 Cu50 Pt1000 Pt500 Ni100 Ni1000 Cu10"
            options="$leads $certificate --help" ;;
        budget) options="--class --element --cj-error --cj --cable --cable-at --meter --leads
            $leads --transmitter --range --row --k --format $certificate --help" ;;
        table) options="--from --to --step --cj --format $deviation $certificate $options" ;;
        fit) sensors="Pt100 Pt1000 Pt500 Pt10 ITS90"
            if [ "$COMP_CWORD" -ge 3 ] && [[ $cur != -* ]]; then
                mapfile -t COMPREPLY < <(compgen -f -- "$cur")
                return
            fi
            options="--r0 --range --rtpw --format --help" ;;
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
