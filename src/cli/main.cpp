#include <cstdio>
#include <exception>
#include <string>

#include "cli/commands.h"
#include "common/heap_tuning.h"
#include "common/runtime_folder.h"

namespace {

constexpr const char* kUsage =
    "usage: velview-cli COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  check DIR [--standard ID|CODE] [--json]\n"
    "                            check every photo of a delivery against the standard;\n"
    "                            exit 0 no faults, 1 faults found, 2 not loaded\n"
    "  info DIR [--json]         everything read from a delivery\n"
    "  exif FILE|DIR... [--json] Exif date, pixel size, frame size and thumbnail size\n"
    "                            of JPEG files (folders: every .jpg below them)\n"
    "  thumbs DIR --size WxH --out OUTDIR [--jobs N]\n"
    "                            a thumbnail JPEG per photo below DIR, in parallel\n"
    "  duplicates DIR [--json]   photos whose files have identical content (exit 1: found)\n"
    "  filter DIR [CONDITIONS]   photos passing the filter conditions (run \"filter\"\n"
    "                            alone for the list of conditions)\n"
    "  history export DIR --out FILE.csv [--from FILE.csv|FILE.tod]\n"
    "  history import DIR FILE.csv\n"
    "  takeover export DIR --from FILE.csv --out FILE.TOD\n"
    "  takeover import DIR FILE.TOD --out FILE.csv\n"
    "                            inspection history and takeover data; further media\n"
    "                            of the delivery with --medium DIR2 (repeated)\n"
    "  fileinfo DIR --out FILE.csv\n"
    "                            the file information table\n"
    "  verify DIR|FILE... [--json]\n"
    "                            the tamper check of electronic blackboard photos\n"
    "  tamper sign FILE --out FILE2\n"
    "                            write check values into a JPEG (for tests and tools)\n"
    "  settings dump FILE        print a settings file (.tin or .ini) as indented text\n"
    "  settings encode IN OUT    write IN in the form OUT's extension names (.ini = text)\n"
    "  startup [--hold]          extract the built-in files, open the standard files,\n"
    "                            list what they hold and remove them again (--hold:\n"
    "                            keep them until interrupted)\n"
    "  standards list [--json]   the built-in and user standards\n"
    "  standards show ID|CODE [--json]\n"
    "                            the items, photo categories and switches of a standard\n"
    "  help                      this text\n";

}  // namespace

int main(int argc, char** argv) {
    velview::TuneHeapForBatchWork();
    // Before anything else starts a thread: a Ctrl+C must still remove extracted files.
    velview::InstallSignalCleanup();
    velview::cli::Args args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    try {
        if (command == "settings") return velview::cli::SettingsCommand(args);
        if (command == "startup") return velview::cli::StartupCommand(args);
        if (command == "standards") return velview::cli::StandardsCommand(args);
        if (command == "check") return velview::cli::CheckCommand(args);
        if (command == "info") return velview::cli::InfoCommand(args);
        if (command == "exif") return velview::cli::ExifCommand(args);
        if (command == "thumbs") return velview::cli::ThumbsCommand(args);
        if (command == "verify") return velview::cli::VerifyCommand(args);
        if (command == "tamper") return velview::cli::TamperCommand(args);
        if (command == "duplicates") return velview::cli::DuplicatesCommand(args);
        if (command == "filter") return velview::cli::FilterCommand(args);
        if (command == "history" || command == "takeover" || command == "fileinfo")
            return velview::cli::ExchangeCommand(command, args);
    } catch (const std::exception& e) {
        velview::cli::Error(e.what());
        return 2;
    }
    velview::cli::Error("unknown command '" + command + "' (see velview-cli help)");
    return 2;
}
