#include "checks/work_type_master.h"

#include "common/file_io.h"
#include "common/tree_ini.h"
#include "ent/code_sets.h"
#include "ent/current_standard.h"
#include "ent/ent_info.h"

namespace velview {
namespace fs = std::filesystem;

namespace {
fs::path g_masterFolder;
}

std::string WorkTypeMasterName(std::string_view code) {
    static const struct {
        const char* code;
        const char* master;
    } kMasters[] = {{"D00001412", "Ksh102"}, {"DS0001604", "Ksh109"}, {"D00001807", "Ksh111"},
                    {"D00002407", "Ksh130"}, {"D00002807", "Ksh146"}, {"D00002907", "Ksh154"}};
    for (const auto& m : kMasters)
        if (code == m.code) return m.master;
    return {};
}

void SetWorkTypeMasterFolder(fs::path folder) { g_masterFolder = std::move(folder); }
const fs::path& WorkTypeMasterFolder() { return g_masterFolder; }

void TRule::Prepare(const std::string& code, const std::string& identifier) {
    if (loaded_ && code == code_ && identifier == identifier_) return;
    const std::string base = WorkTypeMasterName(code);
    if (base.empty()) throw IoError("standard " + code + " has no work-type master");
    const fs::path folder = WorkTypeMasterFolder();
    bool visible = true;
    TTreeIni settings;
    settings.LoadFile((folder / (base + ".tin")).string(), LoadMode::Open);  // missing: defaults
    TExtStringList& info = settings.Values("Vel Information");
    if (info.ReadString("FileType") == "Ksh") visible = info.ReadBool("KbnTreeVisible", true);
    TTreeString master;
    master.LoadFromFile(folder / (base + ".txt"));
    master_ = std::move(master);
    treeVisible_ = visible;
    code_ = code;
    identifier_ = identifier;
    loaded_ = true;
}

TRuleInspector::TRuleInspector() : rule_(std::make_unique<TRule>()), settings_("frmSelEntType") {}

TRuleInspector& TRuleInspector::Instance() {
    static TRuleInspector instance;
    return instance;
}

bool TRuleInspector::Active() const {
    return IsExpresswayCode(CurrentStandard().code) && settings_.ReadInteger("ChkKSS", 0) == 0;
}

void TRuleInspector::Prepare(const std::string& code) {
    if (!Active()) return;
    const std::string identifier = TEntInfo::Instance().CodeValue(code, "DefKshID");
    if (code == lastCode_ && rule_->Loaded() && rule_->Identifier() == identifier) return;
    lastCode_ = code;
    try {
        rule_->Prepare(code, identifier);
        failedCode_.clear();
    } catch (const IoError& e) {
        if (failedCode_ != code) problems_.push_back("work-type check off for " + code + ": " + e.what());
        failedCode_ = code;
    }
}

bool TRuleInspector::UsableFor(const std::string& code) {
    Prepare(code);
    return failedCode_ != code && rule_->Loaded() && rule_->Code() == code;
}

std::vector<std::string> TRuleInspector::TakeProblems() {
    std::vector<std::string> out;
    out.swap(problems_);
    return out;
}

int TRuleInspector::CheckClassification(const std::string& code, const std::vector<std::string>& lines) {
    if (!Active()) return 1;
    if (IsExpresswayCode(code) && (lines.empty() || lines[0] != "工事")) return 1;
    TTreeIniItem* section = TEntInfo::Instance().ClassificationRoot(code);
    int count = 0;
    for (std::size_t d = 0; section && d < lines.size(); ++d) {
        TTreeIniItem* next = nullptr;
        for (int i = 0; i < section->Count() && !next; ++i) {
            TTreeIniItem* c = section->Peek(i);
            if (c && c->Values().ReadString("Name") == lines[d]) next = c;
        }
        if (!next) break;
        ++count;
        section = next;
    }
    return count - 1;
}

int TRuleInspector::CheckWorkTypes(const std::string& code, const std::vector<std::string>& in) {
    std::vector<std::string> lines(in.begin(), in.begin() + std::min<std::size_t>(in.size(), 5));
    lines.resize(5);
    const std::string &major = lines[0], &workType = lines[2], &kind = lines[3], &detail = lines[4];
    if (IsExpresswayCode(code)) {
        if (major != "工事") return 2;
        if (workType.empty() && kind.empty() && detail.empty()) return 2;
    }
    if (!Active() || !UsableFor(code)) return 2;

    // Each level must be found exactly: the first match ignoring case must also match as
    // written.
    const TTreeString* list = &rule_->Master();
    int found = 0;
    for (const std::string* entry : {&workType, &kind, &detail}) {
        if (!list) break;
        const int i = list->IndexOfNoCase(*entry);
        if (i < 0 || list->Line(i) != *entry) break;
        ++found;
        list = list->Child(i);
    }
    int result = found - 1;
    const std::string& current = CurrentStandard().code;
    if ((code == "D00001807" || current == "D00002807" || current == "D00002907") && result == 0 && kind.empty() &&
        detail.empty())
        result = 2;
    if (result == 1 && detail.empty()) result = 2;
    if (code == "D00002407" && result >= 0) result = 2;
    return result;
}

TKojKnrChk& TKojKnrChk::Instance() {
    static TKojKnrChk instance;
    return instance;
}

int TKojKnrChk::LengthLimit(std::string_view itemKey, int def) const {
    TEntInfo& info = TEntInfo::Instance();
    int v = 0;
    TTreeIniItem* own = info.CodeSection(CurrentStandard().code);
    TTreeIniItem* section = own ? own->FindChild("KojKnrChkInfo") : nullptr;
    if (section && section->Values().IndexOfName(itemKey) >= 0) {
        v = section->Values().ReadInteger(itemKey, 0);
    } else if (TTreeIniItem* d = info.CodeSection("DEFAULT")) {
        TTreeIniItem* fallback = d->FindChild("KojKnrChkInfo");
        v = fallback ? fallback->Values().ReadInteger(itemKey, 0) : 0;
    }
    return (v == 0 && def > 0) ? def : v;
}

}  // namespace velview
