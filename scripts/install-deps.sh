#!/usr/bin/env bash
# Installs what the native presets need on Debian 12 (default, valgrind,
# asan, package, bench): compiler, CMake and Ninja, GoogleTest and Python 3
# for the tests, tmux (the --draw checks at a terminal of a given size),
# valgrind, Google Benchmark, dpkg-dev (dpkg-shlibdeps for the .deb's
# dependencies), unzip (to list the packages), gzip for the manual pages,
# man-db (the test that renders them), bash-completion (the test of the
# completions), lintian (the check of the .deb) and strace (the save's fault
# and kill tests). Does nothing, and needs no root, when all of it is
# installed.
# The Windows cross build has its own: scripts/install-windows-deps.sh.
set -euo pipefail
exec "$(dirname "$0")/ensure-packages.sh" g++ cmake ninja-build libgtest-dev python3 tmux valgrind \
    libbenchmark-dev dpkg-dev unzip gzip man-db bash-completion lintian strace
