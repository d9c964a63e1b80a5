#include "viewer/info_pane.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "browse/info_colours.h"
#include "browse/info_layout.h"
#include "common/ext_registry.h"
#include "data/field_index.h"
#include "data/pct_checks.h"
#include "data/pct_info.h"
#include "ent/current_standard.h"
#include "viewer/qt_text.h"

namespace velview::viewer {
namespace {

const char* const kSection = "XmlPctInfoView";

QColor ToQColor(const CellColour& c) { return c.window ? QColor() : QColor(c.r, c.g, c.b); }

QLabel* ValueLabel(const QString& text, const QColor& colour, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setMinimumHeight(18);
    // The pane is narrow: long file names wrap or are cut rather than widen it.
    l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    l->setContentsMargins(3, 1, 3, 1);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, colour.isValid() ? colour : p.color(QPalette::Base));
    l->setPalette(p);
    return l;
}

}  // namespace

InfoPane::InfoPane(QWidget* parent) : QScrollArea(parent) {
    setWidgetResizable(true);
    setMinimumWidth(192);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const TExtRegistry r(kSection);
    for (int i = 0; i < 8; ++i) open_[static_cast<std::size_t>(i)] = r.ReadInteger("OCInt" + std::to_string(i + 1), 1) != 0;
    Build();
}

InfoPane::~InfoPane() {
    TExtRegistry r(kSection);
    for (int i = 0; i < 8; ++i) r.WriteInteger("OCInt" + std::to_string(i + 1), open_[static_cast<std::size_t>(i)] ? 1 : 0);
}

void InfoPane::ShowRecord(const TPctInfoList* photos, int photo) {
    photos_ = photos;
    photo_ = (photos && photo >= 0 && photo < photos->Count()) ? photo : -1;
    const int scroll = verticalScrollBar()->value();
    Build();
    verticalScrollBar()->setValue(scroll);
}

void InfoPane::SetMarks(bool on) {
    marks_ = on;
    Refresh();
}

void InfoPane::SetSkoTable(bool on) {
    skoTable_on_ = on;
    Refresh();
}

bool InfoPane::SectionOpen(int index) const { return index >= 0 && index < 8 && open_[static_cast<std::size_t>(index)]; }

void InfoPane::ToggleSection(int index) {
    if (index < 0 || index >= 8) return;
    open_[static_cast<std::size_t>(index)] = !open_[static_cast<std::size_t>(index)];
    Refresh();
}

