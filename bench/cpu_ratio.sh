#!/usr/bin/env bash
# cpu_ratio.sh - the CPU time (user + system) of each menu program's long
# session against that of another build of it, such as an earlier commit.
#
# The sessions are those of bench/sessions.sh.
# Both builds run on the same session with stdout into /dev/null, in turn,
# RUNS times each (pairs, the order swapped every pair); the ratio is the
# median CPU time of this build over that of the other.
#
# Usage: bench/cpu_ratio.sh -o OTHER_BUILD_DIR [-b BUILD_DIR] [-r RUNS] [GRAFTS [ROUNDS]]
# Defaults: BUILD_DIR build/default; RUNS 9; GRAFTS 100000; ROUNDS 300000.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/default
other=
runs=9
while getopts "o:b:r:h" opt; do
    case $opt in
    o) other=$OPTARG ;;
    b) build=$OPTARG ;;
    r) runs=$OPTARG ;;
    *)
        sed -n '/^# Usage:/,/^[^#]/s/^# \{0,1\}//p' "$0" >&2
        exit 2
        ;;
    esac
done
shift $((OPTIND - 1))
[[ -n $other ]] || { echo "cpu_ratio.sh: -o OTHER_BUILD_DIR is needed" >&2; exit 2; }
grafts=${1:-100000}
rounds=${2:-300000}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$root/bench/sessions.sh"

# CPU seconds (user + system) of one run of program $1 on input $2.
cpu() {
    local TIMEFORMAT='%U %S'
    { time (cd "$work" && "$1" <"$2" >/dev/null); } 2>&1 | awk '{ printf "%.3f\n", $1 + $2 }'
}

measure() {
    local name=$1 session=$2 mine=$build/$3 theirs=$other/$3
    local input=$work/$name.in a=() b=() i
    for program in "$mine" "$theirs"; do
        [[ -x $program ]] || { echo "cpu_ratio.sh: no program at $program" >&2; exit 1; }
    done
    "$session" >"$input"
    for ((i = 0; i < runs; i++)); do
        if ((i % 2)); then
            b+=("$(cpu "$theirs" "$input")")
            a+=("$(cpu "$mine" "$input")")
        else
            a+=("$(cpu "$mine" "$input")")
            b+=("$(cpu "$theirs" "$input")")
        fi
    done
    local m o
    m=$(printf '%s\n' "${a[@]}" | median)
    o=$(printf '%s\n' "${b[@]}" | median)
    awk -v n="$name" -v m="$m" -v o="$o" 'BEGIN {
        printf "%-10s this %7.3f s  other %7.3f s  ratio %5.2f\n", n, m, o, m / o }'
}

echo "median CPU time of $runs paired runs; tree: $grafts grafts; queue: $rounds rounds"
measure tree_menu tree_session tree/tree_menu
measure queue_menu queue_session queue/queue_menu
