#!/bin/bash
# exif-bench.sh [CLI]
#
# How fast does VelView read the Exif of many photos? Writes 2000 small JPEG files with a full
# camera Exif block (make-jpegs.py small), reads the cache warm, then times, best of 3 wall
# time, each reading every file in a single process:
#   velview-cli exif DIR --json
#   exiv2 -g Exif.Photo.DateTimeOriginal FILES...
#   exiftool -fast -DateTimeOriginal FILES...   and the same without -fast
# and prints microseconds per file and the ratios to velview-cli. Builds nothing.
#
# CLI defaults to build/src/cli/velview-cli (relative to the repository root).
# Environment: N=number of files (default 2000), RUNS=repetitions (default 3),
# KEEP=1 keeps the temporary folder (its path is printed).
# Needs exiv2, exiftool (package libimage-exiftool-perl) and python3 with PIL (python3-pil).

set -u

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cli=${1:-$root/build/src/cli/velview-cli}
n=${N:-2000}
runs=${RUNS:-3}

for tool in exiv2 exiftool python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "exif-bench: $tool is missing (Debian: exiv2, libimage-exiftool-perl, python3-pil)" >&2
        exit 2
    fi
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/velview-exif.XXXXXX") || exit 2
cleanup() {
    if [ "${KEEP:-0}" = 1 ]; then
        echo "kept $tmp"
    else
        rm -rf "$tmp"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM
dir=$tmp/small

echo "generating $n small JPEG files ..."
python3 "$here/make-jpegs.py" "$dir" small "$n" || exit 2
files=("$dir"/s*.jpg)
if [ "${#files[@]}" -ne "$n" ]; then
    echo "exif-bench: expected $n files, found ${#files[@]}" >&2
    exit 2
fi
echo "$n files, $(du -sk "$dir" | cut -f1) KB in $dir"

# One process for all files, unless the argument list would be too long for the system:
# then xargs, which starts as few processes as the limit allows.
arg_bytes=$(printf '%s\0' "${files[@]}" | wc -c)
arg_max=$(getconf ARG_MAX 2>/dev/null || echo 131072)
if [ "$arg_bytes" -lt $((arg_max / 2)) ]; then
    with_files() { "$@" "${files[@]}"; }
else
    echo "argument list too long for one command ($arg_bytes bytes): using xargs"
    with_files() { printf '%s\0' "${files[@]}" | xargs -0 "$@"; }
fi

now() { date +%s%N; }

# CPU time the whole machine and this script (with everything it started and waited for) have
# used, in clock ticks: the difference is what other processes took while we measured.
busy_ticks() { awk '/^cpu / { print $2 + $3 + $4 + $7 + $8 + $9 }' /proc/stat 2>/dev/null; }
own_ticks() { awk '{ print $14 + $15 + $16 + $17 }' "/proc/$$/stat" 2>/dev/null; }

# measure COMMAND...: runs it $runs times (output to /dev/null), prints the best wall time in
# seconds. A failing run stops the script.
measure() {
    best=''
    i=0
    while [ "$i" -lt "$runs" ]; do
        i=$((i + 1))
        t0=$(now)
        "$@" >/dev/null 2>"$tmp/stderr"
        rc=$?
        t1=$(now)
        if [ "$rc" -ne 0 ]; then
            echo "exif-bench: '$*' exited with status $rc:" >&2
            head -5 "$tmp/stderr" >&2
            return 1
        fi
        t=$((t1 - t0))
        if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
    done
    awk -v ns="$best" 'BEGIN { printf "%.4f\n", ns / 1e9 }'
}

# expect NAME COUNT: COUNT must equal $n (every file was read and its date found)
expect() {
    if [ "$2" -ne "$n" ]; then
        echo "exif-bench: $1 reported $2 dates for $n files" >&2
        exit 1
    fi
}

# Warm the cache, then one untimed run of each tool that checks it read every file.
cat "${files[@]}" >/dev/null

have_cli=0
if [ ! -x "$cli" ]; then
    echo "velview-cli not found at $cli: it is left out"
elif ! "$cli" help 2>&1 | grep -q '^ *exif'; then
    echo "$cli has no 'exif' command: it is left out"
else
    have_cli=1
    "$cli" exif "$dir" --json >"$tmp/out" || { echo "exif-bench: velview-cli exif failed" >&2; exit 1; }
    expect "velview-cli exif" "$(grep -o '"datetime_original":"[0-9]' "$tmp/out" | wc -l)"
fi
with_files exiv2 -g Exif.Photo.DateTimeOriginal >"$tmp/out" 2>&1
expect "exiv2" "$(grep -c 'Exif.Photo.DateTimeOriginal .*[0-9]:[0-9]' "$tmp/out")"
with_files exiftool -fast -DateTimeOriginal >"$tmp/out" 2>&1
expect "exiftool -fast" "$(grep -c '^Date/Time Original *: [0-9]' "$tmp/out")"
with_files exiftool -DateTimeOriginal >"$tmp/out" 2>&1
expect "exiftool" "$(grep -c '^Date/Time Original *: [0-9]' "$tmp/out")"

echo "exiv2 $(exiv2 --version 2>/dev/null | head -1 | awk '{print $NF}'), exiftool $(exiftool -ver)"
busy0=$(busy_ticks) own0=$(own_ticks) start_ns=$(now)
echo "best of $runs, wall time, one process each:"
echo

vel_t=''
if [ "$have_cli" = 1 ]; then
    vel_t=$(measure "$cli" exif "$dir" --json) || exit 1
fi
exiv2_t=$(measure with_files exiv2 -g Exif.Photo.DateTimeOriginal) || exit 1
etf_t=$(measure with_files exiftool -fast -DateTimeOriginal) || exit 1
et_t=$(measure with_files exiftool -DateTimeOriginal) || exit 1

# row NAME SECONDS
row() {
    awk -v name="$1" -v t="$2" -v n="$n" -v v="$vel_t" 'BEGIN {
        if (v != "" && v > 0) r = sprintf("%8.1f", t / v); else r = sprintf("%8s", "-")
        printf "%-40s %9.3f s %10.1f us/file %s\n", name, t, t * 1e6 / n, r
    }'
}
printf '%-40s %11s %18s %8s\n' "" "total" "per file" "x velview"
if [ "$have_cli" = 1 ]; then row "velview-cli exif DIR --json" "$vel_t"; fi
row "exiv2 -g Exif.Photo.DateTimeOriginal" "$exiv2_t"
row "exiftool -fast -DateTimeOriginal" "$etf_t"
row "exiftool -DateTimeOriginal" "$et_t"
if [ "$have_cli" = 1 ]; then
    echo
    awk -v v="$vel_t" -v a="$exiv2_t" -v b="$etf_t" -v c="$et_t" 'BEGIN {
        if (v <= 0) { print "velview-cli time below the clock resolution: no ratios"; exit }
        printf "ratio exiv2 / velview-cli:           %.1f\n", a / v
        printf "ratio exiftool -fast / velview-cli:  %.1f\n", b / v
        printf "ratio exiftool / velview-cli:        %.1f\n", c / v
    }'
fi

# Other work on the machine spoils the figures: show how much there was.
busy1=$(busy_ticks) own1=$(own_ticks) end_ns=$(now)
if [ -n "$busy0" ] && [ -n "$busy1" ]; then
    awk -v b="$((busy1 - busy0))" -v o="$((own1 - own0))" -v hz="$(getconf CLK_TCK)" \
        -v ns="$((end_ns - start_ns))" -v cores="$(nproc)" 'BEGIN {
        other = (b - o) / hz; if (other < 0) other = 0
        printf "other processes used %.1f CPU seconds during the %.0f s of measuring (%.0f%% of %d cores)\n",
               other, ns / 1e9, 100 * other / (ns / 1e9 * cores), cores
    }'
fi
