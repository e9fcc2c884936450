#!/usr/bin/env bash
# Contacts through spreadsheets with the real tessaly-book, its files checked by
# independent readers: Python's csv module and openpyxl (and xlrd) read what it
# exports; python3-xlwt writes an Excel .xls for it to import.
# Usage: tests/e2e/sheets_e2e.sh <path to the tessaly-book executable>
# Exits non-zero on the first failure.
set -euo pipefail

BOOK=$(readlink -f "${1:?usage: $0 <tessaly-book executable>}")
PY=/usr/bin/python3   # Debian's, which has python3-openpyxl, python3-xlwt, python3-xlrd
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }
printf '480917\n' > "$WORK/password"
book() { "$BOOK" --password-file "$WORK/password" --db "$WORK/Kalvo.mdb" "$@"; }

# A CSV as Excel on Chinese Windows saves it (GBK, CRLF), with what needs quoting.
$PY - <<'PY'
rows = [["类别", "姓名", "生日", "电话", "QQ", "地址", "备注"],
        ["同事", "欧阳修", "1990-01-02", "013800138000", "00123", "北京市,海淀区", '他说"你好"\r\n第二行'],
        ["", "John Smith", "", "+86 138 0013 8000", "", "", ""]]
def field(t):
    return '"' + t.replace('"', '""') + '"' if any(c in t for c in ',"\r\n') else t
open("gbk.csv", "wb").write("".join(",".join(field(t) for t in r) + "\r\n" for r in rows).encode("gbk"))
PY
# An Excel workbook from a real BIFF8 writer, a phone number stored as a number.
$PY - <<'PY'
import xlwt
book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("Sheet1")
for c, name in enumerate(["姓名", "电话", "QQ", "住址"]):
    sheet.write(0, c, name)
for c, value in enumerate(["司马光", 13912345678, 10001, "上海市"]):
    sheet.write(1, c, value)
book.save("excel.xls")
PY

book import gbk.csv excel.xls > import.log || fail "import: $(cat import.log)"
grep -q "添加 3 条" import.log || fail "import report: $(cat import.log)"
pass "a GBK CSV and an Excel .xls go in"

book export out.csv >/dev/null || fail "export csv"
book export out.xlsx >/dev/null || fail "export xlsx"

$PY - <<'PY' || fail "the exported CSV as Python's csv module reads it"
import csv, sys
raw = open("out.csv", "rb").read()
assert raw.startswith(b"\xef\xbb\xbf"), "no byte order mark"
bare = raw.replace(b"\r\n", b"")
assert raw.count(b"\r\n") == 5 and b"\n" not in bare and b"\r" not in bare, "line ends"
rows = list(csv.reader(open("out.csv", encoding="utf-8-sig", newline="")))
expected = [["类别", "姓名", "生日", "电话", "QQ", "地址", "备注"],
            ["同事", "欧阳修", "1990-01-02", "013800138000", "00123", "北京市,海淀区", '他说"你好"\r\n第二行'],
            ["", "John Smith", "", "+8613800138000", "", "", ""],  # blanks go when 电话 is too narrow
            ["", "司马光", "", "13912345678", "10001", "上海市", ""]]
assert rows == expected, rows
PY
pass "the exported CSV reads back in Python's csv module"

$PY - <<'PY' || fail "the exported .xlsx as openpyxl reads it"
import openpyxl, re, xlrd
# openpyxl 3.0 leaves the format's escapes of control characters (_x000D_ for a
# carriage return, as Excel writes it too) undecoded; decode them as Excel does.
def shown(v):
    return re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), v) if isinstance(v, str) else (v or "")
book = openpyxl.load_workbook("out.xlsx")
assert book.sheetnames == ["通讯录"], book.sheetnames
sheet = book["通讯录"]
assert sheet.freeze_panes == "A2", sheet.freeze_panes
rows = [[shown(c.value) for c in row] for row in sheet.iter_rows()]
assert rows[0] == ["类别", "姓名", "生日", "电话", "QQ", "地址", "备注"], rows[0]
assert rows[1] == ["同事", "欧阳修", "1990-01-02", "013800138000", "00123", "北京市,海淀区", '他说"你好"\r\n第二行'], rows[1]
assert rows[3] == ["", "司马光", "", "13912345678", "10001", "上海市", ""], rows[3]
assert all(c.font.b for c in sheet[1]), "header not bold"
for row in sheet.iter_rows():
    for c in row:
        if c.value is not None:
            assert c.data_type == "s" and c.number_format == "@", (c.coordinate, c.data_type, c.number_format)
assert sheet.column_dimensions["F"].width >= 14, sheet.column_dimensions["F"].width  # 北京市,海淀区
other = xlrd.open_workbook("out.xlsx").sheet_by_index(0)
assert other.name == "通讯录" and other.cell_value(3, 1) == "司马光" and other.cell_value(1, 3) == "013800138000"
PY
pass "the exported .xlsx reads back in openpyxl and xlrd: text cells, bold frozen header"

# Our own files back into an empty book give the same list.
book list > before.tsv
for f in out.csv out.xlsx; do
    rm -f "$WORK/again.mdb"
    "$BOOK" --password-file "$WORK/password" --db "$WORK/again.mdb" import "$f" >/dev/null || fail "import $f"
    "$BOOK" --password-file "$WORK/password" --db "$WORK/again.mdb" list > again.tsv
    cmp -s before.tsv again.tsv || fail "$f round trip: $(diff before.tsv again.tsv)"
done
pass "the exported CSV and .xlsx give the same contacts back"

# A file whose header names nothing we know is refused, and the book stays as it was.
printf 'Foo,Bar\n1,2\n' > odd.csv
if book import odd.csv 2> odd.log; then fail "odd header accepted"; fi
grep -q "Foo、Bar" odd.log || fail "refusal names the columns: $(cat odd.log)"
book list > after.tsv
cmp -s before.tsv after.tsv || fail "a refused import changed the book"
pass "a header without known columns is refused with the columns it found"
