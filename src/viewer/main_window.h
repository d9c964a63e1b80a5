// The main window: the classification tree, the photo list, the photo display and the
// information panes, the photo sequence they all follow, the command table and the settings
// kept between runs.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "viewer/card_delegate.h"
#include "viewer/viewer_settings.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QStackedWidget;

namespace velview {
class ProgramRuntime;
class TEIControl;
class TDBExpInp;
}  // namespace velview

namespace velview::viewer {

class InfoGrid;
class InfoPane;
class InspectionPanel;
class PhotoDisplay;
class PhotoListView;
class ThumbnailProvider;
class TreePane;

class MainWindow : public QMainWindow, public CardSource {
    Q_OBJECT
public:
    MainWindow(ProgramRuntime& runtime, TEIControl& control, std::string folderArgument, QWidget* parent = nullptr);
    ~MainWindow() override;

    // --- the two central operations ---
    void RebuildPhotoSequence();
    void ShowCurrentPhoto();
    // Makes the photo at a 1-based position current (as a click in a list does).
    void SelectPosition(int position);
    void UpdateCommandStates();

    // --- state, for the panes and for tests ---
    const std::vector<int>& PhotoSequence() const { return sequence_; }
    int CurrentPosition() const { return position_; }
    int ListSize() const { return settings_.viewStyle; }
    void SetListSize(int size);
    void SetCaptionMode(int mode);
    void SetPhotoOrder(PhotoOrder order);
    void SetPhotoOrderAscending(bool ascending);
    void SetTreeOrder(bool importOrder, bool ascending);
    QString StatusText(int panel) const;
    QString ComboText() const;
    QString CounterText() const;
    QAction* Action(const char* name) const;
    TreePane* Tree() const { return tree_; }
    PhotoListView* List() const { return list_; }
    PhotoDisplay* Display() const { return display_; }
    ThumbnailProvider* Thumbnails() const { return thumbnails_; }
    QWidget* ClassStrip() const { return classStrip_; }
    QWidget* InfoWidget() const { return infoPane_; }
    InfoPane* InformationPane() const { return info_; }
    InspectionPanel* Inspection() const { return inspection_; }
    InfoGrid* Grid() const { return grid_; }
    void SetViewMode(int mode);
    QPushButton* PaneSwitch() const { return paneSwitch_; }
    // Loads a folder as the start-up does (tests and the command line).
    void OpenFolder(const std::string& folder);
    // Sets the inspection state (0, 1, 2) of the current photo or of every listed photo.
    void SetInspectionState(int state, bool allListed);
    void SetAllPrintTargets(bool on);
    std::int32_t DataHash() const { return photoXmlHash_; }
    // "写真の「検査状態」…" asked with the lead and question; Yes when nothing would be lost.
    bool ConfirmInspectionLoss(const char* lead, const char* question);
    // What the folder command does with a chosen folder (the dialog's result).
    void ChooseFolder(const std::string& folder);

    // CardSource
    CardData Card(int photo) const override;
    int DtdType() const override;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void CreatePanes();
    void CreateCommands();
    QAction* AddAction(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key = {});
    void ApplyViewMode();
    void ApplyPaneVisibility();
    void RestoreSettings();
    void SaveSettings();
    void UpdateTitle();
    void UpdateStatusBar();
    void UpdateClassStrip();
    void RepaintLists();
    void ResetInspectionStates();
    bool FolderSelection();
    void Reload();
    void CopyToClipboard();
    void SavePhotoFile();
    void OpenInformationFile(bool construction);
    void TreeItemSettings();
    void About();
    void ShowListContextMenu(const QPoint& at);
    void OnZoomChanged();
    void GridColumnSettings();
    void FillReferenceMenu();
    void MoveBy(int delta);
    std::string FolderToOpen() const;
    std::string PhotoPath(int photo) const;
    std::string ConstructionFile() const;
    TDBExpInp* Data() const;

    ProgramRuntime& runtime_;
    TEIControl& control_;
    std::string folderArgument_;
    MainWindowSettings settings_;
    std::vector<int> sequence_;
    int position_ = 0;
    int viewMode_ = 0;
    bool showTree_ = true;
    bool showInfo_ = true;
    std::int32_t photoXmlHash_ = 0;
    bool reloadGuard_ = false;
    bool shownOnce_ = false;
    mutable std::map<int, std::string> paths_;  // resolved photo files of the current load

    ThumbnailProvider* thumbnails_ = nullptr;
    TreePane* tree_ = nullptr;
    PhotoListView* list_ = nullptr;
    PhotoDisplay* display_ = nullptr;
    QWidget* infoPane_ = nullptr;
    InfoPane* info_ = nullptr;
    InfoGrid* grid_ = nullptr;
    InspectionPanel* inspection_ = nullptr;
    QWidget* leftColumn_ = nullptr;
    QPushButton* paneSwitch_ = nullptr;
    QMenu* referenceMenu_ = nullptr;
    QWidget* clientColumn_ = nullptr;
    QWidget* listArea_ = nullptr;
    QStackedWidget* listStack_ = nullptr;
    QWidget* inspectionStrip_ = nullptr;
    QSplitter* columns_ = nullptr;
    QSplitter* client_ = nullptr;
    QWidget* classStrip_ = nullptr;
    QLabel* classPath_ = nullptr;
    QComboBox* photoCombo_ = nullptr;
    QLabel* status1_ = nullptr;
    QLabel* status2_ = nullptr;
    std::map<std::string, QAction*> actions_;
};

}  // namespace velview::viewer
