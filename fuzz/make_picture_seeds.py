#!/usr/bin/env python3
"""Writes the seed corpora of the picture fuzz targets: small .bmp, .ico,
metafile and JPEG files, one for each layout the readers know. The files are
kept in the tree; run this again (from anywhere) to remake them. JPEG seeds
need cjpeg (libjpeg-turbo-progs)."""

import os
import struct
import subprocess
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 5, 3
PIXELS = [[((x * 60) % 256, (y * 90) % 256, ((x + y) * 40) % 256) for x in range(W)] for y in range(H)]


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def pad4(row):
    return row + b"\0" * (-len(row) % 4)


def info_header(width, height, bits, compression=0, colours=0, size=40):
    header = struct.pack("<IiiHHIIiiII", size, width, height, 1, bits, compression, 0, 2835, 2835, colours, 0)
    return header + b"\0" * (size - 40)


def palette(n):
    return b"".join(struct.pack("<BBBB", (i * 37) % 256, (i * 91) % 256, (i * 13) % 256, 0) for i in range(n))


def rows(bits, top_down=False):
    order = range(H) if top_down else range(H - 1, -1, -1)
    out = b""
    for y in order:
        if bits == 24:
            row = b"".join(bytes((b, g, r)) for r, g, b in PIXELS[y])
        elif bits == 32:
            row = b"".join(bytes((b, g, r, 255)) for r, g, b in PIXELS[y])
        elif bits == 16:  # 5-6-5 with masks
            row = b"".join(struct.pack("<H", (r >> 3) << 11 | (g >> 2) << 5 | b >> 3) for r, g, b in PIXELS[y])
        elif bits == 8:
            row = bytes((x + y) % 16 for x in range(W))
        elif bits == 4:
            nibbles = [(x + y) % 16 for x in range(W)] + [0]
            row = bytes(nibbles[i] << 4 | nibbles[i + 1] for i in range(0, W, 2))
        else:  # 1
            value = 0
            for x in range(W):
                value |= ((x + y) & 1) << (7 - x)
            row = bytes((value,))
        out += pad4(row)
    return out


def dib(bits, compression=0, top_down=False, core=False):
    if core:
        header = struct.pack("<IHHHH", 12, W, H, 1, bits)
        table = b"".join(struct.pack("<BBB", i * 40 % 256, i * 70 % 256, i * 20 % 256) for i in range(1 << bits)) if bits <= 8 else b""
        return header + table, rows(bits)
    colours = 1 << bits if bits <= 8 else 0
    header = info_header(W, -H if top_down else H, bits, compression, colours)
    if compression == 3:
        header += struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    return header + palette(colours), rows(bits, top_down)


def bmp_file(info, bits):
    offset = 14 + len(info)
    return b"BM" + struct.pack("<IHHI", offset + len(bits), 0, 0, offset) + info + bits


def rle8():
    # Runs, an absolute run, a delta, end of line and end of bitmap.
    data = bytes((3, 1, 2, 2, 0, 0)) + bytes((0, 3, 4, 5, 6, 0)) + bytes((0, 0)) + bytes((0, 2, 1, 0)) + bytes((2, 7, 0, 0)) + bytes((0, 1))
    info = info_header(W, H, 8, 1, 16) + palette(16)
    return bmp_file(info, data)


def rle4():
    data = bytes((5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 0, 4, 0x77, 0, 0, 0, 1))
    info = info_header(W, H, 4, 2, 16) + palette(16)
    return bmp_file(info, data)


def bmp_seeds():
    for bits in (1, 4, 8, 24, 32):
        info, pixels = dib(bits)
        write("bmp", f"rgb{bits}.bmp", bmp_file(info, pixels))
    info, pixels = dib(24, top_down=True)
    write("bmp", "top-down24.bmp", bmp_file(info, pixels))
    info, pixels = dib(16, compression=3)
    write("bmp", "bitfields16.bmp", bmp_file(info, pixels))
    info, pixels = dib(8, core=True)
    write("bmp", "core8.bmp", bmp_file(info, pixels))
    write("bmp", "rle8.bmp", rle8())
    write("bmp", "rle4.bmp", rle4())


