#include "ent/standard_flags.h"

#include <map>
#include <mutex>

#include "ent/ent_info.h"
#include "ent/quoted_list.h"

namespace velview {
namespace {

std::mutex g_mutex;
std::map<std::string, std::shared_ptr<const StandardDependentFlags>, std::less<>> g_cache;

StandardDependentFlags Read(std::string_view code) {
    StandardDependentFlags f;
    TEntInfo& info = TEntInfo::Instance();
    TTreeIniItem* section = info.CodeSection(code);
    if (!section) return f;
    const TExtStringList& v = section->Values();
    v.ReadInto("KojKnrXMLName", f.KojKnrXMLName);
    v.ReadInto("KojKnrDTDName", f.KojKnrDTDName);
    v.ReadInto("PHOTODTDName", f.PHOTODTDName);
    v.ReadInto("NoDataChk", f.NoDataChk);
    v.ReadInto("CanSelectPhotoXML", f.CanSelectPhotoXML);
    f.NeedPctPlcKbn = ParseCountedList(v.ReadString("NeedPctPlcKbn"));
    f.NeedPctDaiKbn = ParseCountedList(v.ReadString("NeedPctDaiKbn"));
    v.ReadInto("AutoInpKss", f.AutoInpKss);
    v.ReadInto("ShowChkKsh", f.ShowChkKsh);
    v.ReadInto("FrqPctIsOne", f.FrqPctIsOne);
    v.ReadInto("FjnNeedDaiPct", f.FjnNeedDaiPct);
    v.ReadInto("IsKokH22", f.IsKokH22);
    v.ReadInto("IsHokkaidoSuiRinH27", f.IsHokkaidoSuiRinH27);
    v.ReadInto("MaxExtLength_Pic", f.MaxExtLength_Pic);
    v.ReadInto("MaxExtLength", f.MaxExtLength);
    v.ReadInto("LBnKbnMstName", f.LBnKbnMstName);
    v.ReadInto("CheckKshIgnoreFrq", f.CheckKshIgnoreFrq);
    v.ReadInto("ForceCheckKbn", f.ForceCheckKbn);
    v.ReadInto("FjnHead", f.FjnHead);
    v.ReadInto("PhotoDTDVer_ForIndexC", f.PhotoDTDVer_ForIndexC);
    v.ReadInto("DNSBookDataPath", f.DNSBookDataPath);
    v.ReadInto("Needksh", f.Needksh);
    v.ReadInto("DefKshID", f.DefKshID);
    if (TTreeIniItem* jpg = section->FindChild("StdJpgProp")) {
        jpg->Values().ReadInto("AdmitZeroOrNullFrq", f.AdmitZeroOrNullFrq);
        jpg->Values().ReadInto("DaiPctNeed", f.DaiPctNeed);
    }
    return f;
}

}  // namespace

std::shared_ptr<const StandardDependentFlags> StandardFlagsPtr(std::string_view code) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_cache.find(code);
    if (it == g_cache.end())
        it = g_cache.emplace(std::string(code), std::make_shared<const StandardDependentFlags>(Read(code))).first;
    return it->second;
}

void InvalidateStandardFlags() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_cache.clear();
}

std::string PhotoDtdName(const StandardDependentFlags& flags, int dtdType, int variantClass) {
    if (dtdType <= 1) return "PHOTO.DTD";
    if (dtdType == 2 && variantClass == 3) return "PHOTO02N.DTD";
    if (!flags.PHOTODTDName.empty()) return flags.PHOTODTDName;
    switch (dtdType) {
        case 2: return "PHOTO02.DTD";
        case 3: return "PHOTO03.DTD";
        case 4: return "PHOTO04.DTD";
        default: return "PHOTO05.DTD";
    }
}

std::string StyleSheetName(int dtdType) {
    if (dtdType == 3) return "PHOTO03.XSL";
    if (dtdType == 4) return "PHOTO04.XSL";
    return "PHOTO05.XSL";
}

}  // namespace velview
