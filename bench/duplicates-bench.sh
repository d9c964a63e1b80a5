#!/bin/bash
# duplicates-bench.sh [CLI] [N] [TOTAL_MB]
#
# How fast does VelView find the photos of a delivery whose files are byte-for-byte the same?
# Writes a delivery of N photos (default 5000) of TOTAL_MB MB together (default 1000) with
# make-dup-delivery.py: 2 % exact copies, 5 % different files of the same size as another.
# Then it measures, wall time and peak resident memory,
#   velview-cli duplicates DIR --json
#   jdupes -r DIR/PIC
# once cold (page cache, dentries and inodes dropped before the run) and best of 3 warm (all
# files in the cache), checks that both found the same groups of files, the ones that were
# made, and prints the ratios velview-cli / jdupes and how many bytes velview-cli read
# compared to the size of all photo files. Builds nothing.
#
# CLI defaults to build/src/cli/velview-cli (relative to the repository root). When it has no
# "duplicates" command, only jdupes is measured.
# The copy of CLI that is measured has its debug information stripped (as installed).
# Environment: RUNS=warm repetitions (default 3), KEEP=1 keeps the temporary folder (its path is
# printed). N and TOTAL_MB may also come from the environment.
# Dropping the cache needs root (a writable /proc/sys/vm/drop_caches); without it only the
# warm figures are given.
# Needs jdupes (package jdupes), GNU time as /usr/bin/time (package time) and python3 with PIL
# (python3-pil).

# shellcheck disable=SC2154  # measure() sets vel_* and jd_* through printf -v
set -u

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cli=${1:-$root/build/src/cli/velview-cli}
n=${2:-${N:-5000}}
total_mb=${3:-${TOTAL_MB:-1000}}
runs=${RUNS:-3}

for tool in jdupes python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "duplicates-bench: $tool is missing (Debian: jdupes, python3-pil)" >&2
        exit 2
    fi
done
if [ ! -x /usr/bin/time ]; then
    echo "duplicates-bench: GNU time is missing as /usr/bin/time (Debian: time)" >&2
    exit 2
fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/velview-dups.XXXXXX") || exit 2
cleanup() {
    if [ "${KEEP:-0}" = 1 ]; then
        echo "kept $tmp"
    else
        rm -rf "$tmp"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM
dir=$tmp/delivery

echo "generating a delivery of $n photos, about $total_mb MB ..."
python3 "$here/make-dup-delivery.py" "$dir" "$n" "$total_mb" || exit 2
total_bytes=$(find "$dir/PIC" -type f -printf '%s\n' | awk '{ s += $1 } END { printf "%d", s }')
echo

have_cli=0
if [ ! -x "$cli" ]; then
    echo "velview-cli not found at $cli: it is left out"
elif ! "$cli" help 2>&1 | grep -q '^ *duplicates'; then
    echo "$cli has no 'duplicates' command: it is left out"
else
    have_cli=1
    # Measured as it would be installed: without debug information. A build with it is
    # several times larger, and a cold start reads most of it (read-ahead), which says
    # nothing about the search.
    if command -v strip >/dev/null 2>&1 && strip --strip-debug -o "$tmp/velview-cli" "$cli" 2>/dev/null; then
        cli=$tmp/velview-cli
        echo "measuring a copy of velview-cli without debug information"
    fi
fi

drop_caches() {
    sync && echo 3 2>/dev/null >/proc/sys/vm/drop_caches
}
cold=1
if ! drop_caches 2>/dev/null; then
    cold=0
    echo "cannot drop the page cache (needs root and a writable /proc/sys/vm/drop_caches):"
    echo "no cold runs, warm figures only"
fi
warm_up() { find "$dir" -type f -exec cat {} + >/dev/null; }

now() { date +%s%N; }
busy_ticks() { awk '/^cpu / { print $2 + $3 + $4 + $7 + $8 + $9 }' /proc/stat 2>/dev/null; }
own_ticks() { awk '{ print $14 + $15 + $16 + $17 }' "/proc/$$/stat" 2>/dev/null; }

# run1 OUT COMMAND...: one run under GNU time, stdout to OUT; sets t (wall seconds, from the
# nanosecond clock), rss (peak resident KB) and blk (blocks read from storage, 512 bytes each).
# Exit status 0 and 1 are fine (1: velview-cli found duplicates); anything else stops.
run1() {
    local out=$1
    shift
    local t0 t1 rc
    t0=$(now)
    /usr/bin/time -o "$tmp/time" -f "%e %M %I" "$@" >"$out" 2>"$tmp/stderr"
    rc=$?
    t1=$(now)
    if [ "$rc" -gt 1 ]; then
        echo "duplicates-bench: '$*' exited with status $rc:" >&2
        head -5 "$tmp/stderr" >&2
        exit 1
    fi
    t=$(awk -v ns="$((t1 - t0))" 'BEGIN { printf "%.3f", ns / 1e9 }')
    read -r _ rss blk < <(tail -1 "$tmp/time")
}

# measure NAME COMMAND...: a cold run (when possible) into $tmp/NAME.cold.out, then $runs warm
# runs; sets NAME_cold, NAME_cold_rss, NAME_cold_blk, NAME_warm (best), NAME_warm_rss (of the
# best run).
measure() {
    local name=$1
    shift
    local best='' best_rss='' i=0
    if [ "$cold" = 1 ]; then
        drop_caches
        run1 "$tmp/$name.cold.out" "$@"
        printf -v "${name}_cold" '%s' "$t"
        printf -v "${name}_cold_rss" '%s' "$rss"
        printf -v "${name}_cold_blk" '%s' "$blk"
    fi
    warm_up
    while [ "$i" -lt "$runs" ]; do
        i=$((i + 1))
        run1 "$tmp/$name.warm.out" "$@"
        if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then
            best=$t
            best_rss=$rss
        fi
    done
    printf -v "${name}_warm" '%s' "$best"
    printf -v "${name}_warm_rss" '%s' "$best_rss"
}

echo "jdupes $(jdupes --version 2>/dev/null | head -1 | awk '{ print $2 }'); $n photo files," \
     "$total_bytes bytes; cold: $([ "$cold" = 1 ] && echo "caches dropped" || echo "not possible"), warm: best of $runs"
busy0=$(busy_ticks) own0=$(own_ticks) start_ns=$(now)

if [ "$have_cli" = 1 ]; then
    measure vel "$cli" duplicates "$dir" --json
    # What starting the program costs on its own (loading it and its libraries): a part of
    # every cold run.
    if [ "$cold" = 1 ]; then
        drop_caches
        run1 /dev/null "$cli" help
        start_cold=$t start_cold_blk=$blk
    fi
fi
measure jd jdupes -r "$dir/PIC"

busy1=$(busy_ticks) own1=$(own_ticks) end_ns=$(now)

# The groups: velview-cli's JSON lines hold photo indexes (0 = P0000001.JPG), jdupes prints
# blocks of paths separated by blank lines. Both, and the groups that were made, become sets
# of file names.
first=warm
[ "$cold" = 1 ] && first=cold
check_args=("$dir/expected-duplicates.txt" "$tmp/jd.$first.out" "$tmp/jd.warm.out")
if [ "$have_cli" = 1 ]; then check_args+=("$tmp/vel.$first.out" "$tmp/vel.warm.out"); fi
python3 - "${check_args[@]}" >"$tmp/check" <<'EOF'
import json, os, sys

def expected(path):
    with open(path) as f:
        return {frozenset(line.split()) for line in f if line.strip()}

def jdupes(path):
    groups, cur = set(), []
    with open(path) as f:
        for line in f.read().splitlines() + [""]:
            if line.strip():
                cur.append(os.path.basename(line.strip()))
            elif cur:
                groups.add(frozenset(cur))
                cur = []
    return groups

def velview(path):
    with open(path) as f:
        doc = json.load(f)
    groups = set()
    for g in doc["groups"]:
        groups.add(frozenset("P%07d.JPG" % (int(x) + 1) for x in g["line"].split(",")))
    return groups, doc.get("bytes_read", -1), doc.get("mode", "?")

def show(groups):
    return "; ".join(" ".join(sorted(g)) for g in sorted(groups, key=sorted)[:5]) or "-"

exp = expected(sys.argv[1])
results = [("jdupes", jdupes(sys.argv[2])), ("jdupes (warm)", jdupes(sys.argv[3]))]
bytes_read, mode = -1, "-"
if len(sys.argv) > 4:
    vel, bytes_read, mode = velview(sys.argv[4])
    results += [("velview-cli", vel), ("velview-cli (warm)", velview(sys.argv[5])[0])]
ok = True
for name, got in results:
    if got != exp:
        ok = False
        print("MISMATCH %s: %d groups, %d made; missing: %s; extra: %s" % (
            name, len(got), len(exp), show(exp - got), show(got - exp)))
files = sum(len(g) for g in exp)
print("groups %s: %d groups, %d files%s" % ("agree" if ok else "DIFFER", len(exp), files,
      " (velview-cli, jdupes and the groups that were made)" if len(results) > 2 else
      " (jdupes and the groups that were made)"))
print("bytes_read %d" % bytes_read)
print("mode %s" % mode)
print("ok %d" % ok)
EOF
grep -v '^bytes_read \|^mode \|^ok ' "$tmp/check"
groups_ok=$(awk '/^ok / { print $2 }' "$tmp/check")
bytes_read=$(awk '/^bytes_read / { print $2 }' "$tmp/check")
vel_mode=$(awk '/^mode / { print $2 }' "$tmp/check")
echo

mb() { awk -v kb="$1" 'BEGIN { printf "%.1f MB", kb / 1024 }'; }
printf '%-34s %10s %11s %10s %11s\n' "" "cold s" "cold RSS" "warm s" "warm RSS"
row() {
    local name=$1 p=$2
    local c=- cr=- w cw
    if [ "$cold" = 1 ]; then
        eval "c=\$${p}_cold; cr=\$(mb \$${p}_cold_rss)"
    fi
    eval "w=\$${p}_warm; cw=\$(mb \$${p}_warm_rss)"
    printf '%-34s %10s %11s %10s %11s\n' "$name" "$c" "$cr" "$w" "$cw"
}
if [ "$have_cli" = 1 ]; then row "velview-cli duplicates DIR --json" vel; fi
row "jdupes -r DIR/PIC" jd
echo

if [ "$cold" = 1 ]; then
    if [ "$have_cli" = 1 ]; then
        echo "read from storage in the cold run: velview-cli $(mb $((vel_cold_blk / 2))), jdupes $(mb $((jd_cold_blk / 2)))"
        echo "of that, starting velview-cli alone ('velview-cli help', cold): $start_cold s, $(mb $((start_cold_blk / 2)))"
    else
        echo "read from storage in the cold run: jdupes $(mb $((jd_cold_blk / 2)))"
    fi
fi
if [ "$have_cli" = 1 ]; then
    awk -v b="$bytes_read" -v t="$total_bytes" -v m="$vel_mode" 'BEGIN {
        printf "velview-cli read %d bytes (%s comparison): %.2f%% of the %d bytes of photo files\n",
               b, m, 100 * b / t, t
    }'
    awk -v c="${vel_cold:-}" -v jc="${jd_cold:-}" -v w="$vel_warm" -v jw="$jd_warm" 'BEGIN {
        if (c != "" && jc > 0) printf "ratio velview-cli / jdupes, cold: %.2f\n", c / jc
        if (jw > 0) printf "ratio velview-cli / jdupes, warm: %.2f\n", w / jw
        print "(aim: 1.0 or less)"
    }'
fi

# Other work on the machine spoils the figures: show how much there was.
if [ -n "$busy0" ] && [ -n "$busy1" ]; then
    awk -v b="$((busy1 - busy0))" -v o="$((own1 - own0))" -v hz="$(getconf CLK_TCK)" \
        -v ns="$((end_ns - start_ns))" -v cores="$(nproc)" 'BEGIN {
        other = (b - o) / hz; if (other < 0) other = 0
        printf "other processes used %.1f CPU seconds during the %.0f s of measuring (%.0f%% of %d cores)\n",
               other, ns / 1e9, 100 * other / (ns / 1e9 * cores), cores
    }'
fi
[ "$groups_ok" = 1 ] || exit 1
