#!/usr/bin/env bash
# pipe_ratio.sh - how many times longer than cat each menu program takes to
# push a long session's output through a pipe.
#
# The sessions are those of bench/sessions.sh.
# Each program runs on its session with stdout piped into `wc -c`; so does
# `cat` of that program's own output, saved by a first run. The two
# commands run alternately RUNS times each; the ratio is the median time of
# the program over the median time of cat. Timing uses bash's own clock
# (EPOCHREALTIME), which times a whole pipeline and lets runs alternate.
#
# Usage: bench/pipe_ratio.sh [-t TREE_MENU] [-q QUEUE_MENU] [-r RUNS] [GRAFTS [ROUNDS]]
# Defaults: the programs of build/bench, else of build/default; RUNS 5;
# GRAFTS 100000; ROUNDS 300000.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
built() { # the program $1 of build/bench, else of build/default
    local dir
    for dir in bench default; do
        if [[ -x $root/build/$dir/$1 ]]; then
            echo "$root/build/$dir/$1"
            return
        fi
    done
    echo "$root/build/default/$1"
}

tree=$(built tree/tree_menu)
queue=$(built queue/queue_menu)
runs=5
while getopts "t:q:r:h" opt; do
    case $opt in
    t) tree=$OPTARG ;;
    q) queue=$OPTARG ;;
    r) runs=$OPTARG ;;
    *)
        sed -n '/^# Usage:/,/^[^#]/s/^# \{0,1\}//p' "$0" >&2
        exit 2
        ;;
    esac
done
shift $((OPTIND - 1))
grafts=${1:-100000}
rounds=${2:-300000}

for program in "$tree" "$queue"; do
    [[ -x $program ]] || { echo "pipe_ratio.sh: no program at $program (build it first)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$root/bench/sessions.sh"

# Seconds (with microseconds) that running "$@" takes.
seconds() {
    local start=$EPOCHREALTIME
    "$@"
    awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.6f\n", b - a }'
}

run_program() { "$1" <"$2" | wc -c >/dev/null; }
# shellcheck disable=SC2002 # cat into the pipe is the yardstick itself
run_cat() { cat "$1" | wc -c >/dev/null; }

# Prints the line of one program: its output size, both medians, the ratio.
measure() {
    local name=$1 program=$2 session=$3
    local input=$work/$name.in output=$work/$name.out
    "$session" >"$input"
    # The program runs in the work folder: the queue may touch data.dat there.
    (cd "$work" && "$program" <"$input" >"$output")
    local mine=() cats=() i
    for ((i = 0; i < runs; i++)); do
        mine+=("$(cd "$work" && seconds run_program "$program" "$input")")
        cats+=("$(seconds run_cat "$output")")
    done
    local m c
    m=$(printf '%s\n' "${mine[@]}" | median)
    c=$(printf '%s\n' "${cats[@]}" | median)
    awk -v n="$name" -v s="$(wc -c <"$output")" -v m="$m" -v c="$c" 'BEGIN {
        printf "%-10s %7.1f MB  program %7.3f s  cat %7.3f s  ratio %5.1fx\n", n, s / 1e6, m, c, m / c }'
}

echo "median of $runs alternating runs; tree: $grafts grafts; queue: $rounds rounds"
measure tree_menu "$tree" tree_session
measure queue_menu "$queue" queue_session
