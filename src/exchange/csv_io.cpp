#include "exchange/csv_io.h"

#include "common/ext_string_list.h"
#include "common/file_io.h"
#include "common/text_encoding.h"

namespace velview {

std::string CsvLine(const CsvRow& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i) line += ',';
        line += '"';
        for (char c : cells[i]) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    return line + "\r\n";
}

void WriteCsvFile(const std::filesystem::path& file, const std::vector<CsvRow>& rows) {
    std::string text;
    for (const CsvRow& r : rows) text += CsvLine(r);
    const auto enc = text::EncodeCp932(text);
    if (!enc.ok())
        throw IoError("ファイルの書き込みに失敗しました。 (" + file.string() + ": " +
                      text::DescribeCharAt(text, enc.badOffsets.front()) + " cannot be stored in Shift_JIS)");
    try {
        WriteFileAtomic(file, enc.bytes);
    } catch (const IoError& e) {
        throw IoError(std::string("ファイルの書き込みに失敗しました。 (") + e.what() + ")");
    }
}

CsvRow TCsvList::ParseLine(std::string_view line) {
    CsvRow fields;
    if (line.empty()) return fields;
    std::size_t i = 0;
    for (;;) {
        std::string field;
        if (i < line.size() && line[i] == '"') {
            ++i;
            for (;;) {
                if (i >= line.size()) break;  // an unclosed quote runs to the end
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    if (i + 1 >= line.size() || line[i + 1] == ',') {
                        ++i;
                        break;
                    }
                }
                field += line[i++];
            }
        } else {
            const std::size_t comma = line.find(',', i);
            const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
            field.assign(line.substr(i, end - i));
            i = end;
        }
        fields.push_back(std::move(field));
        if (i >= line.size()) break;
        ++i;  // the ","
        if (i >= line.size()) {
            fields.emplace_back();  // a line ending in "," has one more, empty field
            break;
        }
    }
    return fields;
}

void TCsvList::SetText(std::string_view text) {
    rows_.clear();
    for (const std::string& line : SplitLines(text)) rows_.push_back(ParseLine(line));
}

void TCsvList::LoadFromFile(const std::filesystem::path& file) {
    SetText(text::DecodeCp932(ReadRegularFile(file, std::uint64_t(1) << 30)).utf8);
}

}  // namespace velview
