// Loading a delivery folder from the command line, as the viewer loads it.
#pragma once

#include <string>

#include "cli/commands.h"
#include "data/ei_control.h"
#include "ent/program_runtime.h"

namespace velview::cli {

struct Options {
    std::string dir;
    std::string standard;
    bool json = false;
};

// DIR, --standard ID|CODE and --json; false (after printing the usage) when they do not parse.
bool ParseOptions(const Args& args, Options& o, const char* usage);
// Loads the folder (or its PHOTO sub-folder) with the standard chosen as the viewer chooses
// it; 0 when loaded, else the exit status (the message printed). Without a runtime (commands
// that look only at the files) no standard is chosen.
int LoadFolder(const Options& o, ProgramRuntime* runtime, TEIControl& control);
const char* KindName(DataKind k);
// The PHOTO sub-folder of a medium or construction folder when it has one, else the folder.
std::string PhotoSubFolderOr(const std::string& folder);
void Warn(const std::string& s);

}  // namespace velview::cli
