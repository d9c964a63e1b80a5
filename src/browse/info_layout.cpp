#include "browse/info_layout.h"

#include "browse/photo_order.h"
#include "common/text_encoding.h"
#include "data/field_index.h"
#include "data/pct_info.h"

namespace velview {
namespace {

// The labels wrap in the pane's label column; the blanks are part of the design.
const char* const kFileInfoReserve = "写真ファイル        情報予備";
const char* const kFileJapaneseName = "写真ファイル        日本語名";
const char* const kDrawingJapaneseName = "ファイル            日本語名";

InfoRow R(const char* label, int field, bool perEntry = false) { return {label, field, perEntry}; }

}  // namespace

std::vector<InfoSection> InfoSections(ItemLayout layout, int dtdType, bool contractorIsJuchusha) {
    const std::string contractor = (contractorIsJuchusha || layout == ItemLayout::H || layout == ItemLayout::D) ? "受注者説明文" : "請負者説明文";
    std::vector<InfoSection> s;
    switch (layout) {
        case ItemLayout::Type1:
            s.push_back({"写真ファイル情報", {R("シリアル番号", 36), R("写真ファイル名", 10), R("メディア番号", 37), R("写真整理フラグ", 14), R(kFileInfoReserve, 16)}});
            s.push_back({"撮影工種区分", {R("写真：大分類", 0), R("写真区分", 1), R("工種", 2), R("種別", 3), R("細別", 4), R("写真タイトル", 5),
                                      R("工種区分予備１", 6), R("工種区分予備２", 7), R("工種区分予備３", 8)}});
            s.push_back({"付加情報", {R("参考図１", 11), R("参考図２", 12), R("参考図３", 13), R("撮影箇所", 9), R("付加情報予備", 17)}});
            s.push_back({"撮影情報", {R("撮影年月日", 15), R("フィルム番号", 18), R("コマ番号", 19), R("撮影情報予備", 20)}});
            s.push_back({"施工管理値", {R("施工管理値", 21), R("施工管理値予備", 22)}});
            s.push_back({"状況説明", {R("状況説明予備", 23)}});
            s.push_back({"その他", {InfoRow{contractor, 24, false}, R("発注者説明文", 25), R("写真情報予備１", 26), R("写真情報予備２", 27),
                                 R("写真情報予備３", 28)}});
            s.push_back({"MIME TYPE", {R("写真MIME", 29), R("参考図１-MIME", 30), R("参考図２-MIME", 31), R("参考図３-MIME", 32)}});
            return s;
        case ItemLayout::Type2:
            s.push_back({"写真ファイル情報", {R("シリアル番号", 36), R("写真ファイル名", 10), R(kFileJapaneseName, 38), R("メディア番号", 37),
                                          R("写真MIME", 29), R(kFileInfoReserve, 16)}});
            s.push_back({"撮影工種区分", {R("写真：大分類", 0), R("写真区分", 1), R("工種", 2), R("種別", 3), R("細別", 4), R("写真タイトル", 5),
                                      R("工種区分予備", 39, true)}});
            s.push_back({"付加情報", {R("ファイル名", 40), R(kDrawingJapaneseName, 41), R("タイトル", 42), R("参考図MIME", 43), R("付加情報予備", 44)}, true});
            s.push_back({"撮影情報", {R("撮影箇所", 9), R("撮影年月日", 15), R("撮影情報予備", 45, true)}});
            s.push_back({"施工管理値", {R("施工管理値", 21), R("施工管理値予備", 46, true)}});
            s.push_back({"状況説明", {R("状況説明予備", 23)}});
            s.push_back({"その他", {InfoRow{contractor, 24, false}, R("写真情報予備", 47, true)}});
            return s;
        case ItemLayout::D:
            s.push_back({"写真ファイル情報", {R("シリアル番号", 36), R("写真ファイル名", 10), R("メディア番号", 37)}});
            s.push_back({"撮影工種区分", {R("写真：大分類", 0), R("写真区分", 1), R("工種", 2), R("種別", 3), R("細別", 4), R("写真タイトル", 5),
                                      R("工種区分予備", 39, true)}});
            s.push_back({"付加情報", {R("ファイル名", 40), R("タイトル", 42), R("付加情報予備", 44)}, true});
            s.push_back({"撮影情報", {R("撮影箇所", 9), R("撮影年月日", 15)}});
            s.push_back({"施工管理値", {R("施工管理値", 21)}});
            s.push_back({"その他", {InfoRow{"受注者説明文", 24, false}}});
            return s;
        case ItemLayout::Type34:
        case ItemLayout::Type5:
        case ItemLayout::H: {
            s.push_back({"写真ファイル情報", {R("シリアル番号", 36), R("写真ファイル名", 10), R(kFileJapaneseName, 38), R("メディア番号", 37)}});
            s.push_back({"撮影工種区分", {R("写真-大分類", 0), R("写真区分", 1), R("工種", 2), R("種別", 3), R("細別", 4), R("写真タイトル", 5),
                                      R("工種区分予備", 39, true)}});
            s.push_back({"付加情報", {R("ファイル名", 40), R(kDrawingJapaneseName, 41), R("タイトル", 42), R("付加情報予備", 44), R("", -1)}, true});
            s.push_back({"撮影情報", {R("撮影箇所", 9), R("撮影年月日", 15)}});
            InfoSection sko{dtdType >= 3 ? "施工管理値・その他" : "施工管理値", {R("施工管理値", 21), R("代表写真", 48)}};
            if (layout != ItemLayout::Type34) sko.rows.push_back(R("提出頻度写真", 50));
            sko.rows.push_back(InfoRow{contractor, 24, false});
            if (layout == ItemLayout::H) sko.rows.push_back(R("監督員説明文", 51));
            s.push_back(sko);
            return s;
        }
    }
    return s;
}

std::vector<GridColumn> GridColumns(ItemLayout layout) {
    struct Def {
        const char* caption;
        int field;
    };
    std::vector<Def> defs;
    std::vector<int> shown;
    const auto range = [](int a, int b) {
        std::vector<int> r;
        for (int i = a; i <= b; ++i) r.push_back(i);
        return r;
    };
    switch (layout) {
        case ItemLayout::Type1:
            defs = {{"ｼﾘｱﾙ番号", 36}, {"写真ファイル名", 10}, {"メディア番号", 37}, {"写真整理フラグ", 14}, {"写真ファイル情報予備", 16},
                    {"写真-大分類", 0}, {"写真区分", 1}, {"工種", 2}, {"種別", 3}, {"細別", 4}, {"写真タイトル", 5}, {"工種区分予備1", 6},
                    {"工種区分予備2", 7}, {"工種区分予備3", 8}, {"参考図1", 11}, {"参考図2", 12}, {"参考図3", 13}, {"撮影箇所", 9},
                    {"付加情報予備", 17}, {"撮影年月日", 15}, {"フィルム番号", 18}, {"コマ番号", 19}, {"撮影情報予備", 20}, {"施工管理値", 21},
                    {"施工管理値予備", 22}, {"状況説明予備", 23}, {"請負者説明文", 24}, {"発注者説明文", 25}, {"写真情報予備1", 26},
                    {"写真情報予備2", 27}, {"写真情報予備3", 28}, {"写真MIME", 29}, {"参考図1-MIME", 30}, {"参考図2-MIME", 31}, {"参考図3-MIME", 32}};
            shown = range(5, 10);
            shown.push_back(17);
            break;
        case ItemLayout::Type2:
            defs = {{"ｼﾘｱﾙ番号", 36}, {"写真ファイル名", 10}, {"写真ファイル日本語名", 38}, {"メディア番号", 37}, {"写真MIME", 29},
                    {"写真ファイル情報予備", 16}, {"写真-大分類", 0}, {"写真区分", 1}, {"工種", 2}, {"種別", 3}, {"細別", 4}, {"写真タイトル", 5},
                    {"工種区分予備", 39}, {"参考図ファイル名", 40}, {"参考図ファイル日本語名", 41}, {"参考図タイトル", 42}, {"参考図MIME", 43},
                    {"付加情報予備", 44}, {"撮影箇所", 9}, {"撮影年月日", 15}, {"撮影情報予備", 45}, {"施工管理値", 21}, {"施工管理値予備", 46},
                    {"状況説明予備", 23}, {"請負者説明文", 24}, {"写真情報予備", 47}};
            shown = range(6, 11);
            shown.push_back(18);
            break;
        case ItemLayout::Type34:
        case ItemLayout::Type5:
        case ItemLayout::H:
            defs = {{"ｼﾘｱﾙ番号", 36}, {"写真ファイル名", 10}, {"写真ファイル日本語名", 38}, {"メディア番号", 37}, {"写真-大分類", 0},
                    {"写真区分", 1}, {"工種", 2}, {"種別", 3}, {"細別", 4}, {"写真タイトル", 5}, {"工種区分予備", 39}, {"参考図ファイル名", 40},
                    {"参考図ファイル日本語名", 41}, {"参考図タイトル", 42}, {"付加情報予備", 44}, {"撮影箇所", 9}, {"撮影年月日", 15},
                    {"代表写真", 48}};
            if (layout != ItemLayout::Type34) defs.push_back({"提出頻度写真", 50});
            defs.push_back({"施工管理値", 21});
            defs.push_back({"請負者説明文", 24});
            if (layout == ItemLayout::H) defs.push_back({"監督員説明文", 51});
            shown = range(4, 9);
            shown.push_back(15);
            break;
        case ItemLayout::D:
            defs = {{"ｼﾘｱﾙ番号", 36}, {"写真ファイル名", 10}, {"メディア番号", 37}, {"写真-大分類", 0}, {"写真区分", 1}, {"工種", 2},
                    {"種別", 3}, {"細別", 4}, {"写真タイトル", 5}, {"工種区分予備", 39}, {"参考図ファイル名", 40}, {"参考図タイトル", 42},
                    {"付加情報予備", 44}, {"撮影箇所", 9}, {"撮影年月日", 15}, {"施工管理値", 21}, {"受注者説明文", 24}};
            shown = range(3, 8);
            shown.push_back(13);
            break;
    }
    shown.push_back(0);
    shown.push_back(1);
    std::vector<GridColumn> columns;
    for (std::size_t i = 0; i < defs.size(); ++i) {
        bool on = false;
        for (int n : shown) on = on || n == static_cast<int>(i);
        columns.push_back({defs[i].caption, defs[i].field, on});
    }
    return columns;
}

const char* GridSettingPrefix(ItemLayout layout) {
    switch (layout) {
        case ItemLayout::Type1: return "Gs";
        case ItemLayout::Type2: return "GsFx1";
        case ItemLayout::Type34: return "GsFx2";
        case ItemLayout::Type5: return "GsFx3";
        case ItemLayout::D: return "GsNFx";
        case ItemLayout::H: return "GsHSRFx";
    }
    return "Gs";
}

std::string DisplayEntry(int listField, const std::string& entry) {
    return listField == fld::RefFNX ? std::string(FileNamePart(entry)) : entry;
}

std::string DisplayValue(const TCustomPctInfo& record, int field) {
    if (field >= fld::PctFNm && field <= fld::RefFN3) return std::string(FileNamePart(record.FieldView(field)));
    if (const TPIStrings* list = record.FieldList(field)) {
        std::string out;
        for (int i = 0; i < list->Count(); ++i) {
            if (i) out += '\n';
            out += DisplayEntry(field, list->Get(i));
        }
        return out;
    }
    return record.GetField(field);
}

namespace {

bool IsBlank(char32_t c) { return c == U' ' || c == U'\t' || c == U'\u3000'; }

std::string Trim(std::string_view s) {
    std::size_t a = 0, b = s.size();
    // Leading and trailing blanks, the double-byte blank included.
    for (;;) {
        std::size_t p = a;
        char32_t c = 0;
        if (a < b && text::NextCodePoint(s, p, c) && IsBlank(c)) {
            a = p;
            continue;
        }
        break;
    }
    while (b > a) {
        if (s[b - 1] == ' ' || s[b - 1] == '\t') {
            --b;
        } else if (b - a >= 3 && s.substr(b - 3, 3) == "\u3000") {
            b -= 3;
        } else {
            break;
        }
    }
    return std::string(s.substr(a, b - a));
}

bool IsValueChar(char32_t c) {
    if ((c >= U'0' && c <= U'9') || c == U'+' || c == U'-' || c == U'.' || c == U',' || c == U' ' || c == U'\'' || c == U'"' ||
        c == U':')
        return true;
    return c == U'\uFF9F' || c == U'°' || c == U'′' || c == U'″' || c == U'：';
}

// A value and its unit: the leading run of value characters, and the rest.
void ValueAndUnit(std::string_view part, std::string& value, std::string& unit) {
    std::size_t pos = 0, end = 0;
    bool digit = false;
    while (pos < part.size()) {
        std::size_t next = pos;
        char32_t c = 0;
        if (!text::NextCodePoint(part, next, c) || !IsValueChar(c)) break;
        digit = digit || (c >= U'0' && c <= U'9');
        pos = next;
        end = pos;
    }
    value = digit ? Trim(part.substr(0, end)) : std::string();
    unit = Trim(digit ? part.substr(end) : part);
}

// The rest of a text from its first sign, point or digit.
std::string_view FromNumber(std::string_view s) {
    const std::size_t at = s.find_first_of("+-.0123456789");
    return at == std::string_view::npos ? std::string_view() : s.substr(at);
}

}  // namespace

std::vector<SkoRow> ParseSkoTable(std::string_view text) {
    std::vector<SkoRow> rows;
    std::vector<std::string_view> entries;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t sep = 0;
        if (text[i] == ';') sep = 1;
        else if (text.substr(i, 3) == "、" || text.substr(i, 3) == "｜") sep = 3;
        if (sep) {
            entries.push_back(text.substr(start, i - start));
            i += sep;
            start = i;
        } else {
            ++i;
        }
    }
    entries.push_back(text.substr(start));
    for (std::string_view entry : entries) {
        if (Trim(entry).empty()) continue;
        SkoRow row;
        std::size_t colon = entry.find(':');
        std::size_t colonLength = 1;
        if (const std::size_t wide = entry.find("："); wide != std::string_view::npos && (colon == std::string_view::npos || wide < colon)) {
            colon = wide;
            colonLength = 3;
        }
        const bool design = entry.find("設計") != std::string_view::npos;
        const bool measured = entry.find("実測") != std::string_view::npos;
        if (colon == std::string_view::npos || (!design && !measured)) {
            row.name = Trim(entry);
            rows.push_back(row);
            continue;
        }
        row.name = Trim(entry.substr(0, colon));
        const std::string_view rest = entry.substr(colon + colonLength);
        if (design) {
            const std::string_view d = FromNumber(rest);
            const std::size_t dot = d.find("・");
            if (dot != std::string_view::npos) {
                ValueAndUnit(d.substr(0, dot), row.design, row.designUnit);
                ValueAndUnit(FromNumber(d.substr(dot + 3)), row.measured, row.measuredUnit);
            } else {
                ValueAndUnit(d, row.design, row.designUnit);
            }
        } else {
            ValueAndUnit(FromNumber(rest), row.measured, row.measuredUnit);
        }
        rows.push_back(row);
    }
    return rows;
}

}  // namespace velview
