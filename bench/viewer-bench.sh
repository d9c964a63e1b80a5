#!/bin/bash
# viewer-bench.sh [BENCH] [N]
#
# How soon does the viewer show a large delivery, and how much memory does its photo list
# take? Writes an edition-5 delivery of N photos (default 10000; make-big-delivery.py) whose
# photo files are camera-size JPEGs (4000x3000, with a 160x120 Exif thumbnail;
# make-jpegs.py camera). Writing 10000 distinct 3.7 MB files would take an hour and 37 GB, so
# DISTINCT files (default 40) are written and the N photo names are hard links to them, one
# after the other: every thumbnail is still read from its file, but the files are in the page
# cache, so the figures are warm-cache figures.
# Then runs viewer_bench (off-screen, a 1280x860 window): time from the start to the first
# screen of thumbnails, resident memory after scrolling the whole list page by page.
# Targets: under 2 s to the first screen, under 600 MB resident.
#
# BENCH defaults to build/bench/viewer_bench. Environment: DISTINCT, KEEP=1 keeps the folder.
# Needs python3 with PIL (python3-pil).
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
bench=${1:-$root/build/bench/viewer_bench}
n=${2:-${N:-10000}}
distinct=${DISTINCT:-40}
if [ ! -x "$bench" ]; then
    echo "viewer-bench: $bench is missing (build the tree first: scripts/build.sh)" >&2
    exit 2
fi
tmp=$(mktemp -d "${TMPDIR:-/tmp}/velview-viewer.XXXXXX") || exit 2
cleanup() { if [ "${KEEP:-0}" = 1 ]; then echo "kept $tmp"; else rm -rf "$tmp"; fi; }
trap cleanup EXIT
trap 'exit 130' INT TERM

dir=$tmp/PHOTO
echo "writing $n records and $distinct camera files ..."
python3 "$here/make-big-delivery.py" "$dir" "$n" || exit 2
python3 "$here/make-jpegs.py" "$tmp/jpegs" camera $((distinct * 2)) >/dev/null || exit 2
mkdir -p "$dir/PIC"
mapfile -t files < "$tmp/jpegs/with-thumb.txt"
for ((i = 1; i <= n; i++)); do
    ln "$tmp/jpegs/${files[$(((i - 1) % ${#files[@]}))]}" "$(printf '%s/PIC/P%07d.JPG' "$dir" "$i")"
done
cat "$tmp"/jpegs/*.jpg > /dev/null  # warm
echo
export XDG_CONFIG_HOME=$tmp/config
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$bench" "$dir"
echo "(targets: first screen under 2000 ms, resident under 600 MB)"
