#!/usr/bin/env bash
# Configures and builds VelView with CMake and Ninja.
#   scripts/build.sh [--sanitize] [BUILD_DIR]
# BUILD_DIR defaults to build (build-asan with --sanitize). Warnings are errors when CI is set.
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize=OFF
if [ "${1:-}" = "--sanitize" ]; then
  sanitize=ON
  shift
fi
default_dir=build
[ "$sanitize" = ON ] && default_dir=build-asan
dir="${1:-$default_dir}"

werror=OFF
[ -n "${CI:-}" ] && werror=ON

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELVIEW_WERROR="$werror" -DVELVIEW_SANITIZE="$sanitize"
cmake --build "$dir" -j "$(nproc)"
