#!/usr/bin/env python3
"""Write a large edition-5 PHOTO.XML for load measurements.

    python3 bench/make-big-delivery.py OUTDIR [N]      (N photo records, default 20000)

Writes OUTDIR/PHOTO.XML in Shift_JIS with CR LF line ends, the way deliveries arrive. The
values vary the way a long construction job's do: every photo category, the usual work
breakdown, titles, places, dates spread over two years, construction-management values on the
measured photos, and a reference drawing on about one photo in two hundred. No image files are
written: the measurement is about reading and checking the document, and a checker reports
the missing files like any other fault. The output is the same for the same N (fixed seed).
"""

import datetime
import os
import random
import sys

CRLF = "\r\n"

CATEGORIES = [
    # (写真区分, share, with work breakdown)
    ("施工状況写真", 45, True),
    ("出来形管理写真", 18, True),
    ("品質管理写真", 14, True),
    ("使用材料写真", 8, True),
    ("安全管理写真", 8, False),
    ("着手前及び完成写真", 4, False),
    ("その他", 2, False),
    ("災害写真", 1, False),
]

WORK = [
    ("道路土工", "掘削工", "土砂掘削", ["掘削状況", "床掘り状況", "掘削深さ確認"]),
    ("道路土工", "路体盛土工", "路体(築堤)盛土", ["盛土 敷均し状況", "盛土 締固め状況", "盛土 層厚確認"]),
    ("道路土工", "路床盛土工", "路床盛土", ["路床 転圧状況", "プルーフローリング"]),
    ("舗装工", "アスファルト舗装工", "下層路盤", ["下層路盤 敷均し", "下層路盤 厚さ測定", "現場密度試験"]),
    ("舗装工", "アスファルト舗装工", "上層路盤", ["上層路盤 転圧状況", "上層路盤 厚さ測定"]),
    ("舗装工", "アスファルト舗装工", "表層", ["表層 舗設状況", "合材温度測定", "表層 厚さ測定"]),
    ("排水構造物工", "側溝工", "プレキャストU型側溝", ["側溝 据付状況", "側溝 基礎砕石", "側溝 延長確認"]),
    ("排水構造物工", "集水桝工", "集水桝", ["集水桝 据付状況", "集水桝 寸法確認"]),
    ("擁壁工", "場所打擁壁工", "コンクリート", ["型枠組立状況", "コンクリート打設状況", "スランプ試験", "養生状況"]),
    ("擁壁工", "場所打擁壁工", "鉄筋", ["鉄筋組立状況", "かぶり確認"]),
    ("防護柵工", "路側防護柵工", "ガードレール", ["支柱建込み状況", "ビーム取付状況"]),
    ("区画線工", "区画線工", "溶融式区画線", ["区画線 施工状況", "区画線 幅確認"]),
]

OTHER_TITLES = {
    "安全管理写真": ["安全訓練実施状況", "KY活動状況", "交通誘導員配置状況", "保安施設設置状況"],
    "着手前及び完成写真": ["着手前全景", "完成全景", "着手前 起点側", "完成 終点側"],
    "その他": ["地元説明会", "環境対策 散水状況", "現場見学会"],
    "災害写真": ["降雨後の法面状況", "被災状況"],
}


