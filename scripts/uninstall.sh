#!/usr/bin/env bash
# Removes what scripts/install.sh put in place for this user: the programs,
# their links, the desktop entries, the icons, the metainfo and the birthday
# reminder's autostart entry (the tools window writes it when asked), and the
# defaults the install pinned for the programs that opened vCard and
# spreadsheet files before it (mime-defaults.sh). The book (Kalvo.mdb, and the
# backups Kalvo-*.mdb beside it) stays, and this says where.
set -euo pipefail
scripts="$(cd "$(dirname "$0")" && pwd)"
. "$scripts/mime-defaults.sh"
prefix="$HOME/.local"
data="${XDG_DATA_HOME:-$HOME/.local/share}"
config="${XDG_CONFIG_HOME:-$HOME/.config}"
program_dir="$prefix/lib/tessaly"

unpin_former_defaults "$program_dir/mimeapps-pins"
for program in tessaly tessaly-book; do
  link="$prefix/bin/$program"
  # Only our own links: one that points elsewhere is someone else's program.
  if [ -L "$link" ] && [ "$(readlink -f "$link")" = "$(readlink -f "$program_dir")/$program" ]; then
    rm -f "$link"
  fi
  rm -f "$program_dir/$program"
done
rm -f "$data/applications/tessaly.desktop" "$data/applications/tessaly-book.desktop" \
      "$data/applications/tessaly-book-import.desktop" \
      "$data/metainfo/io.tessaly.tessaly.metainfo.xml" "$data/icons/hicolor/scalable/apps/tessaly.svg" \
      "$config/autostart/tessaly-birthdays.desktop"
for size in 16 32 48 64 128 256; do
  rm -f "$data/icons/hicolor/${size}x${size}/apps/tessaly.png"
done
rmdir "$program_dir" 2>/dev/null || true

if command -v update-desktop-database >/dev/null 2>&1; then
  update-desktop-database -q "$data/applications" 2>/dev/null || true
fi
if command -v gtk-update-icon-cache >/dev/null 2>&1 && [ -d "$data/icons/hicolor" ]; then
  gtk-update-icon-cache -q -f -t "$data/icons/hicolor" 2>/dev/null || true
fi

echo "removed Tessaly"
if [ -f "$program_dir/Kalvo.mdb" ]; then
  echo "the contact book stays: $program_dir/Kalvo.mdb"
else
  echo "no contact book was found in $program_dir"
fi
