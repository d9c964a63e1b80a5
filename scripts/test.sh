#!/usr/bin/env bash
# Installs what the build needs, builds, and runs the whole test suite.
#   scripts/test.sh [--sanitize]   (--sanitize: AddressSanitizer + UBSan build in build-asan)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh "$@"
dir=build
[ "${1:-}" = "--sanitize" ] && dir=build-asan
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
