#!/usr/bin/env bash
# Runs the Windows command-line tool (scripts/build-windows.sh builds it)
# under Wine over a short table, next to the Linux build of the same
# commands: each row runs in a Linux and in a Windows copy of one scratch
# folder, and the Windows run must exit as expected and leave the same
# output (line ends aside) and the same file bytes as the Linux one. Called
# by ./test after the Linux tests.
# Usage: scripts/test-windows.sh [LINUX-POLYPORT-CLI]   (default: build/test's)
# One Wine prefix, build/windows/wineprefix, serves every row and is kept
# for the next run. Without Wine the step is skipped; under CI=true that
# fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/packages.sh
source scripts/checks.sh

skip() {
    echo "Windows tests skipped: $1"
    if [[ ${CI:-} == true ]]; then
        echo "CI=true, where a skipped step is a failure." >&2
        exit 1
    fi
    exit 0
}

if ! command -v wine >/dev/null 2>&1; then
    if [[ $(id -u) -eq 0 ]] && command -v apt-get >/dev/null 2>&1; then
        scripts/ensure-packages.sh "${WINE_PACKAGES[@]}" || true
    fi
    if ! command -v wine >/dev/null 2>&1; then
        echo "Windows tests skipped: Wine is missing (apt-get install ${WINE_PACKAGES[*]})"
        [[ ${CI:-} != true ]] || { echo "CI=true, where a skipped step is a failure." >&2 && exit 1; }
        exit 0
    fi
