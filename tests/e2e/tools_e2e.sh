#!/usr/bin/env bash
# Drives the tools window of tessaly-book under Xvfb as the desktop starts it:
# the import entry's Exec line with a .vcf, the login window, the preview, 导入,
# then the book read back with the sqlcipher shell, and every page shown.
# Usage: tests/e2e/tools_e2e.sh <tessaly-book, or the window program beside a
# build whose book/ holds it> [display]
# Screenshots go to $SHOTS (default /tmp/tessaly-e2e). Needs Xvfb, xdotool,
# imagemagick, sqlcipher and a C compiler with libX11.
set -euo pipefail

GIVEN=$(readlink -f "${1:?usage: $0 <tessaly-book> [display]}")
if [ "$(basename "$GIVEN")" = tessaly-book ]; then
    BOOK_EXE=$GIVEN
else
    BOOK_EXE=$(readlink -f "${TESSALY_BUILD:-$(dirname "$GIVEN")/..}/book/tessaly-book")
fi
export DISPLAY=${2:-:96}
export LC_ALL=C.UTF-8
SHOTS=${SHOTS:-/tmp/tessaly-e2e}
HERE=$(cd "$(dirname "$0")" && pwd)
ENTRY=$HERE/../../desktop/tessaly-book-import.desktop.in
EXPORT_ENTRY=$HERE/../../desktop/tessaly.desktop.in
WORK=$(mktemp -d)
mkdir -p "$SHOTS"
# shellcheck source=tests/e2e/lib.sh
source "$HERE/lib.sh"
# The size of the smallest screen the window must fit.
e2e_display 1024x768x24

mkdir "$WORK/app"
cp "$BOOK_EXE" "$WORK/app/tessaly-book"
BOOK=$WORK/app/Kalvo.mdb

# A phone's file: a card with a photo, one whose note overflows, and a card twice.
convert -size 60x80 gradient:orange-navy "$WORK/face.jpg"
{
    printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:张三丰\r\nN:张;三丰;;;\r\nTEL;TYPE=CELL:13800138000\r\n'
    printf 'PHOTO;ENCODING=b;TYPE=JPEG:%s\r\nEND:VCARD\r\n' "$(base64 -w0 "$WORK/face.jpg")"
    printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:李四\r\nTEL:010-6552 9988 转 123\r\nEMAIL:lisi@example.com\r\n'
    printf 'ADR:;;朝阳区建国路 88 号;北京;;100022;中国\r\nEND:VCARD\r\n'
    printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:李四\r\nTEL:010-6552 9988 转 123\r\nEND:VCARD\r\n'
} >"$WORK/手机.vcf"

# The Exec line of a group of a desktop entry, with its field codes filled as a desktop fills them.
exec_line() {
    local entry=$1 group=$2 files=$3
    awk -v group="[$group]" '/^\[/ { inside = ($0 == group) } inside && /^Exec=/ { print; exit }' "$entry" |
        sed -e 's/^Exec=//' -e "s|@TESSALY_BINDIR@|$WORK/app|" -e "s|%F|$files|"
}

start_from_entry() {
    local entry=$1 group=$2 files=${3:-}
    local line
    line=$(exec_line "$entry" "$group" "$files")
    # shellcheck disable=SC2086  # the Exec line splits into words as the desktop splits it
    $line >"$WORK/app.log" 2>&1 &
    APP_PID=$!
}

keys() {
    local window=$1
    shift
    xdotool windowfocus --sync "$window"
    xdotool key --delay 80 "$@"
}

shot() { import -window root "$SHOTS/$1.png"; }

sql() { sqlcipher "$BOOK" "PRAGMA key='tavmeri'; $1" | grep -v '^ok$'; }

