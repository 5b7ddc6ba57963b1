#!/usr/bin/env bash
# Installs the Debian packages Polyport needs when any is missing. Quick when
# everything is there: one dpkg-query, no network.
# Usage: scripts/ensure-packages.sh PACKAGE...
set -euo pipefail

if ! command -v dpkg-query >/dev/null 2>&1; then
    echo "Not a Debian-based system: install the equivalents of these packages yourself: $*" >&2
    echo "then build with the plain CMake commands in README.md." >&2
    exit 0
fi

# An installed package may also stand in for others (a nodejs build that
# bundles npm provides "npm"); installing those would replace it.
provided=" $(dpkg-query -W -f='${Status}|${Provides}\n' 2>/dev/null |
    sed -n 's/^install ok installed|//p' | tr ',' '\n' | sed 's/ *(.*//; s/:.*//; s/^ *//' |
    tr '\n' ' ') "

missing=()
for package in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    if [[ "$status" != "install ok installed" && "$provided" != *" $package "* ]]; then
        missing+=("$package")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
    echo "Polyport needs these packages: ${missing[*]}" >&2
    echo "Install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi

echo "Installing ${missing[*]} ..." >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
