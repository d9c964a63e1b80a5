#!/bin/sh
# load-check.sh [CLI] [N]
#
# Compares how long VelView takes to read and check a large delivery with how long xmllint
# takes merely to parse it: an honest yardstick, since xmllint does less work than a check.
# Builds nothing. CLI defaults to build/src/cli/velview-cli (relative to the repository root),
# N to 20000 photo records. Each command runs 3 times; the best wall time and the peak resident
# memory of that run are reported, measured with GNU time (/usr/bin/time, package "time").

set -u

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cli=${1:-$root/build/src/cli/velview-cli}
n=${2:-20000}
runs=3

for tool in /usr/bin/time xmllint python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "load-check: $tool is missing (Debian: time, libxml2-utils, python3)" >&2
        exit 2
    fi
done

tmp=$(mktemp -d) || exit 2
trap 'rm -rf "$tmp"' EXIT INT TERM
delivery=$tmp/delivery

echo "generating $n photo records ..."
python3 "$here/make-big-delivery.py" "$delivery" "$n" || exit 2
size=$(wc -c <"$delivery/PHOTO.XML")
echo "PHOTO.XML: $size bytes"

# measure NAME OKCODES COMMAND...: best of $runs; prints "seconds kilobytes" on stdout.
# OKCODES lists the exit codes that count as a normal run.
measure() {
    name=$1 ok=$2
    shift 2
    best_t='' best_m=''
    i=0
    while [ "$i" -lt "$runs" ]; do
        i=$((i + 1))
        /usr/bin/time -f "%e %M" -o "$tmp/time" "$@" >/dev/null 2>"$tmp/stderr"
        rc=$?  # GNU time passes on the command's exit status
        case " $ok " in
            *" $rc "*) ;;
            *)
                echo "load-check: $name exited with status $rc:" >&2
                head -5 "$tmp/stderr" >&2
                return 1
                ;;
        esac
        # the figures are the last line (a non-zero exit adds a line before them)
        t=$(tail -1 "$tmp/time" | cut -d' ' -f1)
        m=$(tail -1 "$tmp/time" | cut -d' ' -f2)
        if [ -z "$best_t" ] || awk "BEGIN { exit !($t < $best_t) }"; then
            best_t=$t best_m=$m
        fi
    done
    echo "$best_t $best_m"
}

xml=$(measure xmllint "0" xmllint --noout "$delivery/PHOTO.XML") || exit 1
xml_t=${xml% *} xml_m=${xml#* }
printf '%-28s %8s s  %8s KB peak\n' "xmllint --noout" "$xml_t" "$xml_m"

if [ ! -x "$cli" ]; then
    echo "velview-cli not found at $cli: only xmllint was measured"
    exit 0
fi
if ! "$cli" help 2>&1 | grep -q '^ *check'; then
    echo "$cli has no 'check' command yet: only xmllint was measured"
    exit 0
fi

# Exit status 1 is the normal result here: the big delivery has no photo files, so the check
# finds faults.
vel=$(measure "velview-cli check" "0 1" "$cli" check "$delivery") || exit 1
vel_t=${vel% *} vel_m=${vel#* }
printf '%-28s %8s s  %8s KB peak\n' "velview-cli check" "$vel_t" "$vel_m"
awk -v a="$vel_t" -v b="$xml_t" 'BEGIN {
    if (b > 0) printf "ratio velview-cli / xmllint:  %.2f\n", a / b
    else       printf "ratio velview-cli / xmllint:  (xmllint time below the clock resolution)\n"
}'
