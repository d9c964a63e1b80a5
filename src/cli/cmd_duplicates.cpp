// velview-cli duplicates: photos of a delivery whose files have identical content.
#include <cstdio>

#include "checks/duplicates.h"
#include "data/db_exp_inp.h"
#include "cli/commands.h"
#include "cli/delivery_loader.h"
#include "cli/json_writer.h"
#include "data/delivery_files.h"

namespace velview::cli {

int DuplicatesCommand(const Args& args) {
    Options o;
    if (!ParseOptions(args, o, "usage: velview-cli duplicates DIR [--json]")) return 2;
    // Only the files count here: no standard is needed, so none of the built-in data is set up.
    TEIControl& control = DataControl();
    if (int rc = LoadFolder(o, nullptr, control); rc != 0) return rc;
    const TDBExpInp& f = *control.Format();
    const std::vector<std::string> names = PhotoFileNames(f);
    TComparisonFileList list;
    bool multipleMedia = false;
    const std::vector<std::string> lines = FindDuplicatesAuto(f.PhotoFolder, names, list, multipleMedia);
    auto numbers = [](const std::string& line) {
        std::vector<int> out;
        for (std::size_t pos = 0; pos < line.size();) {
            const std::size_t comma = line.find(',', pos);
            out.push_back(std::atoi(line.substr(pos, comma - pos).c_str()));
            if (comma == std::string::npos) break;
            pos = comma + 1;
        }
        return out;
    };
    if (o.json) {
        JsonWriter w;
        w.BeginObject().Field("mode", multipleMedia ? "digest" : "bytes").Field("bytes_read", static_cast<long long>(list.BytesRead()));
        w.Key("groups").BeginArray();
        for (const auto& line : lines) {
            w.BeginObject().Field("line", line);
            w.Key("photos").BeginArray();
            for (int n : numbers(line)) w.BeginObject().Field("number", n).Field("file", names[static_cast<std::size_t>(n)]).EndObject();
            w.EndArray().EndObject();
        }
        w.EndArray().EndObject();
        std::printf("%s\n", w.Text().c_str());
    } else {
        std::printf("%zu groups (%s comparison)\n", lines.size(), multipleMedia ? "digest" : "byte");
        for (const auto& line : lines) {
            std::printf("%s:", line.c_str());
            for (int n : numbers(line)) std::printf(" %s", names[static_cast<std::size_t>(n)].c_str());
            std::printf("\n");
        }
    }
    return lines.empty() ? 0 : 1;
}

}  // namespace velview::cli
