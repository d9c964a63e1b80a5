// The field indexes of a photo information record: the common vocabulary of panes, filters,
// sort keys, CSV columns and checks.
#pragma once

#include <string_view>

namespace velview {

namespace fld {
enum : int {
    PctLBn = 0, PctKbn, KshNam, SbtNam, SaiNam, PctTtl, PctKR1, PctKR2, PctKR3, PctPlc,
    PctFNm, RefFN1, RefFN2, RefFN3, PctFlg, PctYMD, PctFIR, AddIfR, FlmNum, KomNum,
    PctIfR, SkoKan, SkoKnR, JkyExR, UkeExR, HtsExR, PctIR1, PctIR2, PctIR3, PctMIMID,
    RedMM1ID, RefMM2ID, RefMM3ID, ExtInf, SktID, KmkSel, SrlNum, MdaNum, PctFJN, PctKRX,
    RefFNX, RefFJX, RefTtX, RefMIX, AddIRX, TPcIRX, SkoKRX, PctIRX, DaiPct, TeiPct,
    FrqPct, KtkExR,
};
}  // namespace fld

constexpr int kFieldCount = 52;

constexpr bool IsListField(int f) { return f >= fld::PctKRX && f <= fld::PctIRX; }
constexpr bool IsValidField(int f) { return f >= 0 && f < kFieldCount; }

// "PctLBn" … "FrqPct", and "KtkExR" for index 51; empty outside 0-51.
std::string_view FieldKey(int f);
// "写真-大分類" …; index 51 has no caption of its own and reads "監督員説明文".
std::string_view FieldCaption(int f);
// The index of a key (ASCII case ignored), -1 when none.
int FieldOfKey(std::string_view key);

}  // namespace velview
