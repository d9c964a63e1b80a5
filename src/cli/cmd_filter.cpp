// velview-cli filter: the photos that pass the conditions of the tree's filter panel.
#include <cstdio>
#include <map>
#include <optional>
#include <set>

#include "checks/duplicates.h"
#include "checks/pct_file_info.h"
#include "checks/photo_filter.h"
#include "cli/commands.h"
#include "cli/delivery_loader.h"
#include "cli/json_writer.h"
#include "data/db_exp_inp.h"
#include "data/field_index.h"
#include "data/pct_info.h"

namespace velview::cli {

namespace {

const char* kUsage =
    "usage: velview-cli filter DIR [--standard ID|CODE] [--json] [--text TEXT] [--flags DIGITS]\n"
    "         [--info-error] [--representative] [--frequency]\n"
    "         [--inspected] [--findings] [--unchecked] [--from FILE.csv|FILE.tod]\n"
    "         [--no-exif-date] [--tampered] [--duplicate]";

}  // namespace

int FilterCommand(const Args& args) {
    PhotoFilter filter;
    filter.easyMode = true;
    // The seven levels of the tree: 大分類, 写真区分, 工種, 種別, 細別, 写真タイトル, 撮影箇所.
    filter.levelFields = {fld::PctLBn, fld::PctKbn, fld::KshNam, fld::SbtNam, fld::SaiNam, fld::PctTtl, fld::PctPlc};
    std::string from;
    Args rest;
    const std::map<std::string, bool PhotoFilter::*> switches = {
        {"--info-error", &PhotoFilter::infoError},   {"--representative", &PhotoFilter::representative},
        {"--frequency", &PhotoFilter::frequency},    {"--inspected", &PhotoFilter::inspected},
        {"--findings", &PhotoFilter::findings},      {"--unchecked", &PhotoFilter::unchecked},
        {"--no-exif-date", &PhotoFilter::noExifDate}, {"--tampered", &PhotoFilter::tampered},
        {"--duplicate", &PhotoFilter::duplicate}};
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (auto s = switches.find(args[i]); s != switches.end()) {
            filter.*(s->second) = true;
        } else if (args[i] == "--text" && i + 1 < args.size()) {
            filter.easyText = args[++i];
        } else if (args[i] == "--flags" && i + 1 < args.size()) {
            // The digits typed, as the 整理フラグ box reads them.
            std::set<int> digits;
            for (char c : args[++i])
                if (c >= '0' && c <= '9') digits.insert(c - '0');
            filter.sortFlags.assign(digits.begin(), digits.end());
        } else if (args[i] == "--from" && i + 1 < args.size()) {
            from = args[++i];
        } else {
            rest.push_back(args[i]);
        }
    }
    Options o;
    if (!ParseOptions(rest, o, kUsage)) return 2;
    ProgramRuntime runtime;
    TEIControl& control = DataControl();
    if (int rc = LoadFolder(o, &runtime, control); rc != 0) return rc;
    TDBExpInp& f = *control.Format();
    TPctStateList& states = TPctStateList::Instance();
    states.Clear();
    try {
        if (!from.empty() && !ApplyInspectionFrom(from, control)) return 1;
    } catch (const std::exception& e) {
        Error(e.what());
        return 2;
    }

    std::map<int, std::optional<TPctFileInfo>> infos;
    FilterInputs in;
    in.states = &states;
    in.fileInfo = [&](int photo) -> const TPctFileInfo* {
        auto [it, fresh] = infos.try_emplace(photo);
        if (fresh) {
            const ResolvedFile file = f.PhotoFile(f.Photos.Items(photo));
            if (file.status == FileStatus::Ok) {
                TPctFileInfo info = GatherFileInfo(file.path, filter.tampered);
                if (info.filled) it->second = std::move(info);
            }
        }
        return it->second ? &*it->second : nullptr;
    };
    std::set<int> listed;
    if (filter.duplicate) {
        TComparisonFileList list;
        bool multipleMedia = false;
        ComputeDuplicateGroups(f, list, multipleMedia);
        for (const auto& e : list.Entries()) listed.insert(e.photoIndex);
    }
    in.comparable = [&](int photo) { return f.PhotoFile(f.Photos.Items(photo)).status == FileStatus::Ok; };
    in.inComparisonList = [&](int photo) { return listed.count(photo) > 0; };

    std::vector<const TEIPctInfo*> photos;
    for (int i = 0; i < f.Photos.Count(); ++i) photos.push_back(f.Photos.At(i));
    const std::vector<int> passed = FilterPhotos(filter, photos, in);
    const std::vector<std::string> names = PhotoFileNames(f);
    if (o.json) {
        JsonWriter w;
        w.BeginObject().Field("photos", f.Photos.Count()).Field("passed", static_cast<int>(passed.size()));
        w.Field("all_files_available", in.allFilesAvailable);
        w.Key("list").BeginArray();
        for (int n : passed)
            w.BeginObject().Field("number", n).Field("file", names[static_cast<std::size_t>(n)]).EndObject();
        w.EndArray().EndObject();
        std::printf("%s\n", w.Text().c_str());
    } else {
        for (int n : passed) std::printf("%d %s\n", n, names[static_cast<std::size_t>(n)].c_str());
        std::fprintf(stderr, "%zu of %d photos pass\n", passed.size(), f.Photos.Count());
    }
    if (!in.allFilesAvailable)
        Warn("some photo files are not at hand (another medium): the file conditions could not judge them");
    return 0;
}

}  // namespace velview::cli
