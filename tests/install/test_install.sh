#!/usr/bin/env bash
# The per-user install, run with a temporary HOME: the layout, the links, the
# desktop entries validated, a second install that replaces the programs and
# leaves the book byte for byte, the move of a book from the old build-folder
# place, and an uninstall that keeps the book.
# Usage: test_install.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src="$1"
build="$(cd "$2" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home"
unset XDG_DATA_HOME XDG_CONFIG_HOME
mkdir -p "$HOME"
lib="$HOME/.local/lib/tessaly"
apps="$HOME/.local/share/applications"
failures=0
passes=0
check() {  # check DESCRIPTION COMMAND...
  local what="$1"; shift
  if "$@"; then echo "PASS: $what"; passes=$((passes + 1)); else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
install_quietly() { TESSALY_OLD_BOOK="$work/old/Kalvo.mdb" bash "$src/scripts/install.sh" "$build" >"$work/out" 2>&1; }

# shouldLayOutProgramsLinksEntriesAndIcons
install_quietly
check "program in ~/.local/lib/tessaly" test -x "$lib/tessaly"
check "link on PATH resolves to the program" test "$(readlink -f "$HOME/.local/bin/tessaly")" = "$(readlink -f "$lib/tessaly")"
check "the link is relative" test "$(readlink "$HOME/.local/bin/tessaly")" = "../lib/tessaly/tessaly"
for size in 16 32 48 64 128 256; do
  check "icon ${size}x${size}" test -s "$HOME/.local/share/icons/hicolor/${size}x${size}/apps/tessaly.png"
done
check "scalable icon" test -s "$HOME/.local/share/icons/hicolor/scalable/apps/tessaly.svg"
check "no book is installed" test ! -e "$lib/Kalvo.mdb"
check "the programs' folder is the owner's only" test "$(stat -c %a "$lib")" = 700
for entry in "$apps"/tessaly*.desktop; do
  check "$(basename "$entry") validates" desktop-file-validate "$entry"
done
check "the entry starts the installed program" grep -qx "Exec=$HOME/.local/bin/tessaly" "$apps/tessaly.desktop"
check "the entry's Chinese name" grep -qx "Name\[zh_CN\]=Tessaly 通讯录" "$apps/tessaly.desktop"
check "the tools' entry starts tessaly-book in a window" \
  grep -qx "Exec=$HOME/.local/bin/tessaly-book --gui %F" "$apps/tessaly-book.desktop"
check "the tools' entry's Chinese name" grep -qx "Name\[zh_CN\]=Tessaly 通讯录工具" "$apps/tessaly-book.desktop"
for mime in text/vcard text/csv application/vnd.ms-excel application/vnd.openxmlformats-officedocument.spreadsheetml.sheet; do
  check "导入联系人 opens $mime" grep -q "^MimeType=.*$mime;" "$apps/tessaly-book-import.desktop"
done
if command -v appstreamcli >/dev/null 2>&1; then
  check "metainfo validates" appstreamcli validate --no-net "$HOME/.local/share/metainfo/io.tessaly.tessaly.metainfo.xml"
fi

# shouldReplaceProgramsAndKeepTheBookByteForByte
head -c 70000 /dev/urandom >"$lib/Kalvo.mdb"
cp "$lib/Kalvo.mdb" "$work/book-before"
exec 3<"$lib/tessaly"  # a running program holds its file open like this
inode_before="$(stat -c %i "$lib/tessaly")"
install_quietly
check "second install leaves the book byte-identical" cmp -s "$lib/Kalvo.mdb" "$work/book-before"
check "second install replaces the program by a rename" test "$(stat -c %i "$lib/tessaly")" != "$inode_before"
check "the old program file is still whole for whoever holds it" cmp -s /proc/self/fd/3 "$lib/tessaly"
exec 3<&-
check "no staging files are left" test -z "$(find "$HOME" -name '*.tessaly-new.*')"

# shouldMoveTheBookFromTheBuildFolderWhenTheInstallHasNone
rm "$lib/Kalvo.mdb"
mkdir -p "$work/old"
printf 'old book' >"$work/old/Kalvo.mdb"
install_quietly
check "the old book moved into the install folder" test "$(cat "$lib/Kalvo.mdb" 2>/dev/null)" = "old book"
check "nothing is left in the old place" test ! -e "$work/old/Kalvo.mdb"
check "the move is said in one line" test "$(grep -c '^moved the book from' "$work/out")" = 1

# shouldLeaveBothBooksWhenBothExist
printf 'another old book' >"$work/old/Kalvo.mdb"
install_quietly
check "the installed book stays" test "$(cat "$lib/Kalvo.mdb")" = "old book"
check "the old book stays" test "$(cat "$work/old/Kalvo.mdb")" = "another old book"
check "both places are printed" grep -q "$lib/Kalvo.mdb.*$work/old/Kalvo.mdb" "$work/out"

# shouldUninstallEverythingButTheBook
mkdir -p "$HOME/.config/autostart"
printf '[Desktop Entry]\n' >"$HOME/.config/autostart/tessaly-birthdays.desktop"
printf '[Desktop Entry]\n' >"$HOME/.config/autostart/other.desktop"
bash "$src/scripts/uninstall.sh" >"$work/out" 2>&1
check "the birthday reminder no longer starts at login" test ! -e "$HOME/.config/autostart/tessaly-birthdays.desktop"
check "other programs' autostart entries stay" test -e "$HOME/.config/autostart/other.desktop"
check "program removed" test ! -e "$lib/tessaly"
check "link removed" test ! -L "$HOME/.local/bin/tessaly"
check "desktop entries removed" test -z "$(find "$apps" -name 'tessaly*.desktop')"
check "icons removed" test -z "$(find "$HOME/.local/share/icons" -name 'tessaly.*')"
check "the book stays" test "$(cat "$lib/Kalvo.mdb")" = "old book"
check "uninstall says where the book is" grep -q "$lib/Kalvo.mdb" "$work/out"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
