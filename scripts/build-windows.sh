#!/usr/bin/env bash
# Cross-builds the Windows command-line tool, build/windows/src/cli/polyport-cli.exe
# (x86-64, statically linked: it needs no DLL beside it), with mingw-w64 from
# the same CMake files as the Linux build; no window, no tests. The build
# fails when the .exe imports a DLL that Windows does not ship.
# Installs the Debian packages it misses (as root). Quick when nothing changed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/ensure-packages.sh "${WINDOWS_BUILD_PACKAGES[@]}"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# The preset holds the options (CMakePresets.json, "windows-cross").
if ! { nice cmake --preset windows-cross && nice cmake --build --preset windows-cross -- -j"$(nproc 2>/dev/null || echo 2)"; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "Windows build failed in build/windows" >&2
    exit 1
fi
echo "Built build/windows/src/cli/polyport-cli.exe (imports only Windows' own DLLs)"
