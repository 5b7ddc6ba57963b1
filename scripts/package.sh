#!/usr/bin/env bash
# Makes the two packages in dist/:
#   polyport_VERSION_ARCH.deb                 (CPack, from a Linux build with the window)
#   polyport-VERSION-windows-x86_64.zip       (polyport-cli.exe and its texts)
# Usage: scripts/package.sh [BUILD-DIR]   BUILD-DIR: a configured and built
# Linux build with the window (default build/run, which ./run makes).
# Builds the Windows tool when needed (scripts/build-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
build=${1:-build/run}
if [[ ! -f $build/CPackConfig.cmake ]]; then
    echo "$build holds no configured Linux build: build it first (./run, ./test)." >&2
    exit 1
fi
scripts/ensure-packages.sh "${PACKAGE_PACKAGES[@]}"
scripts/build-windows.sh >/dev/null

# Configured again: the packaging tools may have arrived since.
cmake -S . -B "$build" >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
staging=build/package
rm -rf "$staging"
mkdir -p "$staging" dist

# The Debian package: CPack installs the build into a scratch root and packs it.
log=$staging/cpack.log
if ! cpack --config "$build/CPackConfig.cmake" -B "$staging/deb" >"$log" 2>&1; then
    cat "$log" >&2
    echo "CPack failed" >&2
    exit 1
fi
deb=$(find "$staging/deb" -maxdepth 1 -name "polyport_${version}_*.deb")
rm -f dist/polyport_"${version}"_*.deb
mv "$deb" dist/
echo "Wrote dist/$(basename "$deb")"

# The zip: one folder, texts with CR LF as Windows editors expect them.
name=polyport-$version-windows-x86_64
mkdir -p "$staging/zip/$name"
crlf() { sed 's/\r$//; s/$/\r/'; }
cp build/windows/src/cli/polyport-cli.exe "$staging/zip/$name/"
sed "s/@VERSION@/$version/" packaging/README-windows.txt | crlf >"$staging/zip/$name/README.txt"
crlf <LICENSE >"$staging/zip/$name/LICENSE.txt"
{
    cat docs/THIRD-PARTY.md
    printf '\n## Appendix: the mingw-w64 runtime, as Debian ships its notices\n\n'
    cat /usr/share/doc/mingw-w64-x86-64-dev/copyright
} | crlf >"$staging/zip/$name/THIRD-PARTY.txt"
rm -f "dist/$name.zip"
(cd "$staging/zip" && cmake -E tar cf "$OLDPWD/dist/$name.zip" --format=zip "$name")
echo "Wrote dist/$name.zip"
