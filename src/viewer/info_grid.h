// The photo information grid: the photo sequence as rows, the items of the current layout as
// columns (which ones is a setting per layout), fault colours, marks in the headers, and a
// first column with the print-target box, the inspection state and the photo number.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QTableView>
#include <vector>

#include "browse/info_layout.h"

class QListWidget;

namespace velview {
class TPctInfoList;
}

namespace velview::viewer {

class InfoGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    // Rebuilds the columns from the current standard's layout and the settings.
    void Rebuild(const TPctInfoList* photos, std::vector<int> sequence, bool marks);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    // The layout's column numbers shown, in order (the first grid column is the fixed one).
    const std::vector<int>& Shown() const { return shown_; }
    int PhotoAt(int row) const { return row >= 0 && row < static_cast<int>(sequence_.size()) ? sequence_[static_cast<std::size_t>(row)] : -1; }
    void Repaint();
    // Lines of the row's tallest cell.
    int LinesOf(int row) const;

private:
    const TPctInfoList* photos_ = nullptr;
    std::vector<int> sequence_;
    std::vector<GridColumn> columns_;
    std::vector<int> shown_;
    std::vector<int> items_;  // the standard's item of each layout column
    bool marks_ = true;
};

// Visibility of a layout column ("GridSet": prefix + number, default by the layout).
bool GridColumnShown(ItemLayout layout, int column);
void SetGridColumnShown(ItemLayout layout, int column, bool on);

class InfoGrid : public QTableView {
    Q_OBJECT
public:
    explicit InfoGrid(QWidget* parent = nullptr);
    void Rebuild(const TPctInfoList* photos, const std::vector<int>& sequence, bool marks);
    void SelectPosition(int position);
    void ResetColumnWidths();
    InfoGridModel* Model() { return &model_; }

signals:
    void PositionChosen(int position);
    void OpenConfirmation(int position);
    void PrintTargetClicked(int photo);
    void ContextMenuWanted(const QPoint& globalPos);

protected:
    void contextMenuEvent(QContextMenuEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void SaveWidths();
    InfoGridModel model_;
    bool quiet_ = false;
};

// "一覧表示項目設定": the layout's columns from the third on, checked as the grid shows them.
class GridColumnsDialog : public QDialog {
    Q_OBJECT
public:
    explicit GridColumnsDialog(ItemLayout layout, QWidget* parent = nullptr);
    QListWidget* List() const { return list_; }

protected:
    void accept() override;

private:
    ItemLayout layout_;
    QListWidget* list_;
};

}  // namespace velview::viewer
