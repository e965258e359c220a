#!/bin/bash
# Builds and runs the benchmarks (release build).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVIK_TESTS=OFF -DTARVIK_BENCH=ON
cmake --build build-bench -j "$(nproc)"
ran=0
for b in build-bench/bench/bench_*; do
    if [ -f "$b" ] && [ -x "$b" ]; then
        "$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
        ran=$((ran + 1))
    fi
done
if [ "$ran" = 0 ]; then
    echo "No benchmark was built in build-bench/bench." >&2
    exit 1
fi
