#include "ent/ent_items.h"

namespace velview {

const char* LevelMark(int level) {
    switch (level) {
        case 1: return "◎";
        case 2: return "○";
        case 3: return "△";
        default: return "×";
    }
}

int TEntItems::Level(int item) const {
    if (item < 0 || item >= static_cast<int>(need_.size())) return 4;
    const char c = need_[static_cast<std::size_t>(item)];
    return (c >= '1' && c <= '3') ? c - '0' : 4;
}

int TEntItems::Class(int item) const {
    if (item < 0 || item >= static_cast<int>(kind_.size())) return 4;
    const char c = kind_[static_cast<std::size_t>(item)];
    return (c >= '0' && c <= '9') ? c - '0' : 0;
}

namespace {
void SetDigit(std::string& s, int item, int n) {
    if (item < 0) return;
    const std::string text = std::to_string(n);
    if (static_cast<std::size_t>(item) >= s.size()) s.resize(static_cast<std::size_t>(item) + 1, '4');
    s[static_cast<std::size_t>(item)] = text[0];
}
}  // namespace

void TEntItems::SetLevel(int item, int level) { SetDigit(need_, item, level); }
void TEntItems::SetClass(int item, int cls) { SetDigit(kind_, item, cls); }

TEntItem TEntItems::Select(int item) {
    TEntItem cursor(*this);
    cursor.Select(item);
    return cursor;
}

}  // namespace velview
