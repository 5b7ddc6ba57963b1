#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build/fuzz and runs each one,
# first over its inputs so far (fuzz/corpus/KEY, tests/data/malformed/KEY and
# what earlier runs added in build/fuzz/corpus/KEY), then on new inputs for a
# bounded time under a memory limit. A crash, leak, sanitizer report, hang or
# running out of memory fails the run; the input is kept in
# build/fuzz/findings. Called by ./test.
# Usage: scripts/fuzz.sh [KEY...]   KEY: a folder of fuzz/corpus (default all)
# POLYPORT_FUZZ_SECONDS: time per target (default 20);
# POLYPORT_FUZZ_JOBS: targets run at once (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."

# One target per seed folder: rav, fsh, tpl and each filter's key.
mapfile -t all < <(find fuzz/corpus -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | sort)
keys=("${all[@]}")
if [[ $# -gt 0 ]]; then
    keys=("$@")
fi
for key in "${keys[@]}"; do
    if [[ " ${all[*]} " != *" $key "* ]]; then
        echo "No fuzz target '$key'; the targets are: ${all[*]}" >&2
        exit 2
    fi
done
seconds=${POLYPORT_FUZZ_SECONDS:-20}
parallel=${POLYPORT_FUZZ_JOBS:-2}
out=build/fuzz

# The compiler that goes with the installed libFuzzer runtime (libclang-rt-14-dev).
compiler=clang++-14
if ! command -v "$compiler" >/dev/null 2>&1; then
    compiler=clang++
fi
if ! command -v "$compiler" >/dev/null 2>&1; then
    echo "clang++ is missing: install clang and libclang-rt-14-dev to fuzz." >&2
    exit 1
fi

echo "== Fuzzing, ${seconds} s per target"
# Only the fuzz targets: nothing here needs the tests or a window toolkit.
log=$(mktemp)
if ! { cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER="$compiler" -DPOLYPORT_BUILD_FUZZ=ON -DPOLYPORT_BUILD_TESTS=OFF \
    -DPOLYPORT_BUILD_GUI=OFF &&
    cmake --build "$out" --target polyport_fuzz -- -j"$(nproc 2>/dev/null || echo 2)"; } \
    >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "Build failed in $out" >&2
    exit 1
fi
rm -f "$log"

mkdir -p "$out/logs" "$out/findings"
# The scratch files of every input are written and read again: keep them
# in memory where the system offers a place.
if [[ -d /dev/shm && -w /dev/shm ]]; then
    export TMPDIR=/dev/shm
fi
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

run_target() {
    local key=$1
    local corpora=("$out/corpus/$key" "fuzz/corpus/$key")
    mkdir -p "$out/corpus/$key"
    if [[ -d tests/data/malformed/$key ]]; then
        corpora+=("tests/data/malformed/$key")
    fi
    # New inputs go to the first folder, never into the checked-in ones.
    if "$out/fuzz/fuzz_$key" -max_total_time="$seconds" -rss_limit_mb=1024 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$out/findings/$key-" "${corpora[@]}" \
        >"$out/logs/$key.log" 2>&1; then
        echo ok >"$out/logs/$key.status"
    else
        echo failed >"$out/logs/$key.status"
    fi
}

for key in "${keys[@]}"; do
    rm -f "$out/logs/$key.status"
    run_target "$key" &
    while [[ $(jobs -rp | wc -l) -ge $parallel ]]; do
        wait -n || true
    done
done
wait

failed=0
for key in "${keys[@]}"; do
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/logs/$key.log")
    files=$(find "$out/corpus/$key" -type f | wc -l)
    if [[ $(cat "$out/logs/$key.status" 2>/dev/null) == ok ]]; then
        echo "fuzz_$key: ${runs:-?} inputs run, $files in its corpus"
    else
        failed=1
        echo "fuzz_$key FAILED; the end of $out/logs/$key.log:" >&2
        tail -n 60 "$out/logs/$key.log" >&2
        echo "The input is kept in $out/findings/. Once the fault is fixed, add it to" \
            "tests/data/malformed/$key/." >&2
    fi
done
exit "$failed"
