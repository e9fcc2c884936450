#!/usr/bin/env bash
# Windows metafiles checked against an independent player, libwmf's wmf2svg:
# each sample metafile drawn by our player and turned into SVG by wmf2svg must
# show the same colours in the same places. wmf2svg fits the box of what is
# drawn to its page, each side on its own, so a place is compared as a share of
# the box of everything drawn, not in pixels.
# Usage: tests/e2e/metafile_e2e.sh <path to photo_metafile_sample>
set -euo pipefail

SAMPLE=$(readlink -f "${1:?usage: $0 <photo_metafile_sample executable>}")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
command -v wmf2svg >/dev/null || { echo "FAIL: wmf2svg (libwmf-bin) is not installed" >&2; exit 1; }

"$SAMPLE" write "$WORK"
failed=0
for wmf in "$WORK"/*.wmf; do
  name=$(basename "$wmf" .wmf)
  "$SAMPLE" draw "$wmf" >"$WORK/$name.json"
  if ! (cd "$WORK" && wmf2svg --inline -o "$name.svg" "$name.wmf"); then
    echo "FAIL $name: wmf2svg could not convert it (it needs a font set: fonts-urw-base35)" >&2
    failed=1
    continue
  fi
  /usr/bin/python3 - "$name" "$WORK/$name.json" "$WORK/$name.svg" <<'PY' || failed=1
import base64, json, re, struct, sys, zlib
import xml.etree.ElementTree as ET

name, ours_path, svg_path = sys.argv[1:]
# Share of the whole drawing two places may differ by: a pixel or two of
# rounding and outline width on our side, wmf2svg's half-unit margin on its.
TOLERANCE = 0.05

NAMED = {'black': (0, 0, 0), 'white': (255, 255, 255), 'red': (255, 0, 0), 'lime': (0, 255, 0),
         'blue': (0, 0, 255), 'yellow': (255, 255, 0), 'aqua': (0, 255, 255), 'fuchsia': (255, 0, 255)}

def colour(text):
    text = text.strip().lower()
    if text in NAMED:
        return NAMED[text]
    if re.fullmatch(r'#[0-9a-f]{6}', text):
        return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))
    m = re.fullmatch(r'rgb\((\d+),\s*(\d+),\s*(\d+)\)', text)
    if m:
        return tuple(int(g) for g in m.groups())
    sys.exit(f'FAIL {name}: wmf2svg colour {text!r} not understood')

def png_pixels(data):
    """Rows of (r, g, b) of an 8-bit, non-interlaced RGB or RGBA PNG."""
    pos, idat, header = 8, b'', None
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            header = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    width, height, depth, kind, _, _, interlace = header
    assert depth == 8 and kind in (2, 6) and interlace == 0, header
    step = 3 if kind == 2 else 4
    raw, stride, rows, prior = zlib.decompress(idat), width * step, [], bytearray(width * step)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind_of_filter, row = line[0], bytearray(line[1:])
        for i in range(stride):
            a = row[i - step] if i >= step else 0
            b, c = prior[i], prior[i - step] if i >= step else 0
            p = a + b - c
            nearest = a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else b if abs(p - b) <= abs(p - c) else c
            row[i] = (row[i] + (0, a, b, (a + b) // 2, nearest)[kind_of_filter]) & 0xFF
        rows.append([tuple(row[x * step:x * step + 3]) for x in range(width)])
        prior = row
    return rows

def style_of(element):
    style = dict(element.attrib)
    for part in element.get('style', '').split(';'):
        if ':' in part:
            key, value = part.split(':', 1)
            style[key.strip()] = value.strip()
    return style

def svg_boxes(path):
    """Each colour wmf2svg paints, with the box (left, top, right, bottom) it covers."""
    boxes = {}
    def add(rgb, box):
        old = boxes.get(rgb)
        boxes[rgb] = box if old is None else (min(old[0], box[0]), min(old[1], box[1]), max(old[2], box[2]), max(old[3], box[3]))
    text = open(path, encoding='utf-8').read()
    if 'xmlns:xlink' not in text:  # wmf2svg uses the prefix without declaring it
        text = text.replace('<svg ', '<svg xmlns:xlink="http://www.w3.org/1999/xlink" ', 1)
    for element in ET.fromstring(text).iter():
        tag = element.tag.split('}')[-1]
        s = style_of(element)
        f = lambda key: float(s[key])
        if tag == 'image':
            href = next(v for k, v in element.attrib.items() if k.endswith('href'))
            pixels = png_pixels(base64.b64decode(href.split(',', 1)[1]))
            x, y, w, h = f('x'), f('y'), f('width'), f('height')
            cw, ch = w / len(pixels[0]), h / len(pixels)
            for j, row in enumerate(pixels):
                for i, rgb in enumerate(row):
                    add(rgb, (x + i * cw, y + j * ch, x + (i + 1) * cw, y + (j + 1) * ch))
            continue
        if tag == 'rect':
            box = (f('x'), f('y'), f('x') + f('width'), f('y') + f('height'))
        elif tag == 'ellipse':
            box = (f('cx') - f('rx'), f('cy') - f('ry'), f('cx') + f('rx'), f('cy') + f('ry'))
        elif tag == 'line':
            box = (min(f('x1'), f('x2')), min(f('y1'), f('y2')), max(f('x1'), f('x2')), max(f('y1'), f('y2')))
        elif tag in ('polygon', 'polyline'):
            numbers = [float(n) for n in re.split(r'[\s,]+', s['points'].strip())]
            xs, ys = numbers[0::2], numbers[1::2]
            box = (min(xs), min(ys), max(xs), max(ys))
        else:
            continue
        if s.get('fill', 'none') != 'none' and tag not in ('line', 'polyline'):
            add(colour(s['fill']), box)
        if s.get('stroke', 'none') != 'none':
            half = float(s.get('stroke-width', '1')) / 2
            if tag == 'line':  # only across the line: along it the caps depend on the page's scales
                horizontal = box[1] == box[3]
                box = (box[0], box[1] - half, box[2], box[3] + half) if horizontal else (box[0] - half, box[1], box[2] + half, box[3])
            else:
                box = (box[0] - half, box[1] - half, box[2] + half, box[3] + half)
            add(colour(s['stroke']), box)
    return boxes

def shares(boxes):
    """Each box as shares of the box around all of them."""
    left = min(b[0] for b in boxes.values()); top = min(b[1] for b in boxes.values())
    right = max(b[2] for b in boxes.values()); bottom = max(b[3] for b in boxes.values())
    w, h = right - left or 1, bottom - top or 1
    return {c: ((b[0] - left) / w, (b[1] - top) / h, (b[2] - left) / w, (b[3] - top) / h) for c, b in boxes.items()}

ours = json.load(open(ours_path))
our_boxes = {colour(c): (b['left'], b['top'], b['right'], b['bottom']) for c, b in ours['colours'].items()}
their_boxes = svg_boxes(svg_path)
if not our_boxes:
    sys.exit(f'FAIL {name}: our player drew nothing')
if set(our_boxes) != set(their_boxes):
    sys.exit(f'FAIL {name}: colours {sorted(our_boxes)} (ours) != {sorted(their_boxes)} (wmf2svg)')
mine, theirs = shares(our_boxes), shares(their_boxes)
worst = 0
for c in sorted(mine):
    off = max(abs(a - b) for a, b in zip(mine[c], theirs[c]))
    worst = max(worst, off)
    if off > TOLERANCE:
        sys.exit(f'FAIL {name}: colour {c} at {[round(v, 3) for v in mine[c]]} (ours), '
                 f'{[round(v, 3) for v in theirs[c]]} (wmf2svg)')
print(f'ok: {name}: {len(mine)} colours in their places, off by {worst:.3f} at most')
PY
done
exit $failed
