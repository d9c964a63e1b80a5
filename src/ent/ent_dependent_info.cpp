#include "ent/ent_dependent_info.h"

#include "ent/current_standard.h"
#include "ent/ent_info.h"

namespace velview {
namespace {

TTreeIni* g_store = nullptr;

const std::string& CurrentCode() { return CurrentStandard().code; }

TTreeIniItem* CodeChild(std::string_view child) {
    TTreeIniItem* c = TEntInfo::Instance().CodeSection(CurrentCode());
    return c ? c->FindChild(child) : nullptr;
}

}  // namespace

void SetDependentInfoStore(TTreeIni* store) { g_store = store; }

TExtStringList* TCustomEntDependentInfo::StoreSection() {
    if (!g_store) return nullptr;
    TExtStringList& values = g_store->Values("\\EntDependentInfo\\" + name_);
    // The stored values follow the standard lazily: the first access after a change of
    // standard starts them from the new standard's defaults.
    if (values.ReadString("LastEntCode") != CurrentCode()) Reset(values, CurrentCode());
    return &values;
}

void TCustomEntDependentInfo::Reset(TExtStringList& values, const std::string& code) {
    values.WriteString("LastEntCode", code);
}

std::string TCustomEntDependentInfo::StoredValue(int i) {
    if (i < 0 || i >= static_cast<int>(keys_.size())) return {};
    TExtStringList* v = StoreSection();
    return v ? v->ReadString(keys_[static_cast<std::size_t>(i)]) : std::string();
}

void TCustomEntDependentInfo::SetStoredValue(int i, std::string_view text) {
    if (i < 0 || i >= static_cast<int>(keys_.size())) return;
    if (TExtStringList* v = StoreSection()) v->WriteString(keys_[static_cast<std::size_t>(i)], text);
}

TBaseInfo::TBaseInfo()
    : TCustomEntDependentInfo("BaseInfo", {"DTDVersion", "PhotoDir", "RefDir", "AplStd", "MediaInfo", "MachineAplStd"}) {}

TBaseInfo& TBaseInfo::Instance() {
    static TBaseInfo instance;
    return instance;
}

void TBaseInfo::Reset(TExtStringList& values, const std::string& code) {
    TCustomEntDependentInfo::Reset(values, code);
    for (std::size_t i = 0; i < keys_.size(); ++i) values.WriteString(keys_[i], DefaultValue(static_cast<int>(i)));
}

std::string TBaseInfo::DefaultValue(int i) const {
    if (i < 0 || i >= static_cast<int>(keys_.size())) return {};
    TTreeIniItem* s = CodeChild("BaseInfo");
    return s ? s->Values().ReadString(keys_[static_cast<std::size_t>(i)]) : std::string();
}

std::string TBaseInfo::AppliedStandardText() {
    TTreeIniItem* s = CodeChild("BaseInfo");
    std::string v = s ? s->Values().ReadString("KojKnrAplStd") : std::string();
    return v.empty() ? StoredValue(3) : v;
}

TStdJpgProp::TStdJpgProp()
    : TCustomEntDependentInfo("StdJpgProp", {"SizeKB", "PixelMax", "PixelMin", "WMax", "WMin", "HMax", "HMin", "NoChkPixel"}) {}

TStdJpgProp& TStdJpgProp::Instance() {
    static TStdJpgProp instance;
    return instance;
}

int TStdJpgProp::Limit(int i) const {
    if (i < 0 || i >= static_cast<int>(keys_.size())) return 0;
    TTreeIniItem* s = CodeChild("StdJpgProp");
    if (!s) return 0;
    if (i >= 3) s = s->FindChild("PixelRange");
    return s ? s->Values().ReadInteger(keys_[static_cast<std::size_t>(i)], 0) : 0;
}

bool TStdJpgProp::HasPixelRange() const {
    TTreeIniItem* s = CodeChild("StdJpgProp");
    TTreeIniItem* r = s ? s->FindChild("PixelRange") : nullptr;
    return r && r->Values().Count() > 0;
}

TStdTiffProp::TStdTiffProp() : TCustomEntDependentInfo("StdTiffProp", {"TiffDPIMax", "TiffDPIMin", "TiffSizeMB"}) {}

TStdTiffProp& TStdTiffProp::Instance() {
    static TStdTiffProp instance;
    return instance;
}

int TStdTiffProp::Limit(int i) const {
    if (i < 0 || i >= static_cast<int>(keys_.size())) return 0;
    TTreeIniItem* s = CodeChild("StdTiffProp");
    return s ? s->Values().ReadInteger(keys_[static_cast<std::size_t>(i)], 0) : 0;
}

bool TStdTiffProp::HasResolutionLimit() const { return Limit(0) > 0 || Limit(1) > 0; }

}  // namespace velview
