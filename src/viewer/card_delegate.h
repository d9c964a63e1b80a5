// The cards of the photo list: thumbnail, icon row, print-target box and caption, in the
// colours that tell print targets and the focused card apart.
#pragma once

#include <QColor>
#include <QRect>
#include <QStyledItemDelegate>
#include <string>

namespace velview::viewer {

class ThumbnailProvider;

// What a card shows of its photo.
struct CardData {
    QString caption;
    int state = 0;  // 0 "－", 1 検査済, 2 指摘あり
    bool marked = false;  // print target
    bool representative = false;
    bool frequency = false;
    bool hasReference = false;
    QString medium;   // メディア番号, for the placeholder of a file on another medium
    std::string path;  // the photo file, empty when it cannot be resolved
};

class CardSource {
public:
    virtual ~CardSource() = default;
    virtual CardData Card(int photo) const = 0;
    // The document type of the current standard (which icons the row shows).
    virtual int DtdType() const = 0;
};

// The background of a card by its print-target bit and whether it is focused.
QColor CardBackground(bool printTarget, bool focused);

class CardDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CardDelegate(const CardSource* source, ThumbnailProvider* thumbnails, QObject* parent);

    // 1..3 小 中 大; 4 four-up with `cell` the size of one of the four cells.
    void SetListSize(int size, QSize cell);
    int ListSize() const { return size_; }
    QSize CardSize() const;
    // Within a card at `card`: the thumbnail area and the print-target box.
    QRect ThumbnailRect(const QRect& card) const;
    QRect PrintBoxRect(const QRect& card) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int CaptionHeight() const;
    const CardSource* source_;
    ThumbnailProvider* thumbnails_;
    int size_ = 2;
    QSize cell_;
};

}  // namespace velview::viewer
