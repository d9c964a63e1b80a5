#include "checks/delivery_check.h"

#include "data/pct_checks.h"
#include "ent/ent_items.h"

namespace velview {

const char* FaultKindName(FaultKind k) {
    static const char* kNames[kFaultKindCount] = {"required", "length", "class", "prefix", "rule", "file"};
    return kNames[static_cast<int>(k)];
}

namespace {

std::string DeliveredName(const std::string& folder, std::string_view value) {
    return value.substr(0, folder.size()) == folder ? std::string(value.substr(folder.size())) : std::string(value);
}

}  // namespace

DeliveryReport CheckDelivery(const TDBExpInp& format, int medium) {
    DeliveryReport report;
    auto c = CurrentCheckContext();
    const std::vector<std::string> names = PhotoItemNames(c->layout, c->flags->IsKokH22);
    auto itemName = [&](int item) { return item >= 0 && item < static_cast<int>(names.size()) ? names[static_cast<std::size_t>(item)] : std::string(); };
    auto markOf = [&](int f) { return std::string(LevelMark(c->Level(f))); };

    for (int n = 0; n < format.Photos.Count(); ++n) {
        const TEIPctInfo* rec = format.Photos.At(n);
        if (!rec) continue;
        PhotoReport pr;
        pr.number = n;
        pr.file = DeliveredName(format.PhotoFolder, rec->FieldView(fld::PctFNm));
        auto add = [&](FaultKind k, int f, std::string detail = {}) {
            const int item = c->ItemOf(f);
            pr.faults.push_back({k, f, item, itemName(item), item >= 0 ? markOf(f) : std::string(), std::move(detail)});
        };
        for (int item = 0; item < c->photoItems.Count(); ++item) {
            const int f = c->FieldOf(item);
            if (f < 0) continue;
            if (rec->IsRequiredFault(f)) add(FaultKind::Required, f);
            if (rec->IsLengthFault(f)) add(FaultKind::Length, f);
            if (rec->IsClassFault(f)) add(FaultKind::Class, f);
            if (rec->IsPrefixFault(f)) add(FaultKind::Prefix, f);
        }
        if (c->ruleActive) {
            const int r = RuleResult(*rec);
            if (r != 2) add(FaultKind::Rule, fld::KshNam + r + 1, "relation check result " + std::to_string(r));
        }
        // The photo file: a missing file of another medium is no fault, only a note.
        if (!pr.file.empty()) {
            const ResolvedFile f = format.PhotoFile(*rec);
            const std::string_view mdaNum = rec->FieldView(fld::MdaNum);
            if (f.status == FileStatus::Missing && !mdaNum.empty() && mdaNum != std::to_string(medium))
                pr.note = "the photo file is on medium " + std::string(mdaNum);
            else if (f.status != FileStatus::Ok)
                add(FaultKind::File, fld::PctFNm, FileStatusText(f.status));
        }
        if (const TPIStrings* drawings = rec->FieldList(fld::RefFNX))
            for (const std::string& d : drawings->Items()) {
                if (d.empty()) continue;
                const ResolvedFile f = format.DrawingFile(d);
                if (f.status != FileStatus::Ok)
                    add(FaultKind::File, fld::RefFNX,
                        DeliveredName(format.DrawingFolder, d) + ": " + FileStatusText(f.status));
            }
        if (!pr.faults.empty()) ++report.photosWithFaults;
        for (const PhotoFault& pf : pr.faults) ++report.faultsByKind[static_cast<std::size_t>(pf.kind)];
        report.photos.push_back(std::move(pr));
    }
    return report;
}

}  // namespace velview
