#include "common/sys_file_mgr.h"

#include <unistd.h>

#include "common/file_io.h"
#include "common/runtime_folder.h"

namespace velview {
namespace fs = std::filesystem;

namespace {
// Deletes the file when it is there; an always-rewritten file must not survive as it was.
void DeleteExisting(const fs::path& p) {
    if (::unlink(p.c_str()) != 0 && errno != ENOENT)
        throw IoError(p.string() + ": cannot replace the old file: " + ErrnoText(errno));
}
}  // namespace

TSysFileMgr::TSysFileMgr(fs::path folder) : folder_(std::move(folder)) {
    if (folder_.empty()) folder_ = RuntimeFolder::Instance().Path();
    for (const EmbeddedFile& f : EmbeddedSystemFiles()) containers_.push_back(std::make_unique<TFileContainer>(f));
}

TSysFileMgr::~TSysFileMgr() {
    try {
        RemoveAll();
    } catch (...) {
    }
}

void TSysFileMgr::ExtractAll() {
    CreateDirectories(folder_);
    for (auto& c : containers_) {
        DeleteExisting(folder_ / c->FileName());
        if (!c->Extract(folder_)) throw IoError((folder_ / c->FileName()).string() + ": could not be written");
    }
}

void TSysFileMgr::ExtractOnDemand(TFileContainer& c, const fs::path& folder) {
    const fs::path target = folder / c.FileName();
    if (onDemand_.count(target)) return;
    DeleteExisting(target);
    if (!c.Extract(folder)) throw IoError(target.string() + ": could not be written");
    onDemand_.insert(target);
    deleteAtExit_.push_back(target);
}

void TSysFileMgr::RemoveAll() {
    for (auto& c : containers_) c->RemoveExtracted();
    for (const fs::path& p : deleteAtExit_) ::unlink(p.c_str());
    deleteAtExit_.clear();
    onDemand_.clear();
}

fs::path TSysFileMgr::PathOf(const std::string& name) const {
    for (auto& c : containers_)
        if (c->FileName() == name && !c->ExtractedFolder().empty()) return c->ExtractedFolder() / name;
    return {};
}

}  // namespace velview