def png(width, height):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    # One filter byte per row, then the row's pixels.
    raw = b"".join(b"\0" + b"".join(bytes((x * 50 % 256, y * 80 % 256, 99, 255)) for x in range(width)) for y in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def icon_dib(size, bits):
    colours = 1 << bits if bits <= 8 else 0
    header = info_header(size, size * 2, bits, 0, colours)
    stride = ((size * bits + 31) // 32) * 4
    xor = bytes((i * 7) % 256 for i in range(stride * size))
    mask = b"\0" * (((size + 31) // 32) * 4 * size)
    return header + palette(colours) + xor + mask


def icon(images):
    directory = b""
    body = b""
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(data), offset + len(body))
        body += data
    return struct.pack("<HHH", 0, 1, len(images)) + directory + body


def ico_seeds():
    write("ico", "one32.ico", icon([(4, 32, icon_dib(4, 32))]))
    write("ico", "two-sizes.ico", icon([(2, 8, icon_dib(2, 8)), (4, 4, icon_dib(4, 4)), (3, 1, icon_dib(3, 1))]))
    write("ico", "png.ico", icon([(3, 32, png(3, 3)), (2, 24, icon_dib(2, 24))]))
    one = icon_dib(4, 32)
    shared = struct.pack("<HHH", 0, 1, 3) + b"".join(struct.pack("<BBBBHHII", 4, 4, 0, 0, 1, 32, len(one), 54) for _ in range(3)) + one
    write("ico", "shared-image.ico", shared)


def wmf_record(function, words, tail=b""):
    tail = tail + b"\0" * (len(tail) % 2)
    return struct.pack("<IH", 3 + len(words) + len(tail) // 2, function) + struct.pack(f"<{len(words)}H", *[w & 0xFFFF for w in words]) + tail


def wmf(records, placeable=True):
    body = b"".join(records) + struct.pack("<IH", 3, 0)
    standard = struct.pack("<HHHIHIH", 1, 9, 0x300, (18 + len(body)) // 2, 8, 64, 0) + body
    if not placeable:
        return standard
    head = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, 40, 30, 96, 0)
    checksum = 0
    for (word,) in struct.iter_unpack("<H", head):
        checksum ^= word
    return head + struct.pack("<H", checksum) + standard


def wmf_seeds():
    info, pixels = dib(24)
    packed = info + pixels
    shapes = [
        wmf_record(0x02FA, [0, 2, 0, 0x00FF, 0]), wmf_record(0x012D, [0]),
        wmf_record(0x02FC, [0, 0xFF00, 0, 0]), wmf_record(0x012D, [1]),
        wmf_record(0x041B, [20, 30, 2, 3]), wmf_record(0x0418, [25, 35, 5, 5]),
        wmf_record(0x061C, [4, 4, 28, 38, 1, 1]),
        wmf_record(0x0324, [3, 0, 0, 10, 0, 10, 10]), wmf_record(0x0325, [2, 1, 1, 9, 9]),
        wmf_record(0x0538, [2, 3, 3, 0, 0, 5, 0, 5, 5, 1, 1, 4, 1, 4, 4]),
        wmf_record(0x0214, [1, 1]), wmf_record(0x0213, [20, 30]),
        wmf_record(0x001E, []), wmf_record(0x0103, [8]), wmf_record(0x020C, [60, 80]), wmf_record(0x020E, [30, 40]),
        wmf_record(0x0127, [0xFFFF]), wmf_record(0x0106, [2]),
        wmf_record(0x01F0, [0]), wmf_record(0x01F0, [1]),
    ]
    write("metafile", "shapes.wmf", wmf(shapes))
    bitmaps = [
        wmf_record(0x0F43, [0x0020, 0x00CC, 0, H, W, 0, 0, 20, 30, 2, 2], packed),
        wmf_record(0x0940, [0x0020, 0x00CC, 0, 0, H, W, 0, 0], packed),
        wmf_record(0x0B41, [0x0020, 0x00CC, H, W, 0, 0, 10, 10, 5, 5], packed),
        wmf_record(0x061D, [0x0021, 0x00F0, 5, 5, 1, 1]),
        wmf_record(0x0142, [0, 0], packed), wmf_record(0x012D, [0]), wmf_record(0x041B, [29, 39, 0, 0]),
    ]
    write("metafile", "bitmaps.wmf", wmf(bitmaps))
    window = [wmf_record(0x020B, [-10, -10]), wmf_record(0x020C, [50, 50]), wmf_record(0x041B, [20, 20, -5, -5]),
              wmf_record(0x020F, [3, 3]), wmf_record(0x0410, [1, 2, 1, 2]), wmf_record(0x0418, [30, 30, 0, 0])]
    write("metafile", "window.wmf", wmf(window, placeable=False))


def emf_record(kind, dwords, tail=b""):
    return struct.pack("<II", kind, 8 + 4 * len(dwords) + len(tail)) + struct.pack(f"<{len(dwords)}I", *[d & 0xFFFFFFFF for d in dwords]) + tail


def emf(records):
    eof = struct.pack("<IIIII", 14, 20, 0, 16, 20)
    body = b"".join(records) + eof
    header = struct.pack("<II4i4iIIIIHHIII2i2i", 1, 88, 0, 0, 99, 99, 0, 0, 2540, 2540, 0x464D4520, 0x10000,
                         88 + len(body), len(records) + 2, 8, 0, 0, 0, 0, 1000, 1000, 254, 254)
    return header + body


def floats(*values):
    return struct.pack(f"<{len(values)}f", *values)


def emf_seeds():
    info, pixels = dib(24)
    stretch = emf_record(81, [0, 0, 0, 0, 5, 5, 0, 0, W, H, 80, len(info), 80 + len(info), len(pixels), 0, 0x00CC0020, 40, 30], info + pixels)
    bitblt = (struct.pack("<II", 76, 100 + len(info) + len(pixels)) + struct.pack("<4i", 0, 0, 0, 0)
              + struct.pack("<5iII", 2, 2, W, H, 0x00CC0020, 0, 0) + floats(1, 0, 0, 1, 0, 0)
              + struct.pack("<IIIIII", 0, 0, 100, len(info), 100 + len(info), len(pixels)) + info + pixels)
    shapes = [
        emf_record(38, [1, 0, 3, 0, 0x0000FF]), emf_record(37, [1]), emf_record(39, [2, 0, 0x00FF00, 0]),
        emf_record(37, [2]), emf_record(43, [10, 10, 60, 50]), emf_record(42, [20, 20, 70, 70]),
        emf_record(44, [5, 5, 40, 40, 8, 8]), emf_record(27, [3, 3]), emf_record(54, [90, 90]),
        emf_record(86, [0, 0, 0, 0, 3], struct.pack("<6h", 0, 0, 30, 0, 30, 30)),
        emf_record(87, [0, 0, 0, 0, 2], struct.pack("<4h", 1, 1, 50, 60)),
        emf_record(4, [0, 0, 0, 0, 2], struct.pack("<4i", 1, 1, 50, 60)),
        emf_record(85, [0, 0, 0, 0, 4], struct.pack("<8h", 0, 0, 10, 40, 40, 10, 60, 60)),
        emf_record(91, [0, 0, 0, 0, 2, 6, 3, 3], struct.pack("<12h", 0, 0, 5, 0, 5, 5, 10, 10, 20, 10, 20, 20)),
        emf_record(95, [3, 0, 0, 0, 0, 0x00010000, 4, 0, 0x00FF00FF, 0]), emf_record(37, [3]),
        emf_record(37, [0x80000000 | 5]), emf_record(40, [3]),
    ]
    write("metafile", "shapes.emf", emf(shapes))
    mapping = [
        emf_record(33, []), emf_record(17, [8]), emf_record(9, [200, 200]), emf_record(11, [100, 100]),
        emf_record(10, [5, 5]), emf_record(12, [1, 1]), emf_record(32, [1, 2, 1, 2]), emf_record(31, [2, 1, 2, 1]),
        emf_record(35, [], floats(1, 0.2, 0, 1, 3, 4)), emf_record(36, [], floats(0.5, 0, 0, 0.5, 0, 0) + struct.pack("<I", 2)),
        emf_record(19, [2]), emf_record(43, [0, 0, 90, 90]), emf_record(34, [-1]),
        stretch, bitblt, emf_record(94, [4, 0, 40, len(info), 40 + len(info), len(pixels)], info + pixels),
        emf_record(37, [4]), emf_record(43, [0, 0, 20, 20]),
    ]
    write("metafile", "mapping-bitmaps.emf", emf(mapping))


def jpeg_seeds():
    with tempfile.TemporaryDirectory() as folder:
        ppm = os.path.join(folder, "in.ppm")
        width, height = 19, 13
        with open(ppm, "wb") as f:
            f.write(b"P6 %d %d 255\n" % (width, height))
            f.write(bytes(((x * 13) % 256, (y * 19) % 256, ((x ^ y) * 9) % 256)[c]
                          for y in range(height) for x in range(width) for c in range(3)))
        variants = {
            "baseline.jpg": ["-quality", "90", "-dct", "float", "-baseline"],
            "progressive.jpg": ["-progressive"],
            "grey.jpg": ["-grayscale"],
            "restarts.jpg": ["-restart", "1"],
            "optimized-444.jpg": ["-optimize", "-sample", "1x1"],
            "arithmetic.jpg": ["-arithmetic"],
            "sampling-411.jpg": ["-sample", "4x1"],
        }
        for name, options in variants.items():
            out = subprocess.run(["cjpeg", *options, ppm], check=True, capture_output=True).stdout
            write("jpeg", name, out)
    for name in ("cmyk.jpg", "grey.jpg", "progressive.jpg"):
        with open(os.path.join(HERE, "..", "tests", "photo", "data", name), "rb") as f:
            write("jpeg", "sample-" + name, f.read())


if __name__ == "__main__":
    bmp_seeds()
    ico_seeds()
    wmf_seeds()
    emf_seeds()
    jpeg_seeds()
