#!/bin/sh
# Runs a Windows program under Wine quietly: no Wine debug chatter, no
# Mono/Gecko prompts, no window. cmake/mingw-w64-x86_64.cmake makes it the
# CMAKE_CROSSCOMPILING_EMULATOR, so ctest, gtest_discover_tests and the
# dialogue driver (--emulator) run every .exe through it.
# Usage: scripts/wine-run.sh program.exe [args...]
# Exit status: the program's exit code modulo 256 (exit(-2) -> 254).
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
unset DISPLAY WAYLAND_DISPLAY
prefix="${WINEPREFIX:-$HOME/.wine}"
if [ ! -f "$prefix/system.reg" ]; then
    # first use of this prefix: create it silently (takes ~15 s once);
    # scripts/install-windows-deps.sh normally has done it already
    wineboot -i </dev/null >/dev/null 2>&1
    wineserver -w
fi
# Start the wineserver and Wine's background services with their output
# detached, kept until 30 s idle (WINE_RUN_PERSIST). Otherwise the ones that
# the program's own wine start would hold our stdout/stderr open until they
# exit, and callers that read to EOF (ctest) would wait for them each run
# (~2.7 s per test). wineserver -p exits 2 when a server is already running.
if wineserver -p"${WINE_RUN_PERSIST:-30}" </dev/null >/dev/null 2>&1; then
    wine wineboot </dev/null >/dev/null 2>&1
fi
exec wine "$@"
