#!/usr/bin/env bash
# Installs the npm packages in tests/node (assimp built for WebAssembly, an
# outside reader of the exported Lightwave files) exactly as
# package-lock.json pins them. Quick and offline when they are installed
# already. Without them the test that needs them is skipped, so outside CI
# a failed install is only a note; under CI=true it stops the run, as the
# test would fail there anyway.
set -euo pipefail
cd "$(dirname "$0")/../tests/node"

cannot_install() {
    echo "$1: the tests that need tests/node will be skipped." >&2
    if [[ ${CI:-} == true ]]; then
        echo "CI=true, where a skipped test is a failure." >&2
        exit 1
    fi
    exit 0
}

if ! command -v npm >/dev/null 2>&1; then
    cannot_install "npm is missing"
fi
stamp=node_modules/.installed-lock.json
if [[ -f $stamp ]] && cmp -s package-lock.json "$stamp"; then
    exit 0
fi
echo "Installing the npm packages of tests/node ..." >&2
if ! npm ci --prefer-offline --no-audit --no-fund --loglevel=error; then
    cannot_install "npm ci failed (no network?)"
fi
cp package-lock.json "$stamp"
