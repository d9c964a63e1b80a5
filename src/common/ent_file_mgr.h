// The two built-in standard definition files: written into the runtime folder at start-up,
// opened as settings trees, and deleted at exit.
#pragma once

#include <filesystem>
#include <memory>

#include "common/tree_ini.h"

namespace velview {

class TEntFileMgr {
public:
    // `folder` defaults to the sub-folder named after the program in the runtime folder.
    explicit TEntFileMgr(std::filesystem::path folder = {});
    ~TEntFileMgr();
    TEntFileMgr(const TEntFileMgr&) = delete;
    TEntFileMgr& operator=(const TEntFileMgr&) = delete;

    // Writes "EnTyp.tin" and "EntInfo.tin" (replacing existing files) and opens each as a
    // settings tree. Throws IoError when a file cannot be written or read back.
    void Extract();
    // The tree of "EnTyp.tin": its whole text is the built-in list of standards.
    TTreeIni& StandardListTree();
    // The tree of "EntInfo.tin": the standard-dependent information.
    TTreeIni& InformationTree();
    // Deletes both files (and closes the trees without writing them back).
    void DeleteFiles();

    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path folder_;
    std::unique_ptr<TTreeIni> standards_;
    std::unique_ptr<TTreeIni> information_;
};

}  // namespace velview
