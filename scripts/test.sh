#!/usr/bin/env bash
# Sets up the machine, builds from scratch into build/ and runs the whole test suite.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
"$ROOT/scripts/setup.sh" "$BUILD_DIR" "$@"
ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "$(nproc)"
