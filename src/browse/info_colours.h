// The background of a value in the photo information pane: the record's check colour, and
// the finer rules for list entries shown one per row and for the fields whose faults depend
// on the standard's switches (代表写真, 提出頻度写真, 写真ファイル日本語名).
#pragma once

#include "data/pct_checks.h"

namespace velview {

class TCustomPctInfo;

// `entry` is the list entry shown in the row (-1 for a single field).
CellColour InfoCellColour(const TCustomPctInfo& record, int field, int entry = -1);

}  // namespace velview
