# Counts and prints the rows of the shell test tables; sourced by
# scripts/test-windows.sh and scripts/test-package.sh.
# check NAME [REASON...]: the row passed when no reason is given.
passed=0
failed=0
check() {
    local name=$1
    shift
    if [[ $# -eq 0 ]]; then
        passed=$((passed + 1)) && printf 'ok    %s\n' "$name"
    else
        failed=$((failed + 1)) && printf 'FAIL  %s\n' "$name" && printf '        %s\n' "$@"
    fi
}
