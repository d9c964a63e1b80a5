// What the program sets up before it can check a delivery: the built-in files extracted, the
// standard-dependent information loaded, the list of standards built and the current
// standard chosen. Torn down (files removed) when the object goes.
#pragma once

#include <string>
#include <vector>

#include "common/ent_file_mgr.h"
#include "common/sys_file_mgr.h"
#include "ent/ent_type_list.h"

namespace velview {

class ProgramRuntime {
public:
    // Throws IoError when the built-in files cannot be written or read back.
    ProgramRuntime();
    ~ProgramRuntime();
    ProgramRuntime(const ProgramRuntime&) = delete;
    ProgramRuntime& operator=(const ProgramRuntime&) = delete;

    // A fresh list of standards (built-ins merged into the stored user standards).
    TEntTypeList StandardList();
    // Warnings met on the way (references that did not resolve, a stored list that did not
    // read, a work-type master that did not load).
    const std::vector<std::string>& Problems() const { return problems_; }

private:
    TSysFileMgr sys_;
    TEntFileMgr ent_;
    std::vector<std::string> problems_;
};

}  // namespace velview
