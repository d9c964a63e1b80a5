#!/usr/bin/env bash
# Installs what the build needs, builds, and runs the main job on the bundled sample: the
# delivery check of an edition-5 delivery against the 令和5年3月 national standard, then the
# viewer on the same delivery (headless, saving its window as a picture, when there is no
# display).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh >/dev/null
cli=build/src/cli/velview-cli

echo "== velview-cli check samples/deliveries/r5-sjis --standard C0000R503"
status=0
"$cli" check samples/deliveries/r5-sjis --standard C0000R503 || status=$?
# Status 1 means the check found faults, which this sample carries on purpose.
if [ "$status" -gt 1 ]; then
  exit "$status"
fi

viewer=build/src/cli/velview
if [ ! -x "$viewer" ]; then
  echo "velview was not built (Qt 6 missing?)" >&2
  exit 2
fi
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "== velview samples/deliveries/r5-sjis"
  exec "$viewer" samples/deliveries/r5-sjis
fi
echo "== velview samples/deliveries/r5-sjis (no display: headless, window saved as build/demo-main-window.png)"
QT_QPA_PLATFORM=offscreen "$viewer" samples/deliveries/r5-sjis --screenshot build/demo-main-window.png
echo "saved build/demo-main-window.png"
