#include "browse/class_tree.h"

#include <algorithm>
#include <functional>
#include <map>

#include "browse/photo_order.h"
#include "common/ext_registry.h"
#include "data/field_index.h"
#include "data/pct_info.h"

namespace velview {

namespace {

const std::array<TreeItem, 7> kTreeItems{{
    {1, "(1). 大 分 類", "大 分 類", fld::PctLBn},
    {2, "(2). 写真区分", "写真区分", fld::PctKbn},
    {3, "(3). 工　　種", "工　　種", fld::KshNam},
    {4, "(4). 種　　別", "種　　別", fld::SbtNam},
    {5, "(5). 細　　別", "細　　別", fld::SaiNam},
    {6, "(6). 写真ﾀｲﾄﾙ", "写真ﾀｲﾄﾙ", fld::PctTtl},
    {7, "(7). 撮影箇所", "撮影箇所", fld::PctPlc},
}};

constexpr int kTitleItem = 5;  // item number 6, compared as titles
constexpr int kPlaceItem = 6;  // item number 7, compared as places

// An empty value still needs a node text: eight blanks look empty in the tree, yet differ
// from every trimmed value, so the class of empty values never merges with another.
constexpr std::string_view kEmptyNodeText = "        ";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// A node text that says nothing (the caption of empty values) is no drop-down value.
bool IsBlankText(std::string_view s) { return TrimBlanks(s).empty(); }

// The trimmed value without copying; `item` is the item number - 1.
std::string_view ValueView(const TPctInfoList& photos, int photo, int item) {
    if (item < 0 || item >= static_cast<int>(kTreeItems.size())) return {};
    const TEIPctInfo* info = photos.At(photo);
    if (!info) return {};
    return TrimBlanks(info->FieldView(kTreeItems[static_cast<std::size_t>(item)].field));
}

int CompareValues(std::string_view a, std::string_view b, int item) {
    int c = 0;
    if (item == kTitleItem) c = TitleCompare(a, b);
    else if (item == kPlaceItem) c = PlaceCompare(a, b);
    // The natural orders call some different texts equal ("A.5", "A5"); ordering those
    // byte-wise keeps every text in one run, so the split never makes two siblings for it.
    if (c == 0) c = a.compare(b);
    return c;
}

// The class comparison on values read once per photo: `keys` holds the level values of the
// photo at position x (photo number px) from x * levels on.
int CompareKeys(const std::vector<std::string_view>& keys, std::size_t levels, int x, int y, int px, int py,
                const std::vector<int>& levelItems) {
    const std::size_t bx = static_cast<std::size_t>(x) * levels, by = static_cast<std::size_t>(y) * levels;
    for (std::size_t k = 0; k < levels; ++k) {
        if (int c = CompareValues(keys[bx + k], keys[by + k], levelItems[k])) return c;
    }
    return px < py ? -1 : (px > py ? 1 : 0);
}

struct Splitter {
    const TPctInfoList& photos;
    const std::vector<int>& levelItems;
    bool importOrder;

