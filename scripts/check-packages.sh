#!/usr/bin/env bash
# Checks the packages that the package presets made: each holds exactly the
# two programs, the README and the LICENSE where they belong (the .deb and the
# .tar.gz also the manual pages and the bash completions, the .deb also the
# copyright file and the changelog), its compressed files carry no name or
# time stamp, lintian finds no error or warning in the .deb (where lintian is
# installed), and the programs in it start and end cleanly (menu shown,
# option 0, exit status 0). The site's zip holds the whole site, the
# LICENSE, the licences of what it bundles and a README.txt, its font is
# WOFF2, the site is under 300 KB gzipped, and the programs in it start
# under Node.
#   scripts/check-packages.sh linux     build/package: the .deb and the .tar.gz
#   scripts/check-packages.sh windows   build/windows-package: the .zip (runs
#                                       the .exe files under Wine)
#   scripts/check-packages.sh web       build/web: the site's .zip
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

fail() { printf '[check-packages] FAIL: %s\n' "$*" >&2; exit 1; }
ok() { printf '[check-packages] ok: %s\n' "$*"; }

# The one file matching a pattern, or failure.
one() {
    local files=($1)
    [ "${#files[@]}" -eq 1 ] && [ -f "${files[0]}" ] || fail "expected one file $1, found: ${files[*]}"
    printf '%s\n' "${files[0]}"
}

# Compares a listing (files only, sorted) with the expected one.
expect_files() {
    local what=$1 expected=$2 actual=$3
    [ "$actual" = "$expected" ] || fail "$what holds:
$actual
expected:
$expected"
    ok "$what holds $(echo "$expected" | tr '\n' ' ')"
}

# Runs a program (with the given runner) on the input 0: it must show its
# menu and end with exit status 0.
smoke() {
    local what=$1 marker=$2
    shift 2
    local out status=0
    out=$(printf '0\n' | "$@" 2>&1) || status=$?
    [ "$status" -eq 0 ] || fail "$what ended with status $status"
    grep -q "$marker" <<<"$out" || fail "$what showed no menu: $out"
    ok "$what starts, shows its menu and ends on option 0"
}

# Fails unless each given file is gzip data with no file name and no time
# stamp in its header (gzip -n), so that the same input gives the same bytes.
reproducible_gzip() {
    local f head
    for f; do
        head=$(od -An -tx1 -N8 "$f" | tr -d ' \n')
        [ "$head" = 1f8b080000000000 ] || fail "$f: not gzip -n data (header $head)"
    done
    ok "$(($#)) compressed files without name or time stamp"
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

case "${1:-}" in
linux)
    deb=$(one "build/package/adt-menus_*_*.deb")
    expect_files "$deb" "./usr/bin/queue_menu
./usr/bin/tree_menu
./usr/share/bash-completion/completions/queue_menu
./usr/share/bash-completion/completions/tree_menu
./usr/share/doc/adt-menus/LICENSE
./usr/share/doc/adt-menus/README.md
./usr/share/doc/adt-menus/changelog.gz
./usr/share/doc/adt-menus/copyright
./usr/share/man/man1/queue_menu.1.gz
./usr/share/man/man1/tree_menu.1.gz" "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $NF }' | sort)"
    for field in Package Version Maintainer Section Priority Depends; do
        ok "$deb $field: $(dpkg-deb -f "$deb" "$field")"
    done
    if command -v lintian >/dev/null 2>&1; then
        lintian --fail-on error,warning "$deb" || fail "lintian finds errors or warnings in $deb"
        ok "lintian finds no error or warning in $deb"
    else
        ok "lintian is not installed: $deb not checked by it"
    fi
    dpkg-deb -x "$deb" "$tmp/deb"
    reproducible_gzip "$tmp"/deb/usr/share/man/man1/*.gz "$tmp/deb/usr/share/doc/adt-menus/changelog.gz"
    smoke "tree_menu of the .deb" "Menu for Bitree" "$tmp/deb/usr/bin/tree_menu"
    smoke "queue_menu of the .deb" "Menu for Linear Table" "$tmp/deb/usr/bin/queue_menu"

    tgz=$(one "build/package/adt_menus-*-Linux.tar.gz")
    top=$(basename "$tgz" .tar.gz)
    expect_files "$tgz" "$top/bin/queue_menu
$top/bin/tree_menu
$top/share/bash-completion/completions/queue_menu
$top/share/bash-completion/completions/tree_menu
$top/share/doc/adt-menus/LICENSE
$top/share/doc/adt-menus/README.md
$top/share/man/man1/queue_menu.1.gz
$top/share/man/man1/tree_menu.1.gz" "$(tar tzvf "$tgz" | awk '$1 !~ /^d/ { print $NF }' | sort)"
    ;;
windows)
    zip=$(one "build/windows-package/adt_menus-*-win64.zip")
    top=$(basename "$zip" .zip)
    expect_files "$zip" "$top/LICENSE
$top/README.md
$top/queue_menu.exe
$top/tree_menu.exe" "$(unzip -Z1 "$zip" | grep -v '/$' | sort)"
    unzip -q "$zip" -d "$tmp"
    smoke "tree_menu.exe of the .zip" "Menu for Bitree" "$root/scripts/wine-run.sh" "$tmp/$top/tree_menu.exe"
    smoke "queue_menu.exe of the .zip" "Menu for Linear Table" "$root/scripts/wine-run.sh" "$tmp/$top/queue_menu.exe"
    ;;
web)
    zip=$(one "build/web/adt_menus-*-web.zip")
    top=$(basename "$zip" .zip)
    expect_files "$zip" "$(printf "$top/%s\n" LICENSE README.txt addon-fit.js adt-cjk.woff2 app.js index.html \
        licenses/Apache-2.0.txt licenses/addon-fit.js.txt licenses/adt-cjk.woff2-copyright.txt licenses/xterm.js.txt \
        queue_menu.js queue_menu.wasm style.css texts.js tree_menu.js tree_menu.wasm xterm.css xterm.js)" \
        "$(unzip -Z1 "$zip" | grep -v '/$' | sort)"
    unzip -q "$zip" -d "$tmp"
    [ "$(head -c4 "$tmp/$top/adt-cjk.woff2")" = wOF2 ] || fail "adt-cjk.woff2 is not WOFF2"
    grep -q 'python3 -m http.server' "$tmp/$top/README.txt" || fail "README.txt does not say how to serve the folder"
    size=0
    while IFS= read -r -d '' f; do
        size=$((size + $(gzip -9c "$f" | wc -c)))
    done < <(find "$tmp/$top" -type f -print0)
    [ "$size" -le 300000 ] || fail "the site is $size bytes gzipped, over 300 KB"
    ok "the site is $size bytes gzipped (font $(stat -c %s "$tmp/$top/adt-cjk.woff2") bytes)"
    host=(node --no-experimental-fetch "$root/tests/web/node_host.js")
    smoke "tree_menu.js of the .zip" "Menu for Bitree" "${host[@]}" "$tmp/$top/tree_menu.js"
    smoke "queue_menu.js of the .zip" "Menu for Linear Table" "${host[@]}" "$tmp/$top/queue_menu.js"
    ;;
*)
    fail "usage: $0 linux|windows|web"
    ;;
esac
