#!/bin/bash
# thumbs-bench.sh [CLI]
#
# How fast does VelView make 160x120 thumbnails of camera photos? Writes 300 JPEG files of
# 4000x3000 pixels (make-jpegs.py camera: half of them with a 160x120 Exif thumbnail, half
# without), reads the cache warm, then times, best of 3 wall time, on two cores:
#   velview-cli thumbs DIR --size 160x120 --out OUT --jobs 2
#   vipsthumbnail --size 160x120 -o OUT/%s.jpg FILES...   in 2 processes (xargs -P 2)
# first on all files, then on the half with Exif thumbnails and on the half without, and
# prints wall times, files per second and the ratio velview-cli / vipsthumbnail. After every
# run it checks that the tool wrote one output file per input. Builds nothing.
#
# CLI defaults to build/src/cli/velview-cli (relative to the repository root). When it has no
# "thumbs" command, only vipsthumbnail is measured.
# Environment: N=number of files (default 300), RUNS=repetitions (default 3), KEEP=1 keeps the
# temporary folder (its path is printed). VIPS_CONCURRENCY, when set, is passed on to vips.
# Needs vipsthumbnail and vipsheader (package libvips-tools) and python3 with PIL (python3-pil).

set -u

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cli=${1:-$root/build/src/cli/velview-cli}
n=${N:-300}
runs=${RUNS:-3}
jobs=2
size=160x120

