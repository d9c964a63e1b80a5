// The CSV files of the inspection history, the file information and the takeover data:
// every cell quoted, CR LF after every line, CP932 text.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velview {

using CsvRow = std::vector<std::string>;

// One line: each cell in double quotes (a quote inside doubled), separated by ",", CR LF.
std::string CsvLine(const CsvRow& cells);
// Writes the rows (UTF-8 in memory) as CP932 to a temporary file beside the target and renames
// it into place. Throws IoError "ファイルの書き込みに失敗しました。" (with the reason) when a
// character cannot be stored or the file cannot be written; an existing target stays then.
void WriteCsvFile(const std::filesystem::path& file, const std::vector<CsvRow>& rows);

// Reads a CSV file of these formats. A quoted field runs to the quote that is followed by ","
// or the end of the line, a doubled quote inside standing for one; any other field runs to
// the next ","; a line ending in "," has one more, empty field; an empty line has no fields.
class TCsvList {
public:
    // Throws IoError when the file cannot be read.
    void LoadFromFile(const std::filesystem::path& file);
    void SetText(std::string_view utf8Text);
    const std::vector<CsvRow>& Rows() const { return rows_; }
    static CsvRow ParseLine(std::string_view line);

private:
    std::vector<CsvRow> rows_;
};

}  // namespace velview
