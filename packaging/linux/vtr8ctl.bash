# bash completion for vtr8ctl
_vtr8ctl()
{
    local cur prev words cword
    _init_completion || return
    case $prev in
        --port) COMPREPLY=($(compgen -f -- "$cur") $(compgen -W "$(ls /dev/ttyS* /dev/ttyUSB* /dev/ttyACM* 2>/dev/null)" -- "$cur")); return ;;
        --com) COMPREPLY=($(compgen -W "1 2 3 4 5 6 7 8" -- "$cur")); return ;;
        --method) COMPREPLY=($(compgen -W "polynomial segments" -- "$cur")); return ;;
        --mode) COMPREPLY=($(compgen -W "HYSTEREZE OKNO" -- "$cur")); return ;;
        --points|--image|--save|--plot|write|verify|backup|linearization)
            _filedir; return ;;
        note) COMPREPLY=($(compgen -W "read write" -- "$cur")); return ;;
        comparator) COMPREPLY=($(compgen -W "1 2" -- "$cur")); return ;;
        adjust) COMPREPLY=($(compgen -W "start end" -- "$cur")); return ;;
    esac
    local commands="write verify backup read measure linearization note comparator adjust frame"
    local i command=
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --port|--com) ((i++)) ;;
            -*) ;;
            *) command=${words[i]}; break ;;
        esac
    done
    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "--port --com --yes --trace --help $commands" -- "$cur"))
        return
    fi
    case $command in
        write) COMPREPLY=($(compgen -W "--points --method --degree --verify" -- "$cur")) ;;
        verify) COMPREPLY=($(compgen -W "--points --method --degree --image" -- "$cur")) ;;
        read) COMPREPLY=($(compgen -W "--save --utf8" -- "$cur")) ;;
        measure) COMPREPLY=($(compgen -W "--count --read --csv" -- "$cur")) ;;
        linearization) COMPREPLY=($(compgen -W "--points --method --degree --firmware --csv --plot" -- "$cur")) ;;
        comparator) COMPREPLY=($(compgen -W "read write --on --off --on-delay --off-delay --mode --enable --disable" -- "$cur")) ;;
    esac
    [[ $cur == -* ]] || _filedir
}
complete -F _vtr8ctl vtr8ctl