# 1. Opened with 导入联系人: the login window first, nothing written yet.
start_from_entry "$ENTRY" "Desktop Entry" "$WORK/手机.vcf"
LOGIN=$(window_named "登录") || fail "no login window"
pass "login window before anything else"
xdotool windowfocus --sync "$LOGIN"
xdotool type --delay 30 "480917"
shot tools-login
xdotool key Return
TOOLS=$(window_named "Tessaly 通讯录工具") || fail "no tools window after the password"
pass "tools window after the password"
sleep 1.5
shot tools-import-preview
[ "$(sql "select count(*) from rem;")" = 0 ] || fail "the book was written before 导入"
pass "nothing written before 导入"

# 2. 导入 (Alt+I), the report box, then the book through the sqlcipher shell.
keys "$TOOLS" alt+i
REPORT=$(window_named "Tessaly 通讯录工具" "$TOOLS") || fail "no report after 导入"
shot tools-import-report
keys "$REPORT" Return
sleep 0.5
NAMES=$(sql "select trim(姓名) || '|' || (jpg is not null) from rem order by rowid;")
[ "$NAMES" = "$(printf '张三丰|1\n李四|0')" ] || fail "book after import: $NAMES"
[ "$(sql "select trim(电话) from rem where trim(姓名) = '张三丰';")" = 13800138000 ] || fail "张三丰's phone"
pass "two contacts imported, the photo with them, the duplicate left out"
NOTE=$(sql "select 备注 from rem where trim(姓名) = '李四';")
case "$NOTE" in *lisi@example.com*) pass "the e-mail went to 备注" ;; *) fail "备注: $NOTE" ;; esac

# 3. Every page, by its keyboard shortcut.
keys "$TOOLS" alt+2
sleep 0.5
shot tools-export
keys "$TOOLS" alt+3
sleep 1
xdotool type --delay 80 "zs"
sleep 0.5
keys "$TOOLS" Tab Down
sleep 0.5
shot tools-find
keys "$TOOLS" alt+4
sleep 1
keys "$TOOLS" alt+b
BOX=$(window_named "Tessaly 通讯录工具" "$TOOLS") || fail "no report after 立即备份"
keys "$BOX" Return
sleep 0.5
shot tools-backup
ls "$WORK/app"/Kalvo-*.mdb >/dev/null || fail "no backup beside the book"
pass "backup beside the book"
keys "$TOOLS" alt+5
sleep 1
shot tools-check
keys "$TOOLS" alt+6
sleep 1
shot tools-birthdays
keys "$TOOLS" alt+8
sleep 1
shot tools-print

# 4. Closing the window ends the program.
"$WORK/wm_delete" "$TOOLS"
await_exit
[ "$RC" = 0 ] || fail "exit status $RC after closing the window"
pass "closing the window ends the program (0)"

# 5. The 导出联系人 action opens 导出 after the password.
start_from_entry "$EXPORT_ENTRY" "Desktop Action export"
LOGIN=$(window_named "登录") || fail "no login window for 导出联系人"
xdotool windowfocus --sync "$LOGIN"
xdotool type --delay 30 "480917"
xdotool key Return
TOOLS=$(window_named "Tessaly 通讯录工具") || fail "no tools window for 导出联系人"
sleep 0.5
shot tools-export-action
"$WORK/wm_delete" "$TOOLS"
await_exit
pass "导出联系人 opens the tools window"

# 6. Three wrong passwords end the program with nothing read.
start_from_entry "$ENTRY" "Desktop Entry" "$WORK/手机.vcf"
for try in 1 2 3; do
    LOGIN=$(window_named "登录") || fail "no login window for try $try"
    xdotool windowfocus --sync "$LOGIN"
    xdotool type --delay 30 "111111"
    xdotool key Return
    BOX=$(window_named "提示") || fail "no 密码不对 box on try $try"
    xdotool windowfocus --sync "$BOX"
    xdotool key Return
    sleep 0.3
done
await_exit
[ "$RC" = 1 ] || fail "exit status $RC after three wrong passwords"
[ "$(sql "select count(*) from rem;")" = 2 ] || fail "the book changed after three wrong passwords"
pass "three wrong passwords end the program (1), the book unchanged"
echo "screenshots in $SHOTS"
