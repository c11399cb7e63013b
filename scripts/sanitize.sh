#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and
# runs the same test suite.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
CMAKE_BUILD_TYPE=Debug BUILD_DIR="$ROOT/build-asan" \
    "$ROOT/scripts/test.sh" -DWAVELORN_SANITIZE=ON -DWAVELORN_BENCH=OFF
