#include "ent/program_runtime.h"

#include "checks/work_type_master.h"
#include "common/runtime_folder.h"
#include "ent/current_standard.h"
#include "ent/ent_info.h"

namespace velview {

ProgramRuntime::ProgramRuntime() {
    sys_.ExtractAll();
    SetWorkTypeMasterFolder(sys_.Folder());
    ent_.Extract();
    for (auto& p : TEntInfo::Instance().ReplaceContent(ent_.InformationTree().Values().Lines()))
        problems_.push_back("EntInfo.tin: " + p);
    SetBuiltInStandardText(ent_.StandardListTree().Values().Lines());
    TEntTypeList list = LoadStandardList(&problems_);
    ChooseCurrentStandard(list, ProgramFolder());
}

ProgramRuntime::~ProgramRuntime() {
    ent_.DeleteFiles();
    sys_.RemoveAll();
}

TEntTypeList ProgramRuntime::StandardList() { return LoadStandardList(&problems_); }

}  // namespace velview
