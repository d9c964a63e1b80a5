#include "viewer/card_delegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

#include "viewer/icons.h"
#include "viewer/thumbnail_provider.h"

namespace velview::viewer {
namespace {
constexpr int kMargin = 4;
constexpr int kIconRow = 15;
}  // namespace

QColor CardBackground(bool printTarget, bool focused) {
    if (printTarget) return focused ? QColor(0xD0, 0xFF, 0x90) : QColor(0xC0, 0xFF, 0xFF);
    return focused ? QColor(0xFF, 0xFF, 0x80) : QColor(0xE0, 0xE0, 0xE0);
}

CardDelegate::CardDelegate(const CardSource* source, ThumbnailProvider* thumbnails, QObject* parent)
    : QStyledItemDelegate(parent), source_(source), thumbnails_(thumbnails) {}

void CardDelegate::SetListSize(int size, QSize cell) {
    size_ = (size >= 1 && size <= 4) ? size : 2;
    cell_ = cell;
}

int CardDelegate::CaptionHeight() const { return QFontMetrics(QApplication::font()).height() + 2; }

QSize CardDelegate::CardSize() const {
    if (size_ == 4) return cell_.isValid() ? cell_ : QSize(320, 260);
    const QSize area = ThumbnailProvider::AreaOf(size_);
    return {area.width() + 2 * kMargin, kMargin + area.height() + 2 + kIconRow + CaptionHeight() + kMargin};
}

QRect CardDelegate::ThumbnailRect(const QRect& card) const {
    if (size_ == 4)
        return QRect(card.left() + kMargin, card.top() + kMargin, card.width() - 2 * kMargin,
                     card.height() - 2 * kMargin - 2 - kIconRow - CaptionHeight());
    const QSize area = ThumbnailProvider::AreaOf(size_);
    return QRect(card.left() + (card.width() - area.width()) / 2, card.top() + kMargin, area.width(), area.height());
}

QRect CardDelegate::PrintBoxRect(const QRect& card) const {
    // 11 × 10 at the right edge, 5 to 15 pixels above the caption line.
    const int captionTop = card.bottom() - kMargin - CaptionHeight() + 1;
    return QRect(card.right() - kMargin - 11, captionTop - 15, 11, 10);
}

QSize CardDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const { return CardSize(); }

void CardDelegate::paint(QPainter* g, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const int photo = index.data(Qt::UserRole).toInt();
    const CardData card = source_ ? source_->Card(photo) : CardData{};
    const bool selected = option.state & QStyle::State_Selected;
    const QRect r = option.rect.adjusted(1, 1, -1, -1);
    g->save();
    g->fillRect(r, CardBackground(card.marked, selected));

    // The thumbnail, or why there is none.
    const QRect area = ThumbnailRect(option.rect);
    g->fillRect(area, Qt::white);
    bool failed = false;
    const QImage image = thumbnails_ ? thumbnails_->Get(photo, card.path, size_, area.size(), &failed) : QImage();
    if (!image.isNull()) {
        const QSize s = image.size().scaled(area.size(), Qt::KeepAspectRatio).boundedTo(image.size());
        const QRect target(area.left() + (area.width() - s.width()) / 2, area.top() + (area.height() - s.height()) / 2,
                           s.width(), s.height());
        g->drawImage(target, image);
    } else if (failed || card.path.empty()) {
        // The medium to insert, for a photo kept on another medium.
        QFont small = g->font();
        small.setPixelSize(10);
        QFont big = g->font();
        big.setPixelSize(20);
        const int h = QFontMetrics(small).height() + QFontMetrics(big).height();
        QRect top(area.left(), area.top() + (area.height() - h) / 2, area.width(), QFontMetrics(small).height());
        g->setPen(Qt::black);
        g->setFont(small);
        g->drawText(top, Qt::AlignCenter, QStringLiteral("メディア番号"));
        g->setFont(big);
        g->drawText(QRect(area.left(), top.bottom() + 1, area.width(), QFontMetrics(big).height()), Qt::AlignCenter,
                    card.medium);
    } else {
        g->fillRect(area.adjusted(2, 2, -2, -2), QColor(0xF2, 0xF2, 0xF2));
    }
    g->setPen(QColor(0x90, 0x90, 0x90));
    g->drawRect(area.adjusted(0, 0, -1, -1));

    // The icon row.
    int x = area.left();
    const int y = area.bottom() + 2;
    const auto put = [&](const QPixmap& p) {
        g->drawPixmap(x, y, p);
        x += 16;
    };
    const int dtd = source_ ? source_->DtdType() : 0;
    put(StateIcon(card.state));
    if (dtd > 4) put(FrequencyIcon(card.frequency));
    if (dtd > 2) put(RepresentativeIcon(card.representative));
    put(ReferenceIcon(card.hasReference));

    // The print-target box.
    const QRect box = PrintBoxRect(option.rect);
    g->setPen(QColor(0x40, 0x40, 0x40));
    g->setBrush(Qt::white);
    g->drawRect(box.adjusted(0, 0, -1, -1));
    if (card.marked) {
        g->setRenderHint(QPainter::Antialiasing);
        QPen tick(QColor(0x10, 0x80, 0x10), 2);
        g->setPen(tick);
        g->drawLine(box.left() + 2, box.center().y(), box.center().x(), box.bottom() - 2);
        g->drawLine(box.center().x(), box.bottom() - 2, box.right() - 1, box.top() + 1);
        g->setRenderHint(QPainter::Antialiasing, false);
    }

    // The caption, cut to the card.
    QFont f = QApplication::font();
    f.setBold(selected);
    g->setFont(f);
    g->setPen(selected ? QColor(0xD0, 0x00, 0x00) : QColor(Qt::black));
    const QRect caption(r.left() + 2, r.bottom() - kMargin - CaptionHeight() + 2, r.width() - 4, CaptionHeight());
    g->drawText(caption, Qt::AlignCenter, QFontMetrics(f).elidedText(card.caption, Qt::ElideRight, caption.width()));

    if (selected) {
        g->setBrush(Qt::NoBrush);
        g->setPen(QPen(QColor(0xE0, 0x00, 0x00), 1));
        g->drawRect(r.adjusted(0, 0, -1, -1));
        g->drawRect(r.adjusted(2, 2, -3, -3));
    }
    g->restore();
}

}  // namespace velview::viewer
