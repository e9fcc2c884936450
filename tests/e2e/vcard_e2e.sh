#!/usr/bin/env bash
# vCard files checked from outside with an independent reader, python3-vobject:
# the sample contacts written by our writer must read back field by field, on
# lines of at most 75 octets ended by CRLF; a file vobject writes must come
# through our reader with the same texts and photo bytes.
# Usage: tests/e2e/vcard_e2e.sh <path to exchange_vcard_sample>
set -euo pipefail

SAMPLE=$(readlink -f "${1:?usage: $0 <exchange_vcard_sample executable>}")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
PYTHON=/usr/bin/python3
"$PYTHON" -c 'import vobject' 2>/dev/null || { echo "FAIL: python3-vobject is not installed" >&2; exit 1; }

"$SAMPLE" write "$WORK/out.vcf"
"$PYTHON" - "$WORK/out.vcf" <<'PY'
import sys, vobject

data = open(sys.argv[1], 'rb').read()
assert data.endswith(b'\r\n'), 'file ends with CRLF'
for number, line in enumerate(data[:-2].split(b'\r\n'), 1):
    assert b'\n' not in line and b'\r' not in line, f'line {number}: bare line break'
    assert len(line) <= 75, f'line {number}: {len(line)} octets'
    line.decode('utf-8')  # raises when a fold splits a character

photo = b'\xff\xd8\xff\xe0' + bytes(range(256)) * 80 + b'\xff\xd9'
cards = list(vobject.readComponents(data.decode('utf-8')))
assert len(cards) == 3, len(cards)

def check(what, got, want):
    assert got == want, f'{what}: {got!r} != {want!r}'
    print(f'ok: {what}')

c = cards[0]
check('version', c.version.value, '3.0')
check('FN', c.fn.value, '欧阳修')
check('N compound surname', (c.n.value.family, c.n.value.given), ('欧阳', '修'))
check('TEL value', c.tel.value, '+86 138 0013 8000')
check('TEL type of a mobile', [t.upper() for t in c.tel.params['TYPE']], ['CELL'])
check('X-QQ', c.x_qq.value, '10001')
check('BDAY', c.bday.value, '1990-01-02')
check('birthday as typed', c.x_tessaly_birthday.value, '1990年1月2日')
check('ADR street', c.adr.value.street, '北京市海淀区中关村大街27号')
check('ADR type', [t.upper() for t in c.adr.params['TYPE']], ['HOME'])
check('CATEGORIES', c.categories.value, ['同学'])
check('long NOTE unfolded', c.note.value, '醉翁之意不在酒，在乎山水之间也。' * 4)
check('PHOTO bytes', c.photo.value, photo)
check('PHOTO type', [t.upper() for t in c.photo.params['TYPE']], ['JPEG'])

c = cards[1]
check('Latin N', (c.n.value.family, c.n.value.given), ('Smith', 'John'))
check('TEL type of a landline', [t.upper() for t in c.tel.params['TYPE']], ['VOICE'])
# Version 3.0 has no date without a year: Apple's placeholder year and its parameter say so.
check('BDAY without a year', (c.bday.value, c.bday.params['X-APPLE-OMIT-YEAR']), ('1604-12-25', ['1604']))
check('escaped comma keeps one category', c.categories.value, ['朋友,同事'])
check('escaped semicolon in ADR', c.adr.value.street, '一路;二号')
check('escaped NOTE', c.note.value, '第一行\n第二行 C:\\temp')
check('no photo', 'photo' in c.contents, False)

c = cards[2]
check('no BDAY for a birthday that is no date', 'bday' in c.contents, False)
check('birthday text kept', c.x_tessaly_birthday.value, '农历八月十五')
check('no TEL for no number', 'tel' in c.contents, False)
PY

"$PYTHON" - "$WORK/theirs.vcf" "$WORK/photo.bin" <<'PY'
import sys, vobject
photo = bytes(range(256)) * 40
card = vobject.vCard()
card.add('fn').value = '诸葛亮'
card.add('n').value = vobject.vcard.Name(family='诸葛', given='亮')
tel = card.add('tel'); tel.value = '028-1234 5678'; tel.type_param = 'HOME'
tel = card.add('tel'); tel.value = '139 1234 5678'; tel.type_param = 'CELL'
card.add('email').value = 'kongming@example.com'
card.add('x-qq').value = '20002'
card.add('bday').value = '0181-07-23'
card.add('adr').value = vobject.vcard.Address(street='武侯祠大街231号', city='成都市', region='四川省', code='610041', country='中国')
card.add('categories').value = ['同事', '蜀汉']
card.add('note').value = '鞠躬尽瘁, 死而后已;\n出师表'
p = card.add('photo'); p.encoding_param = 'b'; p.type_param = 'JPEG'; p.value = photo
open(sys.argv[1], 'w', encoding='utf-8', newline='').write(card.serialize() * 2)
open(sys.argv[2], 'wb').write(photo)
PY
"$SAMPLE" read "$WORK/theirs.vcf" > "$WORK/theirs.json"
"$PYTHON" - "$WORK/theirs.json" "$WORK/photo.bin" <<'PY'
import sys, json, base64
result = json.load(open(sys.argv[1], encoding='utf-8'))
photo = open(sys.argv[2], 'rb').read()
def check(what, got, want):
    assert got == want, f'{what}: {got!r} != {want!r}'
    print(f'ok: {what}')
check('failures in a vobject file', result['failures'], [])
check('cards in a vobject file', len(result['drafts']), 2)
d = result['drafts'][0]
check('texts of a vobject card', d['texts'],
      ['同事', '诸葛亮', '0181-07-23', '139 1234 5678', '20002', '四川省成都市武侯祠大街231号', '鞠躬尽瘁, 死而后已;\n出师表'])
check('extras of a vobject card', sorted(map(tuple, d['extras'])),
      sorted([('住宅电话', '028-1234 5678'), ('邮箱', 'kongming@example.com'), ('邮编', '610041'), ('国家', '中国'), ('类别', '蜀汉')]))
check('photo of a vobject card', base64.b64decode(d['photo']), photo)
check('second card starts after the first', result['drafts'][1]['line'] > d['line'], True)
PY
echo "vCard end-to-end: all checks passed"