void InfoPane::Build() {
    rows_.clear();
    skoTable_ = nullptr;
    content_ = new QWidget;
    layout_ = new QVBoxLayout(content_);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(1);
    const auto ctx = CurrentCheckContext();
    const TEIPctInfo* record = photo_ >= 0 ? photos_->At(photo_) : nullptr;
    const bool juchusha = ctx->flags && ctx->flags->IsKokH22;
    const std::vector<InfoSection> sections = InfoSections(ctx->layout, ctx->dtdType, juchusha);
    for (std::size_t s = 0; s < sections.size(); ++s) {
        const InfoSection& section = sections[s];
        auto* title = new QToolButton(content_);
        title->setText(Q(section.title));
        title->setToolButtonStyle(Qt::ToolButtonTextOnly);
        title->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        title->setFixedHeight(20);
        title->setStyleSheet(QStringLiteral("QToolButton { text-align: left; font-weight: bold; background: #dde4ee; border: none; }"
                                            "QToolButton:hover { color: red; }"));
        title->setArrowType(open_[s] ? Qt::DownArrow : Qt::RightArrow);
        title->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        connect(title, &QToolButton::clicked, this, [this, s] { ToggleSection(static_cast<int>(s)); });
        layout_->addWidget(title);
        if (!open_[s]) continue;
        auto* body = new QWidget(content_);
        auto* grid = new QGridLayout(body);
        grid->setContentsMargins(2, 1, 2, 1);
        grid->setHorizontalSpacing(3);
        grid->setVerticalSpacing(1);
        grid->setColumnStretch(2, 1);
        int line = 0;
        const auto addRow = [&](const std::string& label, int field, const QString& value, const QColor& colour) {
            auto* l = new QLabel(Q(label), body);
            l->setWordWrap(true);
            l->setFixedWidth(78);
            grid->addWidget(l, line, 0, Qt::AlignTop);
            QString mark;
            if (marks_ && field >= 0) {
                const int item = ctx->ItemOf(field);
                if (item >= 0) mark = Q(ctx->photoItems.Mark(item));
            }
            grid->addWidget(new QLabel(mark, body), line, 1, Qt::AlignTop);
            grid->addWidget(ValueLabel(value, colour, body), line, 2);
            rows_.push_back({Q(section.title), Q(label), mark, value, colour});
            ++line;
        };
        const auto blocks = [&]() -> int {
            if (!section.perDrawing) return 1;
            int n = 1;
            if (record)
                for (const InfoRow& row : section.rows)
                    if (const TPIStrings* list = row.field >= 0 ? record->FieldList(row.field) : nullptr) n = std::max(n, list->Count());
            return n;
        }();
        for (int b = 0; b < blocks; ++b) {
            if (section.perDrawing) {
                auto* head = new QLabel(QStringLiteral("参考図 %1").arg(b + 1), body);
                head->setStyleSheet(QStringLiteral("color: #405070;"));
                grid->addWidget(head, line++, 0, 1, 3);
            }
            for (const InfoRow& row : section.rows) {
                if (row.field < 0) {
                    grid->addWidget(new QLabel(QString(), body), line++, 0);
                    continue;
                }
                const TPIStrings* list = record ? record->FieldList(row.field) : nullptr;
                if (row.field == fld::SkoKan && skoTable_on_) {
                    // The text row gives way to the table.
                    skoTable_ = new QTableWidget(body);
                    skoTable_->setColumnCount(4);
                    skoTable_->setHorizontalHeaderLabels({QStringLiteral("項目名"), QStringLiteral("設計値"), QStringLiteral("実測値"),
                                                          QStringLiteral("単位")});
                    skoTable_->verticalHeader()->hide();
                    skoTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
                    skoTable_->horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { background: #c8c8c8; }"));
                    const std::vector<SkoRow> entries = record ? ParseSkoTable(record->FieldView(fld::SkoKan)) : std::vector<SkoRow>{};
                    const int shown = std::max<int>(4, static_cast<int>(entries.size()) + 1);
                    skoTable_->setRowCount(shown);
                    const QColor first = record ? ToQColor(InfoCellColour(*record, fld::SkoKan)) : QColor();
                    for (int i = 0; i < shown; ++i) {
                        const bool used = i < static_cast<int>(entries.size());
                        const SkoRow e = used ? entries[static_cast<std::size_t>(i)] : SkoRow{};
                        const QString cells[4] = {Q(e.name), Q(e.design), Q(e.measured), Q(e.Unit())};
                        const Qt::Alignment align[4] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignRight, Qt::AlignHCenter};
                        for (int c = 0; c < 4; ++c) {
                            auto* cell = new QTableWidgetItem(cells[c]);
                            cell->setTextAlignment(align[c] | Qt::AlignVCenter);
                            if (!used) cell->setBackground(QColor(0xE8, 0xE8, 0xE8));
                            else if (i == 0 && first.isValid()) cell->setBackground(first);
                            skoTable_->setItem(i, c, cell);
                        }
                    }
                    // 項目名 takes what the three value columns leave.
                    skoTable_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
                    skoTable_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                    const TExtRegistry settings(kSection);
                    skoTable_->setColumnWidth(1, settings.ReadInteger("GCWidth1", 42));
                    skoTable_->setColumnWidth(2, settings.ReadInteger("GCWidth2", 42));
                    skoTable_->setColumnWidth(3, settings.ReadInteger("GCWidth3", 34));
                    skoTable_->setFixedHeight(std::max(79, TExtRegistry(kSection).ReadInteger("SkoGridH", 113)));
                    grid->addWidget(skoTable_, line++, 0, 1, 3);
                    rows_.push_back({Q(section.title), Q(row.label), QString(), QStringLiteral("(table)"), first});
                    continue;
                }
                if (section.perDrawing) {
                    const std::string v = list ? DisplayEntry(row.field, list->Get(b)) : std::string();
                    addRow(row.label, row.field, Q(v), record ? ToQColor(InfoCellColour(*record, row.field, b)) : QColor());
                } else if (row.perEntry) {
                    const int n = std::max(1, list ? list->Count() : 0);
                    for (int k = 0; k < n; ++k)
                        addRow(row.label, row.field, list ? Q(list->Get(k)) : QString(),
                               record ? ToQColor(InfoCellColour(*record, row.field, k)) : QColor());
                } else {
                    addRow(row.label, row.field, record ? Q(DisplayValue(*record, row.field)) : QString(),
                           record ? ToQColor(InfoCellColour(*record, row.field)) : QColor());
                }
            }
        }
        layout_->addWidget(body);
    }
    layout_->addStretch(1);
    setWidget(content_);
}

}  // namespace velview::viewer
