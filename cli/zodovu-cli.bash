# bash completion for zodovu-cli                             -*- shell-script -*-
# Subcommands, their options, archives (*.pak) and, after an archive, the
# numbers of its clips as zodovu-cli lists them.

_zodovu_cli_clip_numbers()
{
    local archive=${1/#\~/$HOME}
    "${COMP_WORDS[0]}" list "${archive//\\/}" 2>/dev/null | awk 'NR > 2 { print $1 }'
}

_zodovu_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local subcommands="list extract url play verify help"
    local command="" archive="" i word

    # The subcommand, and the first word after it that is neither an option
    # nor an option's value: the archive.
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ -z $command ]]; then
            [[ $word != -* ]] && command=$word
        elif [[ $word == -* ]]; then
            case $word in
                -o | --output | --disc | --player) ((i++)) ;;
            esac
        elif [[ -z $archive ]]; then
            archive=$word
        fi
    done

    case $prev in
        --disc)
            mapfile -t COMPREPLY < <(compgen -W "1 2 3 4 publisher" -- "$cur")
            return
            ;;
        -o | --output)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            [[ -z $cur ]] && COMPREPLY+=(-)
            return
            ;;
        --player)
            mapfile -t COMPREPLY < <(compgen -c -- "$cur")
            return
            ;;
    esac

    local options
    case $command in
        "")
            mapfile -t COMPREPLY < <(compgen -W "$subcommands --help --version" -- "$cur")
            return
            ;;
        help)
            mapfile -t COMPREPLY < <(compgen -W "$subcommands" -- "$cur")
            return
            ;;
        list) options="--json --disc --help" ;;
        extract) options="--all --lo --both -o --output --force -q -v --disc --help" ;;
        url) options="--lo --disc --help" ;;
        play) options="--lo --player --disc --help" ;;
        verify) options="--json --disc --help" ;;
        *) return ;;
    esac

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    elif [[ -z $archive || $command == verify ]]; then
        compopt -o filenames
        mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.[pP][aA][kK]' -- "$cur")
    elif [[ $command != list ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$(_zodovu_cli_clip_numbers "$archive")" -- "$cur")
    fi
}

complete -F _zodovu_cli zodovu-cli