fi
exe=$root/build/windows/src/cli/polyport-cli.exe
linux_cli=${1:-build/test/src/cli/polyport-cli}
[[ $linux_cli == /* ]] || linux_cli=$root/$linux_cli
[[ -f $exe && -x $linux_cli ]] || { echo "Build $exe and $linux_cli first." >&2 && exit 1; }

echo "== Windows command-line tool under Wine"
started=$(date +%s.%N)
seconds_since() { echo "$(date +%s.%N) $1" | awk '{printf "%.1f", $1 - $2}'; }
source scripts/wine-env.sh
fresh=no
[[ -f $WINEPREFIX/system.reg ]] || fresh=yes
wine_up
prefix_seconds=$(seconds_since "$started")

scratch=$(mktemp -d "${TMPDIR:-/tmp}/polyport-windows.XXXXXX")
trap 'wine_down; [[ $failed -ne 0 ]] || rm -rf "$scratch"' EXIT
mkdir -p "$scratch/linux" "$scratch/windows" "$scratch/out"
samples=$root/examples
out=$scratch/out

# run_side SIDE ARGS...: runs polyport-cli ARGS in that side's copy and
# prints its exit status; its output goes to out/SIDE.out and .err, with
# the carriage returns of Windows' text mode taken out.
run_side() {
    local side=$1 status=0
    local program=("$linux_cli")
    shift
    [[ $side == linux ]] || program=(wine "$exe")
    (cd "$scratch/$side" && "${program[@]}" "$@") >"$out/raw.out" 2>"$out/raw.err" || status=$?
    tr -d '\r' <"$out/raw.out" >"$out/$side.out"
    tr -d '\r' <"$out/raw.err" >"$out/$side.err"
    echo "$status"
}

# Both forms of every path problem at once: letters outside Latin-1 and
# outside the BMP's common range, and spaces.
nonascii="Stadion Müller/Стадион 球场 ß.rav"
# 300 characters and more. Wine has no 260-character limit, so this row
# shows only that nothing of ours limits the length.
deep=$(printf 'level %02d of a scenery folder nested deeply/' 1 2 3 4 5 6 7)
long="${deep}sample copy with a long name.rav"

# name | setup in each copy (shell) | exit | polyport-cli arguments | checks
# checks: stdout, stderr (the same as Linux's, line ends aside), same:FILE
# (the same bytes as Linux's), unchanged:FILE (the bytes of
# examples/sample.rav), written:FILE (the command changed it), tree (the
# same files and folders as Linux's copy). A save that would change nothing
# writes nothing, so each import starts from a RAV file the Linux build
# moved: the import must write it back.
rows=$(cat <<'EOF'
info RAV               | cp "$samples"/sample.rav "$samples"/sample.fsh . | 0 | info sample.rav                  | stdout stderr
info RAV --json        |                                                  | 0 | info --json sample.rav           | stdout stderr
info FSH               |                                                  | 0 | info sample.fsh                  | stdout stderr
info FSH --json        |                                                  | 0 | info --json sample.fsh           | stdout stderr
ascii export           | cp sample.rav round.rav                          | 0 | export round.rav scene.txt --decimals 32 | stdout stderr same:scene.txt
ascii import           | "$linux_cli" move round.rav 1 0 0 >/dev/null     | 0 | import round.rav scene.txt       | stdout stderr written:round.rav unchanged:round.rav
dw export              | cp sample.rav round.rav                          | 0 | export round.rav scene.dw        | stdout stderr same:scene.dw
dw import              | "$linux_cli" move round.rav 1 0 0 >/dev/null     | 0 | import round.rav scene.dw        | stdout stderr written:round.rav same:round.rav
dw import, a warning   | { cat scene.dw; tail -n 21 scene.dw; } >extra.dw | 0 | import round.rav extra.dw        | stdout stderr same:round.rav
lwo export             | cp sample.rav round.rav                          | 0 | export round.rav scene.lwo       | stdout stderr same:scene.lwo
lwo import             | "$linux_cli" move round.rav 1 0 0 >/dev/null     | 0 | import round.rav scene.lwo       | stdout stderr written:round.rav same:round.rav
obj export             | cp sample.rav round.rav                          | 0 | export round.rav scene.obj --fsh sample.fsh | stdout stderr same:scene.obj same:scene.mtl same:crw0.png tree
obj import             | "$linux_cli" move round.rav 1 0 0 >/dev/null     | 0 | import round.rav scene.obj       | stdout stderr written:round.rav same:round.rav
info packed FSH        | cp "$samples"/sample-packed.fsh .                | 0 | info sample-packed.fsh           | stdout stderr
fsh-extract, packed    |                                                  | 0 | fsh-extract sample-packed.fsh images | stdout stderr same:images/000_grs0.png tree
tpl --pictures         | cp "$samples"/sample.fsh crowd.fsh               | 0 | tpl crowd.fsh --select-all --pictures | stdout stderr same:crowd.tpl same:crowd-page0.png same:crowd-page3.png tree
non-ASCII path: info   | mkdir -p "$(dirname "$nonascii")" && cp sample.rav "$nonascii" | 0 | info "$nonascii" | stdout stderr
non-ASCII path: move   |                                                  | 0 | move "$nonascii" 1 0 0           | stdout stderr written:"$nonascii" same:"$nonascii" tree
long path: info        | mkdir -p "$deep" && cp sample.rav "$long"        | 0 | info "$long"                     | stdout stderr
diff                   | cp sample.rav a.rav && cp sample.rav b.rav && "$linux_cli" shade b.rav 40 >/dev/null | 1 | diff a.rav b.rav | stdout stderr
--dry-run              | cp sample.rav d.rav                              | 0 | move d.rav 1 0 0 --dry-run       | stdout stderr unchanged:d.rav
--backup               | cp sample.rav c.rav                              | 0 | move c.rav 1 0 0 --backup        | stdout stderr written:c.rav same:c.rav same:c.rav.bak tree
long path: move        |                                                  | 0 | move "$long" 1 0 0               | stdout stderr written:"$long" same:"$long" tree
EOF
)

while IFS='|' read -r name setup expected arguments checks; do
    name=$(echo $name) expected=$(echo $expected)
    eval "args=($arguments)" && eval "wanted=($checks)"
    reasons=()
    for side in linux windows; do
        (cd "$scratch/$side" && eval "$setup")
        for want in "${wanted[@]}"; do
            [[ $want != written:* ]] || cp "$scratch/$side/${want#*:}" "$out/$side.before"
        done
        status=$(run_side "$side" "${args[@]}")
        [[ $status == "$expected" ]] ||
            reasons+=("$side: exit $status, expected $expected; stderr: $(head -c 300 "$out/$side.err")")
    done
    for want in "${wanted[@]}"; do
        file=${want#*:} win=$scratch/windows/${want#*:}
        case $want in
        stdout | stderr)
            cmp -s "$out/linux.${want#std}" "$out/windows.${want#std}" ||
                reasons+=("$want differs from Linux's:" "$(diff "$out/linux.${want#std}" "$out/windows.${want#std}" | head -n 6 || true)") ;;
        same:*) cmp -s "$scratch/linux/$file" "$win" || reasons+=("$file: not the bytes the Linux build wrote") ;;
        unchanged:*) cmp -s "$samples/sample.rav" "$win" || reasons+=("$file: not the bytes of examples/sample.rav") ;;
        written:*) ! cmp -s "$out/windows.before" "$win" || reasons+=("$file: not written") ;;
        tree)
            diff -q <(cd "$scratch/linux" && find . | sort) <(cd "$scratch/windows" && find . | sort) \
                >/dev/null || reasons+=("the files and folders differ from Linux's copy") ;;
        *) echo "Unknown check $want in row '$name'" >&2 && exit 2 ;;
        esac
    done
    check "$name" "${reasons[@]}"
done <<<"$rows"

# A save that cannot complete leaves what is there: the RAV file becomes a
# folder while the save waits before its replacement (the test hook
# POLYPORT_TEST_BEFORE_REPLACE), and the folder must stay where it is, as
# it would not with Wine's ReplaceFileW.
cd "$scratch/windows"
cp "$samples/sample.rav" interrupted.rav
POLYPORT_TEST_BEFORE_REPLACE=3000 wine "$exe" move interrupted.rav 1 0 0 >"$out/raw.out" 2>"$out/raw.err" &
pid=$! status=0 reasons=()
for _ in $(seq 1 150); do
    ! compgen -G ".polyport-*.tmp" >/dev/null || break
    kill -0 "$pid" 2>/dev/null || { reasons+=("the save did not wait: is POLYPORT_TEST_BEFORE_REPLACE honoured?") && break; }
    sleep 0.1
done
sleep 0.5 # the temporary file is complete well within this; the pause lasts 3 s
rm interrupted.rav && mkdir interrupted.rav
wait "$pid" || status=$?
[[ $status == 1 ]] || reasons+=("exit $status, expected 1")
grep -q "Error writing" "$out/raw.err" || reasons+=("no \"Error writing\" on stderr: $(head -c 300 "$out/raw.err")")
[[ -d interrupted.rav && -z $(ls -A interrupted.rav) ]] || reasons+=("the folder in the RAV file's place is gone or not empty")
! compgen -G ".polyport-*.tmp" >/dev/null || reasons+=("the temporary file was left behind")
check "a save that cannot replace leaves the folder" "${reasons[@]}"
cd "$root"

# render draws with Qt, which the Windows build has not: it says so and
# writes nothing.
cd "$scratch/windows"
status=0 reasons=()
wine "$exe" render sample.rav scene.png >"$out/raw.out" 2>"$out/raw.err" || status=$?
[[ $status == 1 ]] || reasons+=("exit $status, expected 1")
grep -q "render needs a build of polyport-cli with Qt" "$out/raw.err" || reasons+=("stderr: $(head -c 300 "$out/raw.err")")
[[ ! -e scene.png ]] || reasons+=("scene.png was written")
check "render says it needs Qt" "${reasons[@]}"
cd "$root"

prefix_note="Wine prefix kept from an earlier run, up in $prefix_seconds s"
[[ $fresh == no ]] || prefix_note="new Wine prefix made in $prefix_seconds s"
echo "windows: $passed passed, $failed failed ($(seconds_since "$started") s; $prefix_note)"
[[ $failed -eq 0 ]] || { echo "The copies stay in $scratch" >&2 && exit 1; }
