#!/bin/bash
# The test command (scripts/test.sh) on a small project of the same
# options: it builds and runs the tests even where scripts/run.sh left the
# build configured without them, and it fails when no test is found.
# usage: test_test_command.sh TEST_SCRIPT
set -euo pipefail
script=$1

source "$(dirname "$0")/checks.sh"

project() {   # folder, then the test lines of its CMakeLists.txt
    local dir=$1
    mkdir -p "$dir/scripts"
    cp "$script" "$dir/scripts/test.sh"
    : >"$dir/scripts/deps.sh"
    : >"$dir/scripts/tidy.sh"
    cat >"$dir/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.24)
project(Small NONE)
option(TARVIK_TESTS "Build the tests" ON)
option(TARVIK_SANITIZE "Sanitizers" OFF)
if(TARVIK_TESTS)
    enable_testing()
    $2
endif()
CMAKE
    # As scripts/run.sh leaves it.
    cmake -S "$dir" -B "$dir/build" -G Ninja -DTARVIK_TESTS=OFF >/dev/null
}

project "$tmp/one" 'add_test(NAME marks COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/ran)'
runs() { bash "$tmp/$1/scripts/test.sh" >"$tmp/$1.log" 2>&1; }
check "a build configured without tests still runs them" runs one
check "the normal build ran the test" test -e "$tmp/one/build/ran"
check "the sanitizer build ran the test" test -e "$tmp/one/build-asan/ran"

project "$tmp/none" ''
fails() { ! "$@"; }
check "no test found fails the command" fails runs none

if [ "$failures" != 0 ]; then
    cat "$tmp/one.log" "$tmp/none.log"
    exit 1
fi
