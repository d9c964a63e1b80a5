// What the photo information pane and the photo information grid show under each item
// layout: sections and rows, grid columns with their default visibility and setting names,
// and the table form of the 施工管理値 text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ent/item_layouts.h"

namespace velview {

class TCustomPctInfo;

struct InfoRow {
    std::string label;
    int field = -1;        // record field; -1 for the blank row that closes a drawing block
    bool perEntry = false;  // a list field shown one row per entry
};

struct InfoSection {
    std::string title;
    std::vector<InfoRow> rows;
    bool perDrawing = false;  // one block of the rows per reference drawing, headed "参考図 n"
};

// The sections of the pane, in display order, for a layout and document type (the title of
// the 施工管理値 section and the rows of 提出頻度写真 depend on it). `contractorIsJuchusha`:
// "請負者説明文" is labelled "受注者説明文" (layout H does so always).
std::vector<InfoSection> InfoSections(ItemLayout layout, int dtdType, bool contractorIsJuchusha);

struct GridColumn {
    std::string caption;
    int field;
    bool shownByDefault;
};
// The grid's columns of a layout; the column number is the standard's item number.
std::vector<GridColumn> GridColumns(ItemLayout layout);
// The prefix of the visibility settings of a layout's columns ("Gs", "GsFx1" …).
const char* GridSettingPrefix(ItemLayout layout);

// A value as the pane and the grid show it: file names (fields 10-13 and the entries of the
// reference-drawing list) as their file-name part; lists one entry per line.
std::string DisplayValue(const TCustomPctInfo& record, int field);
// One list entry as shown (the file-name part for reference-drawing names).
std::string DisplayEntry(int listField, const std::string& entry);

// One row of the 施工管理値 table.
struct SkoRow {
    std::string name, design, designUnit, measured, measuredUnit;
    // The 単位 column: the design unit, else the measured unit.
    const std::string& Unit() const { return designUnit.empty() ? measuredUnit : designUnit; }
    bool operator==(const SkoRow&) const = default;
};
// Splits a 施工管理値 text into table rows ("幅：設計 3.5m・実測 3.52m" gives 幅 / 3.5 m /
// 3.52 m). An entry that does not parse becomes a row with its text as the item name.
std::vector<SkoRow> ParseSkoTable(std::string_view text);

}  // namespace velview
