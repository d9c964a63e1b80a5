#include "common/ent_file_mgr.h"

#include <unistd.h>

#include "common/embedded_data.h"
#include "common/ext_registry.h"
#include "common/runtime_folder.h"

namespace velview {
namespace fs = std::filesystem;

namespace {
constexpr const char* kStandardsFile = "EnTyp.tin";
constexpr const char* kInformationFile = "EntInfo.tin";

std::unique_ptr<TTreeIni> WriteAndOpen(const fs::path& folder, const char* name) {
    const EmbeddedFile* f = EmbeddedStandardFile(name);
    if (!f) throw IoError(std::string(name) + ": not built into this program");
    const fs::path target = folder / name;
    if (::unlink(target.c_str()) != 0 && errno != ENOENT)
        throw IoError(target.string() + ": cannot replace the old file: " + ErrnoText(errno));
    WriteFileAtomic(target, f->bytes(), 0600);
    // Open it strictly: a built-in file that does not read back is a broken build or a
    // broken folder, not an empty list of standards.
    auto tree = std::make_unique<TTreeIni>();
    tree->LoadFile(target.string(), LoadMode::Open);
    return tree;
}
}  // namespace

TEntFileMgr::TEntFileMgr(fs::path folder) : folder_(std::move(folder)) {
    if (folder_.empty()) folder_ = RuntimeFolder::Instance().Path() / ProgramName();
}

TEntFileMgr::~TEntFileMgr() { DeleteFiles(); }

void TEntFileMgr::Extract() {
    CreateDirectories(folder_);
    standards_ = WriteAndOpen(folder_, kStandardsFile);
    information_ = WriteAndOpen(folder_, kInformationFile);
}

TTreeIni& TEntFileMgr::StandardListTree() {
    if (!standards_) throw IoError("the built-in standards were not extracted");
    return *standards_;
}

TTreeIni& TEntFileMgr::InformationTree() {
    if (!information_) throw IoError("the built-in standard information was not extracted");
    return *information_;
}

void TEntFileMgr::DeleteFiles() {
    for (auto* tree : {&standards_, &information_}) {
        if (*tree) (*tree)->SetModified(false);  // nothing is written back on the way out
        tree->reset();
    }
    for (const char* n : {kStandardsFile, kInformationFile}) ::unlink((folder_ / n).c_str());
}

}  // namespace velview
