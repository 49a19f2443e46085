#!/usr/bin/env bash
# Makes sure the given Debian packages are installed, without any prompt:
# those already installed are left alone, and when all of them are, nothing
# else happens (no apt-get, no root needed). Otherwise it runs apt-get update
# and installs the missing ones, as root or through sudo, waiting up to 15
# minutes for the package lock that another apt-get or dpkg may hold.
#
# Usage: scripts/ensure-packages.sh PACKAGE...
set -euo pipefail

log() { printf '[ensure-packages] %s\n' "$*"; }

command -v dpkg-query >/dev/null 2>&1 || { log "no dpkg-query: not a Debian system; install by hand: $*"; exit 1; }

missing=()
for p in "$@"; do
    st=$(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null || true)
    [ "${st:0:2}" = "ii" ] || missing+=("$p")
done
if [ "${#missing[@]}" -eq 0 ]; then
    log "already installed: $*"
    exit 0
fi

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || { log "missing ${missing[*]}, and not root and no sudo to install them"; exit 1; }
    SUDO=(sudo)
fi
log "installing ${missing[*]}"
t0=$(date +%s)
export DEBIAN_FRONTEND=noninteractive
lock=(-o DPkg::Lock::Timeout=900)
"${SUDO[@]}" apt-get "${lock[@]}" update -q
"${SUDO[@]}" apt-get "${lock[@]}" install -y -q --no-install-recommends "${missing[@]}"
log "apt-get update + install took $(($(date +%s) - t0)) s"
