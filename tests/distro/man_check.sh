#!/bin/sh
# Renders manual pages as man shows them on an 80-column terminal and fails
# on any warning of the formatter (an unknown macro or escape, a line that
# cannot be set), on a failed run, or on a page without its NAME section.
# Usage: man_check.sh PAGE...
# Exit status 77 (the test is skipped) where man is missing.
if ! command -v man >/dev/null 2>&1; then
    echo "skipped: no man program to render the pages"
    exit 77
fi
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
status=0
for page in "$@"; do
    if ! MANWIDTH=80 man --warnings -l "$page" >"$tmp/out" 2>"$tmp/err"; then
        echo "FAIL: man could not render $page:"
        cat "$tmp/err"
        status=1
    elif [ -s "$tmp/err" ]; then
        echo "FAIL: warnings while rendering $page:"
        cat "$tmp/err"
        status=1
    elif ! grep -q '^NAME$' "$tmp/out"; then
        echo "FAIL: $page rendered without a NAME section"
        status=1
    else
        echo "ok: $page renders without warnings"
    fi
done
exit $status