    void Split(ClassNode& node, int level) const {
        const int item = levelItems[static_cast<std::size_t>(level)];
        // Children by value; a sorted index, since a class can hold tens of thousands of photos
        // in thousands of classes and a linear search would turn the build quadratic.
        std::map<std::string_view, ClassNode*> byValue;
        ClassNode* current = nullptr;
        std::string_view previous;
        for (int photo : node.photos) {
            std::string_view value = ValueView(photos, photo, item);
            if (value.empty()) value = kEmptyNodeText;
            if (!current || value != previous) {
                ClassNode* target = nullptr;
                if (importOrder) {
                    const auto found = byValue.find(value);
                    if (found != byValue.end()) target = found->second;
                }
                if (!target) {
                    auto child = std::make_unique<ClassNode>();
                    child->text = std::string(value);
                    child->level = level;
                    child->icon = item + 1;
                    child->parent = &node;
                    target = child.get();
                    node.children.push_back(std::move(child));
                    // The key views the child's own text, which lives as long as the index.
                    if (importOrder) byValue.emplace(target->text, target);
                }
                current = target;
                previous = value;
            }
            current->photos.push_back(photo);
        }
        if (level + 1 < static_cast<int>(levelItems.size())) {
            for (auto& child : node.children) Split(*child, level + 1);
        }
    }
};

void CountNodes(const ClassNode& node, int& count) {
    ++count;
    for (const auto& child : node.children) CountNodes(*child, count);
}

void SortDistinct(std::vector<std::string>& texts) {
    std::sort(texts.begin(), texts.end());
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
}

std::unique_ptr<ClassNode> NewRoot(bool filtered) {
    auto root = std::make_unique<ClassNode>();
    root->text = ClassTree::RootCaption(filtered);
    return root;
}

}  // namespace

const std::array<TreeItem, 7>& TreeItems() { return kTreeItems; }

TreeItemList::TreeItemList() {
    for (const auto& item : kTreeItems) entries_.push_back({item.caption, true});
}

int TreeItemList::ItemNumber(int i) const {
    if (i < 0 || i >= static_cast<int>(entries_.size())) return 0;
    const std::string& caption = entries_[static_cast<std::size_t>(i)].caption;
    if (caption.size() < 2) return 0;
    const int n = caption[1] - '0';
    return n >= 1 && n <= static_cast<int>(kTreeItems.size()) ? n : 0;
}

std::vector<int> TreeItemList::LevelItems() const {
    std::vector<int> levels;
    for (int i = 0; i < static_cast<int>(entries_.size()); ++i) {
        const int n = ItemNumber(i);
        if (n > 0 && entries_[static_cast<std::size_t>(i)].checked) levels.push_back(n - 1);
    }
    return levels;
}

void TreeItemList::Load(const TExtRegistry& store) {
    std::vector<Entry> loaded;
    std::array<bool, 7> seen{};
    bool eachOnce = true;
    for (std::size_t n = 0; n < kTreeItems.size(); ++n) {
        const std::string suffix = std::to_string(n);
        Entry e;
        e.caption = store.ReadString("ItemName " + suffix, kTreeItems[n].caption);
        const auto known = std::find_if(kTreeItems.begin(), kTreeItems.end(),
                                        [&](const TreeItem& item) { return e.caption == item.caption; });
        if (known == kTreeItems.end()) e.caption = kTreeItems[n].caption;
        const auto number = static_cast<std::size_t>(e.caption[1] - '1');
        if (seen[number]) eachOnce = false;
        seen[number] = true;
        e.checked = store.ReadBool("ItemChecked " + suffix, true);
        loaded.push_back(std::move(e));
    }
    // A store that names one item twice (edited by hand, or a replaced caption colliding with another) would
    // hide another item for good; the design order is the only order that is surely whole.
    if (!eachOnce) {
        for (std::size_t n = 0; n < kTreeItems.size(); ++n) loaded[n].caption = kTreeItems[n].caption;
    }
    entries_ = std::move(loaded);
}

void TreeItemList::Save(TExtRegistry& store) const {
    for (std::size_t n = 0; n < entries_.size(); ++n) {
        const std::string suffix = std::to_string(n);
        store.WriteString("ItemName " + suffix, entries_[n].caption);
        store.WriteBool("ItemChecked " + suffix, entries_[n].checked);
    }
}

std::string TreeValue(const TPctInfoList& photos, int photo, int item) {
    return std::string(ValueView(photos, photo, item));
}

int ClassCompare(const TPctInfoList& photos, int x, int y, const std::vector<int>& levelItems) {
    for (int item : levelItems) {
        if (int c = CompareValues(ValueView(photos, x, item), ValueView(photos, y, item), item)) return c;
    }
    return x < y ? -1 : (x > y ? 1 : 0);
}

ClassTree::ClassTree() : root_(NewRoot(false)) {}

void ClassTree::Clear() {
    root_ = NewRoot(false);
    levelCount_ = 0;
}

const char* ClassTree::RootCaption(bool filtered) { return filtered ? "絞り込んだ全写真" : "全写真"; }

void ClassTree::Build(const TPctInfoList& photos, const std::vector<int>& passed, const ClassTreeBuild& how) {
    root_ = NewRoot(how.filtered);
    levelCount_ = static_cast<int>(how.levelItems.size());
    if (passed.empty()) return;

    std::vector<int> ordered = passed;
    if (how.importOrder) {
        if (!how.ascending) std::reverse(ordered.begin(), ordered.end());
    } else {
        // Read every value once: the sort compares each photo about log n times per level.
        const std::size_t levels = how.levelItems.size();
        std::vector<std::string_view> keys(passed.size() * levels);
        for (std::size_t i = 0; i < passed.size(); ++i) {
            for (std::size_t k = 0; k < levels; ++k) keys[i * levels + k] = ValueView(photos, passed[i], how.levelItems[k]);
        }
        std::vector<int> order(passed.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
        std::sort(order.begin(), order.end(), [&](int x, int y) {
            const int c = CompareKeys(keys, levels, x, y, passed[static_cast<std::size_t>(x)],
                                      passed[static_cast<std::size_t>(y)], how.levelItems);
            return how.ascending ? c < 0 : c > 0;
        });
        for (std::size_t i = 0; i < order.size(); ++i) ordered[i] = passed[static_cast<std::size_t>(order[i])];
    }

    root_->photos = std::move(ordered);
    if (how.levelItems.empty()) return;
    Splitter{photos, how.levelItems, how.importOrder}.Split(*root_, 0);
    // The root lists its photos class by class, as the tree shows them.
    root_->photos.clear();
    for (const auto& child : root_->children) {
        root_->photos.insert(root_->photos.end(), child->photos.begin(), child->photos.end());
    }
}

const ClassNode& ClassTree::Select(const std::vector<std::string>& levelTexts, bool easyMode) const {
    const ClassNode* found = nullptr;
    const std::function<bool(const ClassNode&)> walk = [&](const ClassNode& node) {
        for (const auto& child : node.children) {
            const std::size_t k = easyMode ? 0 : static_cast<std::size_t>(child->level);
            if (k < levelTexts.size() && !levelTexts[k].empty() &&
                child->text.find(levelTexts[k]) != std::string::npos) {
                found = child.get();
                return true;
            }
            if (walk(*child)) return true;
        }
        return false;
    };
    walk(*root_);
    return found ? *found : *root_;
}

const ClassNode& ClassTree::Follow(const std::vector<std::string>& path) const {
    const ClassNode* node = root_.get();
    for (const auto& text : path) {
        const auto next = std::find_if(node->children.begin(), node->children.end(),
                                       [&](const auto& child) { return child->text == text; });
        if (next == node->children.end()) break;
        node = next->get();
    }
    return *node;
}

std::vector<std::string> ClassTree::PathOf(const ClassNode& node) {
    std::vector<std::string> path;
    for (const ClassNode* n = &node; n && n->parent; n = n->parent) path.push_back(n->text);
    std::reverse(path.begin(), path.end());
    return path;
}

std::vector<std::vector<std::string>> ClassTree::LevelValues() const {
    std::vector<std::vector<std::string>> values(static_cast<std::size_t>(levelCount_));
    const std::function<void(const ClassNode&)> walk = [&](const ClassNode& node) {
        for (const auto& child : node.children) {
            const auto k = static_cast<std::size_t>(child->level);
            if (k < values.size() && !IsBlankText(child->text)) values[k].push_back(child->text);
            walk(*child);
        }
    };
    walk(*root_);
    for (auto& level : values) SortDistinct(level);
    return values;
}

std::vector<std::string> ClassTree::LevelValuesBelow(int level, const std::vector<std::string>& earlier) const {
    std::vector<std::string> values;
    if (level < 0 || level >= levelCount_) return values;
    const std::function<void(const ClassNode&, int)> walk = [&](const ClassNode& node, int depth) {
        for (const auto& child : node.children) {
            if (depth == level) {
                if (!IsBlankText(child->text)) values.push_back(child->text);
                continue;
            }
            const auto k = static_cast<std::size_t>(depth);
            if (k < earlier.size() && !earlier[k].empty() && child->text != earlier[k]) continue;
            walk(*child, depth + 1);
        }
    };
    walk(*root_, 0);
    SortDistinct(values);
    return values;
}

int ClassTree::NodeCount() const {
    int count = 0;
    CountNodes(*root_, count);
    return count;
}

}  // namespace velview
