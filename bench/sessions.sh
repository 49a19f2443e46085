# sessions.sh - the long sessions the bench scripts time, and their median;
# sourced by pipe_ratio.sh and cpu_ratio.sh, which set grafts and rounds.
#
#   tree_menu   option 3, $grafts grafts (option 15, side 1), then 17, 18,
#               19, 20 and 0;
#   queue_menu  option 1, ten appends, then $rounds rounds of 7 (a value), 8
#               and 9, then 0.

# The sessions' stdin, on stdout.
tree_session() {
    printf '3\n\n\n'
    local i
    for ((i = 0; i < grafts; i++)); do printf '15\n1\n\n\n\n'; done
    printf '17\n\n\n18\n\n\n19\n\n\n20\n\n\n0\n'
}
queue_session() {
    printf '1\n\n'
    local i
    for ((i = 0; i < 10; i++)); do printf '7\n%d\n\n' "$i"; done
    for ((i = 0; i < rounds; i++)); do printf '7\n%d\n\n8\n\n9\n\n' "$i"; done
    printf '0\n'
}

# The median of the numbers on stdin, one a line.
median() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
