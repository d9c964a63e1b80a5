#include "viewer/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cstring>

namespace velview::viewer {
namespace {

// Drawn at twice the size and marked so, for sharp results on high-density screens.
QPixmap Canvas(int size) {
    QPixmap p(size * 2, size * 2);
    p.fill(Qt::transparent);
    p.setDevicePixelRatio(2.0);
    return p;
}

void Badge(QPainter& g, int size, const QColor& fill, const QString& glyph, const QColor& ink = Qt::white) {
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(fill.darker(130));
    g.setBrush(fill);
    g.drawRoundedRect(QRectF(0.5, 0.5, size - 1.0, size - 1.0), size / 4.0, size / 4.0);
    QFont f = g.font();
    f.setPixelSize(std::max(6, size * 3 / 4));
    f.setBold(true);
    g.setFont(f);
    g.setPen(ink);
    g.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, glyph);
}

}  // namespace

QPixmap StateIcon(int state, int size) {
    QPixmap p = Canvas(size);
    QPainter g(&p);
    if (state == 1) {
        Badge(g, size, QColor(0x2e, 0x8b, 0x3c), QStringLiteral("✓"));
    } else if (state == 2) {
        Badge(g, size, QColor(0xd0, 0x30, 0x30), QStringLiteral("!"));
    } else {
        Badge(g, size, QColor(0xb0, 0xb0, 0xb0), QStringLiteral("－"));
    }
    return p;
}

namespace {
// A flag of the photo: its colour when set, grey when not.
QPixmap FlagIcon(bool set, int size, const QColor& colour, const QString& glyph) {
    QPixmap p = Canvas(size);
    QPainter g(&p);
    Badge(g, size, set ? colour : QColor(0xdd, 0xdd, 0xdd), glyph, set ? Qt::white : QColor(0x99, 0x99, 0x99));
    return p;
}
}  // namespace

QPixmap RepresentativeIcon(bool set, int size) { return FlagIcon(set, size, QColor(0xe0, 0x90, 0x10), QStringLiteral("代")); }
QPixmap FrequencyIcon(bool set, int size) { return FlagIcon(set, size, QColor(0x30, 0x70, 0xc0), QStringLiteral("頻")); }
QPixmap ReferenceIcon(bool set, int size) { return FlagIcon(set, size, QColor(0x70, 0x50, 0xa0), QStringLiteral("図")); }

QIcon TreeNodeIcon(int item) {
    static const QColor kColours[8] = {QColor(0x50, 0x50, 0x50), QColor(0x1f, 0x6f, 0xb4), QColor(0x2e, 0x8b, 0x57),
                                       QColor(0xb8, 0x86, 0x0b), QColor(0xa0, 0x52, 0x2d), QColor(0x6a, 0x5a, 0xcd),
                                       QColor(0xc7, 0x15, 0x85), QColor(0x00, 0x80, 0x80)};
    QPixmap p = Canvas(16);
    QPainter g(&p);
    const int i = (item >= 0 && item <= 7) ? item : 0;
    if (i == 0) {
        // The root: a stack of photos.
        g.setRenderHint(QPainter::Antialiasing);
        g.setPen(kColours[0]);
        g.setBrush(QColor(0xf4, 0xf4, 0xf4));
        g.drawRect(QRectF(4.5, 1.5, 10, 8));
        g.drawRect(QRectF(1.5, 5.5, 10, 8));
    } else {
        Badge(g, 16, kColours[i], QString::number(i));
    }
    return QIcon(p);
}

QIcon ToolIcon(const char* name) {
    struct Entry {
        const char* name;
        const char* glyph;
        QColor colour;
    };
    static const Entry kEntries[] = {
        {"folder", "開", QColor(0xe8, 0xa8, 0x20)}, {"print", "印", QColor(0x40, 0x60, 0x80)},
        {"exit", "終", QColor(0xb0, 0x30, 0x30)},    {"info", "工", QColor(0x20, 0x70, 0xb0)},
        {"tree", "分", QColor(0x2e, 0x8b, 0x57)},     {"photo", "写", QColor(0x60, 0x60, 0xa0)},
        {"view", "切", QColor(0x50, 0x80, 0x50)},    {"compare", "比", QColor(0x80, 0x50, 0x90)},
        {"prior", "◀", QColor(0x30, 0x30, 0x30)},   {"next", "▶", QColor(0x30, 0x30, 0x30)},
    };
    for (const Entry& e : kEntries) {
        if (std::strcmp(e.name, name) != 0) continue;
        QPixmap p = Canvas(20);
        QPainter g(&p);
        Badge(g, 20, e.colour, QString::fromUtf8(e.glyph));
        return QIcon(p);
    }
    return {};
}

}  // namespace velview::viewer
