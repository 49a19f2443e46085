# bash completion for tree_menu and queue_menu: the options each program
# takes, the values of --encoding and --lang, and paths for --file. Installed under each
# program's name in share/bash-completion/completions, where bash-completion
# looks for it when the name is first completed; it uses bash-completion's
# helpers.

# Completes the command line of tree_menu or queue_menu ($1, the command as
# typed, tells which) into COMPREPLY.
_adt_menus() {
    local cur prev words cword split
    _init_completion -s || return

    case $prev in
    --encoding)
        mapfile -t COMPREPLY < <(compgen -W 'gbk utf-8' -- "$cur")
        return
        ;;
    --lang)
        mapfile -t COMPREPLY < <(compgen -W 'zh en' -- "$cur")
        return
        ;;
    --file)
        _filedir
        return
        ;;
    --tree)
        return # a preorder description: nothing to offer
        ;;
    esac
    $split && return

    # "--" ends the options, and the programs take no other arguments.
    local i
    for ((i = 1; i < cword; i++)); do
        [[ ${words[i]} == -- ]] && return
    done

    local opts='--draw --encoding --lang --learn -h --help --version'
    case ${1##*/} in
    tree_menu*) opts+=' --step --tree --trace' ;;
    queue_menu*) opts+=' --file' ;;
    esac
    mapfile -t COMPREPLY < <(compgen -W "$opts" -- "$cur")
}
complete -F _adt_menus tree_menu queue_menu
