#!/bin/bash
# clang-tidy with the repository's .clang-tidy over the program's own
# sources (the tests aside); any finding fails. The build folder given (by
# default build/) must have been configured with
# -DCMAKE_EXPORT_COMPILE_COMMANDS=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
run-clang-tidy -quiet -j "$(nproc)" -p "$build" \
    "^$PWD/(platform|core|import|standings|results|publish|setup|app|tools)/"
