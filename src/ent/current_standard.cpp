#include "ent/current_standard.h"

#include <mutex>

#include "common/ext_registry.h"
#include "common/text_encoding.h"
#include "common/tree_ini.h"

namespace velview {
namespace {

TEntType g_current;
bool g_fixedByFile = false;
std::mutex g_builtInMutex;
std::vector<std::string> g_builtInText;

TExtRegistry ViewerSettings() { return TExtRegistry("frmViewer"); }

// The stored generations of the user list, newest first.
std::vector<std::pair<std::string, std::string>> StoredGenerations() {
    std::vector<std::pair<std::string, std::string>> g = {{"ETLengthG", "ETStringsG"}, {"ETLengthF", "ETStringsF"}};
    for (int n = 16; n >= 2; --n) g.push_back({"ETLength" + std::to_string(n), "ETStrings" + std::to_string(n)});
    g.push_back({"ETLength", "ETStrings"});
    return g;
}

const TEntType* FindById(const TEntTypeList& list, const std::string& id) {
    const int i = list.IndexOfId(id);
    return i >= 0 ? &list.At(i) : (list.Count() > 0 ? &list.At(0) : nullptr);
}

}  // namespace

TEntType& CurrentStandard() { return g_current; }
bool StandardFixedByFile() { return g_fixedByFile; }

void SetBuiltInStandardText(std::vector<std::string> lines) {
    std::lock_guard<std::mutex> lock(g_builtInMutex);
    g_builtInText = std::move(lines);
}

TEntTypeList BuiltInStandards() {
    std::vector<std::string> text;
    {
        std::lock_guard<std::mutex> lock(g_builtInMutex);
        text = g_builtInText;
    }
    TEntTypeList list;
    list.Parse(text);
    return list;
}

TEntTypeList LoadStandardList(std::vector<std::string>* problems) {
    TEntTypeList user;
    TExtRegistry reg = ViewerSettings();
    for (const auto& [lengthName, stringsName] : StoredGenerations()) {
        const int length = reg.ReadInteger(lengthName, 0);
        if (length < 1) continue;
        const std::string bytes = reg.ReadBinaryString(stringsName, "", static_cast<std::size_t>(length));
        try {
            // The stored list is CP932 text, as every file of the program.
            user.Parse(SplitLines(text::DecodeCp932(bytes).utf8));
        } catch (const EStandardFormat& e) {
            if (problems) problems->push_back("stored standards (" + stringsName + "): " + e.what());
            user.Clear();
        }
        break;
    }
    user.ReduceToUserGroup();
    user.MergeBuiltIns(BuiltInStandards());
    return user;
}

void SaveUserStandards(TEntTypeList& list) {
    TEntTypeList users;
    for (int i = 0; i < list.Count(); ++i)
        if (list.At(i).IsUserGroup()) users.AddCopy(list.At(i));
    std::string text;
    for (const std::string& l : users.Serialize()) text += l + "\r\n";
    auto enc = text::EncodeCp932(text);
    if (!enc.ok())
        throw IoError("a user standard holds " + text::DescribeCharAt(text, enc.badOffsets.front()) +
                      ", which the stored list cannot hold");
    TExtRegistry reg = ViewerSettings();
    reg.WriteBinaryString("ETStringsG", enc.bytes, enc.bytes.size());
    reg.WriteInteger("ETLengthG", static_cast<int>(enc.bytes.size()));
}

void ChooseCurrentStandard(const TEntTypeList& list, const std::filesystem::path& programFolder) {
    g_fixedByFile = false;
    const std::filesystem::path fixed = programFolder / "VELVIEW.TIN";
    if (!programFolder.empty() && TEntType::IsStandardFile(fixed.string())) {
        TEntType candidate;
        try {
            if (candidate.LoadFromFile(fixed.string()) && list.HasCode(candidate.code)) {
                g_current = candidate;
                g_fixedByFile = true;
                return;
            }
        } catch (const std::exception&) {
            // An unreadable fixed file is no fixed standard.
        }
    }
    const std::string id = ViewerSettings().ReadString("CurETID", "000C0020");
    if (const TEntType* e = FindById(list, id)) g_current = *e;
}

std::optional<std::string> MatchStandardToDelivery(const DeliveryKind& data, const TEntTypeList& list,
                                                   bool remember) {
    const TEntType& cur = g_current;
    const int t = data.dtdType;
    const int v = data.variantClass;
    // Data without a document type gives nothing to match against.
    if (t <= 0) return std::nullopt;
    bool kept = false;
    if (t == 1) kept = cur.dtdVer == 1;
    // Expressway data: the company-layout standards go with deliveries that carry
    // "PHOTO04.DTD", the older expressway standards with those that do not.
    else if (t == 2) kept = cur.VariantClass() == v && (v != 5 || IsExpresswayLayoutCode(cur.code) == data.hasPhoto04Dtd);
    else if (t == 3 || t == 4) kept = cur.VariantClass() == 6 || cur.VariantClass() == 7;
    else kept = cur.dtdVer == 5;
    if (kept) return std::nullopt;

    TExtRegistry reg = ViewerSettings();
    std::string value, fallback;
    auto fits = [&](const TEntType& e) {
        if (t == 1) return e.dtdVer == 1;
        if (t == 2) return e.VariantClass() == v;
        if (t == 3 || t == 4) return e.dtdVer == 3 || e.dtdVer == 4;
        return e.dtdVer == 5;
    };
    if (t == 1) { value = "DTDVer1ETID"; fallback = "00000000"; }
    else if (t == 2 && v == 3) { value = "LastNou15ID"; fallback = "00000002"; }
    else if (t == 2 && v == 5 && data.hasPhoto04Dtd) { value = "LastNDK14ID_DTD04"; fallback = "000D0024"; }
    else if (t == 2 && v == 5) { value = "LastNDK14ID"; fallback = "000D0018"; }
    else if (t == 2) { value = "DTDVer2ETID"; fallback = "00000001"; }
    else if (t == 3 || t == 4) { value = "DTDVer3ETID"; fallback = "000C0018"; }
    else { value = "DTDVer5ETID"; fallback = "000C0020"; }

    const TEntType* chosen = FindById(list, reg.ReadString(value, fallback));
    if (chosen && !fits(*chosen)) chosen = FindById(list, fallback);
    if (!chosen) return std::nullopt;
    g_current = *chosen;
    if (remember) reg.WriteString("CurETID", g_current.id);
    return "使用する適用基準（案）を '" + g_current.name + "' に設定します。";
}

void RecordStandardChoice(const TEntType& chosen, const std::optional<DeliveryKind>& loaded) {
    TExtRegistry reg = ViewerSettings();
    reg.WriteString("CurETID", chosen.id);
    std::string value;
    if (!loaded) {
        value = "DTDVer5ETID";
    } else {
        const int t = loaded->dtdType, v = loaded->variantClass;
        if (t == 1) value = "DTDVer1ETID";
        else if (t == 2 && v == 0) value = "DTDVer2ETID";
        else if (t == 2 && v == 3) value = "LastNou15ID";
        else if (t == 2 && v == 5) value = loaded->hasPhoto04Dtd ? "LastNDK14ID_DTD04" : "LastNDK14ID";
        else if (t == 2) value.clear();
        else if (t == 3 || t == 4) value = "DTDVer3ETID";
        else value = "DTDVer5ETID";
    }
    // The type-5 value names a type-5 standard only, so the automatic match never lands on
    // a standard of another generation.
    if (value == "DTDVer5ETID" && chosen.dtdVer != 5) return;
    if (!value.empty()) reg.WriteString(value, chosen.id);
}

}  // namespace velview
