#include "viewer/photo_list_view.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QScrollBar>
#include <QToolTip>

#include "viewer/thumbnail_provider.h"

namespace velview::viewer {

void PhotoSequenceModel::SetSequence(std::vector<int> sequence) {
    beginResetModel();
    sequence_ = std::move(sequence);
    endResetModel();
}

int PhotoSequenceModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(sequence_.size());
}

QVariant PhotoSequenceModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::UserRole) return sequence_[static_cast<std::size_t>(index.row())];
    return {};
}

const char* const PhotoSequenceModel::kPhotoMime = "application/x-velview-photo";

Qt::ItemFlags PhotoSequenceModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractListModel::flags(index);
    if (index.isValid()) f |= Qt::ItemIsDragEnabled;
    return f;
}

QStringList PhotoSequenceModel::mimeTypes() const { return {QString::fromLatin1(kPhotoMime), QStringLiteral("text/uri-list")}; }

QMimeData* PhotoSequenceModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty() || !indexes.first().isValid()) return nullptr;
    const int photo = indexes.first().data(Qt::UserRole).toInt();
    const std::string path = pathOf ? pathOf(photo) : std::string();
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kPhotoMime), QByteArray::number(photo) + '\n' + QByteArray::fromStdString(path));
    if (!path.empty()) mime->setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    return mime;
}

void PhotoSequenceModel::PhotoChanged(int photo) {
    // A photo appears once in a sequence; a linear look is cheap next to a repaint.
    for (std::size_t i = 0; i < sequence_.size(); ++i)
        if (sequence_[i] == photo) {
            const QModelIndex at = index(static_cast<int>(i));
            emit dataChanged(at, at);
            return;
        }
}

void PhotoSequenceModel::AllChanged() {
    if (!sequence_.empty()) emit dataChanged(index(0), index(rowCount() - 1));
}

PhotoListView::PhotoListView(const CardSource* source, ThumbnailProvider* thumbnails, QWidget* parent)
    : QListView(parent), delegate_(new CardDelegate(source, thumbnails, this)) {
    setModel(&model_);
    setItemDelegate(delegate_);
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setUniformItemSizes(true);
    setSpacing(3);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setMouseTracking(true);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    connect(thumbnails, &ThumbnailProvider::Ready, this, [this](int photo) { model_.PhotoChanged(photo); });
}

void PhotoListView::Refill(const std::vector<int>& sequence) {
    const int scroll = verticalScrollBar()->value();
    quiet_ = true;
    model_.SetSequence(sequence);
    quiet_ = false;
    verticalScrollBar()->setValue(scroll);
}

void PhotoListView::ClearList() { Refill({}); }

void PhotoListView::SetListSize(int size) {
    delegate_->SetListSize(size, QSize());
    UpdateCell();
    // Four large photos page through the list; the smaller cards scroll smoothly.
    setVerticalScrollMode(size == 4 ? QAbstractItemView::ScrollPerItem : QAbstractItemView::ScrollPerPixel);
    doItemsLayout();
    model_.AllChanged();
}

void PhotoListView::UpdateCell() {
    if (delegate_->ListSize() != 4) return;
    const QSize v = viewport()->size();
    // Two cards and three spacings fill each direction exactly, so no third row shows.
    const int s = spacing();
    const QSize cell(std::max(120, (v.width() - 3 * s) / 2), std::max(100, (v.height() - 3 * s) / 2));
    delegate_->SetListSize(4, cell);
}

void PhotoListView::resizeEvent(QResizeEvent* e) {
    QListView::resizeEvent(e);
    if (delegate_->ListSize() == 4) {
        UpdateCell();
        doItemsLayout();
    }
}

void PhotoListView::SelectPosition(int position) {
    quiet_ = true;
    if (position >= 1 && position <= model_.rowCount()) {
        const QModelIndex at = model_.index(position - 1);
        setCurrentIndex(at);
        scrollTo(at);
    } else {
        clearSelection();
        setCurrentIndex(QModelIndex());
    }
    quiet_ = false;
}

int PhotoListView::CurrentPosition() const { return currentIndex().isValid() ? currentIndex().row() + 1 : 0; }

void PhotoListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QListView::currentChanged(current, previous);
    if (!quiet_ && current.isValid()) emit PositionChosen(current.row() + 1);
}

void PhotoListView::mousePressEvent(QMouseEvent* e) {
    const QModelIndex at = indexAt(e->position().toPoint());
    if (at.isValid() && e->button() == Qt::LeftButton &&
        delegate_->PrintBoxRect(visualRect(at)).adjusted(-1, -1, 1, 1).contains(e->position().toPoint())) {
        emit PrintTargetClicked(at.data(Qt::UserRole).toInt());
        return;
    }
    QListView::mousePressEvent(e);
}

void PhotoListView::mouseDoubleClickEvent(QMouseEvent* e) {
    const QModelIndex at = indexAt(e->position().toPoint());
    if (at.isValid()) emit OpenConfirmation(at.row() + 1);
}

void PhotoListView::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        emit OpenConfirmation(currentIndex().row() + 1);
        return;
    }
    QListView::keyPressEvent(e);
}

void PhotoListView::contextMenuEvent(QContextMenuEvent* e) {
    const QModelIndex at = indexAt(viewport()->mapFromGlobal(e->globalPos()));
    if (at.isValid() && at != currentIndex()) setCurrentIndex(at);
    emit ContextMenuWanted(e->globalPos());
}

bool PhotoListView::viewportEvent(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const QModelIndex at = indexAt(help->pos());
        if (hints_ && at.isValid() && hintText) {
            QToolTip::showText(help->globalPos(), hintText(at.data(Qt::UserRole).toInt()), viewport(),
                               visualRect(at), 30000);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QListView::viewportEvent(e);
}

}  // namespace velview::viewer
