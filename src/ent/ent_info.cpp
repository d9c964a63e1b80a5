#include "ent/ent_info.h"

#include <memory>

#include "ent/quoted_list.h"
#include "ent/standard_flags.h"

namespace velview {
namespace {

bool IsSelfOrAncestor(const TTreeIniItem* candidate, const TTreeIniItem* section) {
    for (const TTreeIniItem* s = section; s; s = s->Parent())
        if (s == candidate) return true;
    return false;
}

// A detached copy of a subtree, so that copying never reads what it is writing.
struct Snapshot {
    std::string name;
    std::vector<std::string> values;
    std::vector<Snapshot> children;
};

Snapshot Take(TTreeIniItem& s) {
    Snapshot snap{s.Name(), s.ValuesConst().Lines(), {}};
    for (int i = 0; i < s.Count(); ++i)
        if (TTreeIniItem* c = s.Peek(i)) snap.children.push_back(Take(*c));
    return snap;
}

void Apply(const Snapshot& snap, TTreeIniItem& target) {
    target.Values().SetLines(snap.values);
    for (std::size_t i = 0; i < snap.children.size(); ++i) {
        TTreeIniItem* child = target.Item(static_cast<int>(i));
        child->SetName(snap.children[i].name);
        Apply(snap.children[i], *child);
    }
}

// Resolves the section's own "Reference". A copied section may bring a further reference
// along (a chain); it is followed a bounded number of times, so a cycle ends with a report.
void ResolveOwn(TTreeIni& tree, TTreeIniItem& section, std::vector<std::string>& problems) {
    for (int round = 0; round < 16; ++round) {
        TExtStringList& values = section.Values();
        const int at = values.IndexOfName("Reference");
        if (at < 0) return;
        const std::string ref(TExtStringList::ValueOf(values[at]));
        auto refuse = [&](const std::string& what) {
            problems.push_back(section.Path() + ": Reference " + ref + ": " + what);
        };
        if (!ref.empty() && ref[0] == '"') {
            const std::vector<std::string> texts = ParseQuotedTexts(ref);
            values.Delete(at);
            if (texts.empty()) refuse("no base path");
            for (std::size_t i = 1; i < texts.size(); ++i) {
                TTreeIniItem* src = tree.FindByPath(texts[0] + "\\" + texts[i]);
                if (!src) {
                    refuse("no section " + texts[0] + "\\" + texts[i]);
                    continue;
                }
                TTreeIniItem& dst = section.SectionByPath(texts[i]);
                if (IsSelfOrAncestor(src, &dst)) {
                    refuse("refers to itself or an enclosing section");
                    continue;
                }
                Apply(Take(*src), dst);
            }
            return;
        }
        TTreeIniItem* src = tree.FindByPath(ref);
        if (!src || src == &tree) {
            refuse("no such section");
            values.Delete(at);
            return;
        }
        if (IsSelfOrAncestor(src, &section)) {
            refuse("refers to itself or an enclosing section");
            values.Delete(at);
            return;
        }
        // Content, not identity: the section keeps its own name.
        Apply(Take(*src), section);
    }
    problems.push_back(section.Path() + ": Reference: too many chained references (a cycle?)");
    const int at = section.Values().IndexOfName("Reference");
    if (at >= 0) section.Values().Delete(at);
}

void Resolve(TTreeIni& tree, TTreeIniItem& section, std::vector<std::string>& problems) {
    ResolveOwn(tree, section, problems);
    for (int i = 0; i < section.Count(); ++i)
        if (TTreeIniItem* c = section.Peek(i)) Resolve(tree, *c, problems);
}

std::string NameOf(TTreeIniItem& s) { return s.Values().ReadString("Name"); }

}  // namespace

std::vector<std::string> ResolveSettingsReferences(TTreeIni& tree) {
    std::vector<std::string> problems;
    for (int i = 0; i < tree.Count(); ++i)
        if (TTreeIniItem* c = tree.Peek(i)) Resolve(tree, *c, problems);
    return problems;
}

TEntInfo& TEntInfo::Instance() {
    static TEntInfo instance;
    return instance;
}

std::vector<std::string> TEntInfo::ResolveReferences() {
    std::vector<std::string> problems = ResolveSettingsReferences(*this);
    SetModified(false);
    return problems;
}

std::vector<std::string> TEntInfo::ReplaceContent(const std::vector<std::string>& lines) {
    SetText(lines, LoadMode::Replace);
    ++generation_;
    InvalidateStandardFlags();
    return ResolveReferences();
}

std::vector<std::string> TEntInfo::ReplaceContentFromFile(const std::string& file) {
    TTreeIni source;
    source.LoadFile(file, LoadMode::Open);
    return ReplaceContent(source.Values().Lines());
}

TTreeIniItem* TEntInfo::CodeSection(std::string_view code) {
    if (code.empty()) return nullptr;
    return FindChild(code);
}

TTreeIniItem* TEntInfo::ClassificationRoot(std::string_view code) {
    TTreeIniItem* c = CodeSection(code);
    return c ? c->FindChild("KbnTree") : nullptr;
}

TTreeIniItem* TEntInfo::BasicDefaults(std::string_view code) {
    TTreeIniItem* c = CodeSection(code);
    return c ? c->FindChild("BaseInfo") : nullptr;
}

TTreeIniItem* TEntInfo::ImageLimits(std::string_view code) {
    TTreeIniItem* c = CodeSection(code);
    return c ? c->FindChild("StdJpgProp") : nullptr;
}

std::string TEntInfo::CodeValue(std::string_view code, std::string_view key, std::string_view def) {
    TTreeIniItem* c = CodeSection(code);
    return c ? c->Values().ReadString(key, def) : std::string(def);
}

std::vector<std::string> TEntInfo::MajorCategories(std::string_view code) {
    std::vector<std::string> out;
    if (TTreeIniItem* root = ClassificationRoot(code))
        for (int i = 0; i < root->Count(); ++i)
            if (TTreeIniItem* c = root->Peek(i)) out.push_back(NameOf(*c));
    return out;
}

std::vector<std::string> TEntInfo::PhotoCategories(std::string_view code) {
    std::vector<std::string> out;
    TTreeIniItem* root = ClassificationRoot(code);
    TTreeIniItem* first = root ? root->Peek(0) : nullptr;
    if (first)
        for (int i = 0; i < first->Count(); ++i)
            if (TTreeIniItem* c = first->Peek(i)) out.push_back(NameOf(*c));
    return out;
}

bool TEntInfo::IsMajorCategory(std::string_view code, std::string_view text) {
    if (StandardFlagsPtr(code)->NoDataChk) return true;
    for (const std::string& m : MajorCategories(code))
        if (m == text) return true;
    return false;
}

bool TEntInfo::IsPhotoCategory(std::string_view code, int dtdType, std::string_view text, bool strict) {
    if (StandardFlagsPtr(code)->NoDataChk) return true;
    if (text.empty() && dtdType >= 5 && !strict) return true;
    for (const std::string& c : PhotoCategories(code))
        if (c == text) return true;
    return false;
}

}  // namespace velview
