// velview-cli standards: the built-in and user standards, and the items of one of them.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "common/text_encoding.h"
#include "ent/current_standard.h"
#include "ent/item_layouts.h"
#include "ent/program_runtime.h"
#include "ent/standard_flags.h"

namespace velview::cli {
namespace {

// Pads to a display width, counting a double-byte character as two columns.
std::string Pad(const std::string& s, std::size_t width) {
    const std::size_t w = text::Cp932Length(s);
    return w >= width ? s + " " : s + std::string(width - w, ' ');
}

void Print(const std::string& s) { std::fwrite(s.data(), 1, s.size(), stdout); }

struct ItemRow {
    std::string name;
    int level;
    int cls;
    int maxLength;
};

std::vector<ItemRow> GroupRows(const TEntType& e, ItemGroup g, const StandardDependentFlags& f) {
    const ItemLayout layout = LayoutFor(e.dtdVer, e.code, f.IsHokkaidoSuiRinH27);
    std::vector<NamedItem> named;
    if (g == ItemGroup::Basic) {
        named = BasicItems(layout, e.code);
    } else if (g == ItemGroup::Construction) {
        named = ConstructionItems(e.dtdVer, e.VariantClass(), e.code);
    } else {
        const auto names = PhotoItemNames(layout, f.IsKokH22);
        for (std::size_t i = 0; i < names.size(); ++i)
            named.push_back({names[i], PhotoItemMaxLength(layout, e.code, f.MaxExtLength_Pic, f.MaxExtLength,
                                                          static_cast<int>(i))});
    }
    const TEntItems& items = e.Items(g);
    std::vector<ItemRow> rows;
    for (int i = 0; i < items.Count(); ++i) {
        const NamedItem* n = i < static_cast<int>(named.size()) ? &named[static_cast<std::size_t>(i)] : nullptr;
        rows.push_back({n ? n->name : std::string(), items.Level(i), items.Class(i), n ? n->maxLength : 0});
    }
    return rows;
}

const TEntType* Find(const TEntTypeList& list, const std::string& key) {
    const int byId = list.IndexOfId(key);
    if (byId >= 0) return &list.At(byId);
    for (int i = 0; i < list.Count(); ++i)
        if (list.At(i).code == key) return &list.At(i);
    return nullptr;
}

// The fields that name a standard, shared by the list and the detail.
JsonWriter& Identity(JsonWriter& w, const TEntType& e) {
    return w.Field("id", e.id)
        .Field("code", e.code)
        .Field("name", e.name)
        .Field("base_name", e.baseName)
        .Field("dtd_type", e.dtdVer)
        .Field("variant_class", e.VariantClass());
}

int List(TEntTypeList& list, bool json) {
    if (json) {
        JsonWriter w;
        w.BeginArray();
        for (int i = 0; i < list.Count(); ++i) {
            const TEntType& e = list.At(i);
            Identity(w.BeginObject(), e)
                .Field("group", e.Group(0))
                .Field("district", e.Group(1))
                .Field("fields", e.Group(2))
                .Field("user", e.IsUserGroup())
                .Field("edition", e.EditionNumber())
                .Field("current", e.id == CurrentStandard().id)
                .EndObject();
        }
        w.EndArray();
        Print(w.Text() + "\n");
        return 0;
    }
    Print(Pad("ID", 10) + Pad("CODE", 11) + "DTD VAR " + Pad("GROUP", 9) + Pad("EDITION", 8) + "NAME\n");
    for (int i = 0; i < list.Count(); ++i) {
        const TEntType& e = list.At(i);
        char nums[64];
        std::snprintf(nums, sizeof nums, "%-4d%-4d", e.dtdVer, e.VariantClass());
        Print(Pad(e.id, 10) + Pad(e.code, 11) + nums + Pad(e.groupIdx, 9) + Pad(std::to_string(e.EditionNumber()), 8) +
              e.name + (e.id == CurrentStandard().id ? "  (current)" : "") + "\n");
    }
    return 0;
}

void SwitchesJson(JsonWriter& w, const StandardDependentFlags& f, const TEntType& e) {
    w.BeginObject()
        .Field("KojKnrXMLName", f.KojKnrXMLName)
        .Field("KojKnrDTDName", f.KojKnrDTDName)
        .Field("PHOTODTDName", PhotoDtdName(f, e.dtdVer, e.VariantClass()))
        .Field("StyleSheet", StyleSheetName(e.dtdVer))
        .Field("NoDataChk", f.NoDataChk)
        .Field("CanSelectPhotoXML", f.CanSelectPhotoXML)
        .Field("NeedPctPlcKbn", f.NeedPctPlcKbn)
        .Field("NeedPctDaiKbn", f.NeedPctDaiKbn)
        .Field("AutoInpKss", f.AutoInpKss)
        .Field("ShowChkKsh", f.ShowChkKsh)
        .Field("FrqPctIsOne", f.FrqPctIsOne)
        .Field("FjnNeedDaiPct", f.FjnNeedDaiPct)
        .Field("IsKokH22", f.IsKokH22)
        .Field("IsHokkaidoSuiRinH27", f.IsHokkaidoSuiRinH27)
        .Field("MaxExtLength_Pic", f.MaxExtLength_Pic)
        .Field("MaxExtLength", f.MaxExtLength)
        .Field("LBnKbnMstName", f.LBnKbnMstName)
        .Field("CheckKshIgnoreFrq", f.CheckKshIgnoreFrq)
        .Field("ForceCheckKbn", f.ForceCheckKbn)
        .Field("FjnHead", f.FjnHead)
        .Field("AdmitZeroOrNullFrq", f.AdmitZeroOrNullFrq)
        .Field("DaiPctNeed", f.DaiPctNeed)
        .Field("Needksh", f.Needksh)
        .Field("DefKshID", f.DefKshID)
        .EndObject();
}

int Show(const TEntType& e, bool json) {
    const auto flags = StandardFlagsPtr(e.code);
    const ItemLayout layout = LayoutFor(e.dtdVer, e.code, flags->IsHokkaidoSuiRinH27);
    struct Group {
        ItemGroup g;
        const char* title;
        const char* key;
    } groups[] = {{ItemGroup::Basic, "基礎情報", "basic"},
                  {ItemGroup::Construction, "工事情報", "construction"},
                  {ItemGroup::Photo, "写真情報", "photo"}};
    if (json) {
        JsonWriter w;
        Identity(w.BeginObject(), e)
            .Field("layout", LayoutName(layout))
            .Field("group", e.groupIdx)
            .Field("edition", e.EditionNumber())
            .Field("work_type_check", e.chkKsh);
        for (const Group& g : groups) {
            w.Key(g.key).BeginArray();
            for (const ItemRow& r : GroupRows(e, g.g, *flags))
                w.BeginObject()
                    .Field("name", r.name)
                    .Field("level", r.level)
                    .Field("mark", LevelMark(r.level))
                    .Field("class", r.cls)
                    .Field("class_label", ClassLabel(layout, e.dtdVer, r.cls))
                    .Field("max_length", r.maxLength)
                    .EndObject();
            w.EndArray();
        }
        w.Key("photo_categories").BeginArray();
        for (const auto& k : e.kss.Items())
            w.BeginObject()
                .Field("name", k.name)
                .Field("digits", k.digits)
                .Field("marks", std::vector<std::string>{k.Mark(1), k.Mark(2), k.Mark(3)})
                .EndObject();
        w.EndArray();
        w.Key("switches");
        SwitchesJson(w, *flags, e);
        w.EndObject();
        Print(w.Text() + "\n");
        return 0;
    }
    Print(e.id + "  " + e.code + "  " + e.name + "\n");
    char line[256];
    std::snprintf(line, sizeof line, "DTD type %d, variant class %d, item layout %s, group %s, edition %d, 工種チェック %s\n",
                  e.dtdVer, e.VariantClass(), LayoutName(layout), e.groupIdx.c_str(), e.EditionNumber(),
                  e.chkKsh ? "on" : "off");
    Print(line);
    Print("base name: " + e.baseName + "\n");
    for (const Group& g : groups) {
        const auto rows = GroupRows(e, g.g, *flags);
        Print(std::string("\n") + g.title + " (" + std::to_string(rows.size()) + " items)\n");
        if (rows.empty()) continue;
        Print("  " + Pad("#", 4) + Pad("項目", 26) + Pad("必要度", 8) + Pad("文字種", 40) + LengthColumnTitle(e.dtdVer) + "\n");
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const ItemRow& r = rows[i];
            Print("  " + Pad(std::to_string(i + 1), 4) + Pad(r.name, 26) +
                  Pad(std::to_string(r.level) + " " + LevelMark(r.level), 8) +
                  Pad(std::to_string(r.cls) + " " + ClassLabel(layout, e.dtdVer, r.cls), 40) +
                  std::to_string(r.maxLength) + "\n");
        }
    }
    Print("\n写真区分 (工種 種別 細別)\n");
    for (const auto& k : e.kss.Items())
        Print("  " + Pad(k.name, 22) + k.Mark(1) + " " + k.Mark(2) + " " + k.Mark(3) + "  (" + k.digits + ")\n");
    JsonWriter sw;
    SwitchesJson(sw, *flags, e);
    Print("\nswitches: " + sw.Text() + "\n");
    return 0;
}

}  // namespace

int StandardsCommand(const Args& args) {
    bool json = false;
    Args rest;
    for (const auto& a : args) {
        if (a == "--json") json = true;
        else rest.push_back(a);
    }
    const bool list = rest.size() == 1 && rest[0] == "list";
    const bool show = rest.size() == 2 && rest[0] == "show";
    if (!list && !show) {
        Error("usage: velview-cli standards list [--json] | standards show ID|CODE [--json]");
        return 2;
    }
    ProgramRuntime runtime;
    for (const auto& p : runtime.Problems()) std::fprintf(stderr, "velview-cli: warning: %s\n", p.c_str());
    TEntTypeList standards = runtime.StandardList();
    if (list) return List(standards, json);
    const TEntType* e = Find(standards, rest[1]);
    if (!e) {
        Error("no standard with id or code '" + rest[1] + "' (see velview-cli standards list)");
        return 2;
    }
    return Show(*e, json);
}

}  // namespace velview::cli
