// velview-cli check / info: load a delivery folder as the viewer does and report on it.
#include <cstdio>
#include <filesystem>

#include "checks/delivery_check.h"
#include "cli/commands.h"
#include "cli/delivery_loader.h"
#include "cli/json_writer.h"
#include "data/ei_control.h"
#include "data/photo_xml_reader.h"
#include "ent/current_standard.h"
#include "ent/program_runtime.h"

namespace velview::cli {
namespace fs = std::filesystem;

namespace {

void Print(const std::string& s) { std::fwrite(s.data(), 1, s.size(), stdout); }

std::string Relative(const std::string& base, std::string_view path) {
    return path.substr(0, base.size()) == base ? std::string(path.substr(base.size())) : std::string(path);
}

}  // namespace

int CheckCommand(const Args& args) {
    Options o;
    if (!ParseOptions(args, o, "usage: velview-cli check DIR [--standard ID|CODE] [--json]")) return 2;
    ProgramRuntime runtime;
    for (const auto& p : runtime.Problems()) Warn(p);
    TEIControl& control = DataControl();
    if (int rc = LoadFolder(o, &runtime, control); rc != 0) return rc;
    const TDBExpInp& format = *control.Format();
    const DeliveryReport report = CheckDelivery(format, control.MediumNumber());
    const TEntType& std = CurrentStandard();

    if (o.json) {
        JsonWriter w;
        w.BeginObject()
            .Field("folder", o.dir)
            .Field("data_kind", static_cast<int>(control.Kind()))
            .Field("standard", std.id)
            .Field("standard_code", std.code)
            .Field("standard_name", std.name);
        w.Key("photos").BeginArray();
        for (const PhotoReport& p : report.photos) {
            if (p.faults.empty() && p.note.empty()) continue;
            w.BeginObject().Field("number", p.number).Field("file", p.file).Field("note", p.note);
            w.Key("faults").BeginArray();
            for (const PhotoFault& f : p.faults)
                w.BeginObject()
                    .Field("field", std::string(FieldKey(f.field)))
                    .Field("item", f.itemName)
                    .Field("kind", FaultKindName(f.kind))
                    .Field("mark", f.mark)
                    .Field("detail", f.detail)
                    .EndObject();
            w.EndArray().EndObject();
        }
        w.EndArray();
        w.Key("summary").BeginObject().Field("photos", static_cast<int>(report.photos.size()))
            .Field("photos_with_faults", report.photosWithFaults);
        for (int k = 0; k < kFaultKindCount; ++k)
            w.Field(FaultKindName(static_cast<FaultKind>(k)), report.faultsByKind[static_cast<std::size_t>(k)]);
        w.EndObject().EndObject();
        Print(w.Text() + "\n");
    } else {
        Print("適用基準: " + std.name + " (" + std.id + ", " + std.code + ")\n");
        Print(std::string("データ: ") + KindName(control.Kind()) + ", " + std::to_string(report.photos.size()) + " 枚\n");
        for (const PhotoReport& p : report.photos) {
            if (p.faults.empty() && p.note.empty()) continue;
            Print("\n写真 " + std::to_string(p.number + 1) + " " + (p.file.empty() ? "(ファイル名なし)" : p.file) + "\n");
            if (!p.note.empty()) Print("  note: " + p.note + "\n");
            for (const PhotoFault& f : p.faults) {
                std::string line = "  " + std::string(FieldKey(f.field));
                if (!f.itemName.empty()) line += " " + f.itemName;
                line += ": " + std::string(FaultKindName(f.kind));
                if (!f.mark.empty()) line += " " + f.mark;
                if (!f.detail.empty()) line += " (" + f.detail + ")";
                Print(line + "\n");
            }
        }
        char summary[256];
        std::snprintf(summary, sizeof summary,
                      "\n%zu photos, %d with faults; required %d, length %d, class %d, prefix %d, rule %d, file %d\n",
                      report.photos.size(), report.photosWithFaults, report.faultsByKind[0], report.faultsByKind[1],
                      report.faultsByKind[2], report.faultsByKind[3], report.faultsByKind[4], report.faultsByKind[5]);
        Print(summary);
    }
    return report.photosWithFaults > 0 ? 1 : 0;
}

int InfoCommand(const Args& args) {
    Options o;
    if (!ParseOptions(args, o, "usage: velview-cli info DIR [--json]")) return 2;
    ProgramRuntime runtime;
    for (const auto& p : runtime.Problems()) Warn(p);
    TEIControl& control = DataControl();
    if (int rc = LoadFolder(o, &runtime, control); rc != 0) return rc;
    const TDBExpInp& format = *control.Format();
    const std::string base = format.BaseFolder;
    const auto* xml = dynamic_cast<const TDBExpInpXML*>(&format);

    JsonWriter w;
    w.BeginObject()
        .Field("folder", o.dir)
        .Field("data_kind", static_cast<int>(control.Kind()))
        .Field("medium", control.MediumNumber())
        .Field("dtd_version", xml ? xml->DtdVersion : 0)
        .Field("dtd_variant", xml ? xml->DtdVariant : 0)
        .Field("encoding", xml ? (xml->Encoding == XmlEncoding::Utf8 ? "UTF-8" : "Shift_JIS") : "Shift_JIS")
        .Field("has_photo04_dtd", xml ? xml->HasPhoto04Dtd : false)
        .Field("photo_folder", Relative(base, format.PhotoFolder))
        .Field("drawing_folder", Relative(base, format.DrawingFolder));
    w.Key("basic").BeginObject();
    static const char* kBasic[10] = {"dtd_version", "photo_folder", "drawing_folder", "medium_reserve", "software_name",
                                     "version", "maker_name", "maker_contact", "software_maker_tags", "guideline"};
    for (int i = 1; i <= 10; ++i) {
        if (i == 9) w.Field(kBasic[8], format.BaseInfo.tags);
        else w.Field(kBasic[i - 1], format.BaseInfo.Get(i));
    }
    w.EndObject();
    w.Key("construction").BeginObject();
    for (int i = 1; i <= 15; ++i) w.Field(TKojiInformation::Caption(i), format.KojiInfo.Get(i));
    w.EndObject();
    w.Key("photos").BeginArray();
    for (int n = 0; n < format.Photos.Count(); ++n) {
        const TEIPctInfo* r = format.Photos.At(n);
        w.BeginObject().Field("number", n);
        w.Key("fields").BeginObject();
        for (int f = 0; f < kFieldCount; ++f) {
            const std::string key(FieldKey(f));
            if (IsListField(f)) {
                std::vector<std::string> items = r->FieldList(f)->Items();
                if (f == fld::RefFNX)
                    for (auto& i : items) i = Relative(base, i);
                w.Field(key, items);
            } else if (f >= fld::PctFNm && f <= fld::RefFN3) {
                w.Field(key, Relative(base, r->FieldView(f)));
            } else if (f == fld::KmkSel) {
                w.Field(key, r->ItemSelectionText());
            } else {
                w.Field(key, std::string(r->FieldView(f)));
            }
        }
        w.EndObject().Field("station", r->StationNumber()).EndObject();
    }
    w.EndArray().EndObject();
    if (o.json) {
        Print(w.Text() + "\n");
    } else {
        // The same content for people: one "key: value" line per non-empty value.
        Print(std::string("data kind: ") + KindName(control.Kind()) + "\n");
        if (xml) Print("document type: version " + std::to_string(xml->DtdVersion) + ", variant " + std::to_string(xml->DtdVariant) + "\n");
        Print("photos: " + std::to_string(format.Photos.Count()) + "\n");
        for (int i = 1; i <= 15; ++i)
            if (!format.KojiInfo.Get(i).empty()) Print(std::string(TKojiInformation::Caption(i)) + ": " + format.KojiInfo.Get(i) + "\n");
        for (int n = 0; n < format.Photos.Count(); ++n) {
            const TEIPctInfo* r = format.Photos.At(n);
            Print("\n[" + std::to_string(n + 1) + "]\n");
            for (int f = 0; f < kFieldCount; ++f) {
                std::string v;
                if (IsListField(f)) {
                    for (const std::string& item : r->FieldList(f)->Items()) v += (v.empty() ? "" : " | ") + Relative(base, item);
                } else {
                    v = Relative(base, r->FieldView(f));
                }
                if (v.empty()) continue;
                Print("  " + std::string(FieldKey(f)) + " " + std::string(FieldCaption(f)) + ": " + v + "\n");
            }
        }
    }
    return 0;
}

}  // namespace velview::cli
