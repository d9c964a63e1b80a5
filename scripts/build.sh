#!/usr/bin/env bash
# Configures and builds VelView with CMake and Ninja.
#   scripts/build.sh [--sanitize] [BUILD_DIR]
# BUILD_DIR defaults to build (build-asan with --sanitize). Warnings are errors: the supported
# compiler is Debian 12's g++, the same everywhere (set VELVIEW_WERROR=OFF to build anyway).
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

werror="${VELVIEW_WERROR:-ON}"

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELVIEW_WERROR="$werror" -DVELVIEW_SANITIZE="$sanitize"
cmake --build "$dir" -j "$(nproc)"
