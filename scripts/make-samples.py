#!/usr/bin/env python3
"""Write the sample deliveries that the tests, the demo and the manual checks open.

    python3 scripts/make-samples.py [OUTDIR]      (default: samples/deliveries)

Every delivery is rebuilt from scratch inside OUTDIR; other files there (README.md) are left
alone. The output is byte-for-byte the same on every run: all dates are fixed, every random
choice comes from a generator seeded with a fixed value, and no file carries the time of the
run. samples/deliveries/README.md describes what each delivery holds and lists the faults
that are put in on purpose.

Needs python3 with PIL (Debian: python3-pil). When the interpreter found first has no PIL
(a private Python build, for example), the script starts itself again under /usr/bin/python3.
"""

import io
import os
import random
import shutil
import struct
import sys
import zlib

try:
    from PIL import Image, ImageDraw, ImageFont, ImageOps
except ImportError:  # the system interpreter usually has python3-pil even when this one has not
    if os.path.exists("/usr/bin/python3") and os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    sys.exit("make-samples.py: PIL is missing (apt-get install python3-pil)")

CRLF = "\r\n"

# ---------------------------------------------------------------------------------------------
# Pictures
# ---------------------------------------------------------------------------------------------

_FONT = ImageFont.load_default()  # the built-in bitmap font: no font file, same pixels everywhere


def seeded(*parts):
    """A random generator whose seed depends only on the given names (never on hash())."""
    return random.Random(zlib.crc32("/".join(str(p) for p in parts).encode("utf-8")))


def draw_label(img, xy, text, scale, fill):
    """Draw ASCII text with the bitmap font, enlarged by an integer factor."""
    w, h = _FONT.getbbox(text)[2:]
    mask = Image.new("L", (w + 1, h + 1), 0)
    ImageDraw.Draw(mask).text((0, 0), text, fill=255, font=_FONT)
    mask = mask.resize(((w + 1) * scale, (h + 1) * scale), Image.NEAREST)
    img.paste(Image.new(img.mode, mask.size, fill), xy, mask)


def photo_image(serial, width, height, date, seed):
    """A site-photo stand-in: sky-to-ground gradient, a few shapes and a small blackboard."""
    rnd = seeded("photo", seed, serial)
    top = tuple(rnd.randrange(90, 200) for _ in range(3))
    bottom = tuple(rnd.randrange(20, 120) for _ in range(3))
    gray = Image.linear_gradient("L").resize((width, height))
    img = ImageOps.colorize(gray, top, bottom)
    d = ImageDraw.Draw(img)
    horizon = height * rnd.randrange(40, 65) // 100
    d.polygon([(0, horizon), (width, horizon - rnd.randrange(-20, 20)), (width, height), (0, height)],
              fill=tuple(rnd.randrange(80, 160) for _ in range(3)))
    for _ in range(3):
        x = rnd.randrange(0, width - 40)
        y = rnd.randrange(horizon - 40, horizon + 10)
        d.rectangle([x, y, x + rnd.randrange(20, 60), y + rnd.randrange(15, 50)],
                    fill=tuple(rnd.randrange(40, 220) for _ in range(3)))
    # blackboard in the lower left corner, as on every construction photo
    bw, bh = width * 45 // 100, height * 30 // 100
    bx, by = 8, height - bh - 8
    d.rectangle([bx, by, bx + bw, by + bh], fill=(28, 70, 40), outline=(230, 230, 230))
    draw_label(img, (bx + 6, by + 6), "No.%d" % serial, 3, (240, 240, 240))
    draw_label(img, (bx + 6, by + bh - 16), date, 1, (240, 240, 200))
    return img


def drawing_image(name, seed, width=320, height=240):
    """A reference-drawing stand-in: a plan with a frame, a few lines and a title block."""
    rnd = seeded("drawing", seed, name)
    img = Image.new("L", (width, height), 255)
    d = ImageDraw.Draw(img)
    d.rectangle([4, 4, width - 5, height - 5], outline=0, width=2)
    d.rectangle([width - 120, height - 40, width - 5, height - 5], outline=0)
    draw_label(img, (width - 114, height - 34), name, 1, 0)
    draw_label(img, (width - 114, height - 20), "SCALE 1:500", 1, 0)
    pts = [(rnd.randrange(20, width - 130), rnd.randrange(20, height - 50)) for _ in range(5)]
    d.line(pts, fill=0, width=2)
    for x, y in pts:
        d.ellipse([x - 3, y - 3, x + 3, y + 3], outline=0)
    d.line([(20, height - 60), (width - 140, height - 60)], fill=0)  # dimension line
    for x in (20, width - 140):
        d.line([(x, height - 66), (x, height - 54)], fill=0)
    return img


def jpeg(img, quality=80):
    buf = io.BytesIO()
    img.save(buf, "JPEG", quality=quality)
    return buf.getvalue()


def drop_app0(data):
    """Remove the JFIF APP0 segment that PIL writes; Exif files start with APP1 instead."""
    if data[2:4] == b"\xff\xe0":
        length = struct.unpack(">H", data[4:6])[0]
        return data[:2] + data[4 + length:]
    return data


# ---------------------------------------------------------------------------------------------
# Exif (TIFF structure inside an APP1 segment), built by hand so that byte order and value
# types are under our control
# ---------------------------------------------------------------------------------------------

ASCII, SHORT, LONG, RATIONAL, UNDEFINED = 2, 3, 4, 5, 7


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
        return len(values), b"".join(struct.pack(E + "II", n, dnm) for n, dnm in values)
    raise ValueError(typ)


def _ifd(E, entries, start, next_offset):
    """One IFD at offset `start`, its out-of-line values directly behind it.

    Values of four bytes or less stand left-justified in the entry (a SHORT thus fills the
    first two bytes in file order), longer ones are placed behind the IFD on even offsets.
    The size does not depend on the values of pointer entries, which lets the caller lay out
    the IFDs first and fill in the pointers afterwards.
    """
    entries = sorted(entries)
    data_start = start + 2 + 12 * len(entries) + 4
    head = struct.pack(E + "H", len(entries))
    data = b""
    for tag, typ, value in entries:
        count, raw = _payload(E, typ, value)
        if len(raw) <= 4:
            field = raw.ljust(4, b"\0")
        else:
            field = struct.pack(E + "I", data_start + len(data))
            data += raw + (b"\0" if len(raw) % 2 else b"")
        head += struct.pack(E + "HHI", tag, typ, count) + field
    return head + struct.pack(E + "I", next_offset) + data


