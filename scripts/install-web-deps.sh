#!/usr/bin/env bash
# Installs what the WebAssembly build (the "web" CMake preset) and its tests
# need on Debian 12, without any prompt:
#   - emscripten (Debian's, with its clang and Node.js), cmake and ninja
#   - chromium, which the browser test drives headless
#   - python3 (the dialogue driver)
#   - the free CJK font the page's own font is cut from (fonts-droid-fallback,
#     Apache-2.0) and the tools that cut it (fonttools' pyftsubset, with
#     python3-brotli for WOFF2)
#   - the page's Node packages (xterm.js and its fit addon, puppeteer-core
#     for the browser test) in web/node_modules, by `npm ci` from the pinned
#     web/package-lock.json; puppeteer-core downloads no browser
# Re-running is cheap: apt-get is skipped when everything is present (and
# then no root is needed), and npm ci is skipped when web/node_modules was
# installed from the same lock file.
set -euo pipefail

log() { printf '[install-web-deps] %s\n' "$*"; }
here="$(cd "$(dirname "$0")" && pwd)"

PKGS=(emscripten chromium cmake ninja-build python3 fonts-droid-fallback fonttools python3-brotli)
command -v npm >/dev/null 2>&1 || PKGS+=(npm) # the machine's own Node.js may bring npm
"$here/ensure-packages.sh" "${PKGS[@]}"

for c in emcc node npm chromium cmake ninja python3 pyftsubset; do
    command -v "$c" >/dev/null 2>&1 || { log "still missing command: $c"; exit 1; }
done

web="$here/../web"
# npm ci leaves a copy of the lock file it installed from beside the packages.
stamp="$web/node_modules/.installed-package-lock.json"
if cmp -s "$web/package-lock.json" "$stamp"; then
    log "web/node_modules already installed from web/package-lock.json"
else
    log "npm ci in web/"
    (cd "$web" && npm ci --no-audit --no-fund)
    cp "$web/package-lock.json" "$stamp"
fi
