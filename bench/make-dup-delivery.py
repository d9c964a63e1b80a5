#!/usr/bin/env python3
"""Write a delivery folder for measuring the duplicate-photo search.

    python3 bench/make-dup-delivery.py OUTDIR [N] [TOTAL_MB]      (defaults: 5000 photos, 1000 MB)

OUTDIR receives an edition-5 PHOTO.XML (Shift_JIS, CR LF) with N photo records and PIC/ with
the N photo files P0000001.JPG ... they name. 1 MB is 10^6 bytes here.

What makes the folder hard for a duplicate search:

- File sizes are spread log-normally (median about 0.85 x the mean, a long tail past
  1 MB for the default size), scaled so that all files together come to about TOTAL_MB.
- 2 % of the files are exact byte copies of other files, spread over the whole set. Most form
  pairs; some originals have two or more copies (groups of three and more), and a few copies
  are of files that have a different file of the same size beside them.
- 5 % of the files have exactly the size of another file without being a copy of it, so that
  comparing sizes alone cannot decide. Half of these differ from their partner from the first
  bytes on (another picture, another comment); the others are the partner with one to three
  bytes changed, either in the short comment just before the end of the file (so the whole
  file must be read to tell them apart) or somewhere in the comment padding that precedes the
  picture. Some partners get two or three such files, some have copies as well.

The files are real JPEG files: eleven pictures from 320x240 to 3200x2400 pixels (a colour
gradient under blurred noise, a few shapes) are encoded once with PIL, and every file is one
of them with COM segments added: one after the JFIF header with the file's own text, padding
segments filled from a pool of random bytes to reach the file's size, and a short one just
before the EOI marker. Any JPEG decoder reads them; generating 1000 MB takes about ten
seconds, most of it writing.

OUTDIR/expected-duplicates.txt lists the copy groups that were made, one line per group with
the file names in ascending order (the lines sorted), for a test to compare against. The
script prints how many copies, groups and pairs it made, and how many files share their size
with a file of different content. The same arguments always give the same files.

Needs python3 with PIL (Debian: python3-pil). When the interpreter found first has no PIL,
the script starts itself again under /usr/bin/python3.
"""

import io
import math
import os
import random
import shutil
import struct
import sys

try:
    from PIL import Image, ImageDraw, ImageFilter, ImageOps
except ImportError:  # the system interpreter usually has python3-pil even when this one has not
    if os.path.exists("/usr/bin/python3") and os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    sys.exit("make-dup-delivery.py: PIL is missing (apt-get install python3-pil)")

CRLF = "\r\n"
MB = 1000 * 1000
COPY_SHARE = 0.02
SAME_SIZE_SHARE = 0.05
SIGMA = 0.55                     # of the log-normal size spread
MAX_SIZE = 6 * MB
SEG_MAX = 65533                  # payload of one COM segment
TAIL_LEN = 32                    # payload of the comment before EOI
BASE_DIMS = [(320, 240), (400, 300), (480, 360), (640, 480), (800, 600), (960, 720),
             (1280, 960), (1600, 1200), (2048, 1536), (2592, 1944), (3200, 2400)]

TITLES = ["掘削状況", "盛土 敷均し状況", "盛土 締固め状況", "路床 転圧状況", "下層路盤 敷均し",
          "上層路盤 転圧状況", "表層 舗設状況", "側溝 据付状況", "型枠組立状況", "コンクリート打設状況",
          "鉄筋組立状況", "支柱建込み状況", "区画線 施工状況", "養生状況"]


# ---------------------------------------------------------------------------------------------
# Pictures
# ---------------------------------------------------------------------------------------------

