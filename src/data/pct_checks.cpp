#include "data/pct_checks.h"

#include <algorithm>
#include <mutex>

#include "checks/work_type_master.h"
#include "common/text_encoding.h"
#include "data/field_index.h"
#include "data/pct_info.h"
#include "ent/current_standard.h"
#include "ent/ent_info.h"

namespace velview {
namespace {

std::mutex g_mutex;
std::shared_ptr<const CheckContext> g_context;
std::string g_key;

// Everything of the current standard that the context depends on.
std::string ContextKey(const TEntType& s) {
    return s.code + '\n' + std::to_string(s.dtdVer) + '\n' + s.Items(ItemGroup::Photo).Need() + '\n' +
           (s.chkKsh ? "1" : "0") + '\n' + std::to_string(TEntInfo::Instance().Generation());
}

std::shared_ptr<const CheckContext> Build(const TEntType& s) {
    auto c = std::make_shared<CheckContext>();
    c->code = s.code;
    c->dtdType = s.dtdVer;
    c->variantClass = s.VariantClass();
    c->workTypeCheck = s.chkKsh;
    c->flags = StandardFlagsPtr(s.code);
    c->layout = LayoutFor(s.dtdVer, s.code, c->flags->IsHokkaidoSuiRinH27);
    c->photoItems = s.Items(ItemGroup::Photo);
    c->kss = s.kss;
    c->itemOfField.fill(-1);
    const auto table = PhotoItemTable(c->layout);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const int f = FieldOfKey(table[i].fieldKey);
        c->fieldOfItem.push_back(f);
        if (f >= 0) c->itemOfField[static_cast<std::size_t>(f)] = static_cast<int>(i);
        c->maxLength.push_back(PhotoItemMaxLength(c->layout, s.code, c->flags->MaxExtLength_Pic,
                                                  c->flags->MaxExtLength, static_cast<int>(i)));
    }
    c->majorCategories = TEntInfo::Instance().MajorCategories(s.code);
    c->photoCategories = TEntInfo::Instance().PhotoCategories(s.code);
    c->ruleActive = TRuleInspector::Instance().Active();
    return c;
}

bool Contains(const std::vector<std::string>& list, std::string_view v) {
    for (const auto& s : list)
        if (s == v) return true;
    return false;
}

std::string_view FileNamePart(std::string_view v) {
    const std::size_t p = v.find_last_of("\\/");
    return p == std::string_view::npos ? v : v.substr(p + 1);
}

std::size_t MeasuredLength(const CheckContext& c, std::string_view v) {
    if (c.layout != ItemLayout::D) return text::Cp932Length(v);
    // Layout D counts characters: a double-byte character is one.
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < v.size();) {
        char32_t cp = 0;
        text::NextCodePoint(v, pos, cp);
        ++n;
    }
    return n;
}

// --- the per-field checks; each returns whether field f is a fault ---

bool FrequencyRuleApplies(const CheckContext& c, const TCustomPctInfo& r) {
    return c.dtdType < 5 || c.flags->CheckKshIgnoreFrq || r.FieldView(fld::FrqPct) == "1";
}

