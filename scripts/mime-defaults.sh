# Sourced by install.sh and uninstall.sh: which program opens a kind of file
# stays as it was. The import's entry offers Tessaly as a choice for vCard and
# spreadsheet files, and a desktop prefers an entry in the user's own folder to
# the system's: after the install it would open every .xlsx with Tessaly's
# login. So where another program was the default before the install, it is
# pinned as that kind's default in the user's mimeapps.list, and the pins are
# written down in PINS, so that the uninstall takes away exactly those and
# leaves the file as it found it. Where no other program opens a kind, the
# import becomes its default by itself (a vCard with no other contacts program).
# Without xdg-mime nothing is asked and nothing pinned.

mime_list="${XDG_CONFIG_HOME:-$HOME/.config}/mimeapps.list"
import_entry_name="tessaly-book-import.desktop"

# mime_types ENTRY: the MIME types a desktop entry lists, one a line.
mime_types() { sed -n 's/^MimeType=//p' "$1" | tr ';' '\n' | sed '/^$/d'; }

# default_for TYPE: the desktop's default program for TYPE; empty when none.
default_for() {
  if command -v xdg-mime >/dev/null 2>&1; then
    xdg-mime query default "$1" 2>/dev/null || true
  fi
}

# edit_defaults LIST AWK-PROGRAM: LIST rewritten by the program, by a rename.
edit_defaults() {
  local list="$1" program="$2" tmp
  tmp="$list.tessaly-new.$$"
  awk -v type="$type" -v app="$app" "$program" "$list" >"$tmp"
  mv -f "$tmp" "$list"
}

# pin_default TYPE APP: TYPE=APP under [Default Applications] in the user's list.
pin_default() {
  local type="$1" app="$2"
  mkdir -p "$(dirname "$mime_list")"
  [ -f "$mime_list" ] || : >"$mime_list"
  edit_defaults "$mime_list" '
    /^\[/ { if (inside && !done) { print type "=" app; done = 1 } inside = ($0 == "[Default Applications]") }
    inside && index($0, type "=") == 1 { if (!done) { print type "=" app; done = 1 } next }
    { print }
    END { if (!done) { if (!inside) print "[Default Applications]"; print type "=" app } }'
}

# unpin_default TYPE APP: takes the line TYPE=APP out of [Default Applications]
# when it is still that: a default the person chose since stays.
unpin_default() {
  local type="$1" app="$2"
  [ -f "$mime_list" ] || return 0
  edit_defaults "$mime_list" '
    /^\[/ { inside = ($0 == "[Default Applications]") }
    inside && $0 == type "=" app { next }
    { print }'
}

# defaults_before ENTRY: "TYPE APP" for each type of the entry, the default now.
defaults_before() {
  local type
  for type in $(mime_types "$1"); do
    printf '%s %s\n' "$type" "$(default_for "$type")"
  done
}

# pin_former_defaults BEFORE PINS: after the install, each kind the import
# took over from another program goes back to it; the pins are added to PINS.
pin_former_defaults() {
  local before="$1" pins="$2" type app now
  while read -r type app; do
    [ -n "$app" ] && [ "$app" != "$import_entry_name" ] || continue
    now="$(default_for "$type")"
    if [ "$now" = "$import_entry_name" ]; then
      [ -f "$mime_list" ] || echo "created $mime_list" >>"$pins"
      pin_default "$type" "$app"
      echo "pinned $type $app" >>"$pins"
    fi
  done <"$before"
}

# unpin_former_defaults PINS: what pin_former_defaults did, undone.
unpin_former_defaults() {
  local pins="$1" word type app created=""
  [ -f "$pins" ] || return 0
  while read -r word type app; do
    case "$word" in
      pinned) unpin_default "$type" "$app" ;;
      created) created="$type${app:+ $app}" ;;
    esac
  done <"$pins"
  # A list the install made, with nothing left but its heading, goes with it.
  if [ -n "$created" ] && [ -f "$created" ] && ! grep -qv -e '^\[Default Applications\]$' -e '^$' "$created"; then
    rm -f "$created"
  fi
  rm -f "$pins"
}
