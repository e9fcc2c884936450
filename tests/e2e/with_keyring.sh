#!/usr/bin/env bash
# Runs a command beside a real Secret Service: gnome-keyring's, on a session bus
# of its own, with a throwaway home so no person's keyring is read or written.
# Usage: tests/e2e/with_keyring.sh COMMAND [ARGUMENTS...]
set -euo pipefail

if [ -z "${TESSALY_KEYRING_BUS:-}" ]; then
    exec env TESSALY_KEYRING_BUS=1 dbus-run-session -- "$0" "$@"
fi
HOME=$(mktemp -d)
trap 'rm -rf "$HOME"' EXIT
export HOME XDG_DATA_HOME="$HOME/.local/share" XDG_RUNTIME_DIR="$HOME/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# A password on the standard input makes and unlocks the login keyring without asking anyone.
printf 'throwaway' | gnome-keyring-daemon --unlock --components=secrets >/dev/null
TESSALY_KEYRING=secret-service "$@"