bool RequiredFault(const CheckContext& c, const TCustomPctInfo& r, int f) {
    const int level = c.Level(f);
    const std::string value = r.GetField(f);
    const TPIStrings* drawings = r.FieldList(fld::RefFNX);
    bool fault = false;
    if (level == 1) {
        if (f == fld::PctYMD) {
            fault = value.empty() || value == "00000000";
        } else if (f == fld::DaiPct || f == fld::FrqPct) {
            fault = false;
        } else if ((f == fld::RefFNX || f == fld::RefFJX || f == fld::RefTtX || f == fld::AddIRX) && c.dtdType >= 3) {
            // Each reference drawing must have its name, title and additional information.
            if (f != fld::RefFNX && drawings->Count() > 0) {
                const TPIStrings* list = r.FieldList(f);
                for (int k = 0; k < drawings->Count() && !fault; ++k) fault = list->Get(k).empty();
            }
        } else {
            fault = value.empty() || value.find("\r\n\r\n") != std::string::npos || value.rfind("\r\n", 0) == 0;
        }
    } else if (c.workTypeCheck && (f == fld::KshNam || f == fld::SbtNam || f == fld::SaiNam) && value.empty()) {
        if (FrequencyRuleApplies(c, r)) {
            const int entry = c.kss.IndexOf(r.FieldView(fld::PctKbn));
            fault = entry >= 0 && c.kss[entry].Digit(f - 1) == 2;
        }
    }
    if (!fault && f == fld::RefTtX && c.dtdType > 1 && level == 2) {
        const TPIStrings* titles = r.FieldList(fld::RefTtX);
        for (int k = 0; k < drawings->Count() && !fault; ++k) fault = titles->Get(k).empty();
    }
    if (!fault && f == fld::SkoKan && c.dtdType == 2 && level == 2 && TrimControl(value).empty()) {
        for (const auto& e : r.FieldList(fld::SkoKRX)->Items()) fault = fault || !e.empty();
    }
    if (!fault && f == fld::PctPlc) fault = value.empty() && Contains(c.flags->NeedPctPlcKbn, r.FieldView(fld::PctKbn));
    if (!fault && f == fld::DaiPct) fault = value.empty() && Contains(c.flags->NeedPctDaiKbn, r.FieldView(fld::PctKbn));
    if (!fault && f == fld::FrqPct && c.flags->FrqPctIsOne) fault = value != "1";
    // A representative photo (mark "1") needs its Japanese file name under this switch.
    if (!fault && f == fld::PctFJN && c.flags->FjnNeedDaiPct == 1)
        fault = r.FieldView(fld::DaiPct) == "1" && value.empty();
    return fault;
}

bool LengthFault(const CheckContext& c, const TCustomPctInfo& r, int f, int item) {
    if (c.Level(f) > 3) return false;
    std::size_t len = 0;
    if (f >= fld::PctFNm && f <= fld::RefFN3) {
        len = MeasuredLength(c, FileNamePart(r.FieldView(f)));
    } else if (IsListField(f)) {
        for (const auto& e : r.FieldList(f)->Items())
            len = std::max(len, MeasuredLength(c, f == fld::RefFNX ? FileNamePart(e) : std::string_view(e)));
    } else {
        len = MeasuredLength(c, r.FieldView(f));
    }
    return len > static_cast<std::size_t>(c.maxLength[static_cast<std::size_t>(item)]);
}

std::uint64_t ClassMask(const CheckContext& c, const TCustomPctInfo& r) {
    std::uint64_t m = 0;
    if (c.variantClass == 2) return m;
    auto set = [&](int f, bool fault) {
        if (fault && c.ItemOf(f) >= 0) m |= std::uint64_t(1) << f;
    };
    if (c.dtdType == 1) {
        const std::string_view v = r.FieldView(fld::PctFlg);
        set(fld::PctFlg, c.Level(fld::PctFlg) <= 3 && v != "0" && v != "1");
    }
    const std::string_view major = r.FieldView(fld::PctLBn);
    set(fld::PctLBn, c.Level(fld::PctLBn) <= 3 && !c.flags->NoDataChk && !Contains(c.majorCategories, major));
    if (major == "工事") {
        const std::string_view v = r.FieldView(fld::PctKbn);
        const bool acceptable = c.flags->NoDataChk ||
                                (c.dtdType == 5 && v.empty() && r.FieldView(fld::FrqPct) != "1" && !c.flags->ForceCheckKbn) ||
                                Contains(c.photoCategories, v);
        set(fld::PctKbn, c.Level(fld::PctKbn) <= 3 && !acceptable);
    }
    return m;
}

}  // namespace

int CheckContext::FieldOf(int item) const {
    return (item >= 0 && item < static_cast<int>(fieldOfItem.size())) ? fieldOfItem[static_cast<std::size_t>(item)] : -1;
}

int CheckContext::Level(int f) const {
    const int item = ItemOf(f);
    return item < 0 ? 4 : photoItems.Level(item);
}

