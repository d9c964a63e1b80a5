#include "checks/photo_filter.h"

#include <algorithm>
#include <charconv>

#include "checks/pct_file_info.h"
#include "common/text_encoding.h"
#include "data/field_index.h"
#include "data/pct_checks.h"
#include "data/pct_info.h"

namespace velview {

namespace {

bool Contains(std::string_view value, std::string_view text) { return value.find(text) != std::string_view::npos; }

bool TextPasses(const PhotoFilter& f, const TEIPctInfo& r) {
    if (f.easyMode) {
        if (f.easyText.empty()) return true;
        return std::any_of(f.levelFields.begin(), f.levelFields.end(),
                           [&](int field) { return Contains(r.FieldView(field), f.easyText); });
    }
    for (std::size_t i = 0; i < f.levelTexts.size() && i < f.levelFields.size(); ++i)
        if (!f.levelTexts[i].empty() && !Contains(r.FieldView(f.levelFields[i]), f.levelTexts[i])) return false;
    return true;
}

// A flag that is no integer passes; one outside 0-9 matches no flag.
bool SortFlagPasses(const PhotoFilter& f, const TEIPctInfo& r, int dtdType) {
    if (dtdType != 1 || f.sortFlags.empty()) return true;
    const std::string_view v = r.FieldView(fld::PctFlg);
    int n = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (ec != std::errc() || end != v.data() + v.size() || v.empty()) return true;
    return std::find(f.sortFlags.begin(), f.sortFlags.end(), n) != f.sortFlags.end();
}

bool HasInformationError(const TEIPctInfo& r, const CheckContext& c) {
    if (!r.PassesChecks(true)) return true;
    const std::string_view dai = r.FieldView(fld::DaiPct);
    if (dai.empty() && c.Level(fld::DaiPct) == 1) return true;
    if (c.dtdType == 5 && dai == "0" && c.flags &&
        std::find(c.flags->NeedPctDaiKbn.begin(), c.flags->NeedPctDaiKbn.end(), r.FieldView(fld::PctKbn)) !=
            c.flags->NeedPctDaiKbn.end())
        return true;
    return r.FieldView(fld::FrqPct).empty() && c.Level(fld::FrqPct) == 1;
}

bool InspectionPasses(const PhotoFilter& f, int photo, const TPctStateList* states) {
    if (!f.inspected && !f.findings && !f.unchecked) return true;
    const TPctSateItem* s = states ? states->Find(photo) : nullptr;
    const int state = s ? s->InspectionState() : 0;
    return (f.inspected && state == 1) || (f.findings && state == 2) || (f.unchecked && state == 0);
}

bool IsJpegOrSvgName(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view ext = name.substr(dot);
    return text::EqualsAsciiNoCase(ext, ".JPG") || text::EqualsAsciiNoCase(ext, ".SVG");
}

}  // namespace

bool PhotoFilter::Any() const {
    const bool text = easyMode ? !easyText.empty()
                               : std::any_of(levelTexts.begin(), levelTexts.end(), [](const auto& t) { return !t.empty(); });
    return text || !sortFlags.empty() || infoError || representative || frequency || inspected || findings ||
           unchecked || noExifDate || tampered || duplicate;
}

bool PassesFilter(const PhotoFilter& f, const TEIPctInfo& r, int photo, FilterInputs& in) {
    const auto c = CurrentCheckContext();
    if (!TextPasses(f, r) || !SortFlagPasses(f, r, c->dtdType)) return false;
    if (f.infoError && !HasInformationError(r, *c)) return false;
    if (f.representative && c->dtdType > 2 && r.FieldView(fld::DaiPct) != "1") return false;
    if (f.frequency && c->dtdType > 4 && r.FieldView(fld::FrqPct) != "1") return false;
    if (!InspectionPasses(f, photo, in.states)) return false;
    if (f.noExifDate || f.tampered) {
        const TPctFileInfo* info = in.fileInfo ? in.fileInfo(photo) : nullptr;
        if (!info) {
            // Unknown files are shown, so that nothing is hidden that might match.
            in.allFilesAvailable = false;
        } else {
            if (f.noExifDate && !(IsJpegOrSvgName(r.FieldView(fld::PctFNm)) && info->shootingTime <= 0)) return false;
            if (f.tampered && !info->authenticity.abnormal) return false;
        }
    }
    if (f.duplicate) {
        if (!in.comparable || !in.comparable(photo)) {
            in.allFilesAvailable = false;
            return false;
        }
        if (in.inComparisonList && in.inComparisonList(photo) && r.duplicateGroup == 0) return false;
    }
    return true;
}

std::vector<int> FilterPhotos(const PhotoFilter& f, const std::vector<const TEIPctInfo*>& photos, FilterInputs& in) {
    std::vector<int> out;
    for (std::size_t i = 0; i < photos.size(); ++i)
        if (photos[i] && PassesFilter(f, *photos[i], static_cast<int>(i), in)) out.push_back(static_cast<int>(i));
    return out;
}

}  // namespace velview
