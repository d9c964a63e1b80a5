#include "data/csv_readers.h"

#include "common/ext_string_list.h"
#include "common/file_io.h"
#include "common/text_encoding.h"
#include "data/ei_control.h"
#include "data/kstring.h"

namespace velview {
namespace fs = std::filesystem;

namespace {

// Splits the CP932 bytes into lines (CR and LF are never trail bytes).
std::vector<std::string_view> ByteLines(std::string_view b) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (b[i] != '\r' && b[i] != '\n') continue;
        lines.push_back(b.substr(start, i - start));
        if (b[i] == '\r' && i + 1 < b.size() && b[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < b.size()) lines.push_back(b.substr(start));
    return lines;
}

// Reads the fields of one line, decoding each text from CP932 and noting bad bytes.
class LineFields {
public:
    LineFields(std::string_view line, int lineNo, const std::string& file, std::vector<std::string>& problems)
        : scanner_(line), lineNo_(lineNo), file_(file), problems_(problems) {}

    int Number() { return scanner_.NextNumber(); }
    std::string Text() { return Decode(scanner_.NextQuoted()); }
    // A list column: quoted items inside the quoted field, joined with CR LF.
    std::string List() { return Decode(DecodeListField(scanner_.NextQuoted())); }

private:
    std::string Decode(const std::string& cp932) {
        auto d = text::DecodeCp932(cp932);
        if (!d.ok() && !reported_) {
            problems_.push_back(file_ + ": line " + std::to_string(lineNo_) + ": bytes that are not valid Shift_JIS");
            reported_ = true;
        }
        return std::move(d.utf8);
    }
    TKstring scanner_;
    int lineNo_;
    const std::string& file_;
    std::vector<std::string>& problems_;
    bool reported_ = false;
};

std::string Prefixed(const std::string& folder, const std::string& v) { return v.empty() ? v : folder + v; }

}  // namespace

int TDBExpInpVel::Read() {
    try {
        SetupPaths();
        fs::path file = FindEntryNoCase(BaseFolder, "撮記堂.CSV");
        if (file.empty()) file = FindEntryNoCase(BaseFolder, "ぽかぽか記録.CSV");
        if (file.empty()) return 0;
        const std::string name = file.filename().string();
        const std::string bytes = ReadRegularFile(file);
        const auto lines = ByteLines(bytes);
        if (lines.size() < 2) return 0;
        for (std::size_t j = 1; j < lines.size(); ++j) {
            TEIPctInfo& r = Photos.Items(static_cast<int>(j) - 1);
            const std::string_view line = TrimControl(lines[j]);
            if (line.empty()) continue;
            LineFields c(line, static_cast<int>(j) + 1, name, Problems);
            c.Number();  // serial number: not stored
            r.SetField(fld::PctFNm, Prefixed(PhotoFolder, c.Text()));
            for (int f : {fld::PctFlg, fld::PctFIR, fld::PctLBn, fld::PctKbn, fld::KshNam, fld::SbtNam, fld::SaiNam,
                          fld::PctTtl, fld::PctKR1, fld::PctKR2, fld::PctKR3})
                r.SetField(f, c.Text());
            for (int f : {fld::RefFN1, fld::RefFN2, fld::RefFN3}) r.SetField(f, Prefixed(DrawingFolder, c.Text()));
            for (int f : {fld::PctPlc, fld::AddIfR, fld::PctYMD, fld::FlmNum, fld::KomNum, fld::PctIfR, fld::SkoKan,
                          fld::SkoKnR, fld::JkyExR, fld::UkeExR, fld::HtsExR, fld::PctIR1, fld::PctIR2, fld::PctIR3})
                r.SetField(f, c.Text());
            r.SetStationNumber(c.Number());
            r.SetItemSelectionText(c.Text());
            r.SetField(fld::PctFJN, c.Text());
            if (auto v = c.List(); !v.empty()) r.SetField(fld::PctKRX, v);
            if (auto v = c.List(); !v.empty()) {
                std::string joined;
                for (const std::string& e : SplitLines(v)) joined += Prefixed(DrawingFolder, e) + "\r\n";
                r.SetField(fld::RefFNX, joined);
            }
            r.SetField(fld::RefFJX, c.List());
            r.SetField(fld::RefTtX, c.List());
            r.SetField(fld::AddIRX, c.List());
            for (int f : {fld::TPcIRX, fld::SkoKRX, fld::PctIRX})
                if (auto v = c.List(); !v.empty()) r.SetField(f, v);
            r.SetField(fld::ExtInf, c.Text());
            r.SetField(fld::DaiPct, c.Text());
            r.SetField(fld::TeiPct, c.Text());
            // A representative photo is always a submission-frequency photo.
            if (r.FieldView(fld::DaiPct).empty())
                r.SetField(fld::FrqPct, c.Text());
            else
                r.SetField(fld::FrqPct, "1");
        }
        return 0;
    } catch (const std::exception& e) {
        Problems.emplace_back(e.what());
        return 2;
    }
}

int TDBExpInpCSV::Read() {
    try {
        SetupPaths();
        const fs::path file = FindEntryNoCase(BaseFolder, "写真情報.CSV");
        if (file.empty()) throw IoError(BaseFolder + "写真情報.csv: no such file");
        const std::string name = file.filename().string();
        const std::string bytes = ReadRegularFile(file);
        const auto lines = ByteLines(bytes);
        const std::size_t h = control_.BackupVersion() > 120 ? 1 : 0;
        for (std::size_t j = h; j < lines.size(); ++j) {
            TEIPctInfo& r = Photos.Items(static_cast<int>(j - h));
            const std::string_view line = TrimControl(lines[j]);
            if (line.empty()) continue;
            LineFields c(line, static_cast<int>(j) + 1, name, Problems);
            c.Number();  // registration number: not stored
            r.SetField(fld::PctFNm, PhotoFolder + c.Text());
            r.SetField(fld::FlmNum, c.Text());
            r.SetField(fld::KomNum, c.Text());
            r.SetField(fld::PctYMD, std::to_string(c.Number()));
            for (int f : {fld::PctKbn, fld::KshNam, fld::SbtNam, fld::SaiNam, fld::PctTtl}) r.SetField(f, c.Text());
            std::string place = c.Text();
            place += c.Text();
            r.SetField(fld::PctPlc, place);
            for (int f : {fld::PctIR1, fld::PctIR2, fld::PctIR3}) r.SetField(f, c.Text());
            static const char* kLabels[3] = {"数値１：", "数値２：", "数値３："};
            std::string values;
            for (int i = 0; i < 3; ++i) {
                const std::string v = c.Text();
                if (v.empty()) continue;
                if (!values.empty()) values += "，";
                values += kLabels[i] + v;
            }
            r.SetField(fld::SkoKan, values);
        }
        return 0;
    } catch (const std::exception& e) {
        Problems.emplace_back(e.what());
        return 2;
    }
}

}  // namespace velview
