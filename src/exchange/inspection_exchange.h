// The inspection history, file information and takeover tables, and importing the history
// and takeover files back. One table definition serves the CSV writer and the printout.
#pragma once

#include <string>
#include <vector>

#include "data/db_exp_inp.h"
#include "data/pct_info.h"
#include "exchange/csv_io.h"

namespace velview {

struct OutputTable {
    std::vector<std::string> headers;
    std::vector<int> widths;  // relative print widths
    std::vector<CsvRow> rows;
    // The header row followed by the data rows, as the CSV file holds them.
    std::vector<CsvRow> AllRows() const;
};

// "" for no state ("－"), "検査済", "指摘あり".
std::string InspectionStateText(int state);
// 1 for "検査済", 2 for "指摘あり", 0 for anything else.
int InspectionStateOf(const std::string& text);

// The 11 columns of the inspection history for the given photos, in that order.
OutputTable HistoryTable(const TDBExpInp& format, const std::vector<int>& photos, const TPctStateList& states);
// The history columns and the MD5 of each photo file, for the photos with inspection data in
// photo-number order; `digests` holds the digest of each photo by photo number.
OutputTable TakeoverTable(const TDBExpInp& format, const std::vector<std::string>& digests, const TPctStateList& states);
// The 8 columns of the file information for the given photos.
OutputTable FileInfoTable(const TDBExpInp& format, const std::vector<int>& photos, const TPctStateList& states);

// The construction name: the first "工事名称" of the construction-management file beside the
// PHOTO folder, else that of the delivery.
std::string ConstructionName(const TDBExpInp& format);
// The construction name without \ / : , ; * ? " < > |, cut to 128 bytes less the suffix
// (never inside a double-byte character), the suffix, "." and the extension; "無題" when empty.
std::string DefaultExportName(const std::string& constructionName, const std::string& suffix, const std::string& extension);

struct ImportCheck {
    bool ok = false;
    std::string message;  // the rejection text when not ok
};
constexpr const char* kHistoryRejected = "この検査履歴データは、読み込んでいる PHOTO.XML のデータではありません。";
constexpr const char* kTakeoverRejected = "不正なファイルのため取り込むことができません。";
// The results the viewer and the command line report.
constexpr const char* kImportReadFailed = "ファイルの読み込みに失敗しました。";
constexpr const char* kNothingToExport = "出力する写真がありません。";
constexpr const char* kTakeoverImported = "引継ぎデータ取り込みが完了しました。";
constexpr const char* kTakeoverNothingImported = "この引継ぎデータには取り込めるデータがありませんでした。";
// "CSV ファイルの出力が完了しました。" and its kin, by the file kind's extension.
std::string ExportDoneText(const std::string& extension);

// At least two rows, every data row 11 fields naming a loaded photo by its file name and
// agreeing with it in title, place and classification.
ImportCheck CheckHistoryImport(const std::vector<CsvRow>& rows, const TDBExpInp& format);
// Sets state and comment of each named photo; returns the number of rows imported.
int ImportHistory(const std::vector<CsvRow>& rows, const TDBExpInp& format, TPctStateList& states);
// At least two rows, every data row 12 fields.
ImportCheck CheckTakeoverImport(const std::vector<CsvRow>& rows);
// Each row goes to the first photo (by photo number) of equal classification and digest;
// returns the number of rows imported.
int ImportTakeover(const std::vector<CsvRow>& rows, const TDBExpInp& format, const std::vector<std::string>& digests,
                   TPctStateList& states);

}  // namespace velview
