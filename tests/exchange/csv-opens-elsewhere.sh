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
