#include "browse/info_colours.h"

#include <cstring>

#include "browse/info_layout.h"
#include "common/text_encoding.h"
#include "data/field_index.h"
#include "data/pct_info.h"

namespace velview {
namespace {

CellColour Pink() { return CellColour::Rgb(kRequiredFaultRgb[0], kRequiredFaultRgb[1], kRequiredFaultRgb[2]); }
CellColour Yellow() { return CellColour::Rgb(kOtherFaultRgb[0], kOtherFaultRgb[1], kOtherFaultRgb[2]); }

std::string Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

bool ListContains(const std::vector<std::string>& list, std::string_view v) {
    for (const auto& s : list)
        if (s == v) return true;
    return false;
}

}  // namespace

CellColour InfoCellColour(const TCustomPctInfo& r, int field, int entry) {
    const auto ctx = CurrentCheckContext();
    const int item = ctx->ItemOf(field);
    if (item < 0) return CellColour::Window();
    const CellColour record = CheckColour(r, item);
    const char* mark = ctx->photoItems.Mark(item);
    const int dtd = ctx->dtdType;
    const StandardDependentFlags* flags = ctx->flags.get();

    if (entry >= 0) {
        const TPIStrings* list = r.FieldList(field);
        // Drawing names are stored with their folder; the item's length counts the name only.
        const std::string value = list ? DisplayEntry(field, list->Get(entry)) : std::string();
        const std::size_t max = static_cast<std::size_t>(ItemMaxLength(item));
        const bool tooLong = max > 0 && text::Cp932Length(value) > max;
        if ((field == fld::RefFNX || field == fld::RefTtX) && dtd > 1) {
            if (tooLong && std::strcmp(mark, "×") != 0) return Yellow();
            if ((std::strcmp(mark, "○") == 0 || std::strcmp(mark, "◎") == 0) && value.empty() && record == Pink()) return Pink();
            return CellColour::Window();
        }
        if (tooLong && std::strcmp(mark, "×") != 0) return Yellow();
        if (record == Pink()) return Pink();
        if (!value.empty() || std::strcmp(mark, "◎") != 0) return CellColour::Window();
        return record;
    }

    const std::string_view value = r.FieldView(field);
    if (field == fld::DaiPct && dtd > 2) {
        if (dtd == 5 && flags && flags->DaiPctNeed == 1) {
            if (value.empty()) return Pink();
            if (value != "0" && value != "1") return Yellow();
            if (value == "0" && ListContains(flags->NeedPctDaiKbn, r.FieldView(fld::PctKbn))) return Pink();
            return CellColour::Window();
        }
        return (!value.empty() && value != "1") ? Yellow() : CellColour::Window();
    }
    if (field == fld::FrqPct && dtd > 4 && flags) {
        if (!value.empty() && value != "0" && value != "1") return Yellow();
        if (value == "0" && flags->FrqPctIsOne) return Pink();
        if (value.empty() && !flags->AdmitZeroOrNullFrq) return Pink();
        return CellColour::Window();
    }
    if (field == fld::PctFJN && flags) {
        const std::string v = Trimmed(value);
        if (flags->FjnNeedDaiPct == 1 && v.empty() && r.FieldView(fld::DaiPct) == "1") return Pink();
        if (!flags->FjnHead.empty() && !v.empty() && v.rfind(flags->FjnHead, 0) != 0) return Yellow();
    }
    return record;
}

}  // namespace velview
