#include "viewer/info_grid.h"

#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/ext_registry.h"
#include "common/text_encoding.h"
#include "data/pct_checks.h"
#include "data/pct_info.h"
#include "viewer/icons.h"
#include "viewer/qt_text.h"

namespace velview::viewer {
namespace {
const char* const kGridSection = "GridSet";
constexpr int kDefaultWidth = 76;
}  // namespace

bool GridColumnShown(ItemLayout layout, int column) {
    const auto columns = GridColumns(layout);
    if (column < 0 || column >= static_cast<int>(columns.size())) return false;
    if (column < 2) return true;  // シリアル番号 and 写真ファイル名 always
    return TExtRegistry(kGridSection).ReadBool(GridSettingPrefix(layout) + std::to_string(column),
                                               columns[static_cast<std::size_t>(column)].shownByDefault);
}

void SetGridColumnShown(ItemLayout layout, int column, bool on) {
    TExtRegistry(kGridSection).WriteBool(GridSettingPrefix(layout) + std::to_string(column), on);
}

void InfoGridModel::Rebuild(const TPctInfoList* photos, std::vector<int> sequence, bool marks) {
    beginResetModel();
    photos_ = photos;
    sequence_ = std::move(sequence);
    marks_ = marks;
    const auto ctx = CurrentCheckContext();
    columns_ = GridColumns(ctx->layout);
    shown_.clear();
    items_.clear();
    for (int c = 0; c < static_cast<int>(columns_.size()); ++c) {
        items_.push_back(ctx->ItemOf(columns_[static_cast<std::size_t>(c)].field));
        if (GridColumnShown(ctx->layout, c)) shown_.push_back(c);
    }
    endResetModel();
}

int InfoGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : static_cast<int>(sequence_.size()); }
int InfoGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : static_cast<int>(shown_.size()) + 1; }

QVariant InfoGridModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section == 0) return QString();
    const int c = shown_[static_cast<std::size_t>(section - 1)];
    QString caption = Q(columns_[static_cast<std::size_t>(c)].caption);
    if (marks_ && items_[static_cast<std::size_t>(c)] >= 0)
        caption += QStringLiteral(" ") + Q(CurrentCheckContext()->photoItems.Mark(items_[static_cast<std::size_t>(c)]));
    return caption;
}

QVariant InfoGridModel::data(const QModelIndex& index, int role) const {
    const int photo = PhotoAt(index.row());
    const TEIPctInfo* r = photos_ && photo >= 0 ? photos_->At(photo) : nullptr;
    if (!r) return {};
    if (index.column() == 0) {
        const TPctSateItem* s = TPctStateList::Instance().Find(photo);
        if (role == Qt::DisplayRole) return QStringLiteral("%1").arg(photo + 1, 5);
        if (role == Qt::DecorationRole) return StateIcon(s ? s->InspectionState() : 0);
        if (role == Qt::CheckStateRole) return (s && s->TestBits(1)) ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    const int c = shown_[static_cast<std::size_t>(index.column() - 1)];
    if (role == Qt::DisplayRole) return Q(DisplayValue(*r, columns_[static_cast<std::size_t>(c)].field));
    if (role == Qt::BackgroundRole) {
        const int item = items_[static_cast<std::size_t>(c)];
        if (item < 0) return {};
        const CellColour colour = CheckColour(*r, item);
        if (!colour.window) return QColor(colour.r, colour.g, colour.b);
    }
    return {};
}

int InfoGridModel::LinesOf(int row) const {
    const int photo = PhotoAt(row);
    const TEIPctInfo* r = photos_ && photo >= 0 ? photos_->At(photo) : nullptr;
    int lines = 1;
    if (!r) return lines;
    for (int c : shown_)
        if (const TPIStrings* list = r->FieldList(columns_[static_cast<std::size_t>(c)].field)) lines = std::max(lines, list->Count());
    return lines;
}

void InfoGridModel::Repaint() {
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

InfoGrid::InfoGrid(QWidget* parent) : QTableView(parent) {
    setModel(&model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setHighlightSections(false);
    setWordWrap(true);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
        if (!quiet_ && current.isValid()) emit PositionChosen(current.row() + 1);
    });
    connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex& at) { emit OpenConfirmation(at.row() + 1); });
    connect(this, &QTableView::clicked, this, [this](const QModelIndex& at) {
        // The fixed column's box: the print-target bit.
        if (at.column() == 0) emit PrintTargetClicked(model_.PhotoAt(at.row()));
    });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] { SaveWidths(); });
    // A double click on a column border: as wide as the longest line of its cells.
    connect(horizontalHeader(), &QHeaderView::sectionHandleDoubleClicked, this, [this](int column) {
        if (column <= 0) return;
        std::size_t longest = 0;
        for (int row = 0; row < model_.rowCount(); ++row)
            for (const QString& line : model_.data(model_.index(row, column), Qt::DisplayRole).toString().split('\n'))
                longest = std::max(longest, text::Cp932Length(S(line)));
        setColumnWidth(column, static_cast<int>(static_cast<double>(longest) * 6.2 + 2));
    });
}

