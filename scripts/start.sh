#!/usr/bin/env bash
# Installs what is needed, builds, installs for this user (scripts/install.sh:
# ~/.local/lib/tessaly, where the book lies beside the program, outside this
# tree) and starts the installed contact book.
# Without a display it starts its own Xvfb on :99 and runs there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh programs
bash scripts/install.sh build
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:99
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    for _ in $(seq 50); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
  fi
  echo "no display: running on Xvfb $DISPLAY"
fi
exec "$HOME/.local/bin/tessaly"
