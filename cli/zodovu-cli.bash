# bash completion for zodovu-cli                             -*- shell-script -*-
# Subcommands, their options (long and short), archives (*.pak) and, after an
# archive, the numbers of its clips as zodovu-cli lists them.

# The clip numbers of archive ($1), read as the disc $2 names when it is given,
# and salvaged when $3 is --salvage.
_zodovu_cli_clip_numbers()
{
    local archive=${1/#\~/$HOME}
    local list_options=()
    [[ -n $2 ]] && list_options=(--disc "$2")
    [[ -n $3 ]] && list_options+=("$3")
    "${COMP_WORDS[0]}" list "${archive//\\/}" "${list_options[@]}" 2>/dev/null | awk 'NR > 2 { print $1 }'
}

_zodovu_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local subcommands="list extract convert encode verify replace pack index url play help"
    local command="" archive="" disc="" salvage="" i word

    # The subcommand, and the first word after it that is neither an option
    # nor an option's value: the archive.
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        if [[ -z $command ]]; then
            [[ $word != -* ]] && command=$word
        elif [[ $word == -* ]]; then
            case $word in
                --disc) disc=${COMP_WORDS[i + 1]}; ((i++)) ;;
                --salvage) salvage=--salvage ;;
                -o | --output | --player | -j | --jobs | --format | --crf | --preset | --hi | --from | --size | \
                    --rate | --quality) ((i++)) ;;
                --lo) [[ $command == replace ]] && ((i++)) ;;   # a flag elsewhere
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
        --hi | --lo)
            if [[ $command == replace ]]; then
                compopt -o filenames
                mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.[bB][iI][kK]' -- "$cur")
                return
            fi
            ;;
        --from)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
        -o | --output)
            compopt -o filenames
            if [[ $command == replace || $command == pack ]]; then
                mapfile -t COMPREPLY < <(compgen -f -- "$cur")   # a new archive: never standard output
                return
            fi
            if [[ $command == index ]]; then
                mapfile -t COMPREPLY < <(compgen -d -- "$cur")
                return
            fi
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            [[ -z $cur ]] && COMPREPLY+=(-)
            return
            ;;
        --player)
            mapfile -t COMPREPLY < <(compgen -c -- "$cur")
            return
            ;;
        --format)
            mapfile -t COMPREPLY < <(compgen -W "mp4 webm" -- "$cur")
            return
            ;;
        --preset)
            mapfile -t COMPREPLY < <(compgen -W "ultrafast superfast veryfast faster fast medium slow slower
                                                 veryslow placebo" -- "$cur")
            return
            ;;
        -j | --jobs | --crf | --size | --rate | --quality)
            return
            ;;
    esac

    local options
    case $command in
        "")
            # -h only once an option is begun, so that a bare TAB shows the subcommands.
            options="--help --version"
            [[ $cur == -* ]] && options+=" -h"
            mapfile -t COMPREPLY < <(compgen -W "$subcommands $options" -- "$cur")
            return
            ;;
        help)
            options=$subcommands
            [[ $cur == -* ]] && options="-h --help"
            mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
            return
            ;;
        list) options="--json --disc --salvage -h --help" ;;
        extract)
            options="--all --lo --both -o --output --force -n --no-clobber -q --quiet -v --verbose --disc --salvage
                     -h --help"
            ;;
        convert)
            options="--all --lo --both -o --output --format --crf --preset -j --jobs --conceal --force -n --no-clobber
                     -q --quiet -v --verbose --disc --salvage -h --help"
            ;;
        encode)
            options="-o --output --lo --size --rate --quality -j --jobs --force -q --quiet -v --verbose -h --help"
            ;;
        replace)
            options="--hi --lo --from --rate --quality -j --jobs -o --output --force -q --quiet -v --verbose --disc
                     -h --help"
            ;;
        pack) options="-o --output -j --jobs --force -q --quiet -v --verbose -h --help" ;;
        url) options="--lo --disc --salvage -h --help" ;;
        play) options="--lo --player --disc --salvage -h --help" ;;
        verify) options="--frames -j --jobs --json --disc --salvage -h --help" ;;
        index)
            options="-o --output --convert --lo --both --format --crf --preset -j --jobs --conceal --force -q --quiet
                     -v --verbose --disc --salvage -h --help"
            ;;
        *) return ;;
    esac

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    elif [[ $command == encode ]]; then
        compopt -o filenames
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")   # videos of any kind
    elif [[ $command == pack ]]; then
        compopt -o filenames
        mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.[bB][iI][kK]' -- "$cur")
    elif [[ -z $archive || $command == list || $command == verify || $command == index ]]; then
        compopt -o filenames
        mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.[pP][aA][kK]' -- "$cur")
    elif [[ $command != list ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$(_zodovu_cli_clip_numbers "$archive" "$disc" "$salvage")" -- "$cur")
    fi
}

complete -F _zodovu_cli zodovu-cli