def exif_segment(big_endian, width, height, datetime, dim_type, thumbnail, make, model):
    E = ">" if big_endian else "<"
    dim = SHORT if dim_type == "SHORT" else LONG

    def ifd0(exif_ptr):
        return [(0x010F, ASCII, make), (0x0110, ASCII, model), (0x0112, SHORT, 1),
                (0x011A, RATIONAL, [(72, 1)]), (0x011B, RATIONAL, [(72, 1)]), (0x0128, SHORT, 2),
                (0x0131, ASCII, "make-samples.py"), (0x0132, ASCII, datetime), (0x0213, SHORT, 1),
                (0x8769, LONG, exif_ptr)]

    exif = [(0x829A, RATIONAL, [(1, 250)]), (0x829D, RATIONAL, [(56, 10)]),
            (0x9000, UNDEFINED, b"0230"), (0x9003, ASCII, datetime), (0x9004, ASCII, datetime),
            (0x9101, UNDEFINED, b"\x01\x02\x03\x00"), (0xA000, UNDEFINED, b"0100"),
            (0xA001, SHORT, 1), (0xA002, dim, width), (0xA003, dim, height)]

    def ifd1(thumb_ptr):
        return [(0x0103, SHORT, 6), (0x011A, RATIONAL, [(72, 1)]), (0x011B, RATIONAL, [(72, 1)]),
                (0x0128, SHORT, 2), (0x0201, LONG, thumb_ptr), (0x0202, LONG, len(thumbnail))]

    # first pass: sizes; second pass: the real offsets
    off0 = 8
    off_exif = off0 + len(_ifd(E, ifd0(0), off0, 0))
    off1 = off_exif + len(_ifd(E, exif, off_exif, 0))
    off_thumb = off1 + len(_ifd(E, ifd1(0), off1, 0))
    tiff = (b"MM" if big_endian else b"II") + struct.pack(E + "HI", 42, off0)
    tiff += _ifd(E, ifd0(off_exif), off0, off1)
    tiff += _ifd(E, exif, off_exif, 0)
    tiff += _ifd(E, ifd1(off_thumb), off1, 0)
    assert len(tiff) == off_thumb
    tiff += thumbnail
    body = b"Exif\0\0" + tiff
    assert len(body) + 2 <= 0xFFFF
    return b"\xff\xe1" + struct.pack(">H", len(body) + 2) + body


def xmp_segment():
    ns = b"http://ns.adobe.com/xap/1.0/\0"
    packet = (b'<?xpacket begin="" id="W5M0MpCehiHzreSzNTczkc9d"?>'
              b'<x:xmpmeta xmlns:x="adobe:ns:meta/"><rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">'
              b'<rdf:Description rdf:about="" xmlns:xmp="http://ns.adobe.com/xap/1.0/" xmp:CreatorTool="make-samples.py"/>'
              b'</rdf:RDF></x:xmpmeta><?xpacket end="r"?>')
    body = ns + packet
    return b"\xff\xe1" + struct.pack(">H", len(body) + 2) + body


class Shot:
    """How one photo file is made: pixel size, Exif variant, shooting time."""

    def __init__(self, serial, date, portrait=False, exif=True, big_endian=True, dim_type="SHORT",
                 xmp_first=False, time=None):
        self.serial = serial
        self.date = date              # "YYYY-MM-DD"
        self.portrait = portrait
        self.exif = exif
        self.big_endian = big_endian
        self.dim_type = dim_type
        self.xmp_first = xmp_first
        self.time = time


