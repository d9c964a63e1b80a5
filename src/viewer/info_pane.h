// The photo information pane: every item of the current photo in collapsible sections, with
// the requirement mark of each item and the fault colour of its value; the 施工管理値 text
// can be shown as a table.
#pragma once

#include <QScrollArea>
#include <array>
#include <vector>

class QGridLayout;
class QTableWidget;
class QToolButton;
class QVBoxLayout;
class QLabel;

namespace velview {
class TPctInfoList;
}

namespace velview::viewer {

class InfoPane : public QScrollArea {
    Q_OBJECT
public:
    explicit InfoPane(QWidget* parent = nullptr);
    ~InfoPane() override;

    // Shows a record of `photos` (photo -1 or no list: none).
    void ShowRecord(const TPctInfoList* photos, int photo);
    void SetMarks(bool on);
    void SetSkoTable(bool on);
    // Rebuilds for the current standard (its layout and document type decide the rows).
    void Refresh() { ShowRecord(photos_, photo_); }

    // For tests: the rows now shown, as label, mark, value and background colour (RGB, or
    // invalid for the window colour).
    struct ShownRow {
        QString section, label, mark, value;
        QColor colour;
    };
    std::vector<ShownRow> Rows() const { return rows_; }
    QTableWidget* SkoTable() const { return skoTable_; }
    bool SectionOpen(int index) const;
    void ToggleSection(int index);

private:
    void Build();
    QWidget* content_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
    const TPctInfoList* photos_ = nullptr;
    int photo_ = -1;
    bool marks_ = true;
    bool skoTable_on_ = true;
    std::array<bool, 8> open_{};
    QTableWidget* skoTable_ = nullptr;
    std::vector<ShownRow> rows_;
};

}  // namespace velview::viewer
