#!/usr/bin/env bash
# Installs the built programs for this user, outside the source tree:
#   ~/.local/lib/tessaly/      the programs, and the book Kalvo.mdb beside them
#   ~/.local/bin/              links to the programs
#   $XDG_DATA_HOME/            desktop entries, icons, AppStream metainfo
#                              (default ~/.local/share)
# Usage: scripts/install.sh [BUILD_DIR]   (default: build)
#
# The book is never installed, overwritten, moved or truncated. Every program
# file is written beside its place and then renamed over it, so a running
# program keeps its old file and an interrupted install leaves whole programs.
# A book left in the old place, BUILD_DIR/app/Kalvo.mdb, moves to the
# installed folder when that folder has none yet (TESSALY_OLD_BOOK names
# another old place). The programs that opened vCard and spreadsheet files
# before still open them (mime-defaults.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts="$PWD/scripts"
. "$scripts/mime-defaults.sh"
build="${1:-build}"
prefix="$HOME/.local"
data="${XDG_DATA_HOME:-$HOME/.local/share}"

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix "$prefix" >/dev/null
root="$stage$prefix"
program_dir="$(cd "$root/bin" && cd "$(dirname "$(readlink tessaly)")" && pwd)"
program_dir="$prefix${program_dir#"$root"}"

# Who opens each kind of file the import offers to open, before it is installed.
staged_import_entry="$root/share/applications/$import_entry_name"
if [ -f "$staged_import_entry" ]; then
  defaults_before "$staged_import_entry" >"$stage/defaults-before"
else
  : >"$stage/defaults-before"
fi

# place SOURCE DEST: puts one staged file or link at DEST by a rename.
place() {
  local src="$1" dest="$2" tmp
  mkdir -p "$(dirname "$dest")"
  tmp="$(dirname "$dest")/.$(basename "$dest").tessaly-new.$$"
  if [ -L "$src" ]; then
    ln -sfn "$(readlink "$src")" "$tmp"
  else
    cp -p "$src" "$tmp"
  fi
  mv -fT "$tmp" "$dest"
}

while IFS= read -r -d '' rel; do
  rel="${rel#./}"
  case "$rel" in
    share/*) dest="$data/${rel#share/}" ;;
    *) dest="$prefix/$rel" ;;
  esac
  case "$(basename "$dest")" in
    Kalvo.mdb|Kalvo.mdb-journal) continue ;;  # the book is the user's, never the install's
  esac
  place "$root/$rel" "$dest"
done < <(cd "$root" && find . \( -type f -o -type l \) -print0)
# The book lies in the programs' folder: nobody but its owner looks in.
chmod 700 "$program_dir"

if command -v update-desktop-database >/dev/null 2>&1; then
  update-desktop-database -q "$data/applications" 2>/dev/null || true
fi
if command -v gtk-update-icon-cache >/dev/null 2>&1; then
  gtk-update-icon-cache -q -f -t "$data/icons/hicolor" 2>/dev/null || true
fi
pin_former_defaults "$stage/defaults-before" "$program_dir/mimeapps-pins"
echo "installed Tessaly in $program_dir (link: $prefix/bin/tessaly)"

# The book of the old layout, where the program ran from the build folder.
old_book="${TESSALY_OLD_BOOK:-$build/app/Kalvo.mdb}"
book="$program_dir/Kalvo.mdb"
if [ -f "$old_book" ]; then
  if [ -e "$book" ]; then
    echo "two books: the installed one is $book, an older one is $old_book (left as it is)"
  else
    # A journal beside the old book belongs to it: it goes first, so the book
    # never arrives without the record of an unfinished write.
    for part in "$old_book-journal" "$old_book"; do
      [ -f "$part" ] || continue
      target="$program_dir/$(basename "$part")"
      cp -p "$part" "$target.tessaly-new.$$"
      mv -fT "$target.tessaly-new.$$" "$target"
    done
    rm -f "$old_book-journal" "$old_book"
    echo "moved the book from $old_book to $book"
  fi
fi
