#include "exchange/inspection_exchange.h"

#include "checks/pct_file_info.h"
#include "browse/viewer_rules.h"
#include "common/file_io.h"
#include "common/text_encoding.h"
#include "data/delivery_files.h"
#include "data/tag_reader.h"

namespace velview {
namespace fs = std::filesystem;

namespace {

std::string FileNamePart(std::string_view path) {
    const std::size_t p = path.find_last_of("/\\");
    return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

const TEIPctInfo* Photo(const TDBExpInp& f, int n) { return f.Photos.At(n); }

CsvRow HistoryRow(const TDBExpInp& f, int n, int rowNumber, const TPctStateList& states) {
    const TEIPctInfo& r = *Photo(f, n);
    const TPctSateItem* s = states.Find(n);
    return {std::to_string(rowNumber),
            InspectionStateText(s ? s->InspectionState() : 0),
            FileNamePart(r.FieldView(fld::PctFNm)),
            std::string(r.FieldView(fld::PctTtl)),
            std::string(r.FieldView(fld::PctPlc)),
            s ? s->comment : std::string(),
            std::string(r.FieldView(fld::PctKbn)),
            std::string(r.FieldView(fld::KshNam)),
            std::string(r.FieldView(fld::SbtNam)),
            std::string(r.FieldView(fld::SaiNam)),
            std::string(r.FieldView(fld::PctLBn))};
}

const std::vector<std::string> kHistoryHeaders = {"NO.",  "検査状態", "写真ファイル名", "写真タイトル", "撮影箇所", "検査コメント",
                                                  "写真区分", "工種", "種別", "細別", "大分類"};

}  // namespace

std::vector<CsvRow> OutputTable::AllRows() const {
    std::vector<CsvRow> all;
    all.reserve(rows.size() + 1);
    all.push_back(headers);
    all.insert(all.end(), rows.begin(), rows.end());
    return all;
}

std::string ExportDoneText(const std::string& extension) { return extension + " ファイルの出力が完了しました。"; }

std::string InspectionStateText(int state) {
    return state == 1 ? "検査済" : state == 2 ? "指摘あり" : "";
}

int InspectionStateOf(const std::string& t) { return t == "検査済" ? 1 : t == "指摘あり" ? 2 : 0; }

OutputTable HistoryTable(const TDBExpInp& f, const std::vector<int>& photos, const TPctStateList& states) {
    OutputTable t{kHistoryHeaders, {8, 11, 22, 26, 29, 50, 28, 29, 29, 29, 10}, {}};
    int row = 1;
    for (int n : photos)
        if (Photo(f, n)) t.rows.push_back(HistoryRow(f, n, row++, states));
    return t;
}

OutputTable TakeoverTable(const TDBExpInp& f, const std::vector<std::string>& digests, const TPctStateList& states) {
    OutputTable t{kHistoryHeaders, {8, 11, 22, 26, 29, 50, 28, 29, 29, 29, 10, 40}, {}};
    t.headers.push_back("ハッシュ値(MD5)");
    int row = 1;
    for (int n = 0; n < f.Photos.Count(); ++n) {
        const TPctSateItem* s = states.Find(n);
        if (!s || !s->HasInspectionData() || !Photo(f, n)) continue;
        CsvRow r = HistoryRow(f, n, row++, states);
        r.push_back(static_cast<std::size_t>(n) < digests.size() ? digests[static_cast<std::size_t>(n)] : std::string());
        t.rows.push_back(std::move(r));
    }
    return t;
}

OutputTable FileInfoTable(const TDBExpInp& f, const std::vector<int>& photos, const TPctStateList& states) {
    OutputTable t{{"NO.", "検査状態", "写真ファイル名", "写真の撮影日", "更新日時", "大きさ", "サイズ", "検査コメント"},
                  {4, 8, 9, 11, 11, 16, 6, 32},
                  {}};
    int row = 1;
    for (int n : photos) {
        const TEIPctInfo* r = Photo(f, n);
        if (!r) continue;
        const TPctSateItem* s = states.Find(n);
        const ResolvedFile file = f.PhotoFile(*r);
        const TPctFileInfo info = file.status == FileStatus::Ok ? GatherFileInfo(file.path, false) : TPctFileInfo{};
        // A file without an Exif shooting time shows its text after one blank.
        const std::string shot = info.shootingTime > 0 ? DateTimeText(info.shootingTime) : " " + ShootingTimeText(0);
        t.rows.push_back({std::to_string(row++), InspectionStateText(s ? s->InspectionState() : 0),
                          FileNamePart(r->FieldView(fld::PctFNm)), info.filled ? shot : std::string(),
                          DateTimeText(info.fileTime), info.pixelText, info.sizeText, s ? s->comment : std::string()});
    }
    return t;
}

std::string ConstructionName(const TDBExpInp& f) {
    std::string base = f.BaseFolder;
    while (!base.empty() && base.back() == '/') base.pop_back();
    const fs::path parent = fs::path(base).parent_path();
    if (std::string name = ConstructionNameFromFile(FindEntryNoCase(parent, "INDEX_C.XML")); !name.empty()) return name;
    return f.KojiInfo.Get(4);
}

std::string DefaultExportName(const std::string& name, const std::string& suffix, const std::string& extension) {
    std::string clean;
    for (char c : name)
        if (std::string_view("\\/:,;*?\"<>|").find(c) == std::string_view::npos) clean += c;
    const std::size_t suffixBytes = text::Cp932Length(suffix);
    clean = text::CutToCp932Bytes(clean, suffixBytes < 128 ? 128 - suffixBytes : 0);
    if (clean.empty()) clean = "無題";
    return clean + suffix + "." + extension;
}

ImportCheck CheckHistoryImport(const std::vector<CsvRow>& rows, const TDBExpInp& f) {
    ImportCheck bad{false, kHistoryRejected};
    if (rows.size() < 2) return bad;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const CsvRow& row = rows[i];
        if (row.size() < 11) return bad;
        const TEIPctInfo* match = nullptr;
        for (int n = 0; n < f.Photos.Count() && !match; ++n)
            if (Photo(f, n) && FileNamePart(Photo(f, n)->FieldView(fld::PctFNm)) == row[2]) match = Photo(f, n);
        if (!match) return bad;
        const int fields[] = {fld::PctTtl, fld::PctPlc, -1, fld::PctKbn, fld::KshNam, fld::SbtNam, fld::SaiNam, fld::PctLBn};
        for (int k = 0; k < 8; ++k)
            if (fields[k] >= 0 && match->FieldView(fields[k]) != row[static_cast<std::size_t>(3 + k)]) return bad;
    }
    return {true, {}};
}

int ImportHistory(const std::vector<CsvRow>& rows, const TDBExpInp& f, TPctStateList& states) {
    int count = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const CsvRow& row = rows[i];
        if (row.size() < 11) continue;
        for (int n = 0; n < f.Photos.Count(); ++n) {
            if (!Photo(f, n) || FileNamePart(Photo(f, n)->FieldView(fld::PctFNm)) != row[2]) continue;
            TPctSateItem& s = states.Item(n);
            s.SetInspectionState(InspectionStateOf(row[1]));
            s.comment = row[5];
            ++count;
            break;
        }
    }
    return count;
}

