// The photo-category table of a standard: per photo category (写真区分) three requirement
// digits for 工種, 種別 and 細別.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velview {

struct TEntTypeKssItem {
    std::string name;
    std::string digits;  // "333": 工種, 種別, 細別

    // Digit p (1 to 3) as a number; 0 when out of range or not a digit.
    int Digit(int p) const;
    // "◎", "○", "△" for 1, 2, 3, "×" otherwise.
    const char* Mark(int p) const;
    bool operator==(const TEntTypeKssItem&) const = default;
};

class TEntTypeKss {
public:
    TEntTypeKss() { SetDefaults(); }

    const std::vector<TEntTypeKssItem>& Items() const { return items_; }
    int Count() const { return static_cast<int>(items_.size()); }
    const TEntTypeKssItem& operator[](int i) const { return items_[static_cast<std::size_t>(i)]; }
    void Clear() { items_.clear(); }
    void Add(std::string name, std::string digits) { items_.push_back({std::move(name), std::move(digits)}); }
    // The eight default categories.
    void SetDefaults();
    // The first entry whose name equals the text exactly, or -1.
    int IndexOf(std::string_view name) const;
    // Loads the table of a code from the standard-dependent information: the children of
    // C\KbnTree\(KssItem); the defaults when the code has no "KssItem".
    void Load(std::string_view code);

    bool operator==(const TEntTypeKss&) const = default;

private:
    std::vector<TEntTypeKssItem> items_;
};

}  // namespace velview
