// The standard-dependent information: one settings tree whose top-level sections are named by
// standard code and hold that standard's switches, classification vocabulary, basic
// information defaults and image limits.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/tree_ini.h"

namespace velview {

class TEntInfo : public TTreeIni {
public:
    // The single instance of the process (empty until content is supplied).
    static TEntInfo& Instance();

    // Replaces the whole tree with a settings text and resolves its references. Returns the
    // references that could not be resolved, as texts naming the section.
    std::vector<std::string> ReplaceContent(const std::vector<std::string>& lines);
    std::vector<std::string> ReplaceContentFromFile(const std::string& file);
    // Counts content replacements, so caches built from the content know when to go.
    unsigned Generation() const { return generation_; }

    // Sections of one code; null when absent (nothing is created by a query).
    TTreeIniItem* CodeSection(std::string_view code);
    TTreeIniItem* ClassificationRoot(std::string_view code);  // C\KbnTree
    TTreeIniItem* BasicDefaults(std::string_view code);       // C\BaseInfo
    TTreeIniItem* ImageLimits(std::string_view code);         // C\StdJpgProp

    // A value of the code's own section, or the default.
    std::string CodeValue(std::string_view code, std::string_view key, std::string_view def = "");

    // The "Name" values of the children of C\KbnTree, in order.
    std::vector<std::string> MajorCategories(std::string_view code);
    // The "Name" values of the children of the first child of C\KbnTree.
    std::vector<std::string> PhotoCategories(std::string_view code);
    bool IsMajorCategory(std::string_view code, std::string_view text);
    // Empty text passes for DTD type 5 and above unless `strict`.
    bool IsPhotoCategory(std::string_view code, int dtdType, std::string_view text, bool strict);

private:
    TEntInfo() = default;
    std::vector<std::string> ResolveReferences();
    unsigned generation_ = 0;
};

// Resolves every "Reference" of a tree, depth first, each section before its children.
// A plain value copies the subtree at that path onto the section (which keeps its own name);
// a quoted list copies the named children of its first path. References to a missing
// section, to the section itself or to one of its ancestors are left unresolved and reported.
std::vector<std::string> ResolveSettingsReferences(TTreeIni& tree);

}  // namespace velview
