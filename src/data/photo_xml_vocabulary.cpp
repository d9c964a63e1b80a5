#include "data/photo_xml_vocabulary.h"

#include <string>

#include "common/text_encoding.h"
#include "data/field_index.h"

namespace velview {

// In the order the names are tested; "PHOTO02N.DTD" does not contain "PHOTO02.DTD", so
// neither hides the other.
const DocumentType kDocumentTypes[6] = {
    {"PHOTO.DTD", 1, 1},   {"PHOTO02.DTD", 2, 0}, {"PHOTO02N.DTD", 2, 3},
    {"PHOTO03.DTD", 3, 6}, {"PHOTO04.DTD", 4, 7}, {"PHOTO05.DTD", 5, 8},
};

const DocumentType* MatchDocumentType(std::string_view tag) {
    std::string upper(tag);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (const DocumentType& d : kDocumentTypes)
        if (upper.find(d.systemId) != std::string::npos) return &d;
    return nullptr;
}

int BasicInfoField(std::string_view e) {
    static const std::pair<std::string_view, int> kTable[] = {
        {"DTDバージョン", 1}, {"写真フォルダ名", 2}, {"参考図フォルダ名", 3}, {"媒体情報予備", 4},
        {"ソフトウェア名", 5}, {"バージョン情報", 6}, {"メーカ名", 7}, {"メーカ連絡先", 8},
        {"ソフトメーカ用TAG", 9}, {"適用基準", 10}, {"適用要領基準", 10}, {"適用要領", 10},
    };
    for (const auto& [name, field] : kTable)
        if (e == name) return field;
    return 0;
}

int ConstructionInfoField(std::string_view e) {
    static const std::pair<std::string_view, int> kTable[] = {
        {"発注年度", 1},       {"工事番号", 2},       {"案件番号", 2},       {"河川路線名等", 3},
        {"河川-路線名等", 3},  {"路線水系名等", 3},   {"工事名称", 4},       {"工事箇所", 5},
        {"工期開始日", 6},     {"工期終了日", 7},     {"発注者-大分類", 8},  {"発注者-中分類", 9},
        {"発注者-小分類", 10}, {"発注者コード", 11},  {"請負者名", 12},      {"請負者コード", 13},
        {"発注者備考", 14},    {"請負者備考", 15},
    };
    for (const auto& [name, field] : kTable)
        if (e == name) return field;
    return 0;
}

namespace {
struct PhotoItem {
    std::string_view name;
    int field;
};
constexpr PhotoItem kPhotoItems[45] = {
    {"シリアル番号", fld::SrlNum},        {"写真ファイル名", fld::PctFNm},     {"メディア番号", fld::MdaNum},
    {"写真整理フラグ", fld::PctFlg},      {"写真ファイル情報予備", fld::PctFIR}, {"写真-大分類", fld::PctLBn},
    {"写真区分", fld::PctKbn},            {"工種", fld::KshNam},               {"種別", fld::SbtNam},
    {"細別", fld::SaiNam},                {"写真タイトル", fld::PctTtl},       {"工種区分予備1", fld::PctKR1},
    {"工種区分予備2", fld::PctKR2},       {"工種区分予備3", fld::PctKR3},      {"参考図1", fld::RefFN1},
    {"参考図2", fld::RefFN2},             {"参考図3", fld::RefFN3},            {"撮影箇所", fld::PctPlc},
    {"付加情報予備", fld::AddIRX},        {"撮影年月日", fld::PctYMD},         {"フィルム番号", fld::FlmNum},
    {"コマ番号", fld::KomNum},            {"撮影情報予備", fld::TPcIRX},       {"施工管理値", fld::SkoKan},
    {"施工管理値予備", fld::SkoKRX},      {"状況説明予備", fld::JkyExR},       {"請負者説明文", fld::UkeExR},
    {"発注者説明文", fld::HtsExR},        {"写真情報予備1", fld::PctIR1},      {"写真情報予備2", fld::PctIR2},
    {"写真情報予備3", fld::PctIR3},       {"写真MIME", fld::PctMIMID},         {"参考図1-MIME", fld::RedMM1ID},
    {"参考図2-MIME", fld::RefMM2ID},      {"参考図3-MIME", fld::RefMM3ID},     {"写真ファイル日本語名", fld::PctFJN},
    {"工種区分予備", fld::PctKRX},        {"参考図ファイル名", fld::RefFNX},   {"参考図ファイル日本語名", fld::RefFJX},
    {"参考図タイトル", fld::RefTtX},      {"参考図MIME", fld::RefMIX},         {"写真情報予備", fld::PctIRX},
    {"代表写真", fld::DaiPct},            {"提出頻度写真", fld::FrqPct},       {"監督員説明文", fld::KtkExR},
};
}  // namespace

int PhotoItemPosition(std::string_view e) {
    for (int i = 0; i < 45; ++i)
        if (kPhotoItems[i].name == e) return i;
    return -1;
}

int PhotoItemField(int position) { return (position >= 0 && position < 45) ? kPhotoItems[position].field : -1; }

bool IsRepeatingGroupElement(std::string_view e) {
    return e == "撮影情報予備" || e == "施工管理値予備" || e == "工種区分予備" || e == "写真情報予備" || e == "付加情報";
}

}  // namespace velview
