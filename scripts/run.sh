#!/bin/bash
# Installs what is missing, builds the program and starts it on the
# league's program folder: $TARVIK_HOME, by default ~/Tarvik, outside the
# source and build trees. The program's own files there are installed or
# refreshed first; the league's data is left as it is.
set -euo pipefail
home=${TARVIK_HOME:-${HOME:?neither TARVIK_HOME nor HOME is set}/Tarvik}
mkdir -p "$home"
TARVIK_HOME=$(cd "$home" && pwd)
export TARVIK_HOME
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_TESTS=OFF
# JOBS (or CMAKE_BUILD_PARALLEL_LEVEL) limits the build's parallelism.
cmake --build build --target tarvik -j "${JOBS:-${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}}"
# build/bin is where earlier versions kept the league; it moves along once.
bash scripts/install-program-folder.sh runtime build/bin/data/blank.mdb "$TARVIK_HOME" build/bin
echo "League folder: $TARVIK_HOME"
if [ "$(id -u)" = 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
exec build/bin/tarvik "$@"
