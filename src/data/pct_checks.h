// The record checks against the current applicable standard: which field each standard item
// is, and the required, length, class, prefix and rule checks with the cell colours.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ent/ent_items.h"
#include "ent/ent_type_kss.h"
#include "ent/item_layouts.h"
#include "ent/standard_flags.h"

namespace velview {

class TCustomPctInfo;

// Everything the checks read from the current standard, taken once per standard.
struct CheckContext {
    std::string code;
    int dtdType = 5;
    int variantClass = 8;
    bool workTypeCheck = true;
    ItemLayout layout = ItemLayout::Type5;
    std::shared_ptr<const StandardDependentFlags> flags;
    TEntItems photoItems;
    TEntTypeKss kss;
    std::array<int, 52> itemOfField{};
    std::vector<int> fieldOfItem;  // per layout item
    std::vector<int> maxLength;    // per layout item, with the overrides
    std::vector<std::string> majorCategories;
    std::vector<std::string> photoCategories;
    bool ruleActive = false;

    int ItemOf(int f) const { return (f >= 0 && f < 52) ? itemOfField[static_cast<std::size_t>(f)] : -1; }
    int FieldOf(int item) const;
    // The requirement level of the field's item; 4 when the layout has no item for it.
    int Level(int f) const;
};

// The context of the current standard; rebuilt when the standard (or its data) changed.
std::shared_ptr<const CheckContext> CurrentCheckContext();
// Forget the cached context, e.g. after the user switched the relation check.
void InvalidateCheckContext();

int ItemOfField(int f);
int FieldOfItem(int item);
int FieldLevel(int f);
int ItemMaxLength(int item);

// A grid cell's background: the window colour or an RGB colour.
struct CellColour {
    bool window = true;
    std::uint8_t r = 255, g = 255, b = 255;
    static CellColour Window() { return {}; }
    static CellColour Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return {false, r, g, b}; }
    bool operator==(const CellColour&) const = default;
};
constexpr std::uint8_t kRequiredFaultRgb[3] = {255, 187, 187};
constexpr std::uint8_t kOtherFaultRgb[3] = {255, 255, 176};

CellColour CheckColour(const TCustomPctInfo& record, int item);

// The relation-check result of a record's fields 0-4 (2 = complete).
int RuleResult(const TCustomPctInfo& record);

}  // namespace velview