for tool in vipsthumbnail vipsheader python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "thumbs-bench: $tool is missing (Debian: libvips-tools, python3-pil)" >&2
        exit 2
    fi
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/velview-thumbs.XXXXXX") || exit 2
cleanup() {
    if [ "${KEEP:-0}" = 1 ]; then
        echo "kept $tmp"
    else
        rm -rf "$tmp"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "generating $n camera JPEG files of 4000x3000 (about 3.7 MB and 0.3 s each) ..."
python3 "$here/make-jpegs.py" "$tmp/all" camera "$n" || exit 2

# The halves get folders of their own (hard links: the same files, the same cached pages),
# beside the folder of all files, not below it.
mkdir "$tmp/with-thumb" "$tmp/no-thumb" || exit 2
for half in with-thumb no-thumb; do
    while read -r name; do
        ln "$tmp/all/$name" "$tmp/$half/$name" || exit 2
    done <"$tmp/all/$half.txt"
done
count_of() { find "$tmp/$1" -maxdepth 1 -name '*.jpg' | wc -l; }
echo "$n files, $(du -sk "$tmp/all" | cut -f1) KB;" \
     "$(count_of with-thumb) with an Exif thumbnail, $(count_of no-thumb) without"
cat "$tmp"/all/*.jpg >/dev/null     # warm the cache

have_cli=0
if [ ! -x "$cli" ]; then
    echo "velview-cli not found at $cli: only vipsthumbnail is measured"
elif ! "$cli" help 2>&1 | grep -q thumbs; then
    echo "$cli has no 'thumbs' command yet: only vipsthumbnail is measured"
else
    have_cli=1
fi
echo "vipsthumbnail $(vipsthumbnail --vips-version 2>/dev/null | awk '{print $2}')," \
     "VIPS_CONCURRENCY=${VIPS_CONCURRENCY:-unset}; $(nproc) cores"

now() { date +%s%N; }

# CPU time the whole machine and this script (with everything it started and waited for) have
# used, in clock ticks: the difference is what other processes took while we measured.
busy_ticks() { awk '/^cpu / { print $2 + $3 + $4 + $7 + $8 + $9 }' /proc/stat 2>/dev/null; }
own_ticks() { awk '{ print $14 + $15 + $16 + $17 }' "/proc/$$/stat" 2>/dev/null; }

run_velview() {   # SET OUT
    "$cli" thumbs "$tmp/$1" --size "$size" --out "$2" --jobs "$jobs"
}

run_vips() {      # SET OUT: the files in batches, 2 processes at a time, 3 batches each
    local files=("$tmp/$1"/*.jpg)
    local per=$(( (${#files[@]} + 3 * jobs - 1) / (3 * jobs) ))
    printf '%s\n' "${files[@]}" |
        xargs -d '\n' -P "$jobs" -n "$per" vipsthumbnail --size "$size" -o "$2/%s.jpg"
}

# check TOOL SET OUT: one output per input; vipsthumbnail's are named after the inputs
check() {
    local want got
    want=$(count_of "$2")
    got=$(find "$3" -type f | wc -l)
    if [ "$got" -ne "$want" ]; then
        echo "thumbs-bench: $1 wrote $got files for $want inputs ($2)" >&2
        return 1
    fi
    if [ "$1" = vipsthumbnail ]; then
        for f in "$tmp/$2"/*.jpg; do
            if [ ! -s "$3/$(basename "$f")" ]; then
                echo "thumbs-bench: vipsthumbnail wrote no $3/$(basename "$f")" >&2
                return 1
            fi
        done
    fi
}

# measure TOOL SET: best of $runs wall time in seconds; every run into an empty folder
measure() {
    local tool=$1 set=$2 out=$tmp/out best='' i=0 t0 t1 rc t
    while [ "$i" -lt "$runs" ]; do
        i=$((i + 1))
        rm -rf "$out" && mkdir "$out" || return 1
        t0=$(now)
        if [ "$tool" = velview-cli ]; then
            run_velview "$set" "$out" >/dev/null 2>"$tmp/stderr"
        else
            run_vips "$set" "$out" >/dev/null 2>"$tmp/stderr"
        fi
        rc=$?
        t1=$(now)
        if [ "$rc" -ne 0 ]; then
            echo "thumbs-bench: $tool on $set exited with status $rc:" >&2
            head -5 "$tmp/stderr" >&2
            return 1
        fi
        check "$tool" "$set" "$out" || return 1
        t=$((t1 - t0))
        if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
    done
    awk -v ns="$best" 'BEGIN { printf "%.4f\n", ns / 1e9 }'
}

# sample TOOL: pixel size of one output of the last run
sample() {
    local f
    f=$(find "$tmp/out" -type f | sort | head -1)
    [ -n "$f" ] && echo "$1 output $(basename "$f"): $(vipsheader -f width "$f")x$(vipsheader -f height "$f")"
}

busy0=$(busy_ticks) own0=$(own_ticks) start_ns=$(now)
echo "best of $runs, wall time, $jobs jobs:"
echo
printf '%-18s %-34s %9s %10s %14s\n' "files" "command" "wall" "files/s" "velview/vips"
for set in all with-thumb no-thumb; do
    count=$(count_of "$set")
    vips_t=$(measure vipsthumbnail "$set") || exit 1
    [ "$set" = all ] && vips_sample=$(sample vipsthumbnail)
    vel_t=''
    if [ "$have_cli" = 1 ]; then
        vel_t=$(measure velview-cli "$set") || exit 1
        [ "$set" = all ] && vel_sample=$(sample velview-cli)
    fi
    label="$set ($count)"
    awk -v l="$label" -v c="$count" -v v="$vel_t" -v p="$vips_t" 'BEGIN {
        if (v != "") {
            r = (p > 0) ? sprintf("%14.2f", v / p) : sprintf("%14s", "-")
            printf "%-18s %-34s %8.3fs %10.1f %s\n", l, "velview-cli thumbs --jobs 2", v, (v > 0 ? c / v : 0), r
            l = ""
        }
        printf "%-18s %-34s %8.3fs %10.1f\n", l, "vipsthumbnail, xargs -P 2", p, (p > 0 ? c / p : 0)
    }'
done
echo
[ -n "${vips_sample:-}" ] && echo "$vips_sample"
[ -n "${vel_sample:-}" ] && echo "$vel_sample"
if [ "$have_cli" = 0 ]; then
    echo "(velview-cli thumbs not measured)"
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
exit 0
