// The per-code switches of a standard, read from its section of the standard-dependent
// information; a missing section or key gives the default.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velview {

struct StandardDependentFlags {
    std::string KojKnrXMLName;         // construction-management XML file of the standard
    std::string KojKnrDTDName;
    std::string PHOTODTDName;          // as written; see PhotoDtdName() for the name in force
    bool NoDataChk = false;            // any category passes; no work-type check
    bool CanSelectPhotoXML = true;
    std::vector<std::string> NeedPctPlcKbn;  // categories that need the shooting place
    std::vector<std::string> NeedPctDaiKbn;  // categories that need the representative mark
    bool AutoInpKss = false;
    bool ShowChkKsh = true;
    bool FrqPctIsOne = false;
    int FjnNeedDaiPct = 3;
    bool IsKokH22 = false;             // "請負者説明文" is named "受注者説明文"
    bool IsHokkaidoSuiRinH27 = false;  // item layout H
    int MaxExtLength_Pic = 3;
    int MaxExtLength = 3;
    std::string LBnKbnMstName;
    bool CheckKshIgnoreFrq = false;
    bool ForceCheckKbn = false;
    std::string FjnHead;
    int PhotoDTDVer_ForIndexC = 0;     // 0: the standard's DTD type
    std::string DNSBookDataPath;
    bool AdmitZeroOrNullFrq = false;
    int DaiPctNeed = 1;                // from the code's "StdJpgProp" section
    bool Needksh = false;
    std::string DefKshID;              // work-type master identifier (expressway codes)

    // The work-type check can apply at all under these switches.
    bool WorkTypeCheckApplies() const { return ShowChkKsh && !AutoInpKss && !NoDataChk; }
};

// The switches of a code, read once from the single standard-dependent information and kept
// until its content is replaced.
// The returned object stays valid after a later replacement of the content.
std::shared_ptr<const StandardDependentFlags> StandardFlagsPtr(std::string_view code);
void InvalidateStandardFlags();

// The PHOTO.XML document type name of a standard: "PHOTO.DTD" for DTD type 1, "PHOTO02N.DTD"
// for a DTD-type-2 agriculture standard, else "PHOTODTDName" or the name of the DTD type.
std::string PhotoDtdName(const StandardDependentFlags& flags, int dtdType, int variantClass);
// The style sheet of the DTD type.
std::string StyleSheetName(int dtdType);

}  // namespace velview
