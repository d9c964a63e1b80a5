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

// A field holds the folder it was read with followed by the delivered name; the name alone is
// resolved, in the current folder (which differs from the read one once another medium is
// set), so that a name leading outside is noticed.
ResolvedFile ResolveIn(const std::string& folder, const std::string& readFolder, std::string_view value) {
    std::string_view name = value;
    if (value.substr(0, folder.size()) == folder) {
        name = value.substr(folder.size());
    } else if (!readFolder.empty() && value.substr(0, readFolder.size()) == readFolder) {
        name = value.substr(readFolder.size());
    } else {
        std::string dir, file;
        SplitFieldPath(value, dir, file);
        if (!dir.empty() && dir.front() == '/') return {FileStatus::Outside, {}};
    }
    return ResolveDeliveryFile(folder, name);
}
}  // namespace

void TDBExpInp::SetupPaths() {
    BaseFolder = control_.Folder();
    PhotoFolder = SubFolder(BaseFolder, "PIC");
    DrawingFolder = SubFolder(BaseFolder, "DRA");
}

void TDBExpInp::SetBaseFolder(const std::string& folder) {
    // The records keep the folders they were read with.
    if (readPhotoFolder_.empty()) readPhotoFolder_ = PhotoFolder;
    if (readDrawingFolder_.empty()) readDrawingFolder_ = DrawingFolder;
    BaseFolder = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    PhotoFolder = SubFolder(BaseFolder, "PIC");
    DrawingFolder = SubFolder(BaseFolder, "DRA");
}

ResolvedFile TDBExpInp::PhotoFile(const TCustomPctInfo& record) const {
    return ResolveIn(PhotoFolder, readPhotoFolder_, record.FieldView(fld::PctFNm));
}

ResolvedFile TDBExpInp::DrawingFile(std::string_view value) const { return ResolveIn(DrawingFolder, readDrawingFolder_, value); }

}  // namespace velview
