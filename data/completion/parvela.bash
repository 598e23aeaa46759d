# bash completion for parvela                               -*- shell-script -*-
# Installed as share/bash-completion/completions/parvela. Needs nothing but bash.

# Completes $cur to file names with the compgen options given: quoted, and folders
# marked, as bash does for files.
_parvela_paths()
{
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen "$@" -- "$cur")
}

_parvela()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local common="--help --version"
    local command="" i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        send | jobs | check | clean | policy | sent)
            command=${COMP_WORDS[i]}
            break
            ;;
        esac
    done

    COMPREPLY=()
    case $command in
    "")
        mapfile -t COMPREPLY < <(compgen -W "send jobs check clean policy sent $common" -- "$cur")
        ;;
    send)
        case $prev in
        --to | --subject | --message | --expire | --parallel | --timeout)
            return 0 # free text: nothing to offer
            ;;
        --message-file | --policy)
            _parvela_paths -f
            return 0
            ;;
        esac
        if [[ $cur == -* ]]; then
            mapfile -t COMPREPLY < <(compgen -W "--to --subject --message --message-file --expire
                --encrypt --no-encrypt --sfx --no-sfx --policy --dry-run --yes --parallel --wait --timeout
                $common" -- "$cur")
        else
            _parvela_paths -f
        fi
        ;;
    jobs)
        if [[ $prev == --policy ]]; then
            _parvela_paths -f
        elif [[ $prev == --older-than ]]; then
            return 0 # a duration: nothing to offer
        elif [[ $cur == -* ]]; then
            mapfile -t COMPREPLY < <(compgen -W "--policy --json --older-than $common" -- "$cur")
        else
            _parvela_paths -d
        fi
        ;;
    check)
        if [[ $cur == -* ]]; then
            mapfile -t COMPREPLY < <(compgen -W "$common" -- "$cur")
        else
            _parvela_paths -f -X '!*.[pP][vV][xX]' -o plusdirs
        fi
        ;;
    sent)
        case $prev in
        --policy)
            _parvela_paths -f
            ;;
        --since | --timeout)
            ;; # a date, seconds: nothing to offer
        --wait)
            # The names of the jobs of the last 30 days, from the record itself.
            mapfile -t COMPREPLY < <(compgen -W "$("${COMP_WORDS[0]}" sent --json 2>/dev/null |
                sed -n 's/^ *"name": "\(PV_[^"]*\)",*$/\1/p')" -- "$cur")
            ;;
        *)
            mapfile -t COMPREPLY < <(compgen -W "--policy --json --all --since --wait --timeout $common" -- "$cur")
            ;;
        esac
        ;;
    clean)
        if [[ $prev == --policy ]]; then
            _parvela_paths -f
        elif [[ $prev == --older-than ]]; then
            return 0 # a duration: nothing to offer
        elif [[ $cur == -* ]]; then
            mapfile -t COMPREPLY < <(compgen -W "--policy --older-than --yes $common" -- "$cur")
        else
            _parvela_paths -d
        fi
        ;;
    policy)
        if [[ $prev == --policy ]]; then
            _parvela_paths -f
        else
            mapfile -t COMPREPLY < <(compgen -W "--policy $common" -- "$cur")
        fi
        ;;
    esac
    return 0
}
complete -F _parvela parvela