def photo_file(shot, seed):
    width, height = (240, 320) if shot.portrait else (320, 240)
    img = photo_image(shot.serial, width, height, shot.date, seed)
    data = jpeg(img)
    if not shot.exif:
        return data
    rnd = seeded("time", seed, shot.serial)
    time = shot.time or "%02d:%02d:%02d" % (rnd.randrange(8, 17), rnd.randrange(60), rnd.randrange(60))
    datetime = shot.date.replace("-", ":") + " " + time
    thumb = drop_app0(jpeg(img.resize((width // 2, height // 2), Image.BILINEAR), quality=70))
    app1 = exif_segment(shot.big_endian, width, height, datetime, shot.dim_type, thumb,
                        "SAMPLE OPTICS", "SO-320 SITE")
    if shot.xmp_first:
        app1 = xmp_segment() + app1
    data = drop_app0(data)
    return data[:2] + app1 + data[2:]


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def write_shots(folder, shots, seed, names=None):
    """Photo files P0000001.JPG ... (or the given names) for the shots."""
    for i, shot in enumerate(shots):
        name = names[i] if names else "P%07d.JPG" % shot.serial
        write(os.path.join(folder, name), photo_file(shot, seed))


def write_drawings(folder, names, seed):
    for name in names:
        write(os.path.join(folder, name), jpeg(drawing_image(os.path.splitext(name)[0], seed)))


# ---------------------------------------------------------------------------------------------
# XML text
# ---------------------------------------------------------------------------------------------

def esc(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def E(name, content=None, attrs=""):
    """An element: content is a text (leaf), a list of elements, or None (left out)."""
    return (name, content, attrs)


def render(nodes, depth=1):
    lines = []
    for node in nodes:
        if node is None:
            continue
        name, content, attrs = node
        if content is None:
            continue
        pad = "\t" * depth
        if isinstance(content, list):
            lines.append("%s<%s%s>" % (pad, name, attrs))
            lines += render(content, depth + 1)
            lines.append("%s</%s>" % (pad, name))
        else:
            lines.append("%s<%s%s>%s</%s>" % (pad, name, attrs, esc(content), name))
    return lines


def document(prolog, root_attrs, body, newline=CRLF):
    lines = list(prolog) + ["<photodata%s>" % root_attrs] + render(body) + ["</photodata>"]
    return newline.join(lines) + newline


def prolog5(encoding='encoding="Shift_JIS"', dtd="PHOTO05.DTD", xsl="PHOTO05.XSL"):
    lines = ['<?xml version="1.0" %s?>' % encoding, '<!DOCTYPE photodata SYSTEM "%s">' % dtd]
    if xsl:
        lines.append('<?xml-stylesheet type="text/xsl" href="%s" ?>' % xsl)
    return lines


def sjis(text):
    return text.encode("cp932")


# ---------------------------------------------------------------------------------------------
# Photo records, shared by the editions
# ---------------------------------------------------------------------------------------------

class Photo:
    def __init__(self, serial, title, kbn="施工状況写真", major="工事", ksh=None, sbt=None, sai=None,
                 date="2023-05-10", place=None, file=None, jname=None, media="1", refs=(),
                 kr=(), dai="0", frq="0", skokan=None, uke=None):
        self.serial = serial
        self.file = file if file is not None else "P%07d.JPG" % serial
        self.jname = jname
        self.media = media
        self.major = major
        self.kbn = kbn
        self.ksh, self.sbt, self.sai = ksh, sbt, sai
        self.title = title
        self.kr = list(kr)                  # 工種区分予備 entries
        self.refs = list(refs)              # (file, japanese name, title, reserve or None)
        self.place = place
        self.date = date                    # "YYYY-MM-DD"
        self.dai = dai
        self.frq = frq
        self.skokan = skokan
        self.uke = uke


def ed5_photo(p, note_tag="請負者説明文", with_frq=True, attrs=""):
    """写真情報 of editions 3, 4 and 5 (edition 5 adds 提出頻度写真 after 代表写真)."""
    return E("写真情報", [
        E("写真ファイル情報", [E("シリアル番号", str(p.serial)), E("写真ファイル名", p.file),
                        E("写真ファイル日本語名", p.jname), E("メディア番号", p.media)]),
        E("撮影工種区分", [E("写真-大分類", p.major), E("写真区分", p.kbn), E("工種", p.ksh),
                      E("種別", p.sbt), E("細別", p.sai), E("写真タイトル", p.title)]
          + [E("工種区分予備", k) for k in p.kr]),
    ] + [E("付加情報", [E("参考図ファイル名", f), E("参考図ファイル日本語名", j), E("参考図タイトル", t),
                      E("付加情報予備", r)]) for f, j, t, r in p.refs] + [
        E("撮影情報", [E("撮影箇所", p.place), E("撮影年月日", p.date)]),
        E("代表写真", p.dai),
        E("提出頻度写真", p.frq if with_frq else None),
        E("施工管理値", p.skokan),
        E(note_tag, p.uke),
    ], attrs)


BASE5 = E("基礎情報", [E("写真フォルダ名", "PHOTO/PIC"), E("参考図フォルダ名", "PHOTO/DRA"),
                   E("適用要領基準", "土木202303-01")])
MAKER_TAG = E("ソフトメーカ用TAG", "VelView sample data / make-samples.py")


def ed5_document(photos, encoding='encoding="Shift_JIS"', newline=CRLF, extra=(), attrs=None):
    attrs = attrs or {}
    body = [BASE5] + [ed5_photo(p, attrs=attrs.get(p.serial, "")) for p in photos] + list(extra)
    return document(prolog5(encoding), ' DTD_version="05"', body, newline)


def index_c(encoding="cp932", decl='encoding="Shift_JIS"', name="市道青葉線道路改良工事"):
    """A small construction-management file for the construction folder."""
    lines = [
        '<?xml version="1.0" %s?>' % decl,
        '<!DOCTYPE constdata SYSTEM "INDE_C05.DTD">',
        '<?xml-stylesheet type="text/xsl" href="INDE_C05.XSL" ?>',
        '<constdata DTD_version="05">',
        "\t<基礎情報>",
        "\t\t<メディア番号>1</メディア番号>",
        "\t\t<メディア総枚数>1</メディア総枚数>",
        "\t\t<適用要領基準>土木202303-01</適用要領基準>",
        "\t\t<写真フォルダ名>PHOTO</写真フォルダ名>",
        "\t</基礎情報>",
        "\t<工事件名等>",
        "\t\t<発注年度>2023</発注年度>",
        "\t\t<工事番号>0123456789</工事番号>",
        "\t\t<工事名称>%s</工事名称>" % name,
        "\t\t<工期開始日>2023-04-03</工期開始日>",
        "\t\t<工期終了日>2024-03-15</工期終了日>",
        "\t</工事件名等>",
        "\t<発注者情報>",
        "\t\t<発注者-大分類>国土交通省</発注者-大分類>",
        "\t\t<発注者-中分類>関東地方整備局</発注者-中分類>",
        "\t\t<発注者-小分類>さくら国道事務所</発注者-小分類>",
        "\t\t<発注者コード>12345678</発注者コード>",
        "\t</発注者情報>",
        "\t<受注者情報>",
        "\t\t<受注者名>株式会社青葉建設</受注者名>",
        "\t\t<受注者コード>987654</受注者コード>",
        "\t</受注者情報>",
        "\t<工事情報>",
        "\t\t<工事分野>道路</工事分野>",
        "\t\t<工事業種>一般土木工事</工事業種>",
        "\t\t<工事概要>道路改良 L=420m、舗装工 A=2,900m2、排水構造物工 一式</工事概要>",
        "\t</工事情報>",
        "</constdata>",
    ]
    return (CRLF.join(lines) + CRLF).encode(encoding)


# ---------------------------------------------------------------------------------------------
# The deliveries
# ---------------------------------------------------------------------------------------------

LONG_TITLE = ("下層路盤工の敷均し及び締固め状況を撮影した写真であり、"
              "締固め度の確認のため砂置換法による現場密度試験を実施した際の試験孔と測定器具の設置状況を示す。") * 3


def r5_sjis(out):
    """Edition 5, Shift_JIS, inside a construction folder; the faulty photos are 3 to 10."""
    assert len(sjis(LONG_TITLE)) > 254
    photos = [
        Photo(1, "着手前全景", kbn="着手前及び完成写真", jname="着手前0001.JPG", place="No.0～No.21 全景",
              date="2023-04-10", dai="1", frq="1",
              refs=[("D0000001.JPG", "位置図0001.JPG", "撮影位置図", "着手前の撮影方向を示す")]),
        Photo(2, "掘削状況", ksh="道路土工", sbt="掘削工", sai="土砂掘削", jname="施工状況0001.JPG",
              place="No.5+10.0", date="2023-04-24", kr=["掘削深さ 1.2m", "バックホウ 0.45m3"],
              refs=[("D0000002.JPG", "平面図0002.JPG", "平面図", None),
                    ("D0000003.JPG", "横断図0003.JPG", "横断図 No.5", "左側の法面を示す")],
              uke="監督職員立会"),
        Photo(3, "", ksh="道路土工", sbt="路体盛土工", sai="路体(築堤)盛土", place="No.8",
              date="2023-05-08"),
        Photo(4, LONG_TITLE, kbn="品質管理写真", ksh="舗装工", sbt="アスファルト舗装工", sai="下層路盤",
              place="No.12", date="2023-06-02", frq="1", skokan="締固め度 規格値 93%以上 実測 96.4%"),
        Photo(5, "交通誘導員配置状況", major="工事X", kbn="安全管理写真", place="起点側交差点",
              date="2023-05-15"),
        Photo(6, "丁張設置状況", kbn="未知の写真", ksh="道路土工", place="No.15", date="2023-05-16"),
        Photo(7, "側溝据付状況", ksh="排水構造物工", sbt="側溝工", sai="プレキャストU型側溝",
              place="No.18 左", date=""),
        Photo(8, "使用材料 U型側溝", kbn="使用材料写真", ksh="排水構造物工", sbt="側溝工",
              place="資材置場", date="2023-05-19"),
        Photo(9, "上層路盤 転圧状況", file="p0000009.jpg", ksh="舗装工", sbt="アスファルト舗装工",
              sai="上層路盤", place="No.10", date="2023-06-06"),
        Photo(10, "表層 舗設状況", file="../../INDEX_C.XML", ksh="舗装工", sbt="アスファルト舗装工",
              sai="表層", place="No.3～No.9", date="2023-06-13"),
        Photo(11, "下層路盤 厚さ測定(A&B区間)", kbn="出来形管理写真", ksh="舗装工", sbt="アスファルト舗装工",
              sai="下層路盤", jname="出来形0001.JPG", place="No.6", date="2023-06-01", dai="1", frq="0",
              skokan="厚さ 設計 150mm 実測 153mm", uke="測定値は出来形管理図表に記載"),
        Photo(12, "安全訓練実施状況", kbn="安全管理写真", place="現場事務所", date="2023-04-28", frq="1"),
    ]
    shots = [
        Shot(1, "2023-04-10", big_endian=True, dim_type="SHORT"),
        Shot(2, "2023-04-24", big_endian=False, dim_type="LONG"),
        Shot(3, "2023-05-08", big_endian=True, dim_type="LONG"),
        Shot(4, "2023-06-02", big_endian=False, dim_type="SHORT"),
        Shot(5, "2023-05-15", exif=False),
        Shot(6, "2023-05-16", portrait=True, big_endian=True, dim_type="SHORT"),
        Shot(7, "2023-05-17", big_endian=False, dim_type="SHORT"),   # Exif date of an undated record
        # 8: no file on purpose
        Shot(9, "2023-06-06", big_endian=True, dim_type="LONG"),
        # 10: the record points outside PIC, so there is no file of its own either
        Shot(11, "2023-06-01", exif=False),
        Shot(12, "2023-04-28", portrait=True, big_endian=False, dim_type="LONG", xmp_first=True),
    ]
    base = os.path.join(out, "r5-sjis")
    write(os.path.join(base, "INDEX_C.XML"), index_c())
    write(os.path.join(base, "PHOTO", "PHOTO.XML"), sjis(ed5_document(photos, extra=[MAKER_TAG])))
    write_shots(os.path.join(base, "PHOTO", "PIC"), shots, "r5-sjis")
    write_drawings(os.path.join(base, "PHOTO", "DRA"), ["D0000001.JPG", "D0000002.JPG", "D0000003.JPG"],
                   "r5-sjis")
    return len(photos)


CLEAN_PHOTOS = [
    Photo(1, "着手前全景", kbn="着手前及び完成写真", jname="着手前0001.JPG", place="No.0 起点側",
          date="2023-04-10", dai="1", frq="1",
          refs=[("D0000001.JPG", "位置図0001.JPG", "撮影位置図", None)]),
    Photo(2, "床掘り状況", ksh="道路土工", sbt="掘削工", sai="土砂掘削", place="No.4+5.0",
          date="2023-04-21"),
    Photo(3, "路盤材 搬入状況", kbn="使用材料写真", ksh="舗装工", sbt="アスファルト舗装工",
          place="資材置場", date="2023-05-09", uke="納入伝票と照合済"),
    Photo(4, "路盤 厚さ測定", kbn="出来形管理写真", ksh="舗装工", sbt="アスファルト舗装工", sai="下層路盤",
          place="No.6", date="2023-05-30", dai="1", frq="1", skokan="厚さ 設計 150mm 実測 152mm"),
    Photo(5, "完成全景", kbn="着手前及び完成写真", place="No.0 起点側", date="2024-02-27", dai="1", frq="1"),
]

CLEAN_SHOTS = [
    Shot(1, "2023-04-10", big_endian=True, dim_type="SHORT"),
    Shot(2, "2023-04-21", big_endian=False, dim_type="LONG"),
    Shot(3, "2023-05-09", exif=False),
    Shot(4, "2023-05-30", portrait=True, big_endian=True, dim_type="LONG"),
    Shot(5, "2024-02-27", big_endian=False, dim_type="SHORT"),
]


def r5_clean_family(out, name, encoding, decl, bom=b"", newline=CRLF):
    base = os.path.join(out, name)
    text = ed5_document(CLEAN_PHOTOS, encoding=decl, newline=newline, extra=[MAKER_TAG])
    write(os.path.join(base, "PHOTO", "PHOTO.XML"), bom + text.encode(encoding))
    idx_decl = 'encoding="Shift_JIS"' if encoding == "cp932" else 'encoding="UTF-8"'
    write(os.path.join(base, "INDEX_C.XML"), index_c(encoding, idx_decl))
    write_shots(os.path.join(base, "PHOTO", "PIC"), CLEAN_SHOTS, "r5-clean")
    write_drawings(os.path.join(base, "PHOTO", "DRA"), ["D0000001.JPG"], "r5-clean")
    return len(CLEAN_PHOTOS)


# --- older editions ---------------------------------------------------------------------------

def ed1(out):
    """Edition 1: flat 写真情報, 8-digit dates, 参考図1..3 and MIME items."""
    photos = [
        ("1", "P0000001.JPG", "着手前及び完成写真", "", "", "", "着手前全景", "D0000001.JPG", "No.0", "20010417"),
        ("2", "P0000002.JPG", "施工状況写真", "道路土工", "掘削工", "土砂掘削", "掘削状況", "", "No.3+12.0", "20010522"),
        ("3", "P0000003.JPG", "品質管理写真", "舗装工", "アスファルト舗装工", "下層路盤", "現場密度試験", "", "No.7", "20010611"),
        ("4", "P0000004.JPG", "着手前及び完成写真", "", "", "", "完成全景", "", "No.0", "20011126"),
    ]
    body = [
        E("基礎情報", [E("DTDバージョン", "01"), E("写真フォルダ名", "PIC"), E("参考図フォルダ名", "DRA"),
                   E("媒体情報予備", ""), E("ソフトウェア名", "make-samples.py"), E("バージョン情報", "1.0"),
                   E("メーカ名", "VelView"), E("メーカ連絡先", "samples@velview.invalid")]),
        E("工事情報", [E("発注年度", "2001"), E("工事番号", "13-0042"), E("河川路線名等", "一般国道999号"),
                   E("工事名称", "一般国道999号 みどり地区舗装工事"), E("工事箇所", "みどり市中町地先"),
                   E("工期開始日", "20010402"), E("工期終了日", "20011130"), E("発注者-大分類", "建設省"),
                   E("発注者-中分類", "関東地方建設局"), E("発注者-小分類", "さくら国道工事事務所"),
                   E("発注者コード", "12345678"), E("請負者名", "みどり道路株式会社"), E("請負者コード", "4321"),
                   E("発注者備考", ""), E("請負者備考", "")]),
    ]
    for serial, fname, kbn, ksh, sbt, sai, title, ref, place, date in photos:
        body.append(E("写真情報", [
            E("シリアル番号", serial), E("写真ファイル名", fname), E("メディア番号", "1"),
            E("写真整理フラグ", "0"), E("写真ファイル情報予備", ""), E("写真-大分類", "工事"),
            E("写真区分", kbn), E("工種", ksh), E("種別", sbt), E("細別", sai), E("写真タイトル", title),
            E("工種区分予備1", ""), E("工種区分予備2", ""), E("工種区分予備3", ""),
            E("参考図1", ref), E("参考図2", ""), E("参考図3", ""), E("撮影箇所", place),
            E("付加情報予備", "撮影位置は参考図のとおり" if ref else ""), E("撮影年月日", date),
            E("フィルム番号", ""), E("コマ番号", ""), E("撮影情報予備", ""),
            E("施工管理値", "締固め度 98.2%" if serial == "3" else ""), E("施工管理値予備", ""),
            E("状況説明予備", ""), E("請負者説明文", ""), E("発注者説明文", ""),
            E("写真情報予備1", ""), E("写真情報予備2", ""), E("写真情報予備3", ""),
            E("写真MIME", "image/jpeg"), E("参考図1-MIME", "image/jpeg" if ref else ""),
            E("参考図2-MIME", ""), E("参考図3-MIME", ""),
        ]))
    prolog = ['<?xml version="1.0" encoding="shift_jis" ?>', '<!DOCTYPE photodata SYSTEM "PHOTO.DTD">']
    base = os.path.join(out, "ed1")
    write(os.path.join(base, "PHOTO.XML"), sjis(document(prolog, "", body)))
    dates = [p[-1] for p in photos]
    shots = [Shot(i + 1, "%s-%s-%s" % (d[:4], d[4:6], d[6:]), exif=(i in (1, 2)), big_endian=(i == 1))
             for i, d in enumerate(dates)]
    write_shots(os.path.join(base, "PIC"), shots, "ed1")
    write_drawings(os.path.join(base, "DRA"), ["D0000001.JPG"], "ed1")
    return len(photos)


def ed2_photo(p, extra_shooting=(), extra_values=(), extra_info=(), mime=True):
    return E("写真情報", [
        E("写真ファイル情報", [E("シリアル番号", str(p.serial)), E("写真ファイル名", p.file),
                        E("写真ファイル日本語名", p.jname), E("メディア番号", p.media),
                        E("写真MIME", "image/jpeg" if mime else None), E("写真ファイル情報予備", None)]),
        E("撮影工種区分", [E("写真-大分類", p.major), E("写真区分", p.kbn), E("工種", p.ksh),
                      E("種別", p.sbt), E("細別", p.sai), E("写真タイトル", p.title)]
          + [E("工種区分予備", k) for k in p.kr]),
    ] + [E("付加情報", [E("参考図ファイル名", f), E("参考図ファイル日本語名", j), E("参考図タイトル", t),
                      E("参考図MIME", "image/jpeg" if mime else None), E("付加情報予備", r)])
         for f, j, t, r in p.refs] + [
        E("撮影情報", [E("撮影箇所", p.place), E("撮影年月日", p.date)]
          + [E("撮影情報予備", v) for v in extra_shooting]),
        E("施工管理値情報", [E("施工管理値", p.skokan or "")] + [E("施工管理値予備", v) for v in extra_values]),
        E("状況説明予備", ""),
        E("その他", [E("請負者説明文", p.uke or "")] + [E("写真情報予備", v) for v in extra_info]),
    ])


def ed2_family(out, name, dtd, version, agriculture=False):
    if agriculture:
        photos = [
            Photo(1, "着手前全景", kbn="着手前及び完成写真", jname="着手前0001.JPG", place="No.0",
                  date="2004-07-05", refs=[("D0000001.JPG", "位置図0001.JPG", "撮影位置図", None)]),
            Photo(2, "水路床掘り状況", ksh="水路工", sbt="開水路工", sai="現場打水路", place="No.2+8.0",
                  date="2004-07-21"),
            Photo(3, "基礎砕石 敷均し状況", ksh="水路工", sbt="開水路工", sai="基礎工", place="No.4",
                  date="2004-08-03", kr=["砕石 RC-40"]),
            Photo(4, "側壁 厚さ測定", kbn="出来形管理写真", ksh="水路工", sbt="開水路工", sai="現場打水路",
                  place="No.6", date="2004-09-14", skokan="側壁厚 設計 200mm 実測 203mm"),
        ]
        koji = E("工事情報", [
            E("工事件名等", [E("発注年度", "2004"), E("案件番号", "16-農-0815"), E("路線水系名等", "青葉川水系"),
                        E("工事名称", "青葉地区 用水路改修工事"), E("工事箇所", "みどり市青葉町地内"),
                        E("工期開始日", "2004-06-21"), E("工期終了日", "2005-02-28")]),
            E("発注者情報", [E("発注者-大分類", "農林水産省"), E("発注者-中分類", "関東農政局"),
                        E("発注者-小分類", "青葉農業水利事業所"), E("発注者コード", "87654321")]),
            E("請負者情報", [E("請負者名", "株式会社みどり土木"), E("請負者コード", "5555")]),
            E("請負者備考", ""),
        ])
        aplstd = "電子化写真データの作成要領(案) 平成15年4月"
    else:
        photos = [
            Photo(1, "着手前全景", kbn="着手前及び完成写真", jname="着手前0001.JPG", place="No.0",
                  date="2003-05-12", refs=[("D0000001.JPG", "位置図0001.JPG", "撮影位置図", "起点側から撮影")]),
            Photo(2, "掘削状況", ksh="道路土工", sbt="掘削工", sai="土砂掘削", place="No.3", date="2003-06-02",
                  kr=["掘削深さ 0.8m", "法勾配 1:1.0"]),
            Photo(3, "路盤 転圧状況", ksh="舗装工", sbt="アスファルト舗装工", sai="上層路盤", place="No.9",
                  date="2003-07-16", uke="転圧回数 6回"),
            Photo(4, "表層 厚さ測定", kbn="出来形管理写真", ksh="舗装工", sbt="アスファルト舗装工", sai="表層",
                  place="No.9", date="2003-07-30", skokan="厚さ 設計 50mm 実測 51mm"),
            Photo(5, "完成全景", kbn="着手前及び完成写真", place="No.0", date="2003-09-26"),
        ]
        koji = E("工事情報", [
            E("工事件名等", [E("発注年度", "2003"), E("工事番号", "15-0107"), E("河川-路線名等", "一般国道999号"),
                        E("工事名称", "一般国道999号 あおば地区舗装修繕工事"), E("工事箇所", "みどり市あおば町地先"),
                        E("工期開始日", "2003-04-21"), E("工期終了日", "2003-10-31")]),
            E("発注者情報", [E("発注者-大分類", "国土交通省"), E("発注者-中分類", "関東地方整備局"),
                        E("発注者-小分類", "さくら国道事務所"), E("発注者コード", "12345678")]),
            E("請負者情報", [E("請負者名", "あおば舗装株式会社"), E("請負者コード", "1234")]),
            E("請負者備考", ""),
        ])
        aplstd = "土木200207"
    body = [
        E("基礎情報", [E("写真フォルダ名", "PIC"), E("参考図フォルダ名", "DRA"), E("適用基準", aplstd),
                   E("媒体情報予備", "")]),
        E("ソフトウェア情報", [E("ソフトウェア名", "make-samples.py"), E("バージョン情報", "1.0"),
                       E("メーカ名", "VelView"), E("メーカ連絡先", "samples@velview.invalid")]),
        koji,
    ]
    for p in photos:
        # the repeating reserve groups: two 撮影情報予備 on photo 2, 施工管理値予備 and
        # 写真情報予備 on the measured photo
        body.append(ed2_photo(p,
                              extra_shooting=["天候 晴れ", "気温 24℃"] if p.serial == 2 else [],
                              extra_values=["測定器 コンベックス"] if p.skokan else [],
                              extra_info=["検測者 青葉", "立会 監督職員"] if p.skokan else []))
    prolog = ['<?xml version="1.0" encoding="Shift_JIS" ?>', '<!DOCTYPE photodata SYSTEM "%s">' % dtd]
    base = os.path.join(out, name)
    write(os.path.join(base, "PHOTO.XML"), sjis(document(prolog, ' DTD_version="%s"' % version, body)))
    shots = [Shot(p.serial, p.date, big_endian=(p.serial % 2 == 1), dim_type="LONG" if p.serial % 2 else "SHORT",
                  portrait=(p.serial == 3)) for p in photos]
    write_shots(os.path.join(base, "PIC"), shots, name)
    write_drawings(os.path.join(base, "DRA"), ["D0000001.JPG"], name)
    return len(photos)


def ed34(out, name, version, aplstd, year):
    photos = [
        Photo(1, "着手前全景", kbn="着手前及び完成写真", jname="着手前0001.JPG", place="No.0",
              date="%s-05-17" % year, dai="1",
              refs=[("D0000001.JPG", "位置図0001.JPG", "撮影位置図", None)]),
        Photo(2, "擁壁 型枠組立状況", ksh="擁壁工", sbt="場所打擁壁工", sai="コンクリート", place="No.11",
              date="%s-06-08" % year, kr=["擁壁高 H=2.5m"]),
        Photo(3, "コンクリート 打設状況", ksh="擁壁工", sbt="場所打擁壁工", sai="コンクリート", place="No.11",
              date="%s-06-15" % year, uke="打設時の気温 21℃"),
        Photo(4, "スランプ試験", kbn="品質管理写真", ksh="擁壁工", sbt="場所打擁壁工", sai="コンクリート",
              place="No.11 現場", date="%s-06-15" % year, dai="1", skokan="スランプ 規格値 8±2.5cm 実測 8.5cm"),
    ]
    body = [E("基礎情報", [E("写真フォルダ名", "PHOTO/PIC"), E("参考図フォルダ名", "PHOTO/DRA"),
                       E("適用要領基準", aplstd)])]
    body += [ed5_photo(p, with_frq=False) for p in photos]
    prolog = prolog5(dtd="PHOTO%s.DTD" % version, xsl="PHOTO%s.XSL" % version)
    base = os.path.join(out, name)
    write(os.path.join(base, "PHOTO.XML"), sjis(document(prolog, ' DTD_version="%s"' % version, body)))
    shots = [Shot(p.serial, p.date, exif=(p.serial != 2), big_endian=(version == "03"),
                  dim_type="SHORT" if p.serial % 2 else "LONG") for p in photos]
    write_shots(os.path.join(base, "PIC"), shots, name)
    write_drawings(os.path.join(base, "DRA"), ["D0000001.JPG"], name)
    return len(photos)


def expressway(out):
    """An expressway delivery: edition-2 structure under a PHOTO04.DTD document type."""
    photos = [
        Photo(1, "着手前 全景", kbn="着手前写真", place="STA.120+00", date="2013-04-08"),
        Photo(2, "道路掘削状況", ksh="土工", sbt="掘削工", sai="道路掘削", place="STA.121+40",
              date="2013-05-14", refs=[("D0000001.JPG", None, "掘削範囲図", "上り線側")],
              uke="掘削土は盛土に流用"),
        Photo(3, "掘削 法面勾配確認", kbn="検査写真", ksh="土工", sbt="掘削工", sai="道路掘削",
              place="STA.121+60", date="2013-05-20", skokan="法勾配 設計 1:1.2 実測 1:1.2"),
        Photo(4, "掘削状況(夜間)", ksh="存在しない工種", sbt="掘削工", sai="道路掘削", place="STA.122+00",
              date="2013-05-27"),
        Photo(5, "安全朝礼実施状況", kbn="安全管理写真", place="現場詰所", date="2013-06-03"),
    ]
    body = [
        E("基礎情報", [E("写真フォルダ名", "PIC"), E("参考図フォルダ名", "DRA"),
                   E("適用要領", "工事記録写真等撮影要領 平成24年7月")]),
    ]
    for p in photos:
        body.append(E("写真情報", [
            E("写真ファイル情報", [E("シリアル番号", str(p.serial)), E("写真ファイル名", p.file),
                            E("メディア番号", p.media)]),
            E("撮影工種区分", [E("写真-大分類", p.major), E("写真区分", p.kbn), E("工種", p.ksh),
                          E("種別", p.sbt), E("細別", p.sai), E("写真タイトル", p.title)]),
        ] + [E("付加情報", [E("参考図ファイル名", f), E("参考図タイトル", t), E("付加情報予備", r)])
             for f, _j, t, r in p.refs] + [
            E("撮影情報", [E("撮影箇所", p.place), E("撮影年月日", p.date)]),
            E("施工管理値情報", [E("施工管理値", p.skokan or "")]),
            E("その他", [E("受注者説明文", p.uke or "")]),
        ]))
    base = os.path.join(out, "expressway")
    prolog = ['<?xml version="1.0" encoding="Shift_JIS"?>', '<!DOCTYPE photodata SYSTEM "PHOTO04.DTD">']
    write(os.path.join(base, "PHOTO.XML"), sjis(document(prolog, ' DTD_version="04"', body)))
    # Deliveries of this kind carry their document type file beside PHOTO.XML; the viewer only
    # looks at whether it is there, so a stand-in of our own does.
    write(os.path.join(base, "PHOTO04.DTD"), sjis(
        "<!-- PHOTO04.DTD: stand-in written by make-samples.py for the VelView samples. -->" + CRLF +
        "<!-- The delivery only has to carry a file of this name; its declarations are not used. -->" + CRLF))
    shots = [Shot(p.serial, p.date, big_endian=False, dim_type="LONG" if p.serial < 3 else "SHORT")
             for p in photos]
    write_shots(os.path.join(base, "PIC"), shots, "expressway")
    write_drawings(os.path.join(base, "DRA"), ["D0000001.JPG"], "expressway")
    return len(photos)


def two_media(out):
    photos = [
        Photo(1, "着手前全景", kbn="着手前及び完成写真", place="No.0", date="2023-04-12", dai="1", frq="1"),
        Photo(2, "掘削状況", ksh="道路土工", sbt="掘削工", sai="土砂掘削", place="No.2", date="2023-04-26"),
        Photo(3, "盛土 敷均し状況", ksh="道路土工", sbt="路体盛土工", sai="路体(築堤)盛土", place="No.7",
              date="2023-05-11"),
        Photo(4, "盛土 締固め状況", ksh="道路土工", sbt="路体盛土工", sai="路体(築堤)盛土", place="No.7",
              date="2023-05-11"),
        Photo(5, "路盤 厚さ測定", kbn="出来形管理写真", ksh="舗装工", sbt="アスファルト舗装工", sai="下層路盤",
              media="2", place="No.9", date="2023-07-04", frq="1", skokan="厚さ 設計 150mm 実測 151mm"),
        Photo(6, "完成全景", kbn="着手前及び完成写真", media="2", place="No.0", date="2023-09-29",
              dai="1", frq="1"),
    ]
    text = sjis(ed5_document(photos))
    shots = [Shot(p.serial, p.date, big_endian=(p.serial <= 3), dim_type="SHORT") for p in photos]
    for disk, media in (("Disk1", "1"), ("Disk2", "2")):
        base = os.path.join(out, "two-media", disk)
        write(os.path.join(base, "PHOTO.XML"), text)
        write_shots(os.path.join(base, "PIC"), [s for s, p in zip(shots, photos) if p.media == media],
                    "two-media")
    return len(photos)


# --- the settings file that marks a CSV delivery ----------------------------------------------

def rotate_right2(b):
    return ((b >> 2) | (b << 6)) & 0xFF


def encoded_settings(lines, mode=1):
    """An encoded line list: mode byte, LE line count, per line LE (bytes + 1), bytes, 0."""
    out = bytes([mode]) + struct.pack("<i", len(lines))
    for line in lines:
        raw = line.encode("cp932")
        if mode:
            raw = bytes(rotate_right2(b) for b in raw)
        out += struct.pack("<i", len(raw) + 1) + raw + b"\0"
    return out


def backup_info(version, eitype):
    # written as the settings tree writes a section: header, values, one empty line
    return encoded_settings(["[Backup Info]", "MediaNo=1", "Version=%d" % version,
                             "EIType=%s" % eitype, "RefCount=0", ""])


def q(text):
    return '"' + text.replace('"', '""') + '"'


def qlist(items):
    """A list column: one quoted field holding the items in single quotes."""
    return q(",".join("'" + i.replace("'", "''") + "'" for i in items))


VEL_HEADER = ["シリアル番号", "写真ファイル名", "写真整理フラグ", "写真ファイル情報予備", "写真-大分類", "写真区分",
              "工種", "種別", "細別", "写真タイトル", "工種区分予備1", "工種区分予備2", "工種区分予備3",
              "参考図1", "参考図2", "参考図3", "撮影箇所", "付加情報予備", "撮影年月日", "フィルム番号",
              "コマ番号", "撮影情報予備", "施工管理値", "施工管理値予備", "状況説明予備", "請負者説明文",
              "発注者説明文", "写真情報予備1", "写真情報予備2", "写真情報予備3", "出来形測点ID", "項目選択情報",
              "写真ファイル日本語名", "工種区分予備", "参考図ファイル名", "参考図ファイル日本語名", "参考図タイトル",
              "付加情報予備", "撮影情報予備", "施工管理値予備", "写真情報予備", "参照実測値", "代表写真",
              "電子納品する写真", "提出頻度写真"]
assert len(VEL_HEADER) == 45


def vel_line(serial, fname, kbn, ksh, sbt, sai, title, place, date, refs=(), kr=(), skokan="",
             uke="", jname="", dai="", frq="0", flags="0000000000"):
    reff = [r[0] for r in refs]
    reft = [r[1] for r in refs]
    refj = [r[2] for r in refs]
    cols = [str(serial), q(fname), q(""), q(""), q("工事"), q(kbn), q(ksh), q(sbt), q(sai), q(title)]
    cols += [q(kr[i] if i < len(kr) else "") for i in range(3)]
    cols += [q(reff[i] if i < len(reff) else "") for i in range(3)]
    cols += [q(place), q(""), q(date), q(""), q(""), q(""), q(skokan), q(""), q(""), q(uke), q(""),
             q(""), q(""), q(""), "0", q(flags), q(jname)]
    cols += [qlist(kr) if kr else q(""), qlist(reff) if reff else q(""),
             qlist(refj) if reff else q(""), qlist(reft) if reft else q(""),
             q(""), q(""), q(""), q(""), q(""), q(dai), q("1"), q(frq)]
    assert len(cols) == 45
    return ",".join(cols)


def csv_vel(out):
    base = os.path.join(out, "csv-vel")
    lines = [",".join(q(h) for h in VEL_HEADER),
             vel_line(1, "P0000001.JPG", "着手前及び完成写真", "", "", "", "着手前全景", "No.0", "20230410",
                      refs=[("D0000001.JPG", "撮影位置図", "位置図0001.JPG")], dai="1", frq="1", jname="着手前0001.JPG"),
             vel_line(2, "P0000002.JPG", "施工状況写真", "道路土工", "掘削工", "土砂掘削", "掘削状況", "No.3",
                      "20230425", kr=["掘削深さ 1.0m", "バックホウ 0.45m3"],
                      refs=[("D0000001.JPG", "平面図", "平面図0001.JPG"),
                            ("D0000002.JPG", "横断図 No.3", "横断図0002.JPG")]),
             vel_line(3, "P0000003.JPG", "施工状況写真", "鉄筋工", "鉄筋組立工", "", '鉄筋"D13"の配筋状況',
                      "No.11", "20230512", uke='かぶり"40mm"を確認'),
             "",
             vel_line(4, "P0000004.JPG", "出来形管理写真", "舗装工", "アスファルト舗装工", "下層路盤",
                      "路盤 厚さ測定", "No.6", "20230530", skokan="厚さ 設計 150mm 実測 152mm",
                      dai="1", frq="0", flags="8000000001"),
             vel_line(5, "P0000005.JPG", "安全管理写真", "", "", "", "安全訓練実施状況", "現場事務所", "20230602"),
             vel_line(6, "P0000006.JPG", "着手前及び完成写真", "", "", "", "完成全景", "No.0", "20240227",
                      dai="1", frq="1")]
    write(os.path.join(base, "撮記堂.csv"), (CRLF.join(lines) + CRLF).encode("cp932"))
    shots = [Shot(1, "2023-04-10"), Shot(2, "2023-04-25", big_endian=False, dim_type="LONG"),
             Shot(3, "2023-05-12", exif=False), Shot(4, "2023-05-30", portrait=True),
             Shot(5, "2023-06-02", big_endian=False), Shot(6, "2024-02-27", dim_type="LONG")]
    write_shots(os.path.join(base, "PIC"), shots, "csv-vel")
    # One folder serves both the drawings and the backup information; it is spelt "Dra" as the
    # backup information is addressed, so the drawings ("DRA") must be found regardless of case.
    write_drawings(os.path.join(base, "Dra"), ["D0000001.JPG", "D0000002.JPG"], "csv-vel")
    write(os.path.join(base, "Dra", "VelWin_Buckup2.tin"), backup_info(200, "etVel"))
    return len(lines) - 1  # the blank line takes a record of its own


INFO_HEADER = ["登録番号", "画像名称", "フィルム番号", "ネガ番号", "年月日", "写真整理区分", "工種", "種別", "細別",
               "項目", "測点", "追加距離", "説明文１", "説明文２", "説明文３", "説明数字１", "説明数字２", "説明数字３"]


def info_line(n, fname, date, kbn, ksh, sbt, sai, item, station, extra, notes=("", "", ""), nums=("", "", "")):
    cols = [str(n), q(fname), q(""), q(""), date, q(kbn), q(ksh), q(sbt), q(sai), q(item), q(station),
            q(extra)] + [q(t) for t in notes] + [q(t) for t in nums]
    assert len(cols) == 18
    return ",".join(cols)


def csv_info(out):
    base = os.path.join(out, "csv-info")
    lines = [",".join(q(h) for h in INFO_HEADER),
             info_line(1, "P0000001.JPG", "20230410", "着手前及び完成写真", "", "", "", "着手前全景", "No.0", ""),
             info_line(2, "P0000002.JPG", "20230424", "施工状況写真", "道路土工", "掘削工", "土砂掘削", "掘削状況",
                       "No.5", "+10.0", notes=("バックホウ 0.45m3", "", "")),
             info_line(3, "P0000003.JPG", "20230530", "出来形管理写真", "舗装工", "アスファルト舗装工", "下層路盤",
                       "路盤 厚さ測定", "No.6", "", notes=("設計 150mm", "", ""), nums=("1", "", "3")),
             info_line(4, "P0000004.JPG", "20230606", "品質管理写真", "舗装工", "アスファルト舗装工", "上層路盤",
                       "現場密度試験", "No.8", "+5.0", nums=("96.4", "98.0", "")),
             info_line(5, "P0000005.JPG", "20240227", "着手前及び完成写真", "", "", "", "完成全景", "No.0", "")]
    write(os.path.join(base, "写真情報.csv"), (CRLF.join(lines) + CRLF).encode("cp932"))
    shots = [Shot(1, "2023-04-10"), Shot(2, "2023-04-24", big_endian=False), Shot(3, "2023-05-30", exif=False),
             Shot(4, "2023-06-06", dim_type="LONG"), Shot(5, "2024-02-27", big_endian=False, dim_type="LONG")]
    write_shots(os.path.join(base, "PIC"), shots, "csv-info")
    write(os.path.join(base, "Dra", "VelWin_Buckup.tin"), backup_info(121, "etCSV"))
    return 5


# --- deliveries that must not crash the readers -----------------------------------------------

BROKEN_PHOTOS = [
    Photo(1, "着手前全景", kbn="着手前及び完成写真", place="No.0", date="2023-04-10", dai="1", frq="1"),
    Photo(2, "掘削状況", ksh="道路土工", sbt="掘削工", sai="土砂掘削", place="No.3", date="2023-04-25"),
    Photo(3, "盛土 締固め状況", ksh="道路土工", sbt="路体盛土工", sai="路体(築堤)盛土", place="No.7",
          date="2023-05-11"),
    Photo(4, "路盤 転圧状況", ksh="舗装工", sbt="アスファルト舗装工", sai="上層路盤", place="No.9",
          date="2023-06-06"),
    Photo(5, "完成全景", kbn="着手前及び完成写真", place="No.0", date="2024-02-27", dai="1", frq="1"),
]
BROKEN_SHOTS = [Shot(p.serial, p.date, big_endian=(p.serial % 2 == 0)) for p in BROKEN_PHOTOS]


def broken(out):
    root = os.path.join(out, "broken")
    counts = {}

    # truncated: cut inside the third 写真情報, right after its 写真タイトル start tag
    text = sjis(ed5_document(BROKEN_PHOTOS))
    third = text.index(sjis("<写真情報>"), text.index(sjis("<写真情報>"), text.index(sjis("<写真情報>")) + 1) + 1)
    cut = text.index(sjis("<写真タイトル>"), third) + len(sjis("<写真タイトル>")) + 4
    write(os.path.join(root, "truncated", "PHOTO.XML"), text[:cut])
    write_shots(os.path.join(root, "truncated", "PIC"), BROKEN_SHOTS[:3], "broken")
    counts["truncated"] = 2

    # badbytes: bytes that are no Shift_JIS character inside the title of photo 2
    text = sjis(ed5_document(BROKEN_PHOTOS))
    good = sjis("<写真タイトル>掘削状況</写真タイトル>")
    bad = sjis("<写真タイトル>掘削") + b"\x80\xa0" + sjis("状況") + b"\xa0" + sjis("</写真タイトル>")
    assert text.count(good) == 1
    write(os.path.join(root, "badbytes", "PHOTO.XML"), text.replace(good, bad))
    write_shots(os.path.join(root, "badbytes", "PIC"), BROKEN_SHOTS, "broken")
    counts["badbytes"] = 5

    write(os.path.join(root, "empty", "PHOTO.XML"), b"")
    counts["empty"] = 0

    write(os.path.join(root, "emptycsv", "写真情報.csv"), b"")
    write(os.path.join(root, "emptycsv", "Dra", "VelWin_Buckup.tin"), backup_info(121, "etCSV"))
    counts["emptycsv"] = 0

    # wrapped-tag: the start tag of photo 3 spans two lines, photo 4 carries an attribute
    text = ed5_document(BROKEN_PHOTOS, attrs={3: CRLF + '\t\tid="3"', 4: ' id="4"'})
    write(os.path.join(root, "wrapped-tag", "PHOTO.XML"), sjis(text))
    write_shots(os.path.join(root, "wrapped-tag", "PIC"), BROKEN_SHOTS, "broken")
    counts["wrapped-tag"] = 5
    return counts


# ---------------------------------------------------------------------------------------------

DELIVERIES = ["r5-sjis", "r5-clean", "r5-utf8", "r5-utf8-bom", "ed1", "ed2", "ed2n", "ed3", "ed4",
              "expressway", "two-media", "csv-vel", "csv-info", "broken"]


def main(argv):
    out = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..",
                                                     "samples", "deliveries")
    out = os.path.normpath(out)
    os.makedirs(out, exist_ok=True)
    for name in DELIVERIES:  # only our own folders: README.md and anything else stays
        shutil.rmtree(os.path.join(out, name), ignore_errors=True)
    counts = {
        "r5-sjis": r5_sjis(out),
        "r5-clean": r5_clean_family(out, "r5-clean", "cp932", 'encoding="Shift_JIS"'),
        "r5-utf8": r5_clean_family(out, "r5-utf8", "utf-8", 'encoding="UTF-8"', newline="\n"),
        "r5-utf8-bom": r5_clean_family(out, "r5-utf8-bom", "utf-8", "encoding='UTF-8'", bom=b"\xef\xbb\xbf"),
        "ed1": ed1(out),
        "ed2": ed2_family(out, "ed2", "PHOTO02.DTD", "02"),
        "ed2n": ed2_family(out, "ed2n", "PHOTO02N.DTD", "02_200304", agriculture=True),
        "ed3": ed34(out, "ed3", "03", "土木200406-01", "2005"),
        "ed4": ed34(out, "ed4", "04", "土木200601-01", "2007"),
        "expressway": expressway(out),
        "two-media": two_media(out),
        "csv-vel": csv_vel(out),
        "csv-info": csv_info(out),
    }
    for name, n in broken(out).items():
        counts["broken/" + name] = n
    for name, n in counts.items():
        print("%-22s %3d photo records" % (name, n))


if __name__ == "__main__":
    main(sys.argv)
