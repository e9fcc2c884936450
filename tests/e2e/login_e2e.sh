#!/usr/bin/env bash
# Drives the real program under Xvfb: first start, the login gate, closing.
# Usage: tests/e2e/login_e2e.sh <path to the tessaly executable> [display]
# Screenshots go to $SHOTS (default /tmp/tessaly-e2e). Needs Xvfb, xdotool,
# imagemagick and a C compiler with libX11. Exits non-zero on the first failure.
set -euo pipefail

EXE=$(readlink -f "${1:?usage: $0 <tessaly executable> [display]}")
export DISPLAY=${2:-:97}
SHOTS=${SHOTS:-/tmp/tessaly-e2e}
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d)
mkdir -p "$SHOTS"
# shellcheck source=tests/e2e/lib.sh
source "$HERE/lib.sh"
e2e_display 1280x1024x24

# The program in a folder of its own, as a user would put it.
mkdir "$WORK/app"
cp "$EXE" "$WORK/app/tessaly"

start_app() {
    "$WORK/app/tessaly" >"$WORK/app.log" 2>&1 &
    APP_PID=$!
}

type_into() {
    local window=$1 text=$2
    xdotool windowfocus --sync "$window"
    xdotool type --delay 30 "$text"
}

# 1. First start: the database is created, the login window shows; Escape and
#    Enter with the right password.
start_app
LOGIN=$(window_named "登录") || fail "no login window on first start"
pass "login window shown"
[ -f "$WORK/app/Kalvo.mdb" ] || fail "Kalvo.mdb not created"
head -c 15 "$WORK/app/Kalvo.mdb" | grep -q "SQLite format" && fail "Kalvo.mdb is not encrypted"
pass "encrypted database created beside the executable"
eval "$(xdotool getwindowgeometry --shell "$LOGIN")"
echo "login window at $X,$Y size ${WIDTH}x${HEIGHT}"
[ "$X,$Y" = "417,226" ] || fail "login window at $X,$Y, not 417,226"
[ "${WIDTH}x${HEIGHT}" = "346x128" ] || fail "login window ${WIDTH}x${HEIGHT}, not 346x128"
import -window root "$SHOTS/login.png"
type_into "$LOGIN" "480917"
import -window root "$SHOTS/login-typed.png"
xdotool key Escape
sleep 0.5
window_named "登录" >/dev/null || fail "Escape closed the login window"
pass "Escape does nothing"
xdotool key Return
MAIN=$(window_named "Tessaly") || fail "main window not shown after the right password"
pass "right password shows the main window"
sleep 0.5
import -window root "$SHOTS/main.png"
"$WORK/wm_delete" "$MAIN"
await_exit; [ "$RC" = 0 ] || fail "closing the main window did not end the program with 0"
pass "closing the main window ends the program with exit code 0"

# 2. Closing the login window ends the program without the main window.
start_app
LOGIN=$(window_named "登录") || fail "no login window on second start"
xdotool mousemove --window "$LOGIN" 247 88 click 1  # 改密
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$LOGIN")"
[ "$HEIGHT" = 281 ] || fail "after 改密 the window is $HEIGHT high, not 281"
pass "改密 reveals the change fields"
import -window root "$SHOTS/login-change.png"
"$WORK/wm_delete" "$LOGIN"
await_exit; [ "$RC" = 0 ] || fail "closing the login window did not end the program with 0"
pass "closing the login window ends the program with exit code 0"

# 3. Three wrong passwords, each confirmed in its box, end the program.
start_app
LOGIN=$(window_named "登录") || fail "no login window on third start"
for try in 1 2 3; do
    type_into "$LOGIN" "wrong$try"
    xdotool key Return
    BOX=$(window_named "提示") || fail "no message after wrong password $try"
    [ "$try" = 1 ] && import -window root "$SHOTS/wrong-password.png"
    xdotool windowfocus --sync "$BOX" key Return
    sleep 0.3
done
await_exit; [ "$RC" = 0 ] || fail "third wrong password did not end the program with 0"
pass "third wrong password ends the program with exit code 0"
echo "all passed; screenshots in $SHOTS"
