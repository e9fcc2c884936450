#!/usr/bin/env bash
# Inside a session bus of its own (dbus-run-session), on the display given by
# DISPLAY: starts dunst, sends the reminder of an empty book (empty.mdb in the
# current folder), logs in as far as the autostart entries under
# $XDG_CONFIG_HOME/autostart go (dex starts them as a desktop does), and writes
# dunst's history to shown.json. Part of birthdays_e2e.sh.
# Usage: notify_session.sh <path to tessaly-book>
set -euo pipefail
BOOK=$1
dunst -config /dev/null >dunst.log 2>&1 &
DUNST=$!
trap 'kill $DUNST 2>/dev/null || true' EXIT
# Asking dunstctl before dunst owns the name would start a second one through the bus.
owned() {
    dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.Notifications | grep -q true
}
for _ in $(seq 100); do owned && break; sleep 0.1; done
# No password: the reminder runs at login, where nobody can type one.
"$BOOK" --db empty.mdb birthdays --notify </dev/null
dex --autostart --environment GNOME --search-paths "$XDG_CONFIG_HOME/autostart" </dev/null
for _ in $(seq 50); do [ "$(dunstctl count displayed)" = 1 ] && break; sleep 0.1; done
[ "$(dunstctl count displayed)" = 1 ]
# dunst's history holds the notifications closed.
dunstctl close-all
for _ in $(seq 50); do [ "$(dunstctl count history)" != 0 ] && break; sleep 0.1; done
dunstctl history > shown.json
