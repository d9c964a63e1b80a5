// The three item groups of a standard: per item a requirement level (1-4) and a character
// class digit, held as two digit strings in item order.
#pragma once

#include <string>
#include <string_view>

namespace velview {

enum class ItemGroup { Basic = 0, Construction = 1, Photo = 2 };

// "◎" (1, required), "○" (2, required under a condition), "△" (3, optional), "×" (any other
// level: not to be entered).
const char* LevelMark(int level);

class TEntItem;

class TEntItems {
public:
    TEntItems() = default;
    TEntItems(std::string need, std::string kind) : need_(std::move(need)), kind_(std::move(kind)) {}

    const std::string& Need() const { return need_; }
    const std::string& Kind() const { return kind_; }
    void SetNeed(std::string s) { need_ = std::move(s); }
    void SetKind(std::string s) { kind_ = std::move(s); }

    // The number of items is the length of the requirement string.
    int Count() const { return static_cast<int>(need_.size()); }
    // Level 1-3 from the digit; any other digit and any item beyond the string is 4.
    int Level(int item) const;
    const char* Mark(int item) const { return LevelMark(Level(item)); }
    // The class digit; 4 beyond the string (a non-digit reads 0).
    int Class(int item) const;
    // Writes the first character of the number's decimal text at the item's place; the
    // string grows (with "4") when the item lies beyond it.
    void SetLevel(int item, int level);
    void SetClass(int item, int cls);

    // The cursor over this group.
    TEntItem Select(int item);

    bool operator==(const TEntItems& o) const { return need_ == o.need_ && kind_ == o.kind_; }

private:
    std::string need_, kind_;
};

// A cursor on one item of a group: selecting item i sets the 1-based position to i + 1.
class TEntItem {
public:
    explicit TEntItem(TEntItems& items) : items_(&items) {}
    TEntItem& Select(int item) {
        position_ = item + 1;
        return *this;
    }
    int Position() const { return position_; }
    int Level() const { return items_->Level(position_ - 1); }
    int Class() const { return items_->Class(position_ - 1); }
    const char* Mark() const { return items_->Mark(position_ - 1); }
    void SetLevel(int n) { items_->SetLevel(position_ - 1, n); }
    void SetClass(int n) { items_->SetClass(position_ - 1, n); }

private:
    TEntItems* items_;
    int position_ = 0;
};

}  // namespace velview
