# bash completion for nodewright-cli: commands, options, their values and the
# serial ports. Installed as share/bash-completion/completions/nodewright-cli.

# The serial ports present: USB, ACM, on-board, Bluetooth and their stable
# by-id names. NW_COMPLETION_DEV points the search at another tree (tests).
_nodewright_cli_ports() {
    local dev=${NW_COMPLETION_DEV:-/dev} p
    local -a found=()
    for p in "$dev"/ttyUSB* "$dev"/ttyACM* "$dev"/ttyS* "$dev"/rfcomm* "$dev"/serial/by-id/*; do
        [[ -e $p ]] && found+=("$p")
    done
    COMPREPLY=($(compgen -W "${found[*]}" -- "$1"))
}

_nodewright_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    local commands="ports check detect master slave reset autofill wizard verify network records doctor"
    local globals="-p --port -b --baud --parity --stop-bits --trace --json --record --db --pacing
        --profile --log -h --help --version"
    local valued="-p|--port|-b|--baud|--parity|--stop-bits|--db|--pacing|--profile|--log|--slave1|--slave2|--slave3|--slave4|--master|--slave|--mode|--n|--address|--since|--format"

    # The command (and verify's role) given so far; option values skipped.
    local command= role= i word
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ $word == -* ]]; then
            [[ $word != *=* && $word =~ ^($valued)$ ]] && ((i++))
        elif [[ -z $command ]]; then
            command=$word
        elif [[ $command == verify && -z $role ]]; then
            role=$word
        fi
    done

    case $prev in
    -p | --port)
        _nodewright_cli_ports "$cur"
        return
        ;;
    --master | --slave)
        # Ports for network; an adapter's address for slave and verify slave.
        [[ $command == network ]] && _nodewright_cli_ports "$cur"
        return
        ;;
    -b | --baud)
        COMPREPLY=($(compgen -W "1200 2400 4800 9600 19200 38400 57600 115200 230400 460800
            921600" -- "$cur"))
        return
        ;;
    --parity)
        COMPREPLY=($(compgen -W "none even odd" -- "$cur"))
        return
        ;;
    --stop-bits)
        COMPREPLY=($(compgen -W "1 2" -- "$cur"))
        return
        ;;
    --mode)
        COMPREPLY=($(compgen -W "multi-drop node-switching" -- "$cur"))
        return
        ;;
    --n)
        COMPREPLY=($(compgen -W "2 3 4" -- "$cur"))
        return
        ;;
    --format)
        COMPREPLY=($(compgen -W "table csv json" -- "$cur"))
        return
        ;;
    --pacing)
        COMPREPLY=($(compgen -W "spec reply" -- "$cur"))
        return
        ;;
    --db | --profile | --log)
        COMPREPLY=($(compgen -f -- "$cur"))
        return
        ;;
    --slave[1-4] | --address | --since)
        return # an address or a date: nothing to offer
        ;;
    esac

    if [[ $cur == -* ]]; then
        local own=
        case $command in
        ports) own="--watch" ;;
        master) own="--slave1 --slave2 --slave3 --slave4 --mode --disable-response" ;;
        slave) own="--master --disable-response" ;;
        reset) own="--manual" ;;
        wizard) own="--n --mode --disable-response --verify" ;;
        verify)
            case $role in
            master) own="--slave1 --slave2 --slave3 --slave4 --mode --disable-response" ;;
            slave) own="--master --disable-response" ;;
            esac
            ;;
        network) own="--master --slave --mode --disable-response --no-verify" ;;
        records) own="--address --since --format" ;;
        esac
        COMPREPLY=($(compgen -W "$globals $own" -- "$cur"))
    elif [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    elif [[ $command == verify && -z $role ]]; then
        COMPREPLY=($(compgen -W "master slave" -- "$cur"))
    fi
}

complete -F _nodewright_cli nodewright-cli
