#include "browse/viewer_rules.h"

#include <algorithm>
#include <cstdio>

#include "common/file_io.h"
#include "data/delivery_files.h"
#include "data/field_index.h"
#include "data/pct_info.h"
#include "data/tag_reader.h"

namespace velview {
namespace fs = std::filesystem;

std::int32_t PhotoXmlHash(std::string_view bytes) {
    if (bytes.empty()) return -1;
    std::uint32_t a = 0, b = 0;
    for (unsigned char c : bytes) {
        a = (a * 256u + c) % 524287u;
        b = (b * 256u + c) % 8191u;
    }
    if (bytes.size() <= 2) return static_cast<std::int32_t>(a) - 524288;
    return static_cast<std::int32_t>(a + (b + 1u) * 524288u);
}

fs::path DataFileOf(const fs::path& folder) {
    for (const char* name : {"Photo.xml", "撮記堂.csv", "写真情報.csv"}) {
        fs::path p = FindEntryNoCase(folder, name);
        if (!p.empty() && IsRegularFile(p)) return p;
    }
    return {};
}

std::int32_t DataFileHash(const fs::path& folder) {
    const fs::path file = DataFileOf(folder);
    if (file.empty()) return 0;
    try {
        return PhotoXmlHash(ReadRegularFile(file, std::uint64_t(1) << 31));
    } catch (const IoError&) {
        return 0;
    }
}

bool InspectionDataPresent(const TPctStateList& states) {
    for (int i = 0; i < states.Count(); ++i)
        if (const TPctSateItem* s = states.Find(i); s && s->HasInspectionData()) return true;
    return false;
}

std::string InspectionLossText(std::string_view lead, std::string_view question) {
    std::string t(lead);
    t += "写真の「検査状態」や「検査コメント」の情報が失われます。\r";
    t += "※「検査状態」や「検査コメント」などの検査履歴は、以下のような手順で出力・印刷を行うことができます。\r\r";
    t += "  1. 画面左下の「検査済写真」 と 「指摘あり写真」をチェックし、「絞込」ボタンをクリック\r";
    t += "  2. 出力・・・メニューバーから 「ファイル」 → 「検査履歴CSV出力」 をクリック\r";
    t += "     印刷・・・メニューバーから 「ファイル」 → 「印刷」 → 「検査履歴印刷」 をクリック\r\r";
    t += question;
    return t;
}

const char* const kApplicationTitle = "撮記堂 XML ビューア";

std::string MainWindowTitle(bool photoXmlData, std::string_view constructionName) {
    std::string t = kApplicationTitle;
    if (photoXmlData && !constructionName.empty()) {
        t += " - ";
        t += constructionName;
    }
    return t;
}

fs::path ConstructionFilePath(const fs::path& dataFolder, std::string_view fileName) {
    std::string base = dataFolder.string();
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    const fs::path parent = fs::path(base).parent_path();
    if (fileName.empty()) return parent;
    // The file as the medium names it, whatever its letter case.
    fs::path found = FindEntryNoCase(parent, fileName);
    return found.empty() ? parent / std::string(fileName) : found;
}

std::string ConstructionNameFromFile(const fs::path& file) {
    if (file.empty() || !IsRegularFile(file)) return {};
    try {
        TTagReader r;
        r.Open(DecodeXmlBytes(ReadRegularFile(file, std::uint64_t(64) << 20)).text);
        for (r.Next(); !r.Tag().empty() && !r.StructureError(); r.Next())
            if (r.Name() == "工事名称") return r.ContentOf("工事名称");
    } catch (const IoError&) {
    }
    return {};
}

const char* const kNoDataStatus = "現在のフォルダには、データが保存されていません。 別のフォルダを選択して下さい。";

std::string PhotoCountStatus(const TPctInfoList& photos, const std::vector<int>& sequence, int dtdType) {
    std::string t = "写真枚数 : " + std::to_string(sequence.size()) + " 枚";
    if (dtdType > 2) {
        int representative = 0;
        for (int n : sequence)
            if (const TEIPctInfo* r = photos.At(n); r && r->FieldView(fld::DaiPct) == "1") ++representative;
        t += "  代表写真 : " + std::to_string(representative) + " 枚";
    }
    return t;
}

std::string InsertMediumStatus(std::string_view medium) {
    if (medium.empty()) return {};
    return std::string(medium) + "番目のメディアを挿入し、再読み込み（F5）を行って下さい。";
}

std::string InsertMediumMessage(std::string_view medium) {
    return std::string(medium) + "番目のメディアを挿入し、再読み込み（F5）を行ってから\r再度この操作を行ってください。";
}

std::string SavePhotoFilter(std::string_view extension) {
    std::string e;
    for (char c : extension) e += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    if (e == ".TIF") return "TIFF(*.TIF)|*.TIF";
    if (e == ".SVG") return "SVG (*.SVG)|*.SVG";
    if (e == ".MP4") return "MP4(*.MP4)|*.MP4";
    return "JPEG (*.JPG)|*.JPG|ビットマップ (*.BMP)|*.BMP";
}

bool SavePhotoTargetAllowed(const fs::path& source, const fs::path& target, const fs::path& deliveryFolder) {
    std::error_code ec;
    const fs::path t = fs::weakly_canonical(target, ec);
    if (ec) return false;
    const fs::path s = fs::weakly_canonical(source, ec);
    if (!ec && s == t) return false;
    // Nothing is ever written into a delivery, not even beside its photos.
    fs::path d = fs::weakly_canonical(deliveryFolder, ec);
    if (ec || d.empty()) return true;
    if (!d.has_filename()) d = d.parent_path();  // "…/PIC/" names the folder PIC
    const auto [dEnd, tIt] = std::mismatch(d.begin(), d.end(), t.begin(), t.end());
    return dEnd != d.end();
}

bool SafeToOpenExternally(const fs::path& file, const fs::path& root) {
    std::error_code ec;
    const fs::path real = fs::canonical(file, ec);
    if (ec || !fs::is_regular_file(real, ec)) return false;
    fs::path base = fs::weakly_canonical(root, ec);
    if (ec) return false;
    if (!base.has_filename()) base = base.parent_path();
    const auto [b, f] = std::mismatch(base.begin(), base.end(), real.begin(), real.end());
    if (b != base.end()) return false;  // outside, also through a link
    const auto perms = fs::status(real, ec).permissions();
    if (ec || (perms & (fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec)) != fs::perms::none) return false;
    std::string ext = real.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    static const char* const kRefused[] = {".desktop", ".sh", ".bash", ".run", ".bin", ".appimage", ".exe", ".com", ".bat",
                                           ".cmd", ".msi", ".scr", ".lnk", ".url", ".jar", ".py", ".pl", ".rb", ".js",
                                           ".vbs", ".ps1", ".jnlp", ".deb", ".rpm"};
    for (const char* r : kRefused)
        if (ext == r) return false;
    return true;
}

}  // namespace velview
