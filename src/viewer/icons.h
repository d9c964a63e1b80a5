// The viewer's icons, drawn rather than loaded, so they stay sharp at any screen scale.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace velview::viewer {

// Inspection state 0 "－", 1 検査済, 2 指摘あり.
QPixmap StateIcon(int state, int size = 14);
// 代表写真 / 提出頻度写真 / reference drawings, set or not.
QPixmap RepresentativeIcon(bool set, int size = 14);
QPixmap FrequencyIcon(bool set, int size = 14);
QPixmap ReferenceIcon(bool set, int size = 14);
// The tree node icon of an item number (0 for the root).
QIcon TreeNodeIcon(int item);
// Toolbar icons by name: "folder", "print", "exit", "info", "tree", "photo", "view", "compare",
// "prior", "next".
QIcon ToolIcon(const char* name);

}  // namespace velview::viewer
