#include "ent/ent_type.h"

#include <charconv>

#include "common/tree_ini.h"
#include "ent/code_derivation.h"
#include "ent/standard_flags.h"
#include "ent/time_code.h"

namespace velview {
namespace {

struct Template {
    const char* selector;
    int dtdVer;
    const char* version;
    const char* name;
    const char* code;
    const char* baseName;
    const char *basNeed, *basKind, *kojNeed, *kojKind, *pctNeed, *pctKind;
};

const Template kTemplates[] = {
    {"00000000", 1, "100", "国土交通省[平成11年8月版]", "C00001108", "国土交通省 [平成11年8月版]", "111322223",
     "322441444", "112111112211233", "334443344434344", "11123112221333222232223233333331222",
     "35334664444444555443314444444441111"},
    {"00000001", 2, "200", "国土交通省[平成14年7月版]", "C00001407", "国土交通省 [平成14年7月版]", "113322223",
     "224441444", "11211111221123", "11444114441414", "11311312222132322322323333", "32411466444442441441444444"},
    {"00000005", 3, "300", "国土交通省[平成16年6月版]", "C00001606", "国土交通省 [平成16年6月版]", "1213", "8844", "",
     "", "11311222213121322223", "32434444444244447344"},
    {"000C0Z18", 3, "300", "国土交通省[平成18年1月版]", "C000Z1801", "国土交通省 -暫定版- [平成18年1月版]", "1213",
     "8844", "", "", "11311222213121321223", "32434444444244447344"},
    {"000C0018", 4, "400", "国土交通省[平成18年1月版]", "C00001904", "国土交通省 [平成18年1月版]", "1213", "8844", "",
     "", "11311222213121321223", "32434444444244447344"},
    {"000C0020", 5, "500", "国土交通省[平成20年5月版]", "C00002005", "国土交通省 [平成20年5月版]", "1213", "8844", "",
     "", "113112222131213211123", "324344444442444473344"},
};

const Template& TemplateBySelector(std::string_view selector) {
    for (const Template& t : kTemplates)
        if (selector == t.selector) return t;
    return kTemplates[5];
}

const Template& TemplateByKind(int kind) {
    switch (kind) {
        case 1: return kTemplates[0];
        case 2: return kTemplates[1];
        case 3: return kTemplates[2];
        case 4: return kTemplates[4];
        default: return kTemplates[5];
    }
}

void Fill(TEntType& e, const Template& t) {
    e.dtdVer = t.dtdVer;
    e.version = t.version;
    e.name = t.name;
    e.code = t.code;
    e.baseName = t.baseName;
    e.Items(ItemGroup::Basic) = TEntItems(t.basNeed, t.basKind);
    e.Items(ItemGroup::Construction) = TEntItems(t.kojNeed, t.kojKind);
    e.Items(ItemGroup::Photo) = TEntItems(t.pctNeed, t.pctKind);
    e.chkKsh = true;
    e.NewId();
    e.NewEditDate();
    e.kss.Load(e.code);
}

bool ParseInt(std::string_view s, int& v) {
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && p == s.data() + s.size();
}

}  // namespace

const char* EditionSuffix(int dtdType) {
    switch (dtdType) {
        case 1: return "[平成11年8月版]";
        case 2: return "[平成14年7月版]";
        case 3: return "[平成16年6月版]";
        case 4: return "[平成18年1月版]";
        default: return "[平成20年5月版]";
    }
}

TEntType::TEntType() {
    const Template& t = kTemplates[0];
    name = std::string("国土交通省") + EditionSuffix(1);
    groups_[0] = TEntItems(t.basNeed, t.basKind);
    groups_[1] = TEntItems(t.kojNeed, t.kojKind);
    groups_[2] = TEntItems(t.pctNeed, t.pctKind);
    editDate = NewTimeCode();
}

void TEntType::Read(const TExtStringList& v) {
    v.ReadInto("Version", version);
    v.ReadInto("ID", id);
    v.ReadInto("EditDate", editDate);
    v.ReadInto("Name", name);
    std::string s;
    if (v.ReadInto("BasNeed", s)) groups_[0].SetNeed(s);
    if (v.ReadInto("BasKind", s)) groups_[0].SetKind(s);
    if (v.ReadInto("KojNeed", s)) groups_[1].SetNeed(s);
    if (v.ReadInto("KojKind", s)) groups_[1].SetKind(s);
    if (v.ReadInto("PctNeed", s)) groups_[2].SetNeed(s);
    if (v.ReadInto("PctKind", s)) groups_[2].SetKind(s);
    v.ReadInto("ChkKsh", chkKsh);
    if (v.ReadInto("DTDVer", s)) {
        int n = 0;
        if (!ParseInt(TrimControl(s), n)) throw EStandardFormat("DTDVer '" + s + "' is not a number");
        dtdVer = n;
    }
    v.ReadInto("Code", code);
    v.ReadInto("BaseName", baseName);
    v.ReadInto("GroupIdx", groupIdx);
    DeriveCodeAfterRead();
    if (!WorkTypeCheckApplies()) chkKsh = false;
    kss.Load(code);
}

void TEntType::DeriveCodeAfterRead() {
    if (!code.empty()) {
        CorrectCode(code, baseName, name);
        return;
    }
    DerivedCode d = DeriveCode(id, name, dtdVer, baseName);
    code = d.code.empty() ? "NOTHING" : d.code;
    baseName = d.baseName;
}

void TEntType::Write(TExtStringList& v) const {
    v.WriteString("Version", version);
    v.WriteString("ID", id);
    v.WriteString("EditDate", editDate);
    v.WriteString("Name", name);
    v.WriteString("BasNeed", groups_[0].Need());
    v.WriteString("BasKind", groups_[0].Kind());
    v.WriteString("KojNeed", groups_[1].Need());
    v.WriteString("KojKind", groups_[1].Kind());
    v.WriteString("PctNeed", groups_[2].Need());
    v.WriteString("PctKind", groups_[2].Kind());
    v.WriteBool("ChkKsh", chkKsh);
    v.WriteInteger("DTDVer", dtdVer);
    v.WriteString("Code", code);
    v.WriteString("BaseName", baseName);
    v.WriteString("GroupIdx", groupIdx);
}

bool TEntType::LoadFromFile(const std::string& path) {
    if (!IsRegularFile(path)) return false;
    TTreeIni tree;
    tree.LoadFile(path, LoadMode::Merge);
    Read(tree.Values("EntType"));
    return true;
}

void TEntType::SaveToFile(const std::string& path, bool verify) const {
    TTreeIni tree;
    Write(tree.Values("EntType"));
    tree.Values().verifyAfterSave = verify;
    tree.SaveFile(path, SaveForce::Always);
}

bool TEntType::IsStandardFile(const std::string& path) {
    try {
        if (!IsRegularFile(path)) return false;
        TTreeIni tree;
        tree.LoadFile(path, LoadMode::Merge);
        TTreeIniItem* s = tree.FindChild("EntType");
        if (!s || s->Values().Count() == 0) return false;
        TEntType probe;
        probe.Read(s->Values());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void TEntType::NewId() { id = NewTimeCode(); }
void TEntType::NewEditDate() { editDate = NewTimeCode(); }

int TEntType::Group(int which) const {
    std::string_view s = groupIdx;
    for (int i = 0; i < which; ++i) {
        std::size_t comma = s.find(',');
        if (comma == std::string_view::npos) return -1;
        s.remove_prefix(comma + 1);
    }
    std::string_view field = s.substr(0, s.find(','));
    int v = 0;
    return ParseSettingsInteger(TrimControl(field), v) ? v : -1;
}

bool TEntType::IsUserGroup() const {
    const int g = Group(0);
    return g == 4 || g == -1;
}

int TEntType::VariantClass() const {
    if (code == "N00001504" || code == "N43001704") return 3;
    if (code == "M00001212") return 4;
    if (code == "P13010001") return 2;
    if (IsExpresswayCode(code)) return 5;
    switch (dtdVer) {
        case 1: return 1;
        case 2: return 0;
        case 3: return 6;
        case 4: return 7;
        default: return 8;
    }
}

int TEntType::EditionNumber() const {
    int n = 0;
    if (code.size() >= 6 && code[5] == 'R') {
        return ParseInt(std::string_view(code).substr(6), n) ? n + 3000 : 0;
    }
    if (code.size() < 9) return 0;
    return ParseInt(std::string_view(code).substr(5, 4), n) ? n : 0;
}

bool TEntType::WorkTypeCheckApplies() const { return StandardFlagsPtr(code)->WorkTypeCheckApplies(); }

int TEntType::RequiredLevelsOfCategory(std::string_view major, std::string_view category) const {
    if (major != "工事") return -1;
    const int i = kss.IndexOf(category);
    if (i < 0) return -1;
    int n = 0;
    for (char c : kss[i].digits)
        if (c != '0') ++n;
    return n;
}

void TEntType::ApplyTemplate(std::string_view selector) { Fill(*this, TemplateBySelector(selector)); }
void TEntType::ApplyTemplateKind(int kind) { Fill(*this, TemplateByKind(kind)); }

bool TEntType::Equals(const TEntType& o, int options) const {
    for (int g = 0; g < 3; ++g)
        if (!(groups_[g] == o.groups_[g])) return false;
    if (chkKsh != o.chkKsh || code != o.code) return false;
    if ((options & kCompareName) && name != o.name) return false;
    if ((options & kCompareId) && id != o.id) return false;
    if ((options & kCompareDtdType) && dtdVer != o.dtdVer) return false;
    if ((options & kCompareBaseName) && baseName != o.baseName) return false;
    return true;
}

}  // namespace velview
