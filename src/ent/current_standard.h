// The standard in force: the user's list of standards (built-ins merged into the stored user
// standards), the choice at start-up, and the switch to a standard that fits loaded data.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ent/ent_type.h"
#include "ent/ent_type_list.h"

namespace velview {

// The single current standard of the process.
TEntType& CurrentStandard();
// Set when the current standard came from "VELVIEW.TIN" beside the program.
bool StandardFixedByFile();

// The built-in list: the whole text of the extracted "EnTyp.tin".
void SetBuiltInStandardText(std::vector<std::string> lines);
TEntTypeList BuiltInStandards();

// The user's standards from the settings store (the newest stored generation), reduced to the
// user group and merged with the built-ins. A stored list that cannot be read is reported in
// `problems` and left out.
TEntTypeList LoadStandardList(std::vector<std::string>* problems = nullptr);
// Stores the user group of the list ("ETStringsG" with its byte length in "ETLengthG").
void SaveUserStandards(TEntTypeList& list);

// Chooses the current standard at start-up: "VELVIEW.TIN" in `programFolder` when it loads
// and its code is in the list; else the entry of "CurETID" (default "000C0020"); else the
// first entry.
void ChooseCurrentStandard(const TEntTypeList& list, const std::filesystem::path& programFolder);

// What the loaded PHOTO.XML tells about its standard.
struct DeliveryKind {
    int dtdType = 0;        // 1-5 from the document type; 0 when the file named none
    int variantClass = 0;
    bool hasPhoto04Dtd = false;  // the delivery folder holds "PHOTO04.DTD"
};

// Keeps the current standard when it fits the data, else switches to the stored standard of
// that kind of data (or its fallback) and, with `remember`, writes "CurETID". Returns the
// message to show after a switch.
std::optional<std::string> MatchStandardToDelivery(const DeliveryKind& data, const TEntTypeList& list,
                                                   bool remember = true);
// After the user chose a standard: "CurETID" and the value of the loaded kind of data.
void RecordStandardChoice(const TEntType& chosen, const std::optional<DeliveryKind>& loadedPhotoXml);

}  // namespace velview
