# Shared by the end-to-end scripts that drive a program's windows under Xvfb.
# The script sets HERE (this folder), WORK (a temporary folder of its own) and
# DISPLAY, sources this file, then calls e2e_display; APP_PID is the program
# being driven, its output in $WORK/app.log.
# shellcheck shell=bash

XVFB_PID=""
APP_PID=""

cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    # Waited for, so its display is free (socket and lock gone) when the next script looks for one.
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "$WORK/app.log" ] && cat "$WORK/app.log" >&2
    exit 1
}
pass() { echo "ok: $*"; }

# A screen of the size given (1024x768x24) unless a display is there already,
# and $WORK/wm_delete, which closes a window as its title bar's close button does.
e2e_display() {
    if ! xdpyinfo >/dev/null 2>&1; then
        Xvfb "$DISPLAY" -screen 0 "$1" -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    fi
    cc -O -o "$WORK/wm_delete" "$HERE/wm_delete.c" -lX11
}

# The visible window of the program whose name is $1 (and not $2), waiting up to 15 s.
window_named() {
    local name=$1 not=${2:-} id
    for _ in $(seq 150); do
        for id in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null); do
            [ "$id" = "$not" ] && continue
            [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$name" ] && { echo "$id"; return 0; }
        done
        sleep 0.1
    done
    return 1
}

# Sets RC to the exit code of the program, waiting up to 10 s; "running" when it goes on.
# (Not a command substitution: only this shell can wait for its child.)
await_exit() {
    RC=running
    for _ in $(seq 100); do
        if ! kill -0 "$APP_PID" 2>/dev/null; then
            RC=0
            wait "$APP_PID" || RC=$?
            APP_PID=""
            return
        fi
        sleep 0.1
    done
}
