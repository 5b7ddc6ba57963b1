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
    command -v wine >/dev/null 2>&1 ||
        skip "Wine is missing (apt-get install ${WINE_PACKAGES[*]})"
fi
exe=$root/build/windows/src/cli/polyport-cli.exe
linux_cli=$(realpath "${1:-build/test/src/cli/polyport-cli}")
for program in "$exe" "$linux_cli"; do
    if [[ ! -f $program ]]; then
        echo "$program is missing: build it first (scripts/build-windows.sh, ./test)." >&2
        exit 1
    fi
done

echo "== Windows command-line tool under Wine"
started=$(date +%s.%N)
seconds_since() { echo "$(date +%s.%N) $1" | awk '{printf "%.1f", $1 - $2}'; }

source scripts/wine-env.sh
fresh=no
[[ -f $WINEPREFIX/system.reg ]] || fresh=yes
wine_up
prefix_seconds=$(seconds_since "$started")

scratch=$(mktemp -d "${TMPDIR:-/tmp}/polyport-windows.XXXXXX")
cleanup() {
    wine_down
    if [[ ${failed:-1} -eq 0 ]]; then rm -rf "$scratch"; fi
}
trap cleanup EXIT
mkdir -p "$scratch/linux" "$scratch/windows" "$scratch/out"
samples=$root/examples

# Runs polyport-cli ARGS in the side's copy; its output goes to out/SIDE.*
# with the carriage returns of Windows' text mode taken out.
run_side() {
    local side=$1
    shift
    local status=0
    if [[ $side == linux ]]; then
        (cd "$scratch/linux" && "$linux_cli" "$@") >"$scratch/out/raw.out" 2>"$scratch/out/raw.err" ||
            status=$?
    else
        (cd "$scratch/windows" && wine "$exe" "$@") >"$scratch/out/raw.out" 2>"$scratch/out/raw.err" ||
            status=$?
    fi
    tr -d '\r' <"$scratch/out/raw.out" >"$scratch/out/$side.out"
    tr -d '\r' <"$scratch/out/raw.err" >"$scratch/out/$side.err"
    echo "$status"
}

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
non-ASCII path: info   | mkdir -p "$(dirname "$nonascii")" && cp sample.rav "$nonascii" | 0 | info "$nonascii" | stdout stderr
non-ASCII path: move   |                                                  | 0 | move "$nonascii" 1 0 0           | stdout stderr written:"$nonascii" same:"$nonascii" tree
long path: info        | mkdir -p "$deep" && cp sample.rav "$long"        | 0 | info "$long"                     | stdout stderr
long path: move        |                                                  | 0 | move "$long" 1 0 0               | stdout stderr written:"$long" same:"$long" tree
EOF
)

while IFS='|' read -r name setup expected arguments checks; do
    name=$(echo $name)
    expected=$(echo $expected)
    eval "args=($arguments)"
    eval "wanted=($checks)"
    reasons=()
    for side in linux windows; do
        (cd "$scratch/$side" && eval "$setup")
        for check in "${wanted[@]}"; do
            if [[ $check == written:* && $side == windows ]]; then
                cp "$scratch/windows/${check#written:}" "$scratch/out/before.bin"
            fi
        done
        status=$(run_side "$side" "${args[@]}")
        if [[ $status != "$expected" ]]; then
            reasons+=("$side: exit $status, expected $expected; stderr: $(head -c 300 "$scratch/out/$side.err")")
        fi
    done
    for check in "${wanted[@]}"; do
        file=${check#*:}
        case $check in
        stdout | stderr)
            ext=${check#std}
            if ! cmp -s "$scratch/out/linux.$ext" "$scratch/out/windows.$ext"; then
                reasons+=("$check differs from Linux's:")
                mapfile -t lines < <(diff "$scratch/out/linux.$ext" "$scratch/out/windows.$ext" | head -n 6)
                reasons+=("${lines[@]}")
            fi
            ;;
        same:*)
            cmp -s "$scratch/linux/$file" "$scratch/windows/$file" ||
                reasons+=("$file: not the bytes the Linux build wrote")
            ;;
        unchanged:*)
            cmp -s "$samples/sample.rav" "$scratch/windows/$file" ||
                reasons+=("$file: not byte-identical to examples/sample.rav")
            ;;
        written:*)
            ! cmp -s "$scratch/out/before.bin" "$scratch/windows/$file" ||
                reasons+=("$file: not written")
            ;;
        tree)
            diff <(cd "$scratch/linux" && find . | sort) <(cd "$scratch/windows" && find . | sort) \
                >/dev/null || reasons+=("the files and folders differ from Linux's copy")
            ;;
        *)
            echo "Unknown check $check in row '$name'" >&2
            exit 2
            ;;
        esac
    done
    report "$name" "${reasons[@]}"
done <<<"$rows"

# A save that cannot complete leaves what is there: the RAV file becomes a
# folder while the save waits before its replacement (the test hook
# POLYPORT_TEST_BEFORE_REPLACE), and the folder must stay where it is.
# Wine's ReplaceFileW would move a folder aside.
interrupted_save() {
    local dir=$scratch/windows target=$scratch/windows/interrupted.rav
    cp "$samples/sample.rav" "$target"
    (cd "$dir" && POLYPORT_TEST_BEFORE_REPLACE=3000 wine "$exe" move interrupted.rav 1 0 0) \
        >"$scratch/out/raw.out" 2>"$scratch/out/raw.err" &
    local pid=$! status=0 paused=no
    for _ in $(seq 1 150); do
        if compgen -G "$dir/.polyport-*.tmp" >/dev/null; then
            paused=yes
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    # The temporary file is complete well within this; the pause lasts 3 s.
    sleep 0.5
    rm "$target"
    mkdir "$target"
    wait "$pid" || status=$?
    local err
    err=$(tr -d '\r' <"$scratch/out/raw.err")
    local reasons=()
    [[ $paused == yes ]] ||
        reasons+=("no temporary file appeared before the command ended: does the build honour POLYPORT_TEST_BEFORE_REPLACE?")
    [[ $status == 1 ]] || reasons+=("exit $status, expected 1")
    [[ $err == *"Error writing"* ]] || reasons+=("no \"Error writing\" on stderr: ${err:0:300}")
    [[ -d $target ]] || reasons+=("the folder that took the RAV file's place is gone")
    [[ -z $(ls -A "$target" 2>/dev/null) ]] || reasons+=("something was written into the folder")
    ! compgen -G "$dir/.polyport-*.tmp" >/dev/null || reasons+=("the temporary file was left behind")
    report "a save that cannot replace leaves the folder" "${reasons[@]}"
}
interrupted_save

table_seconds=$(seconds_since "$started")
if [[ $fresh == yes ]]; then
    prefix_note="new Wine prefix made in $prefix_seconds s"
else
    prefix_note="Wine prefix kept from an earlier run, up in $prefix_seconds s"
fi
echo "windows: $passed passed, $failed failed ($table_seconds s; $prefix_note)"
if [[ $failed -ne 0 ]]; then
    echo "The copies stay in $scratch" >&2
    exit 1
fi
