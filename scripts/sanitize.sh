#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and
# runs the same test suite.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Leaks of third-party libraries below the GUI tests (fontconfig, glib, Qt's plugins).
export LSAN_OPTIONS="suppressions=$ROOT/scripts/lsan.supp:print_suppressions=0"
CMAKE_BUILD_TYPE=Debug BUILD_DIR="$ROOT/build-asan" \
    "$ROOT/scripts/test.sh" -DWAVELORN_SANITIZE=ON -DWAVELORN_BENCH=OFF
