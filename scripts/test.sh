#!/bin/bash
# Installs what is missing, builds everything and runs every test: once in
# a normal build, once built with address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
# The browser checks open the published pages in headless Chromium, which
# deps.sh has installed: here a missing browser fails them (a bare ctest
# run skips them instead).
export TARVIK_REQUIRE_CHROMIUM=1
jobs=$(nproc)

# The tests are asked for: scripts/run.sh configures build/ without them,
# and a cached setting would otherwise leave ctest nothing to run.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_TESTS=ON -DTARVIK_WERROR=ON \
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure --no-tests=error -j "$jobs"
bash scripts/tidy.sh build

# Leaks are checked in the program's own code; those inside the browser
# engine and the system libraries under it are suppressed by name.
# QtWebEngine frees some of its own objects with a mismatched sized delete.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:new_delete_type_mismatch=0
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVIK_SANITIZE=ON -DTARVIK_TESTS=ON -DTARVIK_WERROR=ON
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure --no-tests=error -j "$jobs"
