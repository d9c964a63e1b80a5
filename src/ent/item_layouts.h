// The item layouts of the standards: which items each group has, their names, maximum
// lengths and character-class labels, and for photo items the record field each one maps to.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velview {

enum class ItemLayout { Type1, Type2, Type34, Type5, H, D };

// Layout D for the expressway-company codes, layout H for "IsHokkaidoSuiRinH27", otherwise
// the layout of the DTD type.
ItemLayout LayoutFor(int dtdType, std::string_view code, bool isHokkaidoSuiRinH27);
const char* LayoutName(ItemLayout layout);

// One photo item: the key of the record field it maps to and its default maximum length.
struct PhotoItemDef {
    const char* fieldKey;
    int maxLength;
};
// The photo items of a layout in item order.
std::span<const PhotoItemDef> PhotoItemTable(ItemLayout layout);
// The photo item names in item order ("請負者説明文" reads "受注者説明文" with isKokH22).
std::vector<std::string> PhotoItemNames(ItemLayout layout, bool isKokH22);
// The maximum length of a photo item with the standard's overrides: 254 for the work-type
// items of "N43001704", 13 for the photo file name when maxExtPic is 4 and for the drawing
// file name when maxExtRef is 4. 0 for an item the layout does not have.
int PhotoItemMaxLength(ItemLayout layout, std::string_view code, int maxExtPic, int maxExtRef, int item);

struct NamedItem {
    std::string name;
    int maxLength;
};
std::vector<NamedItem> BasicItems(ItemLayout layout, std::string_view code);
// Only DTD types 1 and 2 have construction items; the agriculture class (variant 3) has its
// own names.
std::vector<NamedItem> ConstructionItems(int dtdType, int variantClass, std::string_view code);

// The label of a character-class digit as the layout shows it; empty for an unknown digit.
std::string ClassLabel(ItemLayout layout, int dtdType, int digit);
// "データ長" for DTD type 1, "文字数" otherwise.
const char* LengthColumnTitle(int dtdType);

}  // namespace velview
