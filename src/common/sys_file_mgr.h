// The files the program needs beside itself at run time, written into the private runtime
// folder at start-up and removed at exit.
#pragma once

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/file_container.h"

namespace velview {

class TSysFileMgr {
public:
    // `folder` defaults to the runtime folder of this process.
    explicit TSysFileMgr(std::filesystem::path folder = {});
    ~TSysFileMgr();
    TSysFileMgr(const TSysFileMgr&) = delete;
    TSysFileMgr& operator=(const TSysFileMgr&) = delete;

    const std::filesystem::path& Folder() const { return folder_; }

    // Start-up extraction. Work-type masters and the licence text are always rewritten, so a
    // file changed or left behind by an earlier run is never used. Throws IoError.
    void ExtractAll();
    // Exit: removes every extracted file and every file extracted on demand.
    void RemoveAll();
    // Extracts a container once per run (a second request for the same path does nothing).
    void ExtractOnDemand(TFileContainer& container, const std::filesystem::path& folder);

    // The path of an extracted file by its bare name, empty when it was not extracted.
    std::filesystem::path PathOf(const std::string& name) const;
    const std::vector<std::unique_ptr<TFileContainer>>& Containers() const { return containers_; }

private:
    std::filesystem::path folder_;
    std::vector<std::unique_ptr<TFileContainer>> containers_;
    std::set<std::filesystem::path> onDemand_;
    std::vector<std::filesystem::path> deleteAtExit_;
};

}  // namespace velview