def esc(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def pick_category(rnd):
    total = sum(c[1] for c in CATEGORIES)
    r = rnd.randrange(total)
    for name, share, with_work in CATEGORIES:
        if r < share:
            return name, with_work
        r -= share
    raise AssertionError


def records(n, rnd):
    drawing = 0
    day0 = datetime.date(2023, 4, 3).toordinal()  # dates walk forward with the serial, over ~2 years
    for serial in range(1, n + 1):
        kbn, with_work = pick_category(rnd)
        work = rnd.choice(WORK) if with_work else None
        if work:
            title = rnd.choice(work[3])
        else:
            title = rnd.choice(OTHER_TITLES[kbn])
        station = "No.%d+%.1f" % (rnd.randrange(0, 60), rnd.randrange(0, 200) / 10)
        date = datetime.date.fromordinal(day0 + serial * 700 // max(n, 1)).isoformat()
        lines = [
            "\t<写真情報>",
            "\t\t<写真ファイル情報>",
            "\t\t\t<シリアル番号>%d</シリアル番号>" % serial,
            "\t\t\t<写真ファイル名>P%07d.JPG</写真ファイル名>" % serial,
            "\t\t\t<メディア番号>1</メディア番号>",
            "\t\t</写真ファイル情報>",
            "\t\t<撮影工種区分>",
            "\t\t\t<写真-大分類>工事</写真-大分類>",
            "\t\t\t<写真区分>%s</写真区分>" % kbn,
        ]
        if work:
            lines += ["\t\t\t<工種>%s</工種>" % work[0], "\t\t\t<種別>%s</種別>" % work[1],
                      "\t\t\t<細別>%s</細別>" % work[2]]
        lines.append("\t\t\t<写真タイトル>%s</写真タイトル>" % esc(title))
        lines.append("\t\t</撮影工種区分>")
        if rnd.randrange(200) == 0:
            drawing += 1
            lines += ["\t\t<付加情報>",
                      "\t\t\t<参考図ファイル名>D%07d.JPG</参考図ファイル名>" % drawing,
                      "\t\t\t<参考図タイトル>撮影位置図 %s</参考図タイトル>" % station,
                      "\t\t</付加情報>"]
        measured = kbn in ("出来形管理写真", "品質管理写真")
        lines += ["\t\t<撮影情報>",
                  "\t\t\t<撮影箇所>%s</撮影箇所>" % station,
                  "\t\t\t<撮影年月日>%s</撮影年月日>" % date,
                  "\t\t</撮影情報>",
                  "\t\t<代表写真>%d</代表写真>" % (1 if rnd.randrange(40) == 0 else 0),
                  "\t\t<提出頻度写真>%d</提出頻度写真>" % (1 if measured and rnd.randrange(3) == 0 else 0)]
        if measured:
            design = rnd.choice([50, 100, 150, 200, 250])
            lines.append("\t\t<施工管理値>設計 %dmm 実測 %dmm</施工管理値>" % (design, design + rnd.randrange(-2, 6)))
        lines.append("\t</写真情報>")
        yield CRLF.join(lines) + CRLF


def main(argv):
    if len(argv) < 2:
        sys.exit("usage: make-big-delivery.py OUTDIR [N]")
    out = argv[1]
    n = int(argv[2]) if len(argv) > 2 else 20000
    os.makedirs(out, exist_ok=True)
    rnd = random.Random(20230403)
    head = CRLF.join([
        '<?xml version="1.0" encoding="Shift_JIS"?>',
        '<!DOCTYPE photodata SYSTEM "PHOTO05.DTD">',
        '<?xml-stylesheet type="text/xsl" href="PHOTO05.XSL" ?>',
        '<photodata DTD_version="05">',
        "\t<基礎情報>",
        "\t\t<写真フォルダ名>PHOTO/PIC</写真フォルダ名>",
        "\t\t<参考図フォルダ名>PHOTO/DRA</参考図フォルダ名>",
        "\t\t<適用要領基準>土木202303-01</適用要領基準>",
        "\t</基礎情報>",
    ]) + CRLF
    with open(os.path.join(out, "PHOTO.XML"), "wb") as f:
        f.write(head.encode("cp932"))
        chunk = []
        for rec in records(n, rnd):
            chunk.append(rec)
            if len(chunk) == 1000:
                f.write("".join(chunk).encode("cp932"))
                chunk = []
        f.write("".join(chunk).encode("cp932"))
        f.write(("</photodata>" + CRLF).encode("cp932"))


if __name__ == "__main__":
    main(sys.argv)
