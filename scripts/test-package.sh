#!/usr/bin/env bash
# Checks the packages scripts/package.sh wrote into dist/: the Debian
# package unpacked into a scratch root must run from there, declare every
# library its programs load and carry a working menu entry; the Windows zip
# must hold texts Windows editors show and a program of its version.
# Usage: scripts/test-package.sh [LINUX-POLYPORT-CLI]   (default: build/test's)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/checks.sh
linux_cli=${1:-build/test/src/cli/polyport-cli}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$(dirname "$linux_cli")/../../CMakeCache.txt")
deb=$(ls dist/polyport_"${version}"_*.deb)
echo "== Packages"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/polyport-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
dpkg-deb -x "$deb" "$root"
cli=$root/usr/bin/polyport-cli

reasons=()
"$cli" --help >"$scratch/help" && grep -q '^Usage: polyport-cli' "$scratch/help" || reasons+=("no usage line")
"$cli" info examples/sample.rav >"$scratch/info" 2>&1 || reasons+=("info: exit $?")
"$linux_cli" info examples/sample.rav | cmp -s - "$scratch/info" || reasons+=("info differs from the build's program")
check "deb: polyport-cli --help and info run from the unpacked package" "${reasons[@]}"

# Every library a program names comes from a package the .deb depends on.
# dpkg knows a library by the path its package installed, which the merged
# /lib and /usr/lib and the version links may hide.
owner() {
    local real
    real=$(realpath "$1")
    for path in "$1" "$real" "${real#/usr}" "/usr$1"; do
        dpkg -S "$path" 2>/dev/null | head -n 1 | cut -d: -f1 | grep . && return
    done
    return 0
}
reasons=()
depends=" $(dpkg-deb -f "$deb" Depends | sed 's/([^)]*)//g; s/[|,]/ /g') "
for program in "$root"/usr/bin/*; do
    for library in $(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
        path=$(ldd "$program" | awk -v lib="$library" '$1 == lib && $3 ~ /^\// {print $3}')
        package=$([[ -z $path ]] || owner "$path")
        [[ -n $package && $depends == *" $package "* ]] ||
            reasons+=("${program##*/}: $library (${package:-not found}) is not among the dependencies")
    done
done
check "deb: its dependencies cover every library the programs load" "${reasons[@]}"

reasons=()
desktop=$root/usr/share/applications/polyport.desktop
[[ -x $root/usr/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop") ]] || reasons+=("Exec names no program of it")
compgen -G "$root/usr/share/icons/hicolor/*/apps/$(sed -n 's/^Icon=//p' "$desktop").png" >/dev/null ||
    reasons+=("Icon names no icon of it")
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$root/usr/bin/polyport" examples/sample.rav >"$scratch/window" 2>&1 ||
    status=$?
[[ $status == 124 ]] || reasons+=("the window ended with $status before it was stopped: $(head -c 300 "$scratch/window")")
check "deb: the menu entry's program and icon are there, and the window starts" "${reasons[@]}"

folder=polyport-$version-windows-x86_64
(cd "$scratch" && cmake -E tar xf "$OLDPWD/dist/$folder.zip")
reasons=()
for text in README.txt LICENSE.txt THIRD-PARTY.txt; do
    [[ -s $scratch/$folder/$text ]] && ! grep -qv $'\r$' "$scratch/$folder/$text" ||
        reasons+=("$text is missing or has lines without CR LF")
done
if command -v wine >/dev/null 2>&1; then
    source scripts/wine-env.sh
    wine_up
    said=$(wine "$scratch/$folder/polyport-cli.exe" --version 2>&1 | tr -d '\r') || true
    wine_down
    [[ $said == "polyport-cli $version" ]] || reasons+=("polyport-cli.exe --version under Wine says: $said")
fi
check "zip: texts with CR LF, and polyport-cli.exe of version $version" "${reasons[@]}"

echo "packages: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
