#!/usr/bin/env bash
# Checks that the test tools are optional for building but not for testing:
# configured as the default preset but with GoogleTest and Python hidden, the
# programs build, configuring says in one line which tests are left out and
# which Debian packages bring them, and running the tests fails.
# Works in build/no-test-tools, removed first.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build/no-test-tools

fail() { printf '[check-tests-optional] FAIL: %s\n' "$*" >&2; exit 1; }
ok() { printf '[check-tests-optional] ok: %s\n' "$*"; }

rm -rf "$dir"
log=$(cmake --preset default -B "$dir" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
          -DCMAKE_DISABLE_FIND_PACKAGE_Python3=ON 2>&1) || fail "configure failed: $log"
lines=$(grep -i "left out" <<<"$log" || true)
[ "$(wc -l <<<"$lines")" -eq 1 ] && grep -q "libgtest-dev" <<<"$lines" && grep -q "python3" <<<"$lines" ||
    fail "expected one line naming libgtest-dev and python3, got: $lines"
ok "configure says: $lines"

cmake --build "$dir" >/dev/null || fail "the programs do not build"
[ -x "$dir/tree/tree_menu" ] && [ -x "$dir/queue/queue_menu" ] || fail "programs missing"
printf '0\n' | "$dir/tree/tree_menu" >/dev/null || fail "tree_menu does not run"
ok "both programs build and run"

# The default test preset's selection, on this build folder.
if out=$(ctest --test-dir "$dir" --no-tests=error -LE valgrind --output-on-failure 2>&1); then
    fail "the tests passed with GoogleTest and Python missing: $out"
fi
grep -q "Install the Debian packages libgtest-dev python3" <<<"$out" || fail "no install hint: $out"
ok "running the tests fails and names libgtest-dev python3"
rm -rf "$dir"
