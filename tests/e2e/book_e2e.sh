#!/usr/bin/env bash
# tessaly-book run as a person runs it, on a book in a temporary folder: the
# book is then read with the sqlcipher shell and the exported file with
# python3-vobject, both independent of our code.
# Usage: tests/e2e/book_e2e.sh <path to tessaly-book>
set -euo pipefail

BOOK_PROGRAM=$(readlink -f "${1:?usage: $0 <tessaly-book executable>}")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
# The program looks for Kalvo.mdb beside itself: give it a folder of its own.
cp "$BOOK_PROGRAM" ./tessaly-book
# Every command is behind the login password: the book's factory one, from a file.
printf '480917\n' > password.txt
book() { ./tessaly-book --password-file password.txt "$@"; }
BOOK=book

fail() { echo "FAIL: $*" >&2; exit 1; }
ok() { echo "ok: $*"; }
sql() { sqlcipher "$1" "PRAGMA key='tavmeri';" "$2"; }
expect_status() {  # expect_status <status> <command...>
    local want=$1; shift
    set +e; "$@" >out.txt 2>err.txt; local got=$?; set -e
    [ "$got" = "$want" ] || { cat out.txt err.txt >&2; fail "$* exited $got, expected $want"; }
}

# A phone's file: vCard 2.1 with quoted-printable Chinese and a base64 JPEG photo.
convert -size 40x30 xc:'#3080c0' -quality 85 photo.jpg
{
    printf 'BEGIN:VCARD\r\nVERSION:2.1\r\n'
    printf 'N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=BC=A0;=E4=B8=89;;;\r\n'
    printf 'FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=BC=A0=E4=B8=89\r\n'
    printf 'TEL;CELL:138-0013-8000\r\n'
    printf 'PHOTO;ENCODING=BASE64;JPEG:%s\r\n\r\n' "$(base64 -w0 photo.jpg)"
    printf 'END:VCARD\r\n'
    printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:李四\r\nTEL;TYPE=WORK:+86 (010) 6234-5678 转 8001\r\n'
    printf 'EMAIL:li@example.com\r\nBDAY:--0415\r\nEND:VCARD\r\n'
} > phone.vcf

expect_status 2 "$BOOK"
grep -q '用法见 tessaly-book --help' err.txt || fail "usage error names --help"
expect_status 0 "$BOOK" --help
grep -q '^用法：tessaly-book' out.txt || fail "help in Chinese"
ok "usage and help"

expect_status 0 "$BOOK" import --dry-run phone.vcf
[ ! -e Kalvo.mdb ] || fail "a dry run created the book"
[ "$(tail -n1 out.txt)" = "试运行，未写入：可添加 2 条，跳过 0 条，截断 0 条" ] || fail "dry run summary: $(tail -n1 out.txt)"
ok "dry run writes nothing"

expect_status 0 "$BOOK" import phone.vcf
[ -f Kalvo.mdb ] || fail "the book beside the program was not created"
[ "$(stat -c %a Kalvo.mdb)" = 600 ] || fail "a new book is its owner's only: $(stat -c %a Kalvo.mdb)"
[ "$(sql Kalvo.mdb 'select mm from pass;')" = "NDgwOTE3" ] || fail "a new book holds the factory password's row"
[ "$(tail -n1 out.txt)" = "添加 2 条，跳过 0 条，截断 0 条" ] || fail "import summary: $(tail -n1 out.txt)"
[ "$(sql Kalvo.mdb "select sql from sqlite_master where name='rem';")" = \
  "CREATE TABLE rem(类别 char(10),姓名 char(10),生日 char(15),电话 char(15),QQ char(15),地址 char(30),备注 char(100),jpg image )" ] \
    || fail "the contact table is the window's"
[ "$(sql Kalvo.mdb 'select count(*) from rem;')" = 2 ] || fail "two records"
[ "$(sql Kalvo.mdb "select 电话 from rem where 姓名='张三';")" = "138-0013-8000" ] || fail "phone kept as it fits"
[ "$(sql Kalvo.mdb "select lower(hex(jpg)) from rem where 姓名='张三';")" = "$(od -An -v -tx1 photo.jpg | tr -d ' \n')" ] \
    || fail "photo bytes stored exactly"
[ "$(sql Kalvo.mdb "select 电话 from rem where 姓名='李四';")" = "+8601062345678" ] || fail "the whole number without its extension"
[ "$(sql Kalvo.mdb "select 备注 from rem where 姓名='李四';")" = "电话:+86 (010) 6234-5678 转 8001；电话类别:工作电话；邮箱:li@example.com" ] \
    || fail "original phone and e-mail in 备注: $(sql Kalvo.mdb "select 备注 from rem where 姓名='李四';")"
ok "import stored what the sqlcipher shell reads"

expect_status 0 "$BOOK" import phone.vcf
[ "$(tail -n1 out.txt)" = "添加 0 条，跳过 2 条，截断 0 条" ] || fail "second import adds nothing"
[ "$(sql Kalvo.mdb 'select count(*) from rem;')" = 2 ] || fail "still two records"
ok "duplicates skipped"

expect_status 0 "$BOOK" list
[ "$(head -n1 out.txt)" = "$(printf '类别\t姓名\t生日\t电话\tQQ\t地址\t备注')" ] || fail "list header"
grep -q "$(printf '^\t张三\t\t138-0013-8000\t')" out.txt || fail "list row trimmed and tab-separated"
ok "list for programs"

