#!/usr/bin/env bash
# Runs the throughput benchmarks of a release build (build/ by default). Each program
# also times `cp` of the same bytes, so the figures read as ratios against cp.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${1:-$ROOT/build}"
cmake --build "$BUILD_DIR" --parallel "$(nproc)" --target bench_reader bench_export bench_import bench_archive bench_convert
for program in bench_reader bench_export bench_import bench_archive bench_convert; do
    echo "== $program"
    "$BUILD_DIR/bench/$program" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
done
