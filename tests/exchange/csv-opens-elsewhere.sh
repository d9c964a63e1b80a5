#!/usr/bin/env bash
# The exported inspection history must read back in another CSV reader (Python's csv module
# with the cp932 codec) with the expected cells, including a comment with quotes and commas.
#   csv-opens-elsewhere.sh CLI SAMPLES_DIR
set -euo pipefail
cli=$1
samples=$2
tmp=$(mktemp -d "${TMPDIR:-/tmp}/velview-csv.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
export XDG_CONFIG_HOME="$tmp/config"
"$cli" history export "$samples/r5-clean" --out "$tmp/h.csv" >/dev/null
# A history with a state and a difficult comment, imported and exported again.
/usr/bin/env python3 - "$tmp/h.csv" "$tmp/h2.csv" <<'PY'
import csv, sys
rows = list(csv.reader(open(sys.argv[1], encoding="cp932", newline="")))
assert rows[0][:3] == ["NO.", "検査状態", "写真ファイル名"], rows[0]
assert len(rows) == 6 and all(len(r) == 11 for r in rows), rows
rows[1][1] = "指摘あり"
rows[1][5] = '段差 "5mm", 要補修'
with open(sys.argv[2], "w", encoding="cp932", newline="") as f:
    csv.writer(f, quoting=csv.QUOTE_ALL, lineterminator="\r\n").writerows(rows)
PY
"$cli" history export "$samples/r5-clean" --from "$tmp/h2.csv" --out "$tmp/h3.csv" 2>/dev/null >/dev/null
/usr/bin/env python3 - "$tmp/h3.csv" <<'PY'
import csv, sys
raw = open(sys.argv[1], "rb").read()
assert raw.endswith(b"\r\n") and b"\n" not in raw.replace(b"\r\n", b""), "CR LF line ends"
rows = list(csv.reader(open(sys.argv[1], encoding="cp932", newline="")))
assert rows[1][1] == "指摘あり", rows[1]
assert rows[1][5] == '段差 "5mm", 要補修', rows[1]
print("the history CSV reads back in Python's csv module")
PY

# A takeover over two media: every photo with a state gets the digest of its file, medium 2's
# from the folder given with --medium, and the takeover file reads back with those digests.
two="$samples/two-media"
"$cli" history export "$two/Disk1" --out "$tmp/m.csv" >/dev/null 2>&1
/usr/bin/env python3 - "$tmp/m.csv" "$tmp/m2.csv" <<'PY'
import csv, sys
rows = list(csv.reader(open(sys.argv[1], encoding="cp932", newline="")))
for r in rows[1:]:
    r[1] = "検査済"
with open(sys.argv[2], "w", encoding="cp932", newline="") as f:
    csv.writer(f, quoting=csv.QUOTE_ALL, lineterminator="\r\n").writerows(rows)
PY
if "$cli" takeover export "$two/Disk1" --from "$tmp/m2.csv" --out "$tmp/lone.tod" 2>"$tmp/lone.err" >/dev/null; then :; fi
grep -q "P0000005.JPG" "$tmp/lone.err" || { echo "a missing medium is not reported"; cat "$tmp/lone.err"; exit 1; }
"$cli" takeover export "$two/Disk1" --from "$tmp/m2.csv" --medium "$two/Disk2" --out "$tmp/t.tod" 2>"$tmp/t.err" >/dev/null
grep -q "2枚目のフォルダを選択してください。" "$tmp/t.err" || { echo "medium 2 was not asked for"; cat "$tmp/t.err"; exit 1; }
/usr/bin/env python3 - "$tmp/t.tod" "$two" <<'PY'
import csv, hashlib, os, sys
rows = list(csv.reader(open(sys.argv[1], encoding="cp932", newline="")))
digests = {r[-1] for r in rows[1:]}
for disk, names in (("Disk1", range(1, 5)), ("Disk2", range(5, 7))):
    for n in names:
        data = open(os.path.join(sys.argv[2], disk, "PIC", "P%07d.JPG" % n), "rb").read()
        assert hashlib.md5(data).hexdigest() in digests, (disk, n, rows)
assert len(rows) == 7, rows
print("the takeover file binds the photos of both media")
PY

# Only the photos of medium 1 inspected: medium 2 is neither asked for nor missed.
/usr/bin/env python3 - "$tmp/m.csv" "$tmp/m1.csv" <<'PY'
import csv, sys
rows = list(csv.reader(open(sys.argv[1], encoding="cp932", newline="")))
for r in rows[1:5]:
    r[1] = "検査済"
with open(sys.argv[2], "w", encoding="cp932", newline="") as f:
    csv.writer(f, quoting=csv.QUOTE_ALL, lineterminator="\r\n").writerows(rows)
PY
"$cli" takeover export "$two/Disk1" --from "$tmp/m1.csv" --out "$tmp/t1.tod" 2>"$tmp/t1.err" >/dev/null
if grep -q "P000000[56]\|枚目" "$tmp/t1.err"; then echo "medium 2 asked for without need"; cat "$tmp/t1.err"; exit 1; fi
