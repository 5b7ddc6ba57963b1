# Configures (once) and builds one build directory; sourced by ./run and ./test.
# Usage: polyport_build DIR [CMAKE OPTIONS...]
polyport_build() {
    local dir=$1
    shift
    if [[ ! -f "$dir/build.ninja" ]]; then
        cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    fi
    cmake --build "$dir" -- -j"$(nproc 2>/dev/null || echo 2)"
}
