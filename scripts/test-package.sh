#!/usr/bin/env bash
# Checks the packages scripts/package.sh wrote into dist/: the Debian
# package unpacked into a scratch root must run from there, declare every
# library its programs load and carry a working menu entry; the Windows zip
# must hold a tool of the same version and texts Windows editors show.
# Usage: scripts/test-package.sh [LINUX-POLYPORT-CLI]   (default: build/test's)
set -euo pipefail
cd "$(dirname "$0")/.."
linux_cli=${1:-build/test/src/cli/polyport-cli}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$(dirname "$linux_cli")/../../CMakeCache.txt")
deb=$(ls dist/polyport_"${version}"_*.deb)
zip=dist/polyport-$version-windows-x86_64.zip

echo "== Packages"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/polyport-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0
report() { # NAME REASON...
    local name=$1
    shift
    if [[ $# -eq 0 ]]; then
        passed=$((passed + 1))
        printf 'ok    %s\n' "$name"
    else
        failed=$((failed + 1))
        printf 'FAIL  %s\n' "$name"
        printf '        %s\n' "$@"
    fi
}

root=$scratch/root
dpkg-deb -x "$deb" "$root"
cli=$root/usr/bin/polyport-cli

reasons=()
"$cli" --help >"$scratch/help" 2>&1 || reasons+=("exit $?")
grep -q '^Usage: polyport-cli' "$scratch/help" || reasons+=("no usage line: $(head -c 200 "$scratch/help")")
report "deb: polyport-cli --help" "${reasons[@]}"

reasons=()
"$cli" info examples/sample.rav >"$scratch/info" 2>&1 || reasons+=("exit $?")
"$linux_cli" info examples/sample.rav >"$scratch/info.build" 2>&1 || true
cmp -s "$scratch/info" "$scratch/info.build" || reasons+=("output differs from the build's own program")
report "deb: polyport-cli info examples/sample.rav" "${reasons[@]}"

reasons=()
[[ $("$cli" --version) == "polyport-cli $version" ]] || reasons+=("--version says $("$cli" --version)")
report "deb: the program's version is the package's ($version)" "${reasons[@]}"

# Every library a program asks for by name comes from a package the .deb
# depends on; libraries those load in turn are their packages' business.
reasons=()
# dpkg knows a library by the path its package installed, which /lib and
# /usr/lib (merged on newer systems) and the version links may hide.
owner() {
    local real
    real=$(realpath "$1")
    for candidate in "$1" "$real" "${real#/usr}" "/usr$1"; do
        dpkg -S "$candidate" 2>/dev/null | head -n 1 | cut -d: -f1 | grep . && return
    done
    return 0
}
depends=" $(dpkg-deb -f "$deb" Depends | sed 's/([^)]*)//g; s/[|,]/ /g') "
for program in "$root"/usr/bin/*; do
    mapfile -t needed < <(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
    for library in "${needed[@]}"; do
        path=$(ldd "$program" | awk -v lib="$library" '$1 == lib {print $3}')
        if [[ -z $path || $path == "not" ]]; then
            reasons+=("$(basename "$program"): $library not found")
            continue
        fi
        package=$(owner "$path")
        [[ -n $package && $depends == *" $package "* ]] ||
            reasons+=("$(basename "$program"): $library (package ${package:-unknown}) is not among the dependencies")
    done
done
report "deb: dependencies cover every library the programs load" "${reasons[@]}"

reasons=()
desktop=$root/usr/share/applications/polyport.desktop
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[[ -x $root/usr/bin/$exec_name ]] || reasons+=("Exec=$exec_name is not a program of the package")
compgen -G "$root/usr/share/icons/hicolor/*/apps/$icon_name.png" >/dev/null ||
    reasons+=("Icon=$icon_name is not an icon of the package")
report "deb: the menu entry starts a program of the package and finds its icon" "${reasons[@]}"

# The window starts (no missing library or plugin) and keeps running until stopped.
reasons=()
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$root/usr/bin/polyport" examples/sample.rav \
    >"$scratch/window" 2>&1 || status=$?
[[ $status == 124 ]] || reasons+=("exit $status before it was stopped: $(head -c 300 "$scratch/window")")
report "deb: the window starts" "${reasons[@]}"

unpacked=$scratch/zip
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$OLDPWD/$zip")
folder=$unpacked/polyport-$version-windows-x86_64
reasons=()
for text in README.txt LICENSE.txt THIRD-PARTY.txt; do
    if [[ ! -s $folder/$text ]]; then
        reasons+=("$text is missing")
    elif grep -qv $'\r$' "$folder/$text"; then
        reasons+=("$text has lines without CR LF")
    fi
done
grep -q "Polyport $version" "$folder/README.txt" 2>/dev/null || reasons+=("README.txt names no version $version")
report "zip: README, LICENSE and THIRD-PARTY with CR LF line ends" "${reasons[@]}"

reasons=()
if command -v wine >/dev/null 2>&1; then
    source scripts/wine-env.sh
    wine_up
    said=$(wine "$folder/polyport-cli.exe" --version 2>&1 | tr -d '\r') || reasons+=("exit $?")
    wine_down
    [[ $said == "polyport-cli $version" ]] || reasons+=("--version says: $said")
    report "zip: polyport-cli.exe --version under Wine" "${reasons[@]}"
else
    echo "skip  zip: polyport-cli.exe --version (no Wine)"
fi

echo "packages: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
