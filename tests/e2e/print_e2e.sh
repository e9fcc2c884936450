#!/usr/bin/env bash
# The book printed as a person prints it, read back by poppler (pdftotext,
# pdfinfo, pdffonts): tessaly-book export 通讯录.pdf in both styles, then the
# 打印 page's 打印 button sending the job through QPrinter to a CUPS-PDF
# printer of a CUPS scheduler this script starts on a socket of its own. Where
# the scheduler cannot start (not root, no cups-pdf), that part says so and is skipped.
# Usage: tests/e2e/print_e2e.sh <path to tessaly-book> <path to print_on_printer>
set -euo pipefail

BOOK=$(readlink -f "${1:?usage: $0 <tessaly-book executable> <print_on_printer executable>}")
PRINTER=$(readlink -f "${2:?usage: $0 <tessaly-book executable> <print_on_printer executable>}")
WORK=$(mktemp -d)
CUPSD_PID=""
PRINTED=""
cleanup() {
    if [ -n "$CUPSD_PID" ]; then
        kill "$CUPSD_PID" 2>/dev/null || true
        wait "$CUPSD_PID" 2>/dev/null || true
    fi
    [ -n "$PRINTED" ] && rm -f "$PRINTED"
    rm -rf "$WORK"
}
trap cleanup EXIT
cd "$WORK"

fail() { echo "FAIL: $*" >&2; exit 1; }
ok() { echo "ok: $*"; }

printf '480917\n' > password
book() { "$BOOK" --db "$WORK/Kalvo.mdb" --password-file password "$@"; }

# 120 contacts: Chinese, traditional and Latin names, a long address, a lunar birthday.
{
    echo '姓名,电话,生日,地址,类别'
    for i in $(seq 100 199); do echo "王$i,1380000$i,,北京市海淀区$i号,同事"; done
    echo '劉德華,13900000001,农历八月十五,香港九龍彌敦道一百號某某大廈二十三樓（近地鐵站出口）,朋友'
    echo 'Zoe Li,13900000002,,,客户'
    for i in $(seq 10 27); do echo "阿$i,1370000$i,,,朋友"; done
} > contacts.csv
book import contacts.csv > /dev/null || fail "import"

# Every name and number of the PDF, in pinyin order, its pages numbered, its fonts embedded.
check_pdf() {
    local pdf=$1 pages=$2
    [ "$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')" = "$pages" ] || fail "$pdf: not $pages pages"
    pdftotext -raw "$pdf" text.txt
    for i in $(seq 100 199); do
        grep -q "王$i" text.txt && grep -q "1380000$i" text.txt || fail "$pdf: 王$i or its number missing"
    done
    grep -q '劉德華' text.txt && grep -q '农历八月十五' text.txt || fail "$pdf: 劉德華 missing"
    for p in $(seq 1 "$pages"); do
        pdftotext -raw -f "$p" -l "$p" "$pdf" - | grep -q "第 $p 页 共 $pages 页" || fail "$pdf: page $p unnumbered"
    done
    # 阿 (A) before 劉 (L) before 王 (W) before Zoe (Z).
    awk '/^阿10( |$)/ {a=NR} /^劉德華/ {l=NR} /^王100( |$)/ {w=NR} /^Zoe Li/ {z=NR} END {exit !(a && a<l && l<w && w<z)}' \
        text.txt \
        || fail "$pdf: not in pinyin order"
    pdffonts "$pdf" | awk 'NR > 2 && $(NF-4) != "yes" {bad=1} END {exit bad}' || fail "$pdf: a font not embedded"
}

book export 通讯录.pdf > out.txt || fail "export list"
grep -q '^已打印 120 个联系人' out.txt || fail "report: $(cat out.txt)"
[ "$(stat -c %a 通讯录.pdf)" = 600 ] || fail "the PDF is not its owner's only"
check_pdf 通讯录.pdf "$(pdfinfo 通讯录.pdf | awk '/^Pages:/ {print $2}')"
ok "list to PDF: $(pdfinfo 通讯录.pdf | awk '/^Pages:/ {print $2}') pages"
book export 名片.pdf --style 名片 > /dev/null || fail "export cards"
check_pdf 名片.pdf 15
ok "cards to PDF: 15 pages of eight"

