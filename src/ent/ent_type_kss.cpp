#include "ent/ent_type_kss.h"

#include "ent/ent_info.h"
#include "ent/ent_items.h"

namespace velview {

int TEntTypeKssItem::Digit(int p) const {
    if (p < 1 || p > static_cast<int>(digits.size())) return 0;
    const char c = digits[static_cast<std::size_t>(p - 1)];
    return (c >= '0' && c <= '9') ? c - '0' : 0;
}

const char* TEntTypeKssItem::Mark(int p) const { return LevelMark(Digit(p) == 0 ? 4 : Digit(p)); }

void TEntTypeKss::SetDefaults() {
    items_ = {
        {"着手前及び完成写真", "000"}, {"施工状況写真", "333"}, {"安全管理写真", "300"},
        {"使用材料写真", "333"},       {"品質管理写真", "200"}, {"出来形管理写真", "222"},
        {"災害写真", "000"},           {"その他", "000"},
    };
}

int TEntTypeKss::IndexOf(std::string_view name) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].name == name) return static_cast<int>(i);
    return -1;
}

void TEntTypeKss::Load(std::string_view code) {
    items_.clear();
    TEntInfo& info = TEntInfo::Instance();
    TTreeIniItem* root = info.ClassificationRoot(code);
    const std::string kssItem = root ? root->Values().ReadString("KssItem") : std::string();
    if (kssItem.empty()) {
        SetDefaults();
        return;
    }
    TTreeIniItem* table = root->FindChild(kssItem);
    if (!table) return;
    for (int i = 0; i < table->Count(); ++i) {
        TTreeIniItem* e = table->Peek(i);
        if (!e) continue;
        std::string name = e->Values().ReadString("Name");
        std::string digits = e->Values().ReadString("KssIdx", "333");
        if (name.empty() || digits.empty()) continue;
        Add(std::move(name), std::move(digits));
    }
}

}  // namespace velview