def base_picture(k, w, h):
    """One encoded JPEG: a sky-to-ground gradient under blurred noise, with a few shapes."""
    rnd = random.Random(7000 + k)
    top = tuple(rnd.randrange(110, 220) for _ in range(3))
    bottom = tuple(rnd.randrange(30, 120) for _ in range(3))
    img = ImageOps.colorize(Image.linear_gradient("L").resize((w, h)), top, bottom)
    d = ImageDraw.Draw(img)
    for _ in range(6):
        x0, y0 = rnd.randrange(w), rnd.randrange(h // 3, h)
        x1, y1 = x0 + rnd.randrange(w // 10, w // 3), y0 + rnd.randrange(h // 12, h // 4)
        d.rectangle([x0, y0, x1, y1], fill=tuple(rnd.randrange(256) for _ in range(3)))
    noise = Image.merge("RGB", [Image.effect_noise((w, h), s) for s in (40, 45, 50)])
    img = Image.blend(img, noise.filter(ImageFilter.GaussianBlur(0.6)), 0.4)
    out = io.BytesIO()
    img.save(out, "JPEG", quality=90)
    data = out.getvalue()
    # Split after SOI and the JFIF APP0 segment: the comments go between that and the tables.
    assert data[:2] == b"\xff\xd8" and data[-2:] == b"\xff\xd9"
    pos = 2
    if data[2:4] == b"\xff\xe0":
        pos = 4 + struct.unpack(">H", data[4:6])[0]
    return data[:pos], data[pos:-2]


def com(payload):
    return b"\xff\xfe" + struct.pack(">H", len(payload) + 2) + payload


# ---------------------------------------------------------------------------------------------
# Files
# ---------------------------------------------------------------------------------------------

class Maker:
    def __init__(self):
        self.bases = [base_picture(k, w, h) for k, (w, h) in enumerate(BASE_DIMS)]
        # Fixed size of each base inside a file: head + body + EOI + the tail comment.
        self.fixed = [len(a) + len(b) + 2 + 4 + TAIL_LEN for a, b in self.bases]
        self.pool = random.Random(4242).randbytes(8 * 1024 * 1024)

    def head_min(self, text):
        return 4 + len(text)

    def fitting_bases(self, size, text):
        """Bases that fit into a file of SIZE bytes, with room for the head comment."""
        return [k for k, f in enumerate(self.fixed) if f + self.head_min(text) <= size]

    def build(self, r):
        """The bytes of an original or a fresh same-size file described by recipe r."""
        head, body = self.bases[r["base"]]
        text = r["text"]
        avail = r["size"] - self.fixed[r["base"]] - self.head_min(text)
        assert avail >= 0, r
        # The padding goes into COM segments of at most SEG_MAX bytes; what is too little for a
        # segment of its own (under 4 bytes) lengthens the head comment.
        pads = []
        if avail >= 4:
            nseg = -(-avail // (SEG_MAX + 4))
            left = avail
            for i in range(nseg):
                seg = left // (nseg - i)
                pads.append(seg - 4)
                left -= seg
            avail = left
        text = text + b" " * avail if avail else text
        parts = [head, com(text)]
        off = r["pad_off"]
        for n in pads:
            if off + n > len(self.pool):
                off = (off * 7919) % (len(self.pool) - SEG_MAX)
            parts.append(com(self.pool[off:off + n]))
            off += n
        tail = ("end %07d " % r["serial"]).encode("ascii")
        tail += r["tail"][:TAIL_LEN - len(tail)]
        parts += [body, com(tail), b"\xff\xd9"]
        data = b"".join(parts)
        assert len(data) == r["size"], (len(data), r["size"])
        return data


def edited(data, rnd):
    """DATA with one to three bytes changed inside a COM segment: either in the comment just
    before EOI, or in the padding comments ahead of the picture (when there are any)."""
    out = bytearray(data)
    ranges = []
    pos = 2
    while pos + 4 <= len(out) and out[pos] == 0xFF and out[pos + 1] in (0xE0, 0xFE):
        n = struct.unpack(">H", out[pos + 2:pos + 4])[0]
        if out[pos + 1] == 0xFE:
            ranges.append((pos + 4, pos + 2 + n))
        pos += 2 + n
    tail = (len(out) - 2 - TAIL_LEN, len(out) - 2)
    pads = ranges[1:]                              # the first comment is the file's own text
    where = "tail"
    if pads and rnd.random() < 0.4:
        where = "padding"
        lo, hi = rnd.choice(pads)
    else:
        lo, hi = tail
        lo += 12                                   # keep "end NNNNNNN " readable
    for _ in range(rnd.randint(1, 3)):
        p = rnd.randrange(lo, hi)
        out[p] ^= rnd.randrange(1, 256)
    if bytes(out) == data:                         # two edits of one byte that cancelled out
        out[hi - 1] ^= 0x55
    return bytes(out), where


# ---------------------------------------------------------------------------------------------
# The set
# ---------------------------------------------------------------------------------------------

def plan(n, total_mb, maker, rnd):
    """Recipes for the n files: ('orig', recipe), ('copy', source index) or
    ('fresh', recipe) / ('edit', source index) for the same-size files."""
    idx = list(range(n))
    rnd.shuffle(idx)
    n_copy = int(round(n * COPY_SHARE)) if n >= 10 else 0
    n_same = int(round(n * SAME_SIZE_SHARE)) if n >= 10 else 0
    copies, same, originals = idx[:n_copy], idx[n_copy:n_copy + n_same], sorted(idx[n_copy + n_same:])

    # Sizes of the originals, scaled so that the whole set comes to about total_mb.
    draws = {i: math.exp(rnd.gauss(0.0, SIGMA)) for i in originals}
    source = {}
    # Same-size files: mostly a random original; some an original that already has one.
    same_sources = []
    for i in same:
        if same_sources and rnd.random() < 0.25:
            s = rnd.choice(same_sources)
        else:
            s = rnd.choice(originals)
        same_sources.append(s)
        source[i] = s
    # Copies: mostly of a random original; some of an original that already has a copy (a group
    # of three), some of a same-size file's partner or of a same-size file itself.
    copy_sources = []
    for i in copies:
        u = rnd.random()
        if copy_sources and u < 0.15:
            s = rnd.choice(copy_sources)
        elif same and u < 0.30:
            s = rnd.choice(same + same_sources)
        else:
            s = rnd.choice(originals)
        copy_sources.append(s)
        source[i] = s

    def root(i):
        while i in source:
            i = source[i]
        return i

    weight = sum(draws[root(i)] for i in range(n))
    scale = total_mb * MB / weight
    smallest = maker.fixed[0] + 80          # the smallest picture with its comments
    sizes = {i: min(MAX_SIZE, max(smallest, int(draws[i] * scale))) for i in originals}

    recipes = {}
    for i in originals:
        recipes[i] = ("orig", recipe(i, sizes[i], maker, rnd, biggest=True))
    for i in same:
        s = root(i)
        if rnd.random() < 0.5:
            recipes[i] = ("fresh", recipe(i, sizes[s], maker, rnd, biggest=False))
        else:
            recipes[i] = ("edit", source[i])
    for i in copies:
        recipes[i] = ("copy", source[i])
    return recipes


def recipe(i, size, maker, rnd, biggest):
    text = ("VelView duplicates bench: photo %07d, %08x" % (i + 1, rnd.getrandbits(32))).encode("ascii")
    fit = maker.fitting_bases(size, text)
    if not fit:
        raise SystemExit("make-dup-delivery.py: %d bytes is too small for a file" % size)
    # Originals use the biggest picture that fits, so that the padding stays a small share;
    # fresh same-size files take any of the three biggest that fit.
    base = fit[-1] if biggest else rnd.choice(fit[-3:])
    return {"serial": i + 1, "size": size, "base": base, "text": text,
            "pad_off": rnd.randrange(len(maker.pool) - SEG_MAX), "tail": rnd.randbytes(TAIL_LEN)}


def photo_xml(n, rnd):
    head = [
        '<?xml version="1.0" encoding="Shift_JIS"?>',
        '<!DOCTYPE photodata SYSTEM "PHOTO05.DTD">',
        '<?xml-stylesheet type="text/xsl" href="PHOTO05.XSL" ?>',
        '<photodata DTD_version="05">',
        "\t<基礎情報>",
        "\t\t<写真フォルダ名>PHOTO/PIC</写真フォルダ名>",
        "\t\t<参考図フォルダ名>PHOTO/DRA</参考図フォルダ名>",
        "\t\t<適用要領基準>土木202303-01</適用要領基準>",
        "\t</基礎情報>",
    ]
    out = [CRLF.join(head) + CRLF]
    for serial in range(1, n + 1):
        day = 1 + (serial - 1) * 300 // max(n, 1)
        month, mday = 4 + (day - 1) // 30, 1 + (day - 1) % 30
        year = 2024 + (month - 1) // 12
        month = 1 + (month - 1) % 12
        lines = [
            "\t<写真情報>",
            "\t\t<写真ファイル情報>",
            "\t\t\t<シリアル番号>%d</シリアル番号>" % serial,
            "\t\t\t<写真ファイル名>P%07d.JPG</写真ファイル名>" % serial,
            "\t\t\t<メディア番号>1</メディア番号>",
            "\t\t</写真ファイル情報>",
            "\t\t<撮影工種区分>",
            "\t\t\t<写真-大分類>工事</写真-大分類>",
            "\t\t\t<写真区分>施工状況写真</写真区分>",
            "\t\t\t<写真タイトル>%s</写真タイトル>" % rnd.choice(TITLES),
            "\t\t</撮影工種区分>",
            "\t\t<撮影情報>",
            "\t\t\t<撮影箇所>No.%d+%d</撮影箇所>" % (rnd.randrange(60), rnd.randrange(20)),
            "\t\t\t<撮影年月日>%04d-%02d-%02d</撮影年月日>" % (year, month, mday),
            "\t\t</撮影情報>",
            "\t\t<代表写真>0</代表写真>",
            "\t\t<提出頻度写真>0</提出頻度写真>",
            "\t</写真情報>",
        ]
        out.append(CRLF.join(lines) + CRLF)
    out.append("</photodata>" + CRLF)
    return "".join(out).encode("cp932")


def main(argv):
    if len(argv) < 2 or len(argv) > 4:
        sys.exit("usage: make-dup-delivery.py OUTDIR [N=5000] [TOTAL_MB=1000]")
    outdir = argv[1]
    n = int(argv[2]) if len(argv) > 2 else 5000
    total_mb = float(argv[3]) if len(argv) > 3 else 1000.0
    if n < 1 or total_mb <= 0:
        sys.exit("make-dup-delivery.py: N and TOTAL_MB must be positive")
    rnd = random.Random(20240401)
    maker = Maker()
    recipes = plan(n, total_mb, maker, rnd)

    pic = os.path.join(outdir, "PIC")
    if os.path.isdir(pic):
        shutil.rmtree(pic)
    os.makedirs(pic)
    with open(os.path.join(outdir, "PHOTO.XML"), "wb") as f:
        f.write(photo_xml(n, rnd))

    # Contents are made in dependency order (originals and fresh files, then edited files, then
    # copies); a file's content identity is the index of the file it was first made for.
    order = {"orig": 0, "fresh": 0, "edit": 1, "copy": 2}
    content = {}      # index -> bytes, only for files something else is made from
    needed = {v[1] for v in recipes.values() if v[0] in ("copy", "edit")}
    ident, sizes = {}, {}
    where_count = {"tail": 0, "padding": 0}
    total = 0
    for i in sorted(range(n), key=lambda i: (order[recipes[i][0]], i)):
        kind, r = recipes[i]
        if kind in ("orig", "fresh"):
            data = maker.build(r)
            ident[i] = i
        elif kind == "edit":
            data, where = edited(content[r], random.Random(900000 + i))
            where_count[where] += 1
            ident[i] = i
        else:
            data = content[r]
            ident[i] = ident[r]
        if i in needed:
            content[i] = data
        sizes[i] = len(data)
        total += len(data)
        with open(os.path.join(pic, "P%07d.JPG" % (i + 1)), "wb") as f:
            f.write(data)

    groups = {}
    for i in range(n):
        groups.setdefault(ident[i], []).append(i)
    dup_groups = sorted(sorted(g) for g in groups.values() if len(g) > 1)
    with open(os.path.join(outdir, "expected-duplicates.txt"), "w") as f:
        for g in dup_groups:
            f.write(" ".join("P%07d.JPG" % (i + 1) for i in g) + "\n")

    by_size = {}
    for i in range(n):
        by_size.setdefault(sizes[i], set()).add(ident[i])
    mixed = {s for s, ids in by_size.items() if len(ids) > 1}
    same_size_files = sum(1 for i in range(n) if sizes[i] in mixed)
    made = sum(1 for v in recipes.values() if v[0] in ("fresh", "edit"))
    copies = sum(len(g) - 1 for g in dup_groups)
    pairs = sum(len(g) * (len(g) - 1) // 2 for g in dup_groups)
    big = max(sizes.values())
    small = min(sizes.values())
    print("%s: %d photos, %.1f MB (%d to %d bytes, median %d)" % (
        outdir, n, total / MB, small, big, sorted(sizes.values())[n // 2]))
    print("exact copies: %d files copy another; %d groups (%d of three or more), %d duplicate pairs" % (
        copies, len(dup_groups), sum(1 for g in dup_groups if len(g) > 2), pairs))
    print("same size, different content: %d files in %d size classes (%d made on purpose: %d fresh, "
          "%d edited in the last comment, %d edited in the padding)" % (
              same_size_files, len(mixed), made, made - where_count["tail"] - where_count["padding"],
              where_count["tail"], where_count["padding"]))


if __name__ == "__main__":
    main(sys.argv)
