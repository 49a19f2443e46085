#!/usr/bin/env bash
# Installs what the Windows cross build (the "windows" CMake presets) needs on
# Debian 12 and prepares a Wine prefix, without any prompt and without a
# display:
#   - MinGW-w64 x86_64 cross compilers (the toolchain uses the *-posix ones)
#   - Wine able to run 64-bit .exe files (wine = /usr/bin/wine wrapper,
#     wine64 = the 64-bit loader, wine64-preloader = its address-space helper)
#   - tmux (the Windows tests read the programs off a Wine console in it)
#   - cmake, ninja, the GoogleTest sources (/usr/src/googletest, built with the
#     cross compiler by tests/CMakeLists.txt) and python3 (dialogue driver)
# Re-running is cheap: apt-get is skipped when everything is present (and
# then no root is needed), and an existing Wine prefix is reused.
#
# Usage: scripts/install-windows-deps.sh [WINEPREFIX_DIR]
#   default prefix: $WINEPREFIX, else $HOME/.wine
set -euo pipefail

log() { printf '[install-windows-deps] %s\n' "$*"; }
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }

PKGS=(g++-mingw-w64-x86-64 wine wine64 wine64-preloader cmake ninja-build googletest python3 tmux)
CMDS=(x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-g++-posix wine wineboot wineserver cmake ninja
      python3)

"$(dirname "$0")/ensure-packages.sh" "${PKGS[@]}"

for c in "${CMDS[@]}"; do
    command -v "$c" >/dev/null 2>&1 || { log "still missing command: $c"; exit 1; }
done

# ---- Wine prefix ---------------------------------------------------------
export WINEPREFIX="${1:-${WINEPREFIX:-$HOME/.wine}}"
export WINEARCH=win64
export WINEDEBUG=-all
# empty value = disabled: no Mono / Gecko download prompts
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

if [ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/.install-windows-deps-done" ]; then
    log "Wine prefix $WINEPREFIX already prepared"
else
    log "preparing Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    t0=$(now)
    wineboot -i </dev/null >/dev/null 2>&1 || true
    wineserver -w
    # no X server here: use the null graphics driver so nothing tries to open
    # a window (and nothing prints "no driver could be loaded")
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f \
        </dev/null >/dev/null 2>&1
    wineserver -w
    [ -f "$WINEPREFIX/system.reg" ] || { log "wineboot failed to create $WINEPREFIX"; exit 1; }
    touch "$WINEPREFIX/.install-windows-deps-done"
    log "first Wine start (wineboot -i) took $(elapsed "$t0") s"
fi

t0=$(now)
# through wine-run.sh: it leaves the wineserver detached from our pipe, so
# the $(...) does not wait for the server to exit
out=$("$(dirname "$0")/wine-run.sh" cmd /c echo wine-ok </dev/null 2>/dev/null | tr -d '\r')
[ "$out" = "wine-ok" ] || { log "wine smoke test failed: '$out'"; exit 1; }
log "wine smoke test ok ($(elapsed "$t0") s); $(wine --version)"
