#!/usr/bin/env bash
# The bash completion of both programs, as bash-completion runs it: each case
# is a command line typed so far and the words offered for its last word.
# Usage: completion_test.sh COMPLETION_FILE
# Exit status 77 (the test is skipped) where bash-completion is missing.
set -u
main=/usr/share/bash-completion/bash_completion
if [ ! -r "$main" ]; then
    echo "skipped: bash-completion is not installed (no $main)"
    exit 77
fi
# shellcheck source=/dev/null
source "$main"
# shellcheck source=/dev/null
source "$1" || exit 1

dir=$(mktemp -d) || exit 1
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/saves" && touch "$dir/saves/q1.dat" "$dir/saves/q2.dat" "$dir/other" || exit 1

# Completes line (the cursor at its end) the way bash hands it over: words
# split at blanks and around "=" (a word break), a trailing blank starting a
# new empty word. Prints the offers sorted, one blank between them.
complete_line() {
    local line=$1 word
    COMP_WORDS=()
    for word in $line; do
        while [[ $word == *=* ]]; do
            [ -n "${word%%=*}" ] && COMP_WORDS+=("${word%%=*}")
            COMP_WORDS+=("=")
            word=${word#*=}
        done
        [ -n "$word" ] && COMP_WORDS+=("$word")
    done
    [[ $line == *" " || $line == *= ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMPREPLY=()
    _adt_menus "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
    printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd ' '
}

failures=0
while IFS='|' read -r line expected; do
    [ -z "$line" ] && continue
    line=${line//DIR/$dir}
    expected=${expected//DIR/$dir}
    actual=$(complete_line "$line")
    if [ "$actual" != "$expected" ]; then
        printf 'FAIL: "%s" offers "%s", expected "%s"\n' "$line" "$actual" "$expected"
        failures=$((failures + 1))
    fi
done <<'CASES'
tree_menu -|--draw --encoding --help --lang --learn --step --trace --tree --version -h
queue_menu -|--draw --encoding --file --help --lang --learn --version -h
tree_menu --e|--encoding
tree_menu --draw --t|--trace --tree
tree_menu --f|
queue_menu --t|
./build/tree/tree_menu --tra|--trace
tree_menu --encoding |gbk utf-8
queue_menu --encoding u|utf-8
tree_menu --encoding=g|gbk
queue_menu --lang |en zh
tree_menu --tree A|
tree_menu --draw=-|
tree_menu -- -|
queue_menu --file DIR/saves/q|DIR/saves/q1.dat DIR/saves/q2.dat
queue_menu --draw --file=DIR/saves/q2|DIR/saves/q2.dat
CASES
[ "$failures" -eq 0 ] && echo "all completion cases pass"
[ "$failures" -eq 0 ]
