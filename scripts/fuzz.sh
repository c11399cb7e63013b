#!/usr/bin/env bash
# Runs the fuzz targets with clang's libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer, built into build-fuzz/.
#
#   scripts/fuzz.sh [TARGET|all] [SECONDS]   a timed run per target (default: all, 60 s each);
#                                            new inputs go to build-fuzz/corpus/TARGET, failing
#                                            ones to build-fuzz/artifacts/TARGET (keep them in
#                                            fuzz/regressions/TARGET once mended)
#   scripts/fuzz.sh --fixed                  the fixed-seed pass CI runs (CTest label "fuzz")
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$ROOT/build-fuzz"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

CC=clang CXX=clang++ CMAKE_BUILD_TYPE=RelWithDebInfo \
    "$ROOT/scripts/setup.sh" "$BUILD_DIR" -DWAVELORN_FUZZ=ON -DWAVELORN_SANITIZE=ON -DWAVELORN_BENCH=OFF

if [[ "${1:-}" == "--fixed" ]]; then
    ctest --test-dir "$BUILD_DIR" -L fuzz --output-on-failure
    exit
fi

TARGET="${1:-all}"
SECONDS_EACH="${2:-60}"
targets=()
if [[ "$TARGET" == "all" ]]; then
    for program in "$BUILD_DIR"/fuzz/fuzz_*; do targets+=("$(basename "$program" | sed 's/^fuzz_//')"); done
else
    targets=("$TARGET")
fi
for target in "${targets[@]}"; do
    corpus="$BUILD_DIR/corpus/$target"
    artifacts="$BUILD_DIR/artifacts/$target/"
    mkdir -p "$corpus" "$artifacts"
    echo "== $target for $SECONDS_EACH s"
    "$BUILD_DIR/fuzz/fuzz_$target" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
        -artifact_prefix="$artifacts" "$corpus" "$ROOT/fuzz/corpus/$target"
done
