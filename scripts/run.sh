#!/usr/bin/env bash
# Sets up the machine, builds everything and says what was built.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$ROOT/build"
"$ROOT/scripts/setup.sh" "$BUILD_DIR"
echo
echo "Built in $BUILD_DIR:"
find "$BUILD_DIR" -maxdepth 3 -type f \( -name '*.a' -o -perm -u+x \) \
    \( -name 'libwavelorn*' -o -name 'test_*' -o -name 'bench_*' -o -name 'wavelorn*' \) \
    ! -path '*/CMakeFiles/*' | sort | sed "s|^$ROOT/||"
