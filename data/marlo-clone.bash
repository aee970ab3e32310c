# bash completion for marlo-clone: commands, options, --list values, clone files
# for FILE arguments and serial devices for --device.

_marlo_clone_files() {
    # Clone files (or CSV tables) and folders to descend into.
    local pattern=$1 IFS=$'\n'
    COMPREPLY+=($(compgen -d -S / -- "$cur"))
    COMPREPLY+=($(compgen -f -X "!$pattern" -- "$cur"))
    compopt -o nospace -o filenames 2>/dev/null
}

_marlo_clone() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local command=${COMP_WORDS[1]}
    COMPREPLY=()
    if ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W "check info read write export import diff fleet --help --version" -- "$cur"))
        return
    fi
    case $prev in
    --device)
        local IFS=$'\n'
        COMPREPLY=($(compgen -W "$(compgen -G '/dev/serial/by-id/*'; compgen -G '/dev/ttyUSB*'
            compgen -G '/dev/ttyACM*'; compgen -G '/dev/ttyS*')" -- "$cur"))
        return ;;
    --port)
        COMPREPLY=($(compgen -W "$(seq 1 8)" -- "$cur"))
        return ;;
    --variant)
        COMPREPLY=($(compgen -W "0 1" -- "$cur"))
        return ;;
    --list)
        local lists
        lists=$("${COMP_WORDS[0]}" --help 2>/dev/null | sed -n 's/^LIST: //p' | tr -d ',.')
        COMPREPLY=($(compgen -W "$lists" -- "$cur"))
        return ;;
    --roster)
        _marlo_clone_files '*.[cC][sS][vV]'
        return ;;
    --backups)
        local IFS=$'\n'
        COMPREPLY=($(compgen -d -S / -- "$cur"))
        compopt -o nospace -o filenames 2>/dev/null
        return ;;
    -o | --backup | --log | --changes-from)
        if [[ $command == export ]]; then _marlo_clone_files '*.csv'; else _marlo_clone_files '*.[vV][cC][fF]'; fi
        return ;;
    esac
    if [[ $cur == -* ]]; then
        local options="--help"
        case $command in
        info) options+=" --port --device --variant" ;;
        read) options+=" --port --device --variant -o" ;;
        write) options+=" --port --device --variant --backup --changes-from --verify" ;;
        export) options+=" --list -o" ;;
        import) options+=" --list -o --expert" ;;
        diff) options+=" --radio --port --device" ;;
        fleet) options+=" --roster --port --device --variant --backups --log --verify --changes-only --next --from" ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    case $command in
    info | read) ;;
    import)
        # FILE, then the CSV table.
        local i positional=0
        for ((i = 2; i < COMP_CWORD; ++i)); do
            case ${COMP_WORDS[i]} in
            --list | -o) ((++i)) ;;
            -*) ;;
            *) ((++positional)) ;;
            esac
        done
        if ((positional >= 1)); then _marlo_clone_files '*.[cC][sS][vV]'; else _marlo_clone_files '*.[vV][cC][fF]'; fi ;;
    *) _marlo_clone_files '*.[vV][cC][fF]' ;;
    esac
}
complete -F _marlo_clone marlo-clone
