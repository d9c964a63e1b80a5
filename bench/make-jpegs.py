#!/usr/bin/env python3
"""Write JPEG files for the Exif and thumbnail measurements.

    python3 bench/make-jpegs.py OUTDIR camera N
    python3 bench/make-jpegs.py OUTDIR small N

camera  N files cam0001.jpg ... of 4000x3000 pixels, quality 90, the way a site camera
        writes them: an Exif APP1 segment first (IFD0, Exif IFD with DateTimeOriginal and
        PixelXDimension/PixelYDimension 4000/3000, Interoperability IFD), no JFIF segment.
        The odd-numbered files (cam0001, cam0003, ...) carry an IFD1 with a 160x120 JPEG
        thumbnail, the even-numbered ones have no IFD1 at all. OUTDIR/with-thumb.txt and
        OUTDIR/no-thumb.txt list the file names of each half, one a line.
        The pictures look like site photos (sky, ground, road, machinery, a blackboard with
        the photo number) with textures and grain, so that they compress like real ones
        (about 3 MB each) and a decoder has as much work as with a real photo. Four base
        pictures are drawn once; each file is a shifted crop of one of them with its own
        number and date on the blackboard, so every file has different pixel data.
        About a third of a second per file.

small   N files s00001.jpg ... of 640x480 pixels with the full Exif block a camera writes
        (the tags above plus exposure, lens, sub-second times, time zone offsets, a 160x120
        thumbnail in IFD1), for measuring how fast Exif is read. All files share the pixel
        data; shooting times, camera serial numbers and byte order (one file in three is
        big-endian) vary. Fast: a few hundred files a second.

The output is the same on every run for the same arguments, and file number i is the same
whatever N is: every random choice comes from a generator seeded with fixed names, and no
file carries the time of the run.

Needs python3 with PIL (Debian: python3-pil). When the interpreter found first has no PIL
(a private Python build, for example), the script starts itself again under /usr/bin/python3.
"""

import datetime
import io
import os
import random
import struct
import sys
import zlib

try:
    from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont, ImageOps
except ImportError:  # the system interpreter usually has python3-pil even when this one has not
    if os.path.exists("/usr/bin/python3") and os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    sys.exit("make-jpegs.py: PIL is missing (apt-get install python3-pil)")

CAMERA_W, CAMERA_H = 4000, 3000
SMALL_W, SMALL_H = 640, 480
THUMB_W, THUMB_H = 160, 120
MARGIN_X, MARGIN_Y = 256, 192      # the base pictures are this much larger than a file
BASES = 4

_FONT = ImageFont.load_default()   # the built-in bitmap font: no font file needed


def seeded(*parts):
    """A random generator whose seed depends only on the given names (never on hash())."""
    return random.Random(zlib.crc32("/".join(str(p) for p in parts).encode("utf-8")))


# ---------------------------------------------------------------------------------------------
# Pictures
# ---------------------------------------------------------------------------------------------

