#!/usr/bin/env bash
# Installs the npm packages in tests/node (assimp built for WebAssembly, an
# outside reader of the exported Lightwave files) exactly as
# package-lock.json pins them. Quick and offline when they are installed
# already.
set -euo pipefail
cd "$(dirname "$0")/../tests/node"

if ! command -v npm >/dev/null 2>&1; then
    echo "npm is missing: the tests that need tests/node will be skipped." >&2
    exit 0
fi
stamp=node_modules/.installed-lock.json
if [[ -f $stamp ]] && cmp -s package-lock.json "$stamp"; then
    exit 0
fi
echo "Installing the npm packages of tests/node ..." >&2
npm ci --prefer-offline --no-audit --no-fund --loglevel=error
cp package-lock.json "$stamp"
