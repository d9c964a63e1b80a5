// velview-cli history / takeover / fileinfo: the inspection history, takeover data and file
// information tables without the viewer.
#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "cli/delivery_loader.h"
#include "common/file_io.h"
#include "common/text_encoding.h"
#include "exchange/inspection_exchange.h"

namespace velview::cli {

namespace {

// Further media given with --medium stand in for the folder the viewer asks for. The digest
// loop asks again while the first photo still pending is not found, so the folders are offered
// round after round, in any order, until every medium has had its turn as the one wanted.
void OfferMedia(TEIControl& control, const std::vector<std::string>& media) {
    if (media.empty()) return;
    auto next = std::make_shared<std::size_t>(0);
    const std::size_t limit = media.size() * (media.size() + 1);
    control.callbacks.confirm = [next, limit](const std::string& text) {
        if (*next >= limit) return false;
        std::fprintf(stderr, "%s\n", text.c_str());
        return true;
    };
    control.callbacks.requestFolder = [&control, media, next]() {
        // A medium is given as its root or as its PHOTO folder.
        const std::string dir = std::filesystem::absolute(media[(*next)++ % media.size()]).lexically_normal().string();
        control.Format()->SetBaseFolder(PhotoSubFolderOr(dir));
        return true;
    };
}

// The digest of each photo by photo number (empty where not readable); with `withStateOnly`
// only photos with inspection data are read, so no medium without them is asked for.
std::vector<std::string> AllDigests(TEIControl& control, bool withStateOnly = false) {
    std::vector<std::string> list, unreadable;
    const std::string base = control.Format()->BaseFolder;
    const bool complete = control.TakeoverDigests(list, withStateOnly, &unreadable);
    if (withStateOnly) {
        const TPctInfoList& photos = control.Format()->Photos;
        std::vector<std::string> byNumber(static_cast<std::size_t>(photos.Count()));
        std::size_t at = 0;
        for (int n = 0; n < photos.Count() && at < list.size(); ++n) {
            const TPctSateItem* s = TPctStateList::Instance().Find(n);
            if (s && s->HasInspectionData()) byNumber[static_cast<std::size_t>(n)] = std::move(list[at++]);
        }
        list.swap(byNumber);
    }
    control.Format()->SetBaseFolder(base);
    for (const auto& u : unreadable) Warn(u);
    if (!complete)
        Warn("not every medium of the delivery was given (--medium DIR); photos on the missing media are not matched");
    return list;
}

// A history or takeover file to import; one that cannot be read says so with the reason.
TCsvList ReadImportFile(const std::string& file) {
    TCsvList csv;
    try {
        csv.LoadFromFile(file);
    } catch (const IoError& e) {
        throw IoError(std::string(kImportReadFailed) + " (" + e.what() + ")");
    }
    return csv;
}

}  // namespace

bool ApplyInspectionFrom(const std::string& from, TEIControl& control) {
    const TCsvList csv = ReadImportFile(from);
    const auto& rows = csv.Rows();
    const bool takeover = text::EqualsAsciiNoCase(std::filesystem::path(from).extension().string(), ".tod");
    const TDBExpInp& f = *control.Format();
    TPctStateList& states = TPctStateList::Instance();
    if (takeover) {
        if (auto c = CheckTakeoverImport(rows); !c.ok) {
            Error(from + ": " + c.message);
            return false;
        }
        const int n = ImportTakeover(rows, f, AllDigests(control), states);
        std::fprintf(stderr, "%s: %d rows taken over\n", from.c_str(), n);
        if (n == 0) std::fprintf(stderr, "%s\n", kTakeoverNothingImported);
        return true;
    }
    if (auto c = CheckHistoryImport(rows, f); !c.ok) {
        Error(from + ": " + c.message);
        return false;
    }
    std::fprintf(stderr, "%s: %d rows imported\n", from.c_str(), ImportHistory(rows, f, states));
    return true;
}

namespace {

std::vector<int> AllPhotos(const TDBExpInp& f) {
    std::vector<int> v;
    for (int i = 0; i < f.Photos.Count(); ++i) v.push_back(i);
    return v;
}

}  // namespace

int ExchangeCommand(const std::string& command, const Args& args) {
    const char* usage =
        "usage: velview-cli history export DIR --out FILE.csv [--from FILE.csv|FILE.tod]\n"
        "       velview-cli history import DIR FILE.csv\n"
        "       velview-cli takeover export DIR --from FILE.csv --out FILE.TOD\n"
        "       velview-cli takeover import DIR FILE.TOD --out FILE.csv\n"
        "       velview-cli fileinfo DIR --out FILE.csv\n"
        "history and takeover accept further media of the delivery with --medium DIR (repeated)";
    std::string verb, dir, out, from, file;
    std::vector<std::string> media;
    std::size_t i = 0;
    if (command != "fileinfo") {
        if (args.empty()) {
            Error(usage);
            return 2;
        }
        verb = args[i++];
    }
    for (; i < args.size(); ++i) {
        if (args[i] == "--out" && i + 1 < args.size()) out = args[++i];
        else if (args[i] == "--from" && i + 1 < args.size()) from = args[++i];
        else if (args[i] == "--medium" && i + 1 < args.size()) media.push_back(args[++i]);
        else if (dir.empty()) dir = args[i];
        else if (file.empty()) file = args[i];
        else {
            Error(usage);
            return 2;
        }
    }
    const bool ok = dir.size() &&
                    ((command == "fileinfo" && out.size()) ||
                     (command == "history" && ((verb == "export" && out.size()) || (verb == "import" && file.size()))) ||
                     (command == "takeover" && ((verb == "export" && from.size() && out.size()) ||
                                                (verb == "import" && file.size() && out.size()))));
    if (!ok) {
        Error(usage);
        return 2;
    }
    Options o;
    o.dir = dir;
    ProgramRuntime runtime;
    TEIControl& control = DataControl();
    if (int rc = LoadFolder(o, &runtime, control); rc != 0) return rc;
    OfferMedia(control, media);
    const TDBExpInp& f = *control.Format();
    TPctStateList& states = TPctStateList::Instance();
    states.Clear();
    try {
        if (command == "fileinfo") {
            WriteCsvFile(out, FileInfoTable(f, AllPhotos(f), states).AllRows());
            std::printf("%s\n", ExportDoneText("CSV").c_str());
            return 0;
        }
        if (command == "history" && verb == "import") {
            const TCsvList csv = ReadImportFile(file);
            const ImportCheck c = CheckHistoryImport(csv.Rows(), f);
            if (!c.ok) {
                std::printf("%s\n", c.message.c_str());
                return 1;
            }
            std::printf("%d rows accepted\n", ImportHistory(csv.Rows(), f, states));
            return 0;
        }
        if (!from.empty() && !ApplyInspectionFrom(from, control)) return 1;
        if (command == "takeover" && verb == "import") {
            if (!ApplyInspectionFrom(file, control)) return 1;
            WriteCsvFile(out, HistoryTable(f, AllPhotos(f), states).AllRows());
            std::printf("%s\n", kTakeoverImported);
            return 0;
        }
        if (command == "history") {
            WriteCsvFile(out, HistoryTable(f, AllPhotos(f), states).AllRows());
            std::printf("%s\n", ExportDoneText("CSV").c_str());
            return 0;
        }
        // takeover export: the digests of the photos with inspection data.
        const OutputTable t = TakeoverTable(f, AllDigests(control, true), states);
        if (t.rows.empty()) {
            std::printf("%s\n", kNothingToExport);
            return 1;
        }
        WriteCsvFile(out, t.AllRows());
        std::printf("%s\n", ExportDoneText("TOD").c_str());
        return 0;
    } catch (const std::exception& e) {
        Error(e.what());
        return 2;
    }
}

}  // namespace velview::cli
