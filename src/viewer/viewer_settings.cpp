#include "viewer/viewer_settings.h"

#include <QStandardPaths>

#include "common/ext_registry.h"
#include "viewer/qt_text.h"

namespace velview::viewer {

const char* const kMainWindowSection = "frmViewer";
const char* const kTreeSection = "StdInfoTree";

namespace {
// "Directory" is shared with an earlier product: its key has no program name.
TExtRegistry SharedStore() { return TExtRegistry("VelXmlViewer\\frmViewer", false); }
}  // namespace

std::string DocumentsFolder() {
    QString d = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (d.isEmpty()) d = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    return S(d);
}

void MainWindowSettings::Load() {
    const TExtRegistry r(kMainWindowSection);
    viewStyle = r.ReadInteger("ViewStyle", 0);
    placementSaved = viewStyle != 0;
    if (viewStyle == 0) viewStyle = 2;
    leftWidth = r.ReadInteger("pnlITV", 269);
    infoWidth = r.ReadInteger("pnlPIV", 192);
    listHeight = r.ReadInteger("pnlPB_H", 250);
    showDisplay = r.ReadBool("miVP", true);
    const int title = r.ReadInteger("ViewTitle", 2);
    if (title >= 1 && title <= 3) viewTitle = title;
    treeImportOrder = r.ReadBool("TVGetPctSort", true);
    treeAscending = r.ReadBool("TVUpSort", true);
    const int order = r.ReadInteger("PctSort", 1);
    photoOrder.order = static_cast<PhotoOrder>(order >= 1 && order <= 5 ? order : 1);
    photoOrder.ascending = r.ReadBool("PctUpSort", true);
    skoGrid = r.ReadBool("SkoGrid", true);
    showMark = r.ReadBool("ShowMark", true);
    fileInfoHints = r.ReadBool("ShowPctFileInfoHint", true);
    fileNameWidth = r.ReadInteger("pnlFileNameWidth", 260);
    commentSetsState = r.ReadInteger("InpIspCmtSet", 2) == 2 ? 2 : 1;
    picSaveDir = r.ReadString("PicSaveDir", DocumentsFolder());
    directory = SharedStore().ReadString("Directory", DocumentsFolder());
}

void MainWindowSettings::Save() const {
    TExtRegistry r(kMainWindowSection);
    r.WriteInteger("ViewStyle", viewStyle);
    r.WriteInteger("pnlITV", leftWidth);
    r.WriteInteger("pnlPIV", infoWidth);
    r.WriteInteger("pnlPB_H", listHeight);
    r.WriteBool("miVP", showDisplay);
    r.WriteInteger("ViewTitle", viewTitle);
    r.WriteBool("TVGetPctSort", treeImportOrder);
    r.WriteBool("TVUpSort", treeAscending);
    r.WriteInteger("PctSort", static_cast<int>(photoOrder.order));
    r.WriteBool("PctUpSort", photoOrder.ascending);
    r.WriteBool("SkoGrid", skoGrid);
    r.WriteBool("ShowMark", showMark);
    r.WriteBool("ShowPctFileInfoHint", fileInfoHints);
    r.WriteInteger("InpIspCmtSet", commentSetsState);
    r.WriteString("PicSaveDir", picSaveDir);
    TExtRegistry shared = SharedStore();
    shared.WriteString("Directory", directory);
}

}  // namespace velview::viewer
