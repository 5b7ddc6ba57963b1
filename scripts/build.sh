# Configures and builds one build directory; sourced by ./run and ./test.
# Each script has directories of its own, so the options it passes always
# hold. Build output is shown only when the build fails.
# Usage: polyport_build DIR [CMAKE OPTIONS...]
polyport_build() {
    local dir=$1
    shift
    local log
    log=$(mktemp)
    if ! { cmake -S . -B "$dir" -G Ninja "$@" && cmake --build "$dir" -- -j"$(nproc 2>/dev/null || echo 2)"; } >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        echo "Build failed in $dir" >&2
        return 1
    fi
    rm -f "$log"
}
