// The photo list: the photo sequence as a grid of cards that fills the pane's width (or four
// large photos), with the print-target box, keyboard moves, file-information hints and a
// context menu that the main window fills.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "viewer/card_delegate.h"

namespace velview::viewer {

class ThumbnailProvider;

class PhotoSequenceModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    void SetSequence(std::vector<int> sequence);
    const std::vector<int>& Sequence() const { return sequence_; }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // A card can be dragged: it carries its photo number and its file.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    std::function<std::string(int photo)> pathOf;
    static const char* const kPhotoMime;  // "application/x-velview-photo": "<number>\n<path>"
    // Repaints the card of a photo (its thumbnail arrived, its state changed).
    void PhotoChanged(int photo);
    void AllChanged();

private:
    std::vector<int> sequence_;
};

class PhotoListView : public QListView {
    Q_OBJECT
public:
    PhotoListView(const CardSource* source, ThumbnailProvider* thumbnails, QWidget* parent = nullptr);

    // Refills from the sequence, keeping the scroll position.
    void Refill(const std::vector<int>& sequence);
    void ClearList();
    void SetListSize(int size);
    int ListSize() const { return delegate_->ListSize(); }
    void SetHints(bool on) { hints_ = on; }
    bool Hints() const { return hints_; }
    // The hint text of a photo ("ファイル情報を取得できません" when nothing can be told).
    std::function<QString(int photo)> hintText;
    // Selects the card at a 1-based position (0: none) without telling back.
    void SelectPosition(int position);
    int CurrentPosition() const;
    PhotoSequenceModel* Model() { return &model_; }
    CardDelegate* Delegate() { return delegate_; }

signals:
    // The user made the card at this 1-based position current.
    void PositionChosen(int position);
    void OpenConfirmation(int position);
    void PrintTargetClicked(int photo);
    void ContextMenuWanted(const QPoint& globalPos);

protected:
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void UpdateCell();
    PhotoSequenceModel model_;
    CardDelegate* delegate_;
    bool hints_ = true;
    bool quiet_ = false;
};

}  // namespace velview::viewer
