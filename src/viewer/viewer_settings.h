// The persisted settings of the main window, read when it is shown and written when it is
// hidden, through the per-user settings store.
#pragma once

#include <string>

#include "browse/photo_order.h"

namespace velview::viewer {

struct MainWindowSettings {
    int viewStyle = 2;      // "ViewStyle": list size 1..4 (0 when none was ever stored)
    bool placementSaved = false;
    int leftWidth = 269;    // "pnlITV"
    int infoWidth = 192;    // "pnlPIV"
    int listHeight = 250;   // "pnlPB_H"
    bool showDisplay = true;  // "miVP"
    int viewTitle = 2;      // "ViewTitle"
    bool treeImportOrder = true;  // "TVGetPctSort"
    bool treeAscending = true;    // "TVUpSort"
    PhotoOrderSetting photoOrder;  // "PctSort", "PctUpSort"
    bool skoGrid = true;    // "SkoGrid"
    bool showMark = true;   // "ShowMark"
    bool fileInfoHints = true;  // "ShowPctFileInfoHint"
    int fileNameWidth = 260;  // "pnlFileNameWidth"
    int commentSetsState = 2;  // "InpIspCmtSet"
    std::string directory;  // "Directory" of the earlier product's key
    std::string picSaveDir;  // "PicSaveDir"

    void Load();
    void Save() const;
};

// The section of the main window's settings ("frmViewer") and of the tree ("StdInfoTree").
extern const char* const kMainWindowSection;
extern const char* const kTreeSection;

// The user's documents folder (XDG), the home folder when there is none.
std::string DocumentsFolder();

}  // namespace velview::viewer
