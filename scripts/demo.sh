#!/usr/bin/env bash
# Installs what the build needs, builds, and runs the main job on the bundled sample.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh >/dev/null
cli=build/src/cli/velview-cli

echo "== velview-cli settings dump samples/example.tin"
"$cli" settings dump samples/example.tin
echo
echo "== velview-cli startup"
"$cli" startup
