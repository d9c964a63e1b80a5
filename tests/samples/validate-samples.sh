#!/bin/sh
# validate-samples.sh SAMPLES_DIR
#
# Checks the generated sample deliveries with xmllint:
#  1. every PHOTO.XML that is meant to be well-formed is well-formed (all but broken/truncated,
#     broken/badbytes and broken/empty, which are broken on purpose);
#  2. every edition-5 PHOTO.XML that is meant to be valid validates against the published
#     PHOTO05.DTD, which lives outside the repository in ../shared/reference/dtd/.
# Exit 0 when all pass, 1 on a failure, 77 (CTest's skip code) when the DTD or xmllint is absent
# and nothing failed before.

set -u

if [ $# -ne 1 ] || [ ! -d "$1" ]; then
    echo "usage: $0 SAMPLES_DIR" >&2
    exit 2
fi
samples=$1
dtd="$(dirname "$0")/../../../shared/reference/dtd/PHOTO05.DTD"

if ! command -v xmllint >/dev/null 2>&1; then
    echo "skipped: xmllint is not installed (Debian: libxml2-utils)"
    exit 77
fi

failed=0

# Broken on purpose: not XML at all, or not well-formed.
not_wellformed="broken/truncated broken/badbytes broken/empty"

# Valid against PHOTO05.DTD. r5-sjis belongs here: its faults are values, not structure.
# broken/wrapped-tag is well-formed only (its 写真情報 carries an undeclared attribute).
valid5="r5-clean/PHOTO r5-utf8/PHOTO r5-utf8-bom/PHOTO r5-sjis/PHOTO two-media/Disk1 two-media/Disk2"

for f in $(cd "$samples" && find . -name PHOTO.XML | sed 's|^\./||' | LC_ALL=C sort); do
    dir=${f%/PHOTO.XML}
    case " $not_wellformed " in *" $dir "*) continue ;; esac
    if xmllint --noout --nonet "$samples/$f"; then
        echo "well-formed: $f"
    else
        echo "NOT WELL-FORMED: $f"
        failed=1
    fi
done

if [ ! -f "$dtd" ]; then
    echo "skipped: $dtd not found; DTD validation not run"
    [ "$failed" -eq 0 ] && exit 77
    exit 1
fi

# The published DTD is Shift_JIS without a text declaration, which libxml2 reads as UTF-8 and
# rejects, so validate against a UTF-8 copy. Each document is copied beside it so that its
# own DOCTYPE (SYSTEM "PHOTO05.DTD") resolves to that copy instead of a missing file.
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT INT TERM
if ! iconv -f CP932 -t UTF-8 "$dtd" >"$tmp/PHOTO05.DTD"; then
    echo "cannot convert $dtd to UTF-8"
    exit 1
fi

for dir in $valid5; do
    f="$samples/$dir/PHOTO.XML"
    if [ ! -f "$f" ]; then
        echo "MISSING: $dir/PHOTO.XML"
        failed=1
        continue
    fi
    cp "$f" "$tmp/PHOTO.XML"
    if xmllint --noout --nonet --dtdvalid "$tmp/PHOTO05.DTD" "$tmp/PHOTO.XML" 2>"$tmp/err"; then
        echo "valid (PHOTO05.DTD): $dir/PHOTO.XML"
    else
        sed "s|$tmp/PHOTO.XML|$dir/PHOTO.XML|" "$tmp/err"
        echo "NOT VALID (PHOTO05.DTD): $dir/PHOTO.XML"
        failed=1
    fi
done

exit "$failed"
