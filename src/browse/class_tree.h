// The classification tree: the seven tree items, the level settings, the build of the tree
// from the filtered photos in import or class-name order, and the selection after a build.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velview {

class TPctInfoList;
class TExtRegistry;

// One of the seven fixed tree items.
struct TreeItem {
    int number;           // 1..7
    const char* caption;  // in the item list: "(1). 大 分 類"
    const char* label;    // of its condition row: "大 分 類"
    int field;            // the record field it reads
};
const std::array<TreeItem, 7>& TreeItems();

// The item list: an order and a checked flag per entry. The number of an entry is read back
// from the second character of its caption.
class TreeItemList {
public:
    struct Entry {
        std::string caption;
        bool checked = true;
    };
    TreeItemList();  // the design order, every entry checked
    std::vector<Entry>& Entries() { return entries_; }
    const std::vector<Entry>& Entries() const { return entries_; }
    // The item number of entry i (0 when the caption names none).
    int ItemNumber(int i) const;
    // The level map: for each checked entry in list order, its item number - 1.
    std::vector<int> LevelItems() const;

    // "ItemName N" and "ItemChecked N" (N = 0..6) of the given store; unknown captions are
    // replaced by the design caption of that position.
    void Load(const TExtRegistry& store);
    void Save(TExtRegistry& store) const;

private:
    std::vector<Entry> entries_;
};

// The value of a tree item for a photo, trimmed of surrounding blanks (ASCII space and tab);
// `item` is the item number - 1, as in the level map.
std::string TreeValue(const TPctInfoList& photos, int photo, int item);

// x before y (< 0), equal (0) or after (> 0) by the class comparison: each level item in
// turn, 写真タイトル with the title comparison and 撮影箇所 with the place comparison,
// the others byte-wise; where the natural comparison calls two different texts equal they
// are ordered byte-wise; finally the smaller photo index first.
int ClassCompare(const TPctInfoList& photos, int x, int y, const std::vector<int>& levelItems);

struct ClassNode {
    std::string text;
    int level = -1;  // -1 for the root, else the level index
    int icon = 0;    // the item number of the level (0 for the root)
    std::vector<int> photos;  // photo numbers in list order
    std::vector<std::unique_ptr<ClassNode>> children;
    ClassNode* parent = nullptr;
};

struct ClassTreeBuild {
    bool importOrder = true;  // false: class-name order
    bool ascending = true;
    std::vector<int> levelItems;  // item number - 1 per level
    bool filtered = false;        // some photo was removed by the filters
};

class ClassTree {
public:
    ClassTree();
    // Builds the tree from `passed` (photo numbers that passed the filters, in index order).
    void Build(const TPctInfoList& photos, const std::vector<int>& passed, const ClassTreeBuild& how);
    void Clear();

    const ClassNode& Root() const { return *root_; }
    ClassNode& Root() { return *root_; }
    // "全写真", or "絞り込んだ全写真" after a filtered build.
    static const char* RootCaption(bool filtered);

    // The first node in tree order (root excluded) whose text contains the condition text of
    // its level; empty texts match nothing. In easy mode `levelTexts` holds one text that
    // applies at any level. The root when nothing matches.
    const ClassNode& Select(const std::vector<std::string>& levelTexts, bool easyMode) const;
    // The node reached from the root by following `path` (node texts from the top) as far as
    // the texts match.
    const ClassNode& Follow(const std::vector<std::string>& path) const;
    // The texts of a node's path from the top (root excluded).
    static std::vector<std::string> PathOf(const ClassNode& node);

    // Per level, the sorted distinct non-empty node texts (for the condition drop-downs).
    std::vector<std::vector<std::string>> LevelValues() const;
    // The values of `level` found below the nodes matching the earlier levels' selections
    // (`earlier[k]` empty: any value at level k), sorted and distinct.
    std::vector<std::string> LevelValuesBelow(int level, const std::vector<std::string>& earlier) const;

    int NodeCount() const;

private:
    std::unique_ptr<ClassNode> root_;
    int levelCount_ = 0;  // levels of the last build
};

}  // namespace velview
