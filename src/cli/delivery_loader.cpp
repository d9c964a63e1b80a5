#include "cli/delivery_loader.h"

#include <cstdio>
#include <filesystem>

#include "data/photo_xml_reader.h"
#include "ent/current_standard.h"

namespace velview::cli {
namespace fs = std::filesystem;

void Warn(const std::string& s) { std::fprintf(stderr, "velview-cli: warning: %s\n", s.c_str()); }

bool ParseOptions(const Args& args, Options& o, const char* usage) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--json") {
            o.json = true;
        } else if (args[i] == "--standard" && i + 1 < args.size()) {
            o.standard = args[++i];
        } else if (o.dir.empty() && args[i].rfind("--", 0) != 0) {
            o.dir = args[i];
        } else {
            Error(usage);
            return false;
        }
    }
    if (o.dir.empty()) {
        Error(usage);
        return false;
    }
    return true;
}

std::string PhotoSubFolderOr(const std::string& folder) {
    const fs::path photo = FindEntryNoCase(folder, "PHOTO");
    std::error_code ec;
    return !photo.empty() && fs::is_directory(photo, ec) ? photo.string() : folder;
}

const char* KindName(DataKind k) {
    switch (k) {
        case DataKind::ProductCsv: return "撮記堂.csv";
        case DataKind::PhotoXml: return "PHOTO.XML";
        case DataKind::PhotoInfoCsv: return "写真情報.csv";
        default: return "none";
    }
}

// Loads the folder with the standard chosen as the viewer chooses it; 0 when loaded.
int LoadFolder(const Options& o, ProgramRuntime* runtime, TEIControl& control) {
    std::error_code ec;
    if (!fs::is_directory(o.dir, ec)) {
        Error(o.dir + ": not a folder");
        return 2;
    }
    TEntTypeList list = runtime ? runtime->StandardList() : TEntTypeList();
    if (!o.standard.empty()) {
        int at = list.IndexOfId(o.standard);
        for (int i = 0; at < 0 && i < list.Count(); ++i)
            if (list.At(i).code == o.standard) at = i;
        if (at < 0) {
            Error("no standard with id or code '" + o.standard + "' (see velview-cli standards list)");
            return 2;
        }
        CurrentStandard() = list.At(at);
    }
    std::string folder = fs::absolute(o.dir).lexically_normal().string();
    control.Examine(folder);
    // A construction folder holds its delivery in the sub-folder PHOTO.
    if (control.Kind() == DataKind::None) {
        const std::string photo = PhotoSubFolderOr(folder);
        if (photo != folder) {
            control.Examine(photo);
            if (control.Kind() != DataKind::None) folder = photo;
        }
    }
    if (control.Kind() == DataKind::None) {
        Error(o.dir + ": no delivery data (PHOTO.XML, or 撮記堂.csv / 写真情報.csv with their backup information)");
        return 2;
    }
    const int result = control.Load(folder, control.MediumNumber());
    for (const auto& p : control.Format() ? control.Format()->Problems : std::vector<std::string>{}) Warn(p);
    if (result != 0) {
        Error(o.dir + ": the delivery could not be loaded");
        return 2;
    }
    if (auto* xml = dynamic_cast<TDBExpInpXML*>(control.Format()); xml && o.standard.empty() && runtime) {
        // A batch run uses the fitting standard but leaves the user's stored choice alone.
        if (auto msg = MatchStandardToDelivery({xml->DtdVersion, xml->DtdVariant, xml->HasPhoto04Dtd}, list, false))
            std::fprintf(stderr, "%s\n", msg->c_str());
    }
    return 0;
}

}  // namespace velview::cli
