// Derivation of the standard code and base name for definitions written without a code (older
// user files): by fixed id, else by the DTD type and keywords found in the name.
#pragma once

#include <string>
#include <string_view>

namespace velview {

struct DerivedCode {
    std::string code;
    std::string baseName;
};

// Applies the three corrections of known-wrong combinations to a definition that has a code.
void CorrectCode(std::string& code, std::string& baseName, std::string_view name);

// The code and base name of a definition without a code. A definition that matches no rule
// gets "NOTHING" and keeps its base name.
DerivedCode DeriveCode(std::string_view id, std::string_view name, int dtdType, std::string_view baseName);

// The telecommunication-equipment form of a code: "P…" becomes "E…"; "C", "K" and "N"
// codes take an "E" after the letter ("C00001606" -> "CE0001606").
std::string TelecomForm(std::string_view code);

}  // namespace velview
