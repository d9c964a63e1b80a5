#include "common/settings_file.h"

#include "common/ext_string_list.h"
#include "common/tree_ini.h"

namespace velview {
namespace fs = std::filesystem;

namespace {
void RequireFile(const fs::path& in) {
    // A missing file would load as an empty tree; for a whole-file tool that is an error.
    if (!IsRegularFile(in)) {
        std::error_code ec;
        throw IoError(in.string() + (fs::exists(in, ec) ? ": not a regular file" : ": no such file"));
    }
}

void SaveAs(TTreeIni& tree, const fs::path& out) {
    tree.SetModified(true);
    tree.SaveFile(out.string(), SaveForce::AlwaysKeepName);
}
}  // namespace

std::string DumpSettingsFile(const fs::path& in, std::vector<std::string>& problems) {
    RequireFile(in);
    TTreeIni tree;
    problems = tree.LoadFile(in.string(), LoadMode::Open);
    tree.RebuildText();
    return tree.Values().Text("\n");
}

void ConvertSettingsFile(const fs::path& in, const fs::path& out, std::vector<std::string>& problems) {
    RequireFile(in);
    TTreeIni tree;
    problems = tree.LoadFile(in.string(), LoadMode::Open);
    SaveAs(tree, out);
}

void WriteSettingsText(std::string_view utf8Text, const fs::path& out) {
    TTreeIni tree;
    tree.SetText(SplitLines(utf8Text), LoadMode::Open);
    SaveAs(tree, out);
}

}  // namespace velview
