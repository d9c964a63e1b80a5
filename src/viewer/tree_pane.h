// The classification tree pane: loads a delivery folder through the data control, switches
// the standard when it does not fit the data, filters the photos by the conditions of its
// panel and shows the rest as a tree of classification values.
#pragma once

#include <QComboBox>
#include <QStandardItemModel>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browse/class_tree.h"
#include "checks/duplicates.h"
#include "checks/pct_file_info.h"
#include "checks/photo_filter.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTreeView;
class QGridLayout;

namespace velview {
class TEIControl;
class TEntTypeList;
class TDBExpInp;
}  // namespace velview

namespace velview::viewer {

// A drop-down that says when its list is about to open, so the list can be rebuilt first.
class ConditionCombo : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;
signals:
    void AboutToPopup();
};

class TreePane : public QWidget {
    Q_OBJECT
public:
    static const char* const kNoCondition;  // "(絞り込み無し)"

    TreePane(TEIControl& control, std::function<TEntTypeList()> standards, QWidget* parent = nullptr);
    ~TreePane() override;

    // Loads the folder (path of the data folder): data are read again only when the folder
    // or its data file's date changed; then the tree is built with the current conditions.
    void LoadFolder(const std::string& folder);
    bool Loaded() const { return loaded_; }
    const std::string& Folder() const { return folder_; }
    bool Busy() const { return loading_; }

    void SetTreeOrder(bool importOrder, bool ascending);
    bool ImportOrder() const { return importOrder_; }
    bool Ascending() const { return ascending_; }

    // The selected node's photos, or the filtered photos when the tree has fewer than two
    // nodes.
    std::vector<int> SelectedPhotos() const;
    const std::vector<int>& FilteredPhotos() const { return filtered_; }
    bool GroupByDuplicates() const { return groupByDuplicates_; }
    const ClassNode* SelectedNode() const;
    // The path of texts from the top to the selected node, with the node icons.
    std::vector<std::pair<int, std::string>> SelectedPath() const;

    // Clears the duplicate groups (a new load).
    void ResetFilterState();
    // "解除" without rebuilding (before a new folder).
    void ClearConditions();
    // After a change of the standard: the rows that depend on its document type.
    void ApplyStandardType();
    TreeItemList& Items() { return items_; }
    // After the tree level settings: conditions cleared, full reload, rows relabelled.
    void ApplyItemSettings();

    // The panel's operations, also used by tests.
    void RunFilter();  // "絞込"
    void RunClear();   // "解除"
    void SetEasyMode(bool on);
    bool EasyMode() const;
    void SetLevelText(int level, const QString& text);
    void SetEasyText(const QString& text);
    void SetFlagsText(const QString& text);
    // The check box of a condition by its caption ("情報エラー" ...).
    QCheckBox* Condition(const QString& caption) const;
    QPushButton* FilterButton() const { return filterButton_; }
    QPushButton* ClearButton() const { return clearButton_; }
    QTreeView* TreeView() const { return tree_; }
    QWidget* ConditionPanel() const { return panel_; }
    // Normalises a typed 整理フラグ text: its digits ascending joined by ",", or
    // "(絞り込み無し)" when it holds none.
    static QString NormaliseFlags(const QString& text);

signals:
    void SelectionChanged();
    void BusyStarted();
    void BusyEnded();

private:
    void BuildPanel();
    void ShowMode(bool easy);
    void BuildTree(bool reloaded);
    void FillModel();
    void SelectNode(const ClassNode& node);
    void RefreshClearState();
    void RefillDropDowns();
    void RelabelRows();
    void RebuildLaterList(int level);
    void UpdateConditionRows();
    PhotoFilter CurrentFilter() const;
    bool AnyCondition() const;
    void ComputeDuplicates(TDBExpInp& f);
    void LoadHistory();
    void SaveSettings() const;
    void OpenFlagPicker();

    TEIControl& control_;
    std::function<TEntTypeList()> standards_;
    TreeItemList items_;
    ClassTree classTree_;
    ClassTree valueTree_;  // as last read, for the condition drop-downs
    std::vector<int> filtered_;
    std::string folder_;
    double dataFileDate_ = 0;
    std::int64_t dataFileSize_ = 0;
    bool loaded_ = false;
    bool loading_ = false;
    bool importOrder_ = true;
    bool ascending_ = true;
    bool lastFiltered_ = false;
    bool groupByDuplicates_ = false;
    bool duplicatesComputed_ = false;
    bool allFilesAvailable_ = true;
    bool hasSvg_ = false, hasMp4_ = false;
    int levelCount_ = 0;
    std::unique_ptr<TComparisonFileList> comparison_;
    std::map<int, std::optional<TPctFileInfo>> fileInfos_;

    QTreeView* tree_ = nullptr;
    QStandardItemModel model_;
    QWidget* panel_ = nullptr;
    QStackedWidget* modes_ = nullptr;
    QGridLayout* rowsLayout_ = nullptr;
    std::array<QLabel*, 7> rowLabels_{};
    std::array<ConditionCombo*, 7> rows_{};
    QComboBox* easy_ = nullptr;
    QCheckBox* easyToggle_ = nullptr;
    QLabel* flagsLabel_ = nullptr;
    ConditionCombo* flags_ = nullptr;
    std::vector<QCheckBox*> checks_;
    QPushButton* filterButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    bool clearFlagsToo_ = true;
    bool suppress_ = false;
    bool selectionPending_ = false;
};

}  // namespace velview::viewer
