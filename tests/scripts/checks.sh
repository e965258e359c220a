# Shared by the script tests: a scratch folder removed on exit, and check,
# which runs a command, says ok or FAIL and counts the failures.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
check() {   # description, then a command that must succeed
    local what=$1
    shift
    if "$@"; then
        echo "ok:   $what"
    else
        echo "FAIL: $what"
        failures=$((failures + 1))
    fi
}
