#include "ent/item_layouts.h"

#include <cstring>

#include "ent/code_sets.h"

namespace velview {
namespace {

constexpr PhotoItemDef kType1[] = {
    {"SrlNum", 15},  {"PctFNm", 80},   {"MdaNum", 8},    {"PctFlg", 1},    {"PctFIR", 255}, {"PctLBn", 16},
    {"PctKbn", 32},  {"KshNam", 40},   {"SbtNam", 40},   {"SaiNam", 40},   {"PctTtl", 80},  {"PctKR1", 40},
    {"PctKR2", 40},  {"PctKR3", 40},   {"RefFN1", 80},   {"RefFN2", 80},   {"RefFN3", 80},  {"PctPlc", 127},
    {"AddIfR", 255}, {"PctYMD", 8},    {"FlmNum", 8},    {"KomNum", 8},    {"PctIfR", 255}, {"SkoKan", 255},
    {"SkoKnR", 255}, {"JkyExR", 255},  {"UkeExR", 255},  {"HtsExR", 255},  {"PctIR1", 255}, {"PctIR2", 255},
    {"PctIR3", 255}, {"PctMIMID", 127}, {"RedMM1ID", 127}, {"RefMM2ID", 127}, {"RefMM3ID", 127},
};
constexpr PhotoItemDef kType2[] = {
    {"SrlNum", 7},   {"PctFNm", 12},  {"PctFJN", 254}, {"MdaNum", 8},   {"PctMIMID", 127}, {"PctFIR", 254},
    {"PctLBn", 16},  {"PctKbn", 32},  {"KshNam", 40},  {"SbtNam", 40},  {"SaiNam", 40},    {"PctTtl", 80},
    {"PctKRX", 40},  {"RefFNX", 12},  {"RefFJX", 254}, {"RefTtX", 80},  {"RefMIX", 127},   {"AddIRX", 254},
    {"PctPlc", 128}, {"PctYMD", 10},  {"TPcIRX", 254}, {"SkoKan", 254}, {"SkoKRX", 254},   {"JkyExR", 254},
    {"UkeExR", 254}, {"PctIRX", 254},
};
constexpr PhotoItemDef kType34[] = {
    {"SrlNum", 7},   {"PctFNm", 12},  {"PctFJN", 254}, {"MdaNum", 8},   {"PctLBn", 16},  {"PctKbn", 254},
    {"KshNam", 254}, {"SbtNam", 254}, {"SaiNam", 254}, {"PctTtl", 254}, {"PctKRX", 254}, {"RefFNX", 12},
    {"RefFJX", 254}, {"RefTtX", 254}, {"AddIRX", 254}, {"PctPlc", 254}, {"PctYMD", 10},  {"DaiPct", 1},
    {"SkoKan", 254}, {"UkeExR", 254},
};
constexpr PhotoItemDef kType5[] = {
    {"SrlNum", 7},   {"PctFNm", 12},  {"PctFJN", 254}, {"MdaNum", 8},   {"PctLBn", 16},  {"PctKbn", 254},
    {"KshNam", 254}, {"SbtNam", 254}, {"SaiNam", 254}, {"PctTtl", 254}, {"PctKRX", 254}, {"RefFNX", 12},
    {"RefFJX", 254}, {"RefTtX", 254}, {"AddIRX", 254}, {"PctPlc", 254}, {"PctYMD", 10},  {"DaiPct", 1},
    {"FrqPct", 1},   {"SkoKan", 254}, {"UkeExR", 254},
};
constexpr PhotoItemDef kLayoutH[] = {
    {"SrlNum", 7},   {"PctFNm", 12},  {"PctFJN", 254}, {"MdaNum", 8},   {"PctLBn", 16},  {"PctKbn", 254},
    {"KshNam", 254}, {"SbtNam", 254}, {"SaiNam", 254}, {"PctTtl", 254}, {"PctKRX", 254}, {"RefFNX", 12},
    {"RefFJX", 254}, {"RefTtX", 254}, {"AddIRX", 254}, {"PctPlc", 254}, {"PctYMD", 10},  {"DaiPct", 1},
    {"FrqPct", 1},   {"SkoKan", 254}, {"UkeExR", 254}, {"KtkExR", 254},
};
constexpr PhotoItemDef kLayoutD[] = {
    {"SrlNum", 7},   {"PctFNm", 12},  {"MdaNum", 8},   {"PctLBn", 8},   {"PctKbn", 127}, {"KshNam", 127},
    {"SbtNam", 127}, {"SaiNam", 127}, {"PctTtl", 127}, {"PctKRX", 127}, {"RefFNX", 12},  {"RefTtX", 127},
    {"AddIRX", 127}, {"PctPlc", 127}, {"PctYMD", 10},  {"SkoKan", 127}, {"UkeExR", 127},
};

const std::vector<const char*> kNames1 = {
    "シリアル番号", "写真ファイル名", "メディア番号", "写真整理フラグ", "写真ファイル情報予備", "写真-大分類",
    "写真区分", "工種", "種別", "細別", "写真タイトル", "工種区分予備1", "工種区分予備2", "工種区分予備3",
    "参考図1", "参考図2", "参考図3", "撮影箇所", "付加情報予備", "撮影年月日", "フィルム番号", "コマ番号",
    "撮影情報予備", "施工管理値", "施工管理値予備", "状況説明予備", "請負者説明文", "発注者説明文",
    "写真情報予備1", "写真情報予備2", "写真情報予備3", "写真MIME", "参考図1-MIME", "参考図2-MIME",
    "参考図3-MIME"};
const std::vector<const char*> kNames2 = {
    "シリアル番号", "写真ファイル名", "写真ファイル日本語名", "メディア番号", "写真MIME", "写真ファイル情報予備",
    "写真-大分類", "写真区分", "工種", "種別", "細別", "写真タイトル", "工種区分予備", "参考図ファイル名",
    "参考図ファイル日本語名", "参考図タイトル", "参考図MIME", "付加情報予備", "撮影箇所", "撮影年月日",
    "撮影情報予備", "施工管理値", "施工管理値予備", "状況説明予備", "請負者説明文", "写真情報予備"};
const std::vector<const char*> kNames34 = {
    "シリアル番号", "写真ファイル名", "写真ファイル日本語名", "メディア番号", "写真-大分類", "写真区分", "工種",
    "種別", "細別", "写真タイトル", "工種区分予備", "参考図ファイル名", "参考図ファイル日本語名", "参考図タイトル",
    "付加情報予備", "撮影箇所", "撮影年月日", "代表写真", "施工管理値", "請負者説明文"};
const std::vector<const char*> kNamesD = {
    "シリアル番号", "写真ファイル名", "メディア番号", "写真-大分類", "写真区分", "工種", "種別", "細別",
    "写真タイトル", "工種区分予備", "参考図ファイル名", "参考図タイトル", "付加情報予備", "撮影箇所",
    "撮影年月日", "施工管理値", "受注者説明文"};

}  // namespace

ItemLayout LayoutFor(int dtdType, std::string_view code, bool isHokkaidoSuiRinH27) {
    if (IsExpresswayLayoutCode(code)) return ItemLayout::D;
    if (isHokkaidoSuiRinH27) return ItemLayout::H;
    if (dtdType <= 1) return ItemLayout::Type1;
    if (dtdType == 2) return ItemLayout::Type2;
    if (dtdType <= 4) return ItemLayout::Type34;
    return ItemLayout::Type5;
}

const char* LayoutName(ItemLayout layout) {
    switch (layout) {
        case ItemLayout::Type1: return "1";
        case ItemLayout::Type2: return "2";
        case ItemLayout::Type34: return "3/4";
        case ItemLayout::Type5: return "5";
        case ItemLayout::H: return "H";
        case ItemLayout::D: return "D";
    }
    return "?";
}

std::span<const PhotoItemDef> PhotoItemTable(ItemLayout layout) {
    switch (layout) {
        case ItemLayout::Type1: return kType1;
        case ItemLayout::Type2: return kType2;
        case ItemLayout::Type34: return kType34;
        case ItemLayout::Type5: return kType5;
        case ItemLayout::H: return kLayoutH;
        case ItemLayout::D: return kLayoutD;
    }
    return {};
}

std::vector<std::string> PhotoItemNames(ItemLayout layout, bool isKokH22) {
    std::vector<std::string> names;
    switch (layout) {
        case ItemLayout::Type1: names.assign(kNames1.begin(), kNames1.end()); break;
        case ItemLayout::Type2: names.assign(kNames2.begin(), kNames2.end()); break;
        case ItemLayout::Type34: names.assign(kNames34.begin(), kNames34.end()); break;
        case ItemLayout::Type5:
        case ItemLayout::H:
            names.assign(kNames34.begin(), kNames34.end());
            names.insert(names.begin() + 18, "提出頻度写真");
            if (layout == ItemLayout::H) names.push_back("監督員説明文");
            break;
        case ItemLayout::D: names.assign(kNamesD.begin(), kNamesD.end()); break;
    }
    if (isKokH22)
        for (auto& n : names)
            if (n == "請負者説明文") n = "受注者説明文";
    return names;
}

int PhotoItemMaxLength(ItemLayout layout, std::string_view code, int maxExtPic, int maxExtRef, int item) {
    auto table = PhotoItemTable(layout);
    if (item < 0 || item >= static_cast<int>(table.size())) return 0;
    const PhotoItemDef& d = table[static_cast<std::size_t>(item)];
    int len = d.maxLength;
    auto is = [&](const char* key) { return std::strcmp(d.fieldKey, key) == 0; };
    if (code == "N43001704" && (is("KshNam") || is("SbtNam") || is("SaiNam"))) len = 254;
    if (maxExtPic == 4 && is("PctFNm")) len = 13;
    if (maxExtRef == 4 && is("RefFNX")) len = 13;
    return len;
}

std::vector<NamedItem> BasicItems(ItemLayout layout, std::string_view code) {
    std::vector<NamedItem> items;
    switch (layout) {
        case ItemLayout::Type1:
            items = {{"DTDバージョン", 127}, {"写真フォルダ名", 127}, {"参考図フォルダ名", 127},
                     {"媒体情報予備", 127},  {"ソフトウェア名", 127}, {"バージョン情報", 127},
                     {"メーカ名", 127},      {"メーカ連絡先", 255},   {"ソフトメーカ用TAG", 127}};
            break;
        case ItemLayout::Type2:
            items = {{"写真フォルダ名", 127}, {"参考図フォルダ名", 127}, {"適用基準", 128},
                     {"媒体情報予備", 128},   {"ソフトウェア名", 128},   {"バージョン情報", 127},
                     {"メーカ名", 128},       {"メーカ連絡先", 254},     {"ソフトメーカ用TAG", 128}};
            break;
        case ItemLayout::Type34:
            items = {{"写真フォルダ名", 127}, {"参考図フォルダ名", 127}, {"適用要領基準", 60}, {"ソフトメーカ用TAG", 254}};
            break;
        case ItemLayout::Type5:
        case ItemLayout::H:
            items = {{"写真フォルダ名", 9}, {"参考図フォルダ名", 9}, {"適用要領基準", 60}, {"ソフトメーカ用TAG", 254}};
            break;
        case ItemLayout::D:
            items = {{"写真フォルダ名", 5}, {"参考図フォルダ名", 5}, {"適用要領", 60}, {"ソフトウェア名", 128},
                     {"バージョン情報", 127}, {"メーカ名", 128}, {"メーカ連絡先", 254}, {"ソフトメーカ用TAG", 254}};
            break;
    }
    if (code == "ETH000001" && items.size() > 2) items[2].maxLength = 4;
    return items;
}

std::vector<NamedItem> ConstructionItems(int dtdType, int variantClass, std::string_view code) {
    if (dtdType <= 1)
        return {{"発注年度", 4},        {"工事番号", 127},      {"河川路線名等", 127},  {"工事名称", 255},
                {"工事箇所", 127},      {"工期開始日", 8},      {"工期終了日", 8},      {"発注者-大分類", 32},
                {"発注者-中分類", 32},  {"発注者-小分類", 32},  {"発注者コード", 8},    {"請負者名", 255},
                {"請負者コード", 127},  {"発注者備考", 255},    {"請負者備考", 255}};
    if (dtdType != 2) return {};
    std::vector<NamedItem> items = {
        {"発注年度", 4},       {"工事番号", 64},      {"河川-路線名等", 128}, {"工事名称", 254},   {"工事箇所", 128},
        {"工期開始日", 10},    {"工期終了日", 10},    {"発注者-大分類", 32},  {"発注者-中分類", 32},
        {"発注者-小分類", 32}, {"発注者コード", 8},   {"請負者名", 254},      {"請負者コード", 64}, {"請負者備考", 254}};
    if (variantClass == 3) {
        items[1].name = "案件番号";
        items[2].name = "路線水系名等";
        if (code == "N00001504") items[1].maxLength = 20;
        if (code == "N43001704") items[1].maxLength = 21;
    }
    return items;
}

std::string ClassLabel(ItemLayout layout, int dtdType, int digit) {
    const bool d = layout == ItemLayout::D;
    const bool type1 = !d && dtdType <= 1;
    const bool modern = !d && dtdType >= 3;
    switch (digit) {
        case 1: return "半角英数字";
        case 2: return "半角英数大文字";
        case 3: return "半角数字";
        case 4: return type1 ? "全角文字（ただし英数字は半角のみ）" : "全角文字・半角英数字";
        case 5: return type1 ? "全角文字（ただし英数字は半角大文字のみ）" : "全角文字・半角英数大文字";
        case 6: return type1 ? "全角文字（ただし英数字は含まない）" : "全角文字";
        case 7: return (d || modern) ? "半角数字・ - (HYPHEN-MINUS)" : "半角英数字";
        case 8: return modern ? "半角英大文字" : "";
        case 0:
            if (d) return "半角数字";
            if (modern && dtdType >= 4) return "半角英大文字";
            return "半角英数字";
        default: return "";
    }
}

const char* LengthColumnTitle(int dtdType) { return dtdType <= 1 ? "データ長" : "文字数"; }

}  // namespace velview