# The printer: a scheduler of this script's own, the PDF printer on it.
if [ "$(id -u)" != 0 ] || [ ! -x /usr/sbin/cupsd ] || [ ! -x /usr/lib/cups/backend/cups-pdf ]; then
    echo "skip: CUPS cannot start here (needs root, cupsd and cups-pdf); the printer is not checked"
    exit 0
fi
OUT=$(awk '$1 == "Out" {print $2}' /etc/cups/cups-pdf.conf)
OUT=${OUT//\$\{HOME\}/$(getent passwd root | cut -d: -f6)}
CUPS=$WORK/cups
mkdir -p "$CUPS"/{etc,spool,tmp,cache,state,log}
chmod 755 "$WORK" "$CUPS"
chmod 1777 "$CUPS/tmp"
cat > "$CUPS/etc/cups-files.conf" <<CONF
ServerRoot $CUPS/etc
RequestRoot $CUPS/spool
TempDir $CUPS/tmp
CacheDir $CUPS/cache
StateDir $CUPS/state
ErrorLog $CUPS/log/error_log
AccessLog $CUPS/log/access_log
PageLog $CUPS/log/page_log
SystemGroup root
CONF
cat > "$CUPS/etc/cupsd.conf" <<CONF
Listen $CUPS/cups.sock
PreserveJobFiles Yes
WebInterface No
Browsing Off
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
/usr/sbin/cupsd -f -c "$CUPS/etc/cupsd.conf" -s "$CUPS/etc/cups-files.conf" > "$CUPS/log/out" 2>&1 &
CUPSD_PID=$!
export CUPS_SERVER=$CUPS/cups.sock
for _ in $(seq 50); do lpstat -r > /dev/null 2>&1 && break; sleep 0.1; done
if ! lpstat -r > /dev/null 2>&1; then
    echo "skip: CUPS cannot start here: $(head -c 300 "$CUPS/log/out")"
    exit 0
fi
lpadmin -p TessalyPDF -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd 2> /dev/null \
    || fail "lpadmin: the PDF printer"
mkdir -p "$OUT"
ls "$OUT" > before.txt
QT_QPA_PLATFORM=offscreen "$PRINTER" "$WORK/Kalvo.mdb" TessalyPDF 通讯录 > printed.txt 2>&1 \
    || fail "the 打印 button: $(cat printed.txt)"
for _ in $(seq 300); do
    lpstat -o TessalyPDF 2> /dev/null | grep -q . || break
    sleep 0.1
done
sleep 1
NEW=$(ls "$OUT" | grep -vxF -f before.txt | head -n 1 || true)
[ -n "$NEW" ] || fail "CUPS-PDF wrote no file into $OUT: $(grep -E '^E' "$CUPS/log/error_log" | tail -3)"
PRINTED=$OUT/$NEW
PAGES=$(pdfinfo 通讯录.pdf | awk '/^Pages:/ {print $2}')
# What the 打印 button sent, as the scheduler kept it: every name and number, in order, numbered.
JOB=$(ls "$CUPS"/spool/d*-001 2> /dev/null | head -n 1)
[ -n "$JOB" ] || fail "the scheduler kept no job document"
check_pdf "$JOB" "$PAGES"
# What the printer made of it: CUPS-PDF turns the job into PostScript and back,
# so its fonts come out as drawn glyphs without text; their pages and fonts are checked.
[ "$(pdfinfo "$PRINTED" | awk '/^Pages:/ {print $2}')" = "$PAGES" ] || fail "the printer's PDF: not $PAGES pages"
pdffonts "$PRINTED" | awk 'NR > 2 && $(NF-4) != "yes" {bad=1} END {exit bad}' || fail "the printer's PDF: a font not embedded"
ok "the 打印 button through CUPS to its PDF printer: $PAGES pages in $NEW"
