// The start-up slice of the program without its windows: extract the built-in files into the
// private runtime folder, open the two standard files as settings trees, report, remove.
#include <cstdio>
#include <filesystem>

#include <unistd.h>

#include "cli/commands.h"
#include "common/ent_file_mgr.h"
#include "common/runtime_folder.h"
#include "common/sys_file_mgr.h"

namespace velview::cli {
namespace {

void ListSections(const char* title, TTreeIni& tree) {
    std::printf("%s: %d top-level sections\n", title, tree.Count());
    for (int i = 0; i < tree.Count(); ++i) {
        TTreeIniItem* s = tree.Item(i);
        std::printf("  [%s] %d values, %d sub-sections\n", s->Name().c_str(), s->Values().Count(), s->Count());
    }
}

}  // namespace

int StartupCommand(const Args& args) {
    const bool hold = args.size() == 1 && args[0] == "--hold";
    if (!args.empty() && !hold) {
        Error("usage: velview-cli startup [--hold]");
        return 2;
    }
    RuntimeFolder& folder = RuntimeFolder::Instance();
    std::printf("runtime folder: %s\n", folder.Path().c_str());
    {
        TSysFileMgr sys;
        sys.ExtractAll();
        std::printf("extracted %zu files:\n", sys.Containers().size());
        for (const auto& c : sys.Containers())
            std::printf("  %s (%zu bytes)\n", c->FileName().c_str(), c->Content().size());
        TEntFileMgr ent;
        ent.Extract();
        ListSections("EnTyp.tin", ent.StandardListTree());
        ListSections("EntInfo.tin", ent.InformationTree());
        if (hold) {
            // Keeps the extracted files for inspection until the process is interrupted; the
            // signal cleanup removes them then.
            std::printf("holding the extracted files; press Ctrl+C to remove them and stop\n");
            std::fflush(stdout);
            for (;;) ::pause();
        }
        ent.DeleteFiles();
        sys.RemoveAll();
    }
    folder.Remove();
    std::error_code ec;
    const bool gone = !std::filesystem::exists(folder.Path(), ec);
    std::printf("removed: %s\n", gone ? "yes" : "no");
    return gone ? 0 : 2;
}

}  // namespace velview::cli
