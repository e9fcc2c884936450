#!/usr/bin/env bash
# Which program opens a file after the install, as the desktop asks it
# (xdg-mime query default), in a scratch XDG tree: a stand-in spreadsheet
# program of the system keeps .csv, .xls and .xlsx; Tessaly's import is
# offered for them; it opens vCards only where no other program does; and
# the uninstall leaves the user's mimeapps.list as it found it.
# Usage: desktop_defaults_e2e.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src="$1"
build="$(cd "$2" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home"
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
export XDG_DATA_DIRS="$work/system" XDG_CONFIG_DIRS="$work/system-config"
# xdg-mime's own reading of the lists, not a desktop's service.
unset DISPLAY WAYLAND_DISPLAY XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID XDG_SESSION_DESKTOP
mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_DIRS/applications" "$XDG_CONFIG_DIRS"
import=tessaly-book-import.desktop
sheets="application/vnd.ms-excel application/vnd.openxmlformats-officedocument.spreadsheetml.sheet text/csv"
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/checks.sh"
default_is() { [ "$(xdg-mime query default "$1")" = "$2" ]; }
# system_program NAME TYPES: a program of the system's that opens those kinds.
system_program() {
  printf '[Desktop Entry]\nType=Application\nName=%s\nExec=%s %%F\nMimeType=%s;\n' \
    "$1" "$(command -v true)" "$(echo "$2" | tr ' ' ';')" >"$XDG_DATA_DIRS/applications/$1.desktop"
  update-desktop-database -q "$XDG_DATA_DIRS/applications"
}
install_quietly() { bash "$src/scripts/install.sh" "$build" >"$work/out" 2>&1 || { cat "$work/out"; return 1; }; }
uninstall_quietly() { bash "$src/scripts/uninstall.sh" >"$work/out" 2>&1 || { cat "$work/out"; return 1; }; }

# shouldLeaveSpreadsheetsToTheirProgramAndTakeVCardsNobodyOpens
system_program sheets "$sheets"
for type in $sheets; do check "before: sheets opens $type" default_is "$type" sheets.desktop; done
check "before: no program opens vCards" default_is text/vcard ""
install_quietly
for type in $sheets; do
  check "sheets still opens $type" default_is "$type" sheets.desktop
  check "the import is offered for $type" grep -q "^MimeType=.*$type;" "$XDG_DATA_HOME/applications/$import"
done
check "the import opens vCards, which nothing else opens" default_is text/vcard "$import"
check "the user's own list holds only what was pinned" \
  test "$(grep -c '=sheets.desktop$' "$XDG_CONFIG_HOME/mimeapps.list")" = 3

# shouldLeaveTheListAsItWasAfterTheUninstall
uninstall_quietly
for type in $sheets; do check "after the uninstall sheets opens $type" default_is "$type" sheets.desktop; done
check "after the uninstall nothing opens vCards" default_is text/vcard ""
check "a list the install made goes with it" test ! -e "$XDG_CONFIG_HOME/mimeapps.list"

# shouldKeepAVCardProgramAndTheUsersOwnChoices
system_program contacts "text/vcard text/x-vcard"
printf '[Added Associations]\nimage/png=viewer.desktop;\n\n[Default Applications]\ntext/plain=editor.desktop\n' \
  >"$XDG_CONFIG_HOME/mimeapps.list"
cp "$XDG_CONFIG_HOME/mimeapps.list" "$work/list-before"
install_quietly
check "the vCard program still opens vCards" default_is text/vcard contacts.desktop
check "sheets still opens .xlsx" \
  default_is application/vnd.openxmlformats-officedocument.spreadsheetml.sheet sheets.desktop
check "the user's lines stay" grep -qx 'text/plain=editor.desktop' "$XDG_CONFIG_HOME/mimeapps.list"
bash "$src/scripts/install.sh" "$build" >"$work/out" 2>&1  # a second install pins nothing twice
check "a second install keeps one pin a kind" test "$(grep -c '^text/csv=' "$XDG_CONFIG_HOME/mimeapps.list")" = 1
uninstall_quietly
check "the uninstall leaves the user's list byte for byte" cmp -s "$XDG_CONFIG_HOME/mimeapps.list" "$work/list-before"

# shouldKeepADefaultChosenAfterTheInstall
install_quietly
sed -i 's/^text\/csv=sheets.desktop$/text\/csv=other.desktop/' "$XDG_CONFIG_HOME/mimeapps.list"
uninstall_quietly
check "a default the person chose since stays" grep -qx 'text/csv=other.desktop' "$XDG_CONFIG_HOME/mimeapps.list"
check "the other pins go" test -z "$(grep '=sheets.desktop$' "$XDG_CONFIG_HOME/mimeapps.list")"

checks_end
