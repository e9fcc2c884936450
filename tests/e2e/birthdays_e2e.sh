#!/usr/bin/env bash
# tessaly-book's birthdays as other programs see them: the calendar file read
# back by python3-icalendar (its rules expanded by python3-dateutil, its lunar
# days checked against python3-lunardate), and the reminder shown by a real
# notification daemon (dunst) on a session bus of its own under Xvfb, started
# from the autostart entry the reminder's switch writes, as a desktop starts
# it at login (dex).
# Usage: tests/e2e/birthdays_e2e.sh <path to tessaly-book> <path to book_autostart_entry>
set -euo pipefail

BOOK=$(readlink -f "${1:?usage: $0 <tessaly-book executable> <book_autostart_entry executable>}")
SWITCH=$(readlink -f "${2:?usage: $0 <tessaly-book executable> <book_autostart_entry executable>}")
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d)
XVFB_PID=""
cleanup() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT
cd "$WORK"

fail() { echo "FAIL: $*" >&2; exit 1; }
ok() { echo "ok: $*"; }

# The lists and the export are behind the login password (the factory one here); the reminder is not.
printf '480917\n' > password
book() { "$BOOK" --password-file password "$@"; }

# Two contacts alike but for the phone, 29 February, lunar ones (腊月三十 included) and one not understood.
printf '姓名,生日,电话\n张三,1990-05-01,1\n张三,1990-05-01,2\n李四,2000-02-29,3\n王五,农历八月十五,4\n钱七,腊月三十,5\n赵六,八月十五,6\n' > a.csv
book --db calendar.mdb import a.csv >/dev/null
book --db calendar.mdb export 生日.ics > out.txt
grep -q '^已导出 5 个生日（另有 1 个生日读不懂' out.txt || fail "export report: $(cat out.txt)"
book --db calendar.mdb export again.ics > /dev/null

/usr/bin/python3 - 生日.ics again.ics <<'PY' || fail "the calendar as python3-icalendar reads it"
import datetime, sys
import icalendar, lunardate
from dateutil.rrule import rrulestr

def events(path):
    with open(path, 'rb') as f:
        cal = icalendar.Calendar.from_ical(f.read())
    assert str(cal['VERSION']) == '2.0' and cal['PRODID']
    return list(cal.walk('VEVENT'))

first, second = events(sys.argv[1]), events(sys.argv[2])
uids = [str(e['UID']) for e in first]
assert len(set(uids)) == len(uids), 'UIDs repeat'
assert uids == [str(e['UID']) for e in second], 'UIDs change between exports'
by_summary = {}
for e in first:
    assert type(e['DTSTART'].dt) is datetime.date, 'all-day events'
    assert e['DTEND'].dt - e['DTSTART'].dt == datetime.timedelta(days=1)
    alarm, = e.walk('VALARM')
    assert alarm['ACTION'] == 'DISPLAY' and alarm['TRIGGER'].dt == -datetime.timedelta(days=1)
    by_summary.setdefault(str(e['SUMMARY']), []).append(e)

def expand(e, start, end):
    rule = rrulestr(e['RRULE'].to_ical().decode(), dtstart=datetime.datetime.combine(e['DTSTART'].dt, datetime.time()))
    return [d.date() for d in rule.between(start, end, inc=True)]

assert len(by_summary['张三的生日']) == 2
leap, = by_summary['李四的生日']
assert expand(leap, datetime.datetime(2027, 1, 1), datetime.datetime(2029, 1, 1)) == [datetime.date(2027, 2, 28), datetime.date(2028, 2, 29)]
zhang = by_summary['张三的生日'][0]
assert expand(zhang, datetime.datetime(2030, 1, 1), datetime.datetime(2031, 1, 1)) == [datetime.date(2030, 5, 1)]

this_year = datetime.date.today().year
def lunar_events(name):
    found = [e for s, es in by_summary.items() if s.startswith(name + '的农历生日') for e in es]
    assert len(found) == 21, (name, len(found))
    return sorted(e['DTSTART'].dt for e in found)

for i, day in enumerate(lunar_events('王五')):
    l = lunardate.LunarDate.fromSolarDate(day.year, day.month, day.day)
    assert (l.year, l.month, l.day, l.isLeapMonth) == (this_year + i, 8, 15, False), (day, l)
for i, day in enumerate(lunar_events('钱七')):
    l = lunardate.LunarDate.fromSolarDate(day.year, day.month, day.day)
    after = day + datetime.timedelta(days=1)
    eve = lunardate.LunarDate.fromSolarDate(after.year, after.month, after.day)
    assert l.year == this_year + i and l.month == 12 and (eve.month, eve.day) == (1, 1), (day, l)
assert not [s for s in by_summary if s.startswith('赵六')]
PY
ok "the calendar reads back: stable UIDs, alarms, 29 February, lunar days"

# The reminder: a desktop with its own display and session bus, dunst showing.
# It runs on the real today: a birthday today, a lunar one in 3 days, one in 4.
/usr/bin/python3 - <<'PY'
import datetime, lunardate
today = datetime.date.today()
age = 30 if today.month != 2 or today.day != 29 else 28  # a 29 February 30 years back may not exist
born = today.replace(year=today.year - age)
later = today + datetime.timedelta(days=3)
lunar = lunardate.LunarDate.fromSolarDate(later.year, later.month, later.day)
lunar_text = '农历%s%d月%d日' % ('闰' if lunar.isLeapMonth else '', lunar.month, lunar.day)
too_late = today + datetime.timedelta(days=4)
with open('b.csv', 'w') as f:
    f.write('姓名,生日\n张三,%s\n李四,%s\n王五,%d-%d\n' % (born.isoformat(), lunar_text, too_late.month, too_late.day))
weekday = '一二三四五六日'[later.weekday()]
with open('expected.txt', 'w') as f:
    f.write('今天是张三的 %d 岁生日\n3 天后（周%s）是李四的农历生日' % (age, weekday))
PY
# The reminder turned on for a book in a folder whose name needs quoting in the entry.
mkdir "生日 书"
book --db "生日 书/notify.mdb" import b.csv >/dev/null
export XDG_CONFIG_HOME="$WORK/config"
"$SWITCH" "$BOOK" "$WORK/生日 书/notify.mdb"
test -f "$XDG_CONFIG_HOME/autostart/tessaly-birthdays.desktop" || fail "the autostart entry"
printf '姓名,生日\n赵六,\n' > c.csv
book --db empty.mdb import c.csv >/dev/null

n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
export DISPLAY=":$n"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

dbus-run-session -- bash "$HERE/desktop/notify_session.sh" "$BOOK" || { cat dunst.log >&2; fail "the reminder under dunst"; }

/usr/bin/python3 - <<'PY' || fail "dunst's history: $(cat shown.json)"
import json
shown = json.load(open('shown.json'))['data'][0]
assert len(shown) == 1, shown
assert shown[0]['summary']['data'] == '生日提醒'
assert shown[0]['body']['data'] == open('expected.txt').read(), shown[0]['body']['data']
assert shown[0]['appname']['data'] == 'Tessaly'
PY
ok "one notification for today's and the next 3 days' birthdays, none without them"