ImportCheck CheckTakeoverImport(const std::vector<CsvRow>& rows) {
    if (rows.size() < 2) return {false, kTakeoverRejected};
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (rows[i].size() < 12) return {false, kTakeoverRejected};
    return {true, {}};
}

int ImportTakeover(const std::vector<CsvRow>& rows, const TDBExpInp& f, const std::vector<std::string>& digests,
                   TPctStateList& states) {
    int count = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const CsvRow& row = rows[i];
        if (row.size() < 12 || row[11].empty()) continue;
        // The file names may differ: the photo is found by its classification and content.
        for (int n = 0; n < f.Photos.Count(); ++n) {
            const TEIPctInfo* r = Photo(f, n);
            if (!r || static_cast<std::size_t>(n) >= digests.size() || digests[static_cast<std::size_t>(n)] != row[11]) continue;
            if (r->FieldView(fld::PctKbn) != row[6] || r->FieldView(fld::KshNam) != row[7] ||
                r->FieldView(fld::SbtNam) != row[8] || r->FieldView(fld::SaiNam) != row[9] ||
                r->FieldView(fld::PctLBn) != row[10])
                continue;
            TPctSateItem& s = states.Item(n);
            s.SetInspectionState(InspectionStateOf(row[1]));
            s.comment = row[5];
            ++count;
            break;
        }
    }
    return count;
}

}  // namespace velview
