#include "data/db_exp_inp.h"

#include "data/ei_control.h"

namespace velview {
namespace fs = std::filesystem;

namespace {
std::string SubFolder(const std::string& base, const char* name) {
    const fs::path found = FindEntryNoCase(base, name);
    std::error_code ec;
    if (!found.empty() && fs::is_directory(found, ec)) return base + found.filename().string() + "/";
    return base + name + "/";
}

// A field holds the folder followed by the delivered name; the name alone is resolved, so
// that a name leading outside is noticed.
ResolvedFile ResolveIn(const std::string& folder, std::string_view value) {
    std::string_view name = value;
    std::string base = folder;
    if (value.substr(0, folder.size()) == folder) {
        name = value.substr(folder.size());
    } else {
        std::string dir, file;
        SplitFieldPath(value, dir, file);
        if (!dir.empty() && dir.front() == '/') return {FileStatus::Outside, {}};
    }
    return ResolveDeliveryFile(base, name);
}
}  // namespace

void TDBExpInp::SetupPaths() {
    BaseFolder = control_.Folder();
    PhotoFolder = SubFolder(BaseFolder, "PIC");
    DrawingFolder = SubFolder(BaseFolder, "DRA");
}

ResolvedFile TDBExpInp::PhotoFile(const TCustomPctInfo& record) const {
    return ResolveIn(PhotoFolder, record.FieldView(fld::PctFNm));
}

ResolvedFile TDBExpInp::DrawingFile(std::string_view value) const { return ResolveIn(DrawingFolder, value); }

}  // namespace velview
