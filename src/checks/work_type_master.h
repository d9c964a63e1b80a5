// The work-type masters of the expressway standards and the relation check that follows a
// photo's classification and work-type entries through them.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "checks/tree_string.h"
#include "common/ext_registry.h"

namespace velview {

// "Ksh102" … "Ksh154" for the six expressway codes; empty for any other code.
std::string WorkTypeMasterName(std::string_view code);
// The folder the masters were extracted to (set at start-up).
void SetWorkTypeMasterFolder(std::filesystem::path folder);
const std::filesystem::path& WorkTypeMasterFolder();

class TRule {
public:
    virtual ~TRule() = default;
    // Loads the master of the code when the code or the identifier changed since the last
    // preparation (or nothing was prepared yet). Throws IoError when the master is missing.
    virtual void Prepare(const std::string& code, const std::string& identifier);

    const std::string& Code() const { return code_; }
    const std::string& Identifier() const { return identifier_; }
    bool Loaded() const { return loaded_; }
    bool TreeVisible() const { return treeVisible_; }
    const TTreeString& Master() const { return master_; }

private:
    std::string code_, identifier_;
    bool loaded_ = false;
    bool treeVisible_ = true;
    TTreeString master_;
};

class TRuleInspector {
public:
    static TRuleInspector& Instance();
    virtual ~TRuleInspector() = default;

    // The current standard is an expressway standard and the user did not switch the check
    // off (settings value "ChkKSS" 0).
    bool Active() const;
    // Prepares the rule for the code when it changed and the check is active. A master that
    // cannot be loaded leaves the check inactive for that code (reported once).
    void Prepare(const std::string& code);

    // How many leading entries (major category, photo category, …) form a path of the code's
    // classification tree, minus 1; 1 when inactive or for a non-"工事" expressway photo.
    virtual int CheckClassification(const std::string& code, const std::vector<std::string>& lines);
    // Work type, kind and detail against the master: 2 complete, 1 work type and kind, 0 work
    // type only, -1 none; the lines are major category, photo category, work type, kind, detail.
    virtual int CheckWorkTypes(const std::string& code, const std::vector<std::string>& lines);

    // Problems met while preparing (a master that could not be loaded), each reported once.
    std::vector<std::string> TakeProblems();

private:
    TRuleInspector();
    bool UsableFor(const std::string& code);
    std::string lastCode_;
    std::string failedCode_;
    std::unique_ptr<TRule> rule_;
    TExtRegistry settings_;
    std::vector<std::string> problems_;
};

// Length limits of construction-management items, per standard code.
class TKojKnrChk {
public:
    static TKojKnrChk& Instance();
    // The integer under the key in C\KojKnrChkInfo of the current standard, else in
    // "DEFAULT\KojKnrChkInfo" (0 when missing); a result of 0 gives `def` when that is above 0.
    int LengthLimit(std::string_view itemKey, int def = 0) const;
};

}  // namespace velview