expect_status 0 "$BOOK" list --numbers
number=$(awk -F'\t' '$3 == "张三" { print $1 }' out.txt)
[ "$number" = "$(sql Kalvo.mdb "select rowid from rem where 姓名='张三';")" ] || fail "list --numbers gives the rowid: $number"
expect_status 0 "$BOOK" qr "$number" zhang.png
[ "$(stat -c %a zhang.png)" = 600 ] || fail "the QR picture is its owner's only"
zbarimg -q --raw zhang.png > scanned.vcf 2>/dev/null || fail "zbarimg reads the QR code"
/usr/bin/python3 - scanned.vcf <<'PY' || fail "the scanned vCard: $(cat scanned.vcf)"
import sys, vobject
card = vobject.readOne(open(sys.argv[1], encoding='utf-8').read())
assert card.version.value == '3.0' and card.fn.value == '张三', card
assert card.tel.value == '138-0013-8000'
assert 'photo' not in card.contents, 'no photo in the code'
PY
expect_status 1 "$BOOK" qr 999 none.png
[ ! -e none.png ] || fail "no picture for a number the book does not have"
ok "a contact as a QR code, read back by zbarimg"

expect_status 0 "$BOOK" export all.vcf
/usr/bin/python3 - all.vcf photo.jpg <<'PY' || fail "python3-vobject reads the export"
import sys, vobject
cards = list(vobject.readComponents(open(sys.argv[1], encoding='utf-8').read()))
assert [c.fn.value for c in cards] == ['张三', '李四'], [c.fn.value for c in cards]
assert cards[0].photo.value == open(sys.argv[2], 'rb').read(), 'photo bytes'
assert cards[0].tel.value == '138-0013-8000'
PY
[ "$(stat -c %a all.vcf)" = 600 ] || fail "an exported file is its owner's only"
ok "export read by python3-vobject"

expect_status 0 "$BOOK" backup copy.mdb
[ "$(sql copy.mdb 'pragma integrity_check;')" = ok ] || fail "backup opens with the same key"
[ "$(sql copy.mdb 'select count(*) from rem;')" = 2 ] || fail "backup holds the records"
cp copy.mdb keep.mdb
expect_status 1 "$BOOK" backup copy.mdb
cmp -s copy.mdb keep.mdb || fail "backup overwrote a file"
expect_status 0 "$BOOK" backup
ls Kalvo-[0-9]*-[0-9]*.mdb >/dev/null || fail "default backup name"
[ "$(stat -c %a copy.mdb)" = 600 ] || fail "a backup is its owner's only"
ok "backup"

expect_status 0 "$BOOK" check
[ "$(cat out.txt)" = "$(printf '完整性检查：正常\n联系人：2 个')" ] || fail "check of a sound book"
cp Kalvo.mdb damaged.mdb
printf 'damage' | dd of=damaged.mdb bs=1 seek=1500 conv=notrunc status=none
expect_status 1 "$BOOK" --db damaged.mdb check
expect_status 1 "$BOOK" --db missing.mdb check
ok "check"

# The password: from standard input, wrong, or not to be had without a terminal.
printf '480917\nmore input\n' | ./tessaly-book --password-file - list >out.txt 2>err.txt || fail "password from standard input"
grep -q '张三' out.txt || fail "list after the password from standard input"
printf 'wrong\n' > wrong.txt
expect_status 1 ./tessaly-book --password-file wrong.txt list
[ "$(cat err.txt)" = "密码不对" ] && [ ! -s out.txt ] || fail "a wrong password reads nothing: $(cat out.txt err.txt)"
expect_status 2 ./tessaly-book list </dev/null
grep -q -- '--password-file' err.txt && [ ! -s out.txt ] || fail "without a terminal the option is named"
# At a terminal (a pseudo-terminal here): asked without echo, a wrong try, then the right one.
/usr/bin/python3 - ./tessaly-book <<'PY' || fail "the password asked at a terminal"
import os, pty, select, sys, time
pid, fd = pty.fork()
if pid == 0:
    os.execv(sys.argv[1], [sys.argv[1], 'list'])
seen = b''
def read_until(text, times=1, seconds=30):
    global seen
    end = time.time() + seconds
    while seen.count(text) < times and time.time() < end:
        if select.select([fd], [], [], 0.2)[0]:
            try:
                chunk = os.read(fd, 4096)
            except OSError:
                return
            if not chunk:
                return
            seen += chunk
read_until('密码：'.encode())
os.write(fd, b'wrong\n')
read_until('密码：'.encode(), 2)
os.write(fd, b'480917\n')
read_until('张三'.encode())
read_until(b'\xff', 1, 2)  # the rest, until the program closes the terminal
_, status = os.waitpid(pid, 0)
text = seen.decode()
assert os.waitstatus_to_exitcode(status) == 0, text
assert text.count('密码：') == 2 and '密码不对' in text and '张三' in text, text
assert 'wrong' not in text and '480917' not in text, 'what was typed was not shown: ' + text
PY
ok "login password"

chmod 644 Kalvo.mdb
expect_status 0 "$BOOK" check
grep -q '其他用户' err.txt || fail "check warns of a book others can read"
[ "$(stat -c %a Kalvo.mdb)" = 644 ] || fail "an existing book keeps its mode"
ok "file modes"

echo "book end-to-end: all passed"
