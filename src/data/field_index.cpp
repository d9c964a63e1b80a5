#include "data/field_index.h"

#include "common/text_encoding.h"

namespace velview {
namespace {

constexpr std::string_view kKeys[kFieldCount] = {
    "PctLBn", "PctKbn", "KshNam", "SbtNam", "SaiNam", "PctTtl", "PctKR1", "PctKR2", "PctKR3", "PctPlc",
    "PctFNm", "RefFN1", "RefFN2", "RefFN3", "PctFlg", "PctYMD", "PctFIR", "AddIfR", "FlmNum", "KomNum",
    "PctIfR", "SkoKan", "SkoKnR", "JkyExR", "UkeExR", "HtsExR", "PctIR1", "PctIR2", "PctIR3", "PctMIMID",
    "RedMM1ID", "RefMM2ID", "RefMM3ID", "ExtInf", "SktID", "KmkSel", "SrlNum", "MdaNum", "PctFJN", "PctKRX",
    "RefFNX", "RefFJX", "RefTtX", "RefMIX", "AddIRX", "TPcIRX", "SkoKRX", "PctIRX", "DaiPct", "TeiPct",
    "FrqPct", "KtkExR",
};

constexpr std::string_view kCaptions[kFieldCount] = {
    "写真-大分類", "写真区分", "工種", "種別", "細別", "写真タイトル", "工種区分予備1", "工種区分予備2",
    "工種区分予備3", "撮影箇所", "ファイル名", "参考図ファイル名1", "参考図ファイル名2", "参考図ファイル名3",
    "整理フラグ", "撮影年月日", "写真ファイル情報予備", "付加情報予備", "フィルム番号", "コマ番号",
    "撮影情報予備", "施工管理値", "施工管理値予備", "状況説明予備", "請負者説明文", "発注者説明文",
    "写真情報予備1", "写真情報予備2", "写真情報予備3", "写真MIME", "参考図1-MIME", "参考図2-MIME",
    "参考図3-MIME", "現在未使用", "測点ID ", "項目選択情報", "シリアル番号", "メディア番号", "ファイル日本語名",
    "工種区分予備", "参考図ファイル名", "参考図ファイル日本語名", "参考図タイトル", "参考図MIME",
    "付加情報予備（複）", "撮影情報予備（複）", "施工管理値予備（複）", "写真情報予備", "代表写真", "提出写真",
    "提出頻度写真", "監督員説明文",
};

}  // namespace

std::string_view FieldKey(int f) { return IsValidField(f) ? kKeys[f] : std::string_view(); }
std::string_view FieldCaption(int f) { return IsValidField(f) ? kCaptions[f] : std::string_view(); }

int FieldOfKey(std::string_view key) {
    for (int f = 0; f < kFieldCount; ++f)
        if (text::EqualsAsciiNoCase(kKeys[f], key)) return f;
    return -1;
}

}  // namespace velview