std::shared_ptr<const CheckContext> CurrentCheckContext() {
    const TEntType& s = CurrentStandard();
    std::string key = ContextKey(s);
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_context || key != g_key) {
        g_context = Build(s);
        g_key = std::move(key);
    }
    return g_context;
}

void InvalidateCheckContext() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_context.reset();
}

int ItemOfField(int f) { return CurrentCheckContext()->ItemOf(f); }
int FieldOfItem(int item) { return CurrentCheckContext()->FieldOf(item); }
int FieldLevel(int f) { return CurrentCheckContext()->Level(f); }

int ItemMaxLength(int item) {
    auto c = CurrentCheckContext();
    return (item >= 0 && item < static_cast<int>(c->maxLength.size())) ? c->maxLength[static_cast<std::size_t>(item)] : 0;
}

std::uint64_t TCustomPctInfo::Mask(Check check) const {
    std::uint64_t& m = masks_[static_cast<std::size_t>(check)];
    if (m & (std::uint64_t(1) << 63)) return m;
    auto c = CurrentCheckContext();
    std::uint64_t bits = std::uint64_t(1) << 63;
    if (check == Check::Class) {
        bits |= ClassMask(*c, *this);
    } else {
        // Items without a field in this layout are skipped, never used as an index.
        const int items = c->photoItems.Count();
        for (int item = 0; item < items; ++item) {
            const int f = c->FieldOf(item);
            if (f < 0) continue;
            bool fault = false;
            switch (check) {
                case Check::Required: fault = RequiredFault(*c, *this, f); break;
                case Check::Length: fault = LengthFault(*c, *this, f, item); break;
                case Check::Prefix:
                    fault = f == fld::PctFJN && !c->flags->FjnHead.empty() && !FieldView(f).empty() &&
                            FieldView(f).rfind(c->flags->FjnHead, 0) != 0;
                    break;
                case Check::Class: break;
            }
            if (fault) bits |= std::uint64_t(1) << f;
        }
    }
    m = bits;
    return m;
}

bool TCustomPctInfo::IsFault(Check c, int f) const {
    if (!IsValidField(f)) return false;
    return (Mask(c) >> f) & 1u;
}

bool TCustomPctInfo::Passes(Check c) const { return (Mask(c) & ~(std::uint64_t(1) << 63)) == 0; }

int RuleResult(const TCustomPctInfo& r) {
    auto c = CurrentCheckContext();
    std::vector<std::string> lines;
    for (int f = fld::PctLBn; f <= fld::SaiNam; ++f) lines.emplace_back(r.FieldView(f));
    return TRuleInspector::Instance().CheckWorkTypes(c->code, lines);
}

bool TCustomPctInfo::RulesOk() const {
    if (!CurrentCheckContext()->ruleActive) return true;
    return RuleResult(*this) == 2;
}

bool TCustomPctInfo::PassesChecks(bool withRules) const {
    return RequiredOk() && LengthOk() && ClassOk() && (!withRules || RulesOk()) && PrefixOk();
}

CellColour CheckColour(const TCustomPctInfo& r, int item) {
    auto c = CurrentCheckContext();
    const int f = c->FieldOf(item);
    if (f < 0) return CellColour::Window();
    const int level = c->Level(f);
    if (r.IsRequiredFault(f)) {
        if (level == 1 || level == 2)
            return CellColour::Rgb(kRequiredFaultRgb[0], kRequiredFaultRgb[1], kRequiredFaultRgb[2]);
    } else if (level <= 3 && (r.IsLengthFault(f) || r.IsClassFault(f))) {
        return CellColour::Rgb(kOtherFaultRgb[0], kOtherFaultRgb[1], kOtherFaultRgb[2]);
    }
    static const int kBase[] = {5, 6, 4, 4, 4};
    const int base = c->layout == ItemLayout::D ? 3 : kBase[std::clamp(c->dtdType, 1, 5) - 1];
    if (item >= base + 2 && item <= base + 4 && c->ruleActive) {
        const int result = RuleResult(r);
        if (result < item - base - 2) return CellColour::Rgb(kOtherFaultRgb[0], kOtherFaultRgb[1], kOtherFaultRgb[2]);
    }
    return CellColour::Window();
}

}  // namespace velview