void InfoGrid::Rebuild(const TPctInfoList* photos, const std::vector<int>& sequence, bool marks) {
    quiet_ = true;
    model_.Rebuild(photos, sequence, marks);
    const TExtRegistry r(kGridSection);
    QSignalBlocker block(horizontalHeader());
    setColumnWidth(0, 90);
    for (int c = 1; c < model_.columnCount(); ++c) setColumnWidth(c, r.ReadInteger("GCWidth" + std::to_string(c), kDefaultWidth));
    // Rows as tall as their tallest cell: list fields show an entry per line.
    const int line = std::max(12, fontMetrics().height());
    for (int row = 0; row < model_.rowCount(); ++row) {
        const int lines = model_.LinesOf(row);
        if (lines > 1) setRowHeight(row, line * lines + 4);
    }
    quiet_ = false;
}

void InfoGrid::SaveWidths() {
    TExtRegistry r(kGridSection);
    for (int c = 1; c < model_.columnCount(); ++c) r.WriteInteger("GCWidth" + std::to_string(c), columnWidth(c));
}

void InfoGrid::ResetColumnWidths() {
    for (int c = 1; c < model_.columnCount(); ++c) setColumnWidth(c, kDefaultWidth);
    SaveWidths();
}

void InfoGrid::SelectPosition(int position) {
    quiet_ = true;
    if (position >= 1 && position <= model_.rowCount()) {
        selectRow(position - 1);
        scrollTo(model_.index(position - 1, 0));
    } else {
        clearSelection();
    }
    quiet_ = false;
}

void InfoGrid::contextMenuEvent(QContextMenuEvent* e) {
    const QModelIndex at = indexAt(viewport()->mapFromGlobal(e->globalPos()));
    if (at.isValid()) selectRow(at.row());
    emit ContextMenuWanted(e->globalPos());
}

void InfoGrid::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        emit OpenConfirmation(currentIndex().row() + 1);
        return;
    }
    QTableView::keyPressEvent(e);
}

GridColumnsDialog::GridColumnsDialog(ItemLayout layout, QWidget* parent) : QDialog(parent), layout_(layout) {
    setWindowTitle(QStringLiteral("一覧表示項目設定"));
    auto* v = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    const auto columns = GridColumns(layout);
    for (int c = 2; c < static_cast<int>(columns.size()); ++c) {
        auto* item = new QListWidgetItem(Q(columns[static_cast<std::size_t>(c)].caption), list_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(GridColumnShown(layout, c) ? Qt::Checked : Qt::Unchecked);
        item->setData(Qt::UserRole, c);
    }
    v->addWidget(list_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    v->addWidget(buttons);
    resize(280, 460);
}

void GridColumnsDialog::accept() {
    for (int i = 0; i < list_->count(); ++i)
        SetGridColumnShown(layout_, list_->item(i)->data(Qt::UserRole).toInt(), list_->item(i)->checkState() == Qt::Checked);
    QDialog::accept();
}

}  // namespace velview::viewer