def noise(rnd, size, amplitude):
    """Grey noise centred on 128, roughly ±amplitude (a triangular distribution)."""
    w, h = size
    a = Image.frombytes("L", size, rnd.randbytes(w * h))
    b = Image.frombytes("L", size, rnd.randbytes(w * h))
    tri = ImageChops.add(a, b, scale=2.0)
    return tri.point(lambda v: max(0, min(255, 128 + (v - 128) * amplitude // 64)))


def smooth_noise(rnd, size, cell, amplitude):
    """Noise with features about `cell` pixels wide: a small noise picture enlarged."""
    w, h = size
    small = noise(rnd, (max(2, w // cell), max(2, h // cell)), amplitude)
    return small.resize(size, Image.BICUBIC)


def add_noise(img, layer):
    """img + (layer - 128), per channel, clipped; an L layer is added to every channel."""
    if layer.mode == "L":
        layer = Image.merge("RGB", (layer, layer, layer))
    return ImageChops.add(img, layer, scale=1.0, offset=-128)


def texture(rnd, size, octaves, chroma):
    """An RGB noise layer: a sum of octaves (cell, amplitude), with some colour in it."""
    channels = []
    lum = None
    for cell, amp in octaves:
        n = smooth_noise(rnd, size, cell, amp) if cell > 1 else noise(rnd, size, amp)
        lum = n if lum is None else ImageChops.add(lum, n, scale=1.0, offset=-128)
    for _ in range(3):
        c = smooth_noise(rnd, size, octaves[0][0], chroma)
        channels.append(ImageChops.add(lum, c, scale=1.0, offset=-128))
    return Image.merge("RGB", channels)


def draw_label(img, xy, text, scale, fill):
    """Draw ASCII text with the bitmap font, enlarged by an integer factor."""
    w, h = _FONT.getbbox(text)[2:]
    mask = Image.new("L", (w + 1, h + 1), 0)
    ImageDraw.Draw(mask).text((0, 0), text, fill=255, font=_FONT)
    mask = mask.resize(((w + 1) * scale, (h + 1) * scale), Image.NEAREST)
    img.paste(Image.new(img.mode, mask.size, fill), xy, mask)


def scene(width, height, seed, margin=(0, 0)):
    """A site-photo stand-in of the given size; returns it with the blackboard's box.

    With a margin, the blackboard is placed so that it lies inside every crop of
    (width - margin x, height - margin y) pixels.
    """
    rnd = seeded("scene", seed)
    s = width / 4000.0                                 # 1.0 for a camera picture
    horizon = height * rnd.randrange(38, 52) // 100

    # sky: gradient from deep blue at the top to pale near the horizon, with soft clouds
    top = (rnd.randrange(40, 90), rnd.randrange(90, 140), rnd.randrange(170, 230))
    low = (rnd.randrange(180, 220), rnd.randrange(195, 225), rnd.randrange(215, 240))
    sky = ImageOps.colorize(Image.linear_gradient("L").resize((width, horizon + 4)), top, low)
    sky = add_noise(sky, smooth_noise(rnd, sky.size, max(4, int(300 * s)), 30))
    sky = add_noise(sky, smooth_noise(rnd, sky.size, max(2, int(60 * s)), 10))

    # ground: earth with texture at several scales, darker towards the camera
    earth = (rnd.randrange(110, 150), rnd.randrange(90, 120), rnd.randrange(60, 90))
    near = tuple(max(0, c - 50) for c in earth)
    gh = height - horizon
    ground = ImageOps.colorize(Image.linear_gradient("L").resize((width, gh)), earth, near)
    ground = add_noise(ground, texture(rnd, ground.size,
                                       [(max(2, int(200 * s)), 36), (max(2, int(40 * s)), 24),
                                        (max(2, int(8 * s)), 18)], 10))

    img = Image.new("RGB", (width, height))
    img.paste(sky, (0, 0))
    img.paste(ground, (0, horizon))
    d = ImageDraw.Draw(img)

    # distant tree line and buildings on the horizon
    x = 0
    while x < width:
        w = int(rnd.randrange(40, 160) * s) + 1
        h = int(rnd.randrange(30, 140) * s) + 1
        d.ellipse([x, horizon - h, x + w, horizon + h // 3],
                  fill=(rnd.randrange(30, 70), rnd.randrange(60, 100), rnd.randrange(30, 60)))
        x += w * 2 // 3
    for _ in range(4):
        bx = rnd.randrange(0, width - int(600 * s))
        bw, bh = int(rnd.randrange(200, 600) * s), int(rnd.randrange(150, 500) * s)
        shade = rnd.randrange(120, 220)
        d.rectangle([bx, horizon - bh, bx + bw, horizon], fill=(shade, shade - 10, shade - 20))
        for wy in range(horizon - bh + int(30 * s), horizon - int(20 * s), max(2, int(50 * s))):
            for wx in range(bx + int(20 * s), bx + bw - int(30 * s), max(2, int(60 * s))):
                d.rectangle([wx, wy, wx + int(25 * s), wy + int(25 * s)], fill=(60, 70, 90))

    # road in perspective with lane markings
    cx = width * rnd.randrange(45, 65) // 100
    d.polygon([(cx - int(120 * s), horizon), (cx + int(120 * s), horizon),
               (width, height), (int(300 * s), height)], fill=(88, 88, 92))
    for k in range(10):
        t0, t1 = k / 10.0, k / 10.0 + 0.05
        y0, y1 = horizon + gh * t0 * t0, horizon + gh * t1 * t1
        x0 = cx + (width / 2 + 150 * s - cx) * t0 * t0
        x1 = cx + (width / 2 + 150 * s - cx) * t1 * t1
        d.line([(x0, y0), (x1, y1)], fill=(235, 235, 225), width=max(1, int((6 + 40 * t1) * s)))

    # machinery: an excavator-like body and arm, some cones, a pipe, rebar
    ex, ey = int(width * rnd.randrange(55, 75) / 100), horizon + gh // 3
    yellow = (230, rnd.randrange(160, 190), 30)
    d.rectangle([ex, ey - int(350 * s), ex + int(700 * s), ey], fill=yellow)
    d.rectangle([ex + int(80 * s), ey - int(600 * s), ex + int(380 * s), ey - int(350 * s)], fill=(40, 50, 60))
    d.line([(ex + int(650 * s), ey - int(300 * s)), (ex + int(1100 * s), ey - int(800 * s)),
            (ex + int(1350 * s), ey - int(200 * s))], fill=yellow, width=max(1, int(70 * s)))
    d.rectangle([ex - int(50 * s), ey, ex + int(800 * s), ey + int(140 * s)], fill=(35, 35, 35))
    for _ in range(6):
        px = rnd.randrange(int(200 * s), width - int(100 * s))
        py = rnd.randrange(horizon + gh // 5, height - int(100 * s))
        hh = int((60 + 200 * (py - horizon) / gh) * s) + 2
        d.polygon([(px, py - hh), (px - hh // 3, py), (px + hh // 3, py)], fill=(240, 90, 20))
        d.rectangle([px - hh // 5, py - hh * 2 // 3, px + hh // 5, py - hh // 2], fill=(245, 245, 245))
    py = horizon + gh * 3 // 5
    d.line([(int(100 * s), py), (int(1800 * s), py - int(200 * s))], fill=(170, 170, 175), width=max(1, int(120 * s)))
    for k in range(14):
        rx = int((1900 + k * 70) * s)
        d.line([(rx, horizon + gh // 2), (rx + int(30 * s), horizon + gh // 5)], fill=(110, 60, 40),
               width=max(1, int(12 * s)))

    # the blackboard in the lower left corner, as on every construction photo
    mx, my = margin
    bw, bh = (width - mx) * 40 // 100, (height - my) * 28 // 100
    bx, by = mx + int(60 * s), height - my - bh - int(60 * s)
    d.rectangle([bx, by, bx + bw, by + bh], fill=(30, 72, 44), outline=(225, 225, 215),
                width=max(1, int(14 * s)))
    for k in range(1, 4):
        ly = by + bh * k // 4
        d.line([(bx, ly), (bx + bw, ly)], fill=(200, 205, 195), width=max(1, int(5 * s)))

    # soften the drawn edges a little, then sensor grain over everything
    img = img.filter(ImageFilter.BoxBlur(max(0.5, 1.2 * s)))
    img = add_noise(img, texture(rnd, img.size, [(max(2, int(3 * s)), 6), (1, 7)], 3))
    return img, (bx, by, bw, bh)


def blackboard_text(img, board, serial, date, title, scale):
    bx, by, bw, bh = board
    chalk = (238, 238, 228)
    line = bh // 4
    pad = max(2, line // 6)
    draw_label(img, (bx + pad, by + pad), "No.%04d" % serial, scale, chalk)
    draw_label(img, (bx + pad, by + line + pad), title, scale, chalk)
    draw_label(img, (bx + pad, by + 2 * line + pad), date, scale, chalk)
    draw_label(img, (bx + pad, by + 3 * line + pad), "VELVIEW BENCH SITE", scale, chalk)


def jpeg(img, quality):
    buf = io.BytesIO()
    img.save(buf, "JPEG", quality=quality)
    return drop_app0(buf.getvalue())


def drop_app0(data):
    """Remove the JFIF APP0 segment that PIL writes; camera files start with APP1 instead."""
    if data[2:4] == b"\xff\xe0":
        length = struct.unpack(">H", data[4:6])[0]
        return data[:2] + data[4 + length:]
    return data


# ---------------------------------------------------------------------------------------------
# Exif: the TIFF structure inside an APP1 segment, laid out by hand
# ---------------------------------------------------------------------------------------------

ASCII, SHORT, LONG, RATIONAL, UNDEFINED, SRATIONAL = 2, 3, 4, 5, 7, 10
POINTER = "pointer"   # a LONG whose value is the offset of another IFD or of the thumbnail


def _payload(E, typ, value):
    if typ == ASCII:
        raw = value.encode("ascii") + b"\0"
        return len(raw), raw
    if typ == UNDEFINED:
        return len(value), value
    values = value if isinstance(value, (list, tuple)) else [value]
    if typ == SHORT:
        return len(values), b"".join(struct.pack(E + "H", v) for v in values)
    if typ == LONG:
        return len(values), b"".join(struct.pack(E + "I", v) for v in values)
    if typ == RATIONAL:
        return len(values), b"".join(struct.pack(E + "II", n, d) for n, d in values)
    if typ == SRATIONAL:
        return len(values), b"".join(struct.pack(E + "ii", n, d) for n, d in values)
    raise ValueError(typ)


def _ifd(E, entries, start, next_offset, offsets):
    """One IFD at offset `start`, its out-of-line values right behind it (on even offsets).

    Entries are (tag, type, value); a POINTER entry's value names a key of `offsets`. The size
    does not depend on the offsets, so a first pass with dummy offsets gives the layout.
    """
    entries = sorted(entries, key=lambda e: e[0])
    data_start = start + 2 + 12 * len(entries) + 4
    head = struct.pack(E + "H", len(entries))
    data = b""
    for tag, typ, value in entries:
        if typ == POINTER:
            typ, value = LONG, offsets.get(value, 0)
        count, raw = _payload(E, typ, value)
        if len(raw) <= 4:
            field = raw.ljust(4, b"\0")
        else:
            field = struct.pack(E + "I", data_start + len(data))
            data += raw + (b"\0" if len(raw) % 2 else b"")
        head += struct.pack(E + "HHI", tag, typ, count) + field
    return head + struct.pack(E + "I", next_offset) + data


def exif_app1(big_endian, ifds, thumbnail):
    """An APP1 segment from IFDs given as [(name, entries)], in file order.

    "ifd0" comes first; "ifd1", when present, is chained behind IFD0 and the thumbnail bytes
    follow everything. Pointer entries refer to the other IFDs and to "thumbnail" by name.
    """
    E = ">" if big_endian else "<"
    names = [n for n, _ in ifds]

    def build(offsets):
        out = (b"MM" if big_endian else b"II") + struct.pack(E + "HI", 42, 8)
        for name, entries in ifds:
            nxt = offsets.get("ifd1", 0) if name == "ifd0" and "ifd1" in names else 0
            start = len(out)
            offsets_found[name] = start
            out += _ifd(E, entries, start, nxt, offsets)
        offsets_found["thumbnail"] = len(out)
        return out + (thumbnail or b"")

    offsets_found = {}
    build({})                       # layout pass
    layout = dict(offsets_found)
    tiff = build(layout)            # final pass with the real offsets
    assert offsets_found == layout
    body = b"Exif\0\0" + tiff
    if len(body) + 2 > 0xFFFF:
        raise ValueError("Exif segment too large (%d bytes)" % len(body))
    return b"\xff\xe1" + struct.pack(">H", len(body) + 2) + body


def camera_exif(rnd, big_endian, width, height, when, thumbnail, serial_no):
    """A camera-like Exif block: IFD0, Exif IFD, Interoperability IFD and, with a thumbnail,
    IFD1. `when` is a datetime; `rnd` picks the exposure."""
    stamp = when.strftime("%Y:%m:%d %H:%M:%S")
    subsec = "%02d" % rnd.randrange(100)
    exposure = rnd.choice([(1, 60), (1, 125), (1, 250), (1, 500), (1, 1000)])
    fnum = rnd.choice([(28, 10), (40, 10), (56, 10), (80, 10), (110, 10)])
    focal = rnd.randrange(45, 180)
    iso = rnd.choice([100, 125, 200, 400, 800])
    ifd0 = [(0x010E, ASCII, "                               "),
            (0x010F, ASCII, "SAMPLE OPTICS"), (0x0110, ASCII, "SO-4000 SITE"),
            (0x0112, SHORT, 1), (0x011A, RATIONAL, [(72, 1)]), (0x011B, RATIONAL, [(72, 1)]),
            (0x0128, SHORT, 2), (0x0131, ASCII, "SO-4000 Ver.1.10"), (0x0132, ASCII, stamp),
            (0x013B, ASCII, ""), (0x0213, SHORT, 2), (0x8298, ASCII, ""),
            (0x8769, POINTER, "exif")]
    exif = [(0x829A, RATIONAL, [exposure]), (0x829D, RATIONAL, [fnum]), (0x8822, SHORT, 2),
            (0x8827, SHORT, iso), (0x8830, SHORT, 2), (0x9000, UNDEFINED, b"0231"),
            (0x9003, ASCII, stamp), (0x9004, ASCII, stamp), (0x9010, ASCII, "+09:00"),
            (0x9011, ASCII, "+09:00"), (0x9012, ASCII, "+09:00"),
            (0x9101, UNDEFINED, b"\x01\x02\x03\x00"), (0x9102, RATIONAL, [(4, 1)]),
            (0x9204, SRATIONAL, [(rnd.randrange(-6, 7), 6)]), (0x9205, RATIONAL, [(30, 10)]),
            (0x9207, SHORT, 5), (0x9208, SHORT, 0), (0x9209, SHORT, rnd.choice([16, 24, 25])),
            (0x920A, RATIONAL, [(focal, 10)]),
            (0x9286, UNDEFINED, b"\0" * 8 + b" " * 64),
            (0x9290, ASCII, subsec), (0x9291, ASCII, subsec), (0x9292, ASCII, subsec),
            (0xA000, UNDEFINED, b"0100"), (0xA001, SHORT, 1),
            (0xA002, LONG, width), (0xA003, LONG, height), (0xA005, POINTER, "interop"),
            (0xA217, SHORT, 2), (0xA300, UNDEFINED, b"\x03"), (0xA301, UNDEFINED, b"\x01"),
            (0xA401, SHORT, 0), (0xA402, SHORT, 0), (0xA403, SHORT, 0),
            (0xA404, RATIONAL, [(1, 1)]), (0xA405, SHORT, focal * 56 // 100),
            (0xA406, SHORT, 0), (0xA408, SHORT, 0), (0xA409, SHORT, 0), (0xA40A, SHORT, 0),
            (0xA431, ASCII, serial_no),
            (0xA432, RATIONAL, [(45, 10), (180, 10), (28, 10), (49, 10)]),
            (0xA433, ASCII, "SAMPLE OPTICS"), (0xA434, ASCII, "4.5-18.0 mm f/2.8-4.9")]
    interop = [(0x0001, ASCII, "R98"), (0x0002, UNDEFINED, b"0100")]
    ifds = [("ifd0", ifd0), ("exif", exif), ("interop", interop)]
    if thumbnail is not None:
        ifds.append(("ifd1", [(0x0103, SHORT, 6), (0x011A, RATIONAL, [(72, 1)]),
                              (0x011B, RATIONAL, [(72, 1)]), (0x0128, SHORT, 2),
                              (0x0201, POINTER, "thumbnail"), (0x0202, LONG, len(thumbnail)),
                              (0x0213, SHORT, 2)]))
    return exif_app1(big_endian, ifds, thumbnail)


def with_exif(data, app1):
    return data[:2] + app1 + data[2:]


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


# ---------------------------------------------------------------------------------------------
# The two kinds of file
# ---------------------------------------------------------------------------------------------

TITLES = ["EXCAVATION", "EMBANKMENT", "SUBGRADE", "BASE COURSE", "SURFACE COURSE",
          "U-DITCH", "CULVERT", "GUARDRAIL", "CURB", "REBAR CHECK"]


def shooting_time(serial, kind):
    """Working-hours times: about 40 photos a day, six days a week, from 2023-04-03."""
    rnd = seeded("time", kind, serial)
    day = (serial - 1) // 40
    day += day // 6                                   # Sundays off
    start = datetime.datetime(2023, 4, 3, 8, 0, 0) + datetime.timedelta(days=day)
    minutes = ((serial - 1) % 40) * 13 + rnd.randrange(0, 12)
    return start + datetime.timedelta(minutes=minutes, seconds=rnd.randrange(60))


def make_camera(out, n):
    bases = {}
    with_thumb, no_thumb = [], []
    for serial in range(1, n + 1):
        b = (serial - 1) % BASES
        if b not in bases:
            bases[b] = scene(CAMERA_W + MARGIN_X, CAMERA_H + MARGIN_Y, "camera-%d" % b,
                             (MARGIN_X, MARGIN_Y))
        base, board = bases[b]
        rnd = seeded("camera", serial)
        dx, dy = rnd.randrange(MARGIN_X), rnd.randrange(MARGIN_Y)
        img = base.crop((dx, dy, dx + CAMERA_W, dy + CAMERA_H))
        when = shooting_time(serial, "camera")
        bx, by, bw, bh = board
        blackboard_text(img, (bx - dx, by - dy, bw, bh), serial,
                        when.strftime("%Y.%m.%d"), rnd.choice(TITLES), 9)
        data = jpeg(img, 90)
        thumb = None
        if serial % 2 == 1:
            thumb = jpeg(img.reduce(CAMERA_W // THUMB_W), 80)
        app1 = camera_exif(rnd, False, CAMERA_W, CAMERA_H, when, thumb, "%08d" % 41020731)
        name = "cam%04d.jpg" % serial
        write(os.path.join(out, name), with_exif(data, app1))
        (with_thumb if thumb else no_thumb).append(name)
        if serial % 25 == 0 or serial == n:
            print("make-jpegs: %d/%d" % (serial, n), file=sys.stderr, flush=True)
    for list_name, names in (("with-thumb.txt", with_thumb), ("no-thumb.txt", no_thumb)):
        with open(os.path.join(out, list_name), "w") as f:
            f.writelines(name + "\n" for name in names)


def make_small(out, n):
    img, board = scene(SMALL_W, SMALL_H, "small")
    blackboard_text(img, board, 1, "2023.04.03", "EXCAVATION", 1)
    data = jpeg(img, 85)
    thumb = jpeg(img.resize((THUMB_W, THUMB_H), Image.BILINEAR), 80)
    bodies = ["%08d" % (41020000 + k * 7919) for k in range(5)]   # a few cameras on site
    for serial in range(1, n + 1):
        rnd = seeded("small", serial)
        when = shooting_time(serial, "small")
        app1 = camera_exif(rnd, serial % 3 == 0, SMALL_W, SMALL_H, when, thumb,
                           bodies[serial % len(bodies)])
        write(os.path.join(out, "s%05d.jpg" % serial), with_exif(data, app1))


def main(argv):
    if len(argv) != 4 or argv[2] not in ("camera", "small") or not argv[3].isdigit():
        sys.exit("usage: make-jpegs.py OUTDIR camera|small N")
    out, kind, n = argv[1], argv[2], int(argv[3])
    os.makedirs(out, exist_ok=True)
    if kind == "camera":
        make_camera(out, n)
    else:
        make_small(out, n)


if __name__ == "__main__":
    main(sys.argv)
