// An applicable standard: the ordering agency and guideline edition a delivery must follow,
// with its requirement levels and character classes per item, its code and its group.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "common/ext_string_list.h"
#include "ent/code_sets.h"
#include "ent/ent_items.h"
#include "ent/ent_type_kss.h"

namespace velview {

// A definition that cannot be read (a "DTDVer" that is no number).
class EStandardFormat : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Options of TEntType::Equals beyond the digits, the work-type check and the code.
enum StandardCompare : int {
    kCompareName = 1,
    kCompareId = 2,
    kCompareDtdType = 4,
    kCompareBaseName = 8,
};

class TEntType {
public:
    // Defaults: DTD type 1 with its template digits, id "00000000", a new edit date.
    TEntType();

    TEntItems& Items(ItemGroup g) { return groups_[static_cast<int>(g)]; }
    const TEntItems& Items(ItemGroup g) const { return groups_[static_cast<int>(g)]; }

    std::string version = "100";
    std::string id = "00000000";
    std::string editDate;
    std::string name;
    bool chkKsh = true;
    int dtdVer = 1;
    std::string code;
    std::string baseName;
    std::string groupIdx;
    TEntTypeKss kss;

    // Reads the keys (absent keys keep their values), derives code and base name, turns the
    // work-type check off where it cannot apply, and loads the photo categories of the code.
    // Throws EStandardFormat for a "DTDVer" that is no number.
    void Read(const TExtStringList& values);
    // Writes the keys in their fixed order.
    void Write(TExtStringList& values) const;
    // Reads section "EntType" of a settings file (merge mode); false when the file is missing.
    bool LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path, bool verify) const;
    // The file exists, loads, and its "EntType" section has at least one line.
    static bool IsStandardFile(const std::string& path);

    void NewId();
    void NewEditDate();

    // Group value g (0 group, 1 district, 2 field mask); -1 when missing.
    int Group(int which) const;
    bool IsUserGroup() const;
    // The variant class used to match a standard to loaded data (0, 1, 3, 5, 6, 7, 8, and
    // 2 and 4 for two single agencies).
    int VariantClass() const;
    // The edition as a number: characters 6-9 of the code (Heisei year and month), or 3000
    // plus the number from character 7 on for a Reiwa code ("R" at character 6); 0 if none.
    int EditionNumber() const;
    // Whether the work-type check can apply under the code's switches.
    bool WorkTypeCheckApplies() const;
    // -1 unless the major category is "工事" and the category is listed; otherwise the number
    // of its requirement digits that are not "0".
    int RequiredLevelsOfCategory(std::string_view majorCategory, std::string_view category) const;

    // Fills the definition from a template, chosen by its selector id ("00000000",
    // "00000001", "00000005", "000C0Z18", "000C0018", "000C0020") or by kind (1-4, any other
    // the DTD-type-5 template); a new id and edit date; the work-type check on.
    void ApplyTemplate(std::string_view selectorId);
    void ApplyTemplateKind(int kind);

    // Equal digits of all three groups, work-type check and code, plus the optional fields.
    bool Equals(const TEntType& other, int options) const;

private:
    void DeriveCodeAfterRead();
    TEntItems groups_[3];
};

// "[平成11年8月版]" … "[平成20年5月版]" for DTD types 1 to 5.
const char* EditionSuffix(int dtdType);

}  // namespace velview
