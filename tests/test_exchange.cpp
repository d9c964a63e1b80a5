#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "common/file_io.h"
#include "data/ei_control.h"
#include "exchange/csv_io.h"
#include "exchange/inspection_exchange.h"
#include "test_support.h"

namespace velview {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;

const fs::path kSamples = fs::path(VELVIEW_SOURCE_DIR) / "samples" / "deliveries";

TEST(Csv, CellsRoundTripWithQuotesAndCommas) {
    const CsvRow row = {"1", "指摘あり", "a \"quoted\", comma", "", "末尾,"};
    EXPECT_EQ(CsvLine(row), "\"1\",\"指摘あり\",\"a \"\"quoted\"\", comma\",\"\",\"末尾,\"\r\n");
    EXPECT_EQ(TCsvList::ParseLine(CsvLine(row).substr(0, CsvLine(row).size() - 2)), row);
    struct Case {
        const char* line;
        CsvRow fields;
    } cases[] = {
        {"a,b", {"a", "b"}},
        {"a,", {"a", ""}},  // a line ending in "," has one more, empty field
        {"", {}},
        {"\"x\"\"y\",z", {"x\"y", "z"}},
        {"\"unclosed", {"unclosed"}},
    };
    for (const auto& c : cases) EXPECT_EQ(TCsvList::ParseLine(c.line), c.fields) << c.line;
}

TEST(Csv, WritesAtomicallyAndRefusesWhatShiftJisCannotHold) {
    ScratchDir dir;
    const fs::path target = dir / "h.csv";
    WriteCsvFile(target, {{"NO.", "検査状態"}, {"1", "検査済"}});
    EXPECT_EQ(ReadBytes(target), "\"NO.\",\"\x8c\x9f\x8d\xb8\x8f\xf3\x91\xd4\"\r\n\"1\",\"\x8c\x9f\x8d\xb8\x8d\xcf\"\r\n");
    try {
        WriteCsvFile(target, {{"😀"}});
        ADD_FAILURE() << "written";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("ファイルの書き込みに失敗しました。", 0), 0u) << e.what();
    }
    EXPECT_EQ(ReadBytes(target).substr(0, 5), "\"NO.\"");  // the old file is untouched
    EXPECT_THROW(WriteCsvFile(dir / "no" / "such" / "x.csv", {{"a"}}), IoError);
}

TEST(Exchange, DefaultNames) {
    EXPECT_EQ(DefaultExportName("A/B:C", "（写真）", "CSV"), "ABC（写真）.CSV");
    EXPECT_EQ(DefaultExportName("", "（引継ぎデータ）", "TOD"), "無題（引継ぎデータ）.TOD");
    EXPECT_EQ(DefaultExportName("\\/:,;*?\"<>|工事", "（写真）", "CSV"), "工事（写真）.CSV");
    // Cut to 128 bytes with the suffix (8 bytes), never inside a double-byte character.
    std::string kanji;
    for (int i = 0; i < 20; ++i) kanji += "工";
    const std::string name = std::string(101, 'x') + kanji;  // 141 bytes in Shift_JIS
    std::string kept;
    for (int i = 0; i < 9; ++i) kept += "工";  // 101 + 18 = 119: a tenth would straddle 120
    EXPECT_EQ(DefaultExportName(name, "（写真）", "CSV"), std::string(101, 'x') + kept + "（写真）.CSV");
}

class SampleDelivery : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
        const std::string d = (kSamples / "r5-clean" / "PHOTO").string();
        control_.Examine(d);
        ASSERT_EQ(control_.Load(d, 1), 0);
        TPctStateList::Instance().Clear();
    }
    void TearDown() override { TPctStateList::Instance().Clear(); }
    const TDBExpInp& F() { return *control_.Format(); }
    std::vector<int> All() {
        std::vector<int> v;
        for (int i = 0; i < F().Photos.Count(); ++i) v.push_back(i);
        return v;
    }
    TEIControl control_;
    ScratchDir dir_;
};

TEST_F(SampleDelivery, HistoryRoundTripAndRejections) {
    TPctStateList& s = TPctStateList::Instance();
    s.Item(0).SetInspectionState(1);
    s.Item(2).SetInspectionState(2);
    s.Item(2).comment = "寸法 \"再確認\", 記録";
    s.Item(3).comment = "ｶﾅ～①";
    const fs::path file = dir_ / "h.csv";
    WriteCsvFile(file, HistoryTable(F(), All(), s).AllRows());
    s.Clear();
    TCsvList csv;
    csv.LoadFromFile(file);
    ASSERT_TRUE(CheckHistoryImport(csv.Rows(), F()).ok);
    EXPECT_EQ(ImportHistory(csv.Rows(), F(), s), F().Photos.Count());
    EXPECT_EQ(s.Item(0).InspectionState(), 1);
    EXPECT_EQ(s.Item(2).InspectionState(), 2);
    EXPECT_EQ(s.Item(2).comment, "寸法 \"再確認\", 記録");
    EXPECT_EQ(s.Item(3).comment, "ｶﾅ～①");
    EXPECT_EQ(s.Item(1).InspectionState(), 0);

    // An edited title rejects the whole file; so does a header alone.
    std::vector<CsvRow> edited = csv.Rows();
    edited[2][3] += "（改）";
    EXPECT_EQ(CheckHistoryImport(edited, F()).message, kHistoryRejected);
    EXPECT_FALSE(CheckHistoryImport({csv.Rows()[0]}, F()).ok);
    std::vector<CsvRow> shortRow = csv.Rows();
    shortRow[1].resize(10);
    EXPECT_FALSE(CheckHistoryImport(shortRow, F()).ok);
}

TEST_F(SampleDelivery, TakeoverMatchesClassAndDigestLowestNumberFirst) {
    std::vector<std::string> digests;
    ASSERT_TRUE(control_.TakeoverDigests(digests, false));
    ASSERT_EQ(digests.size(), static_cast<std::size_t>(F().Photos.Count()));
    TPctStateList& s = TPctStateList::Instance();
    s.Item(1).SetInspectionState(2);
    s.Item(1).comment = "引継ぎ";
    const OutputTable t = TakeoverTable(F(), digests, s);
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.headers.back(), "ハッシュ値(MD5)");
    EXPECT_EQ(t.rows[0][11], digests[1]);
    const std::vector<CsvRow> rows = t.AllRows();
    ASSERT_TRUE(CheckTakeoverImport(rows).ok);
    EXPECT_EQ(CheckTakeoverImport({rows[0]}).message, kTakeoverRejected);

    // The same photo twice in the receiving delivery (equal classification and digest): the
    // lower photo number takes the row.
    std::vector<std::string> twice = digests;
    twice[4] = digests[1];
    TEIPctInfo& copy = control_.Format()->Photos.Items(4);
    for (int field : {fld::PctKbn, fld::KshNam, fld::SbtNam, fld::SaiNam, fld::PctLBn})
        copy.SetField(field, F().Photos.At(1)->FieldView(field));
    s.Clear();
    std::vector<CsvRow> one = rows;
    EXPECT_EQ(ImportTakeover(one, F(), twice, s), 1);
    EXPECT_EQ(s.Item(1).InspectionState(), 2);
    EXPECT_EQ(s.Item(1).comment, "引継ぎ");
    EXPECT_EQ(s.Item(4).InspectionState(), 0);
    // A digest nobody has imports nothing.
    one[1][11] = std::string(32, '0');
    s.Clear();
    EXPECT_EQ(ImportTakeover(one, F(), digests, s), 0);
}

TEST_F(SampleDelivery, FileInformationColumns) {
    const OutputTable t = FileInfoTable(F(), All(), TPctStateList::Instance());
    ASSERT_EQ(t.headers.size(), 8u);
    ASSERT_EQ(t.rows.size(), static_cast<std::size_t>(F().Photos.Count()));
    EXPECT_EQ(t.rows[0][2], "P0000001.JPG");
    EXPECT_EQ(t.rows[0][5], "320 × 240 （約8万画素）");
    EXPECT_EQ(t.rows[0][3].size(), 19u);  // "yyyy/mm/dd hh:nn:ss" from Exif
    EXPECT_EQ(t.rows[2][3], " ---- ※Exifがありません");  // P3 has no Exif
}

}  // namespace
}  // namespace velview

#include "data/inspection_rules.h"

namespace velview {
namespace {

TEST(InspectionRules, CommentsStatesAndBulkCommands) {
    TPctStateList list;
    struct Case {
        int before;
        const char* comment;
        int setting;
        int after;
    } cases[] = {
        {0, "要確認", 2, 2},  // default: a comment marks a finding
        {0, "確認済", 1, 1},  // "「－」→「検査済」"
        {1, "追記", 2, 1},    // an inspected photo keeps its state
        {0, "", 2, 0},        // clearing a comment changes nothing
    };
    for (const auto& c : cases) {
        SetInspectionState(list, 0, c.before);
        SetInspectionComment(list, 0, c.comment, c.setting);
        EXPECT_EQ(list.Item(0).InspectionState(), c.after) << c.comment;
        EXPECT_EQ(list.Item(0).comment, c.comment);
    }
    SetInspectionComment(list, 1, "a", 2);
    SetInspectionComment(list, 2, "b", 2);
    SetPrintTarget(list, {1, 2}, true);
    SetInspectionStateAll(list, {1, 2}, 0);
    EXPECT_EQ(list.Item(1).InspectionState(), 0);
    EXPECT_EQ(list.Item(1).comment, "a");  // comments are never touched by the commands
    EXPECT_TRUE(list.Item(2).TestBits(1u));  // nor the print-target marks
    SetPrintTarget(list, {2}, false);
    EXPECT_FALSE(list.Item(2).TestBits(1u));
    SetInspectionState(list, -1, 1);  // no photo: nothing stored
    EXPECT_FALSE(SetInspectionComment(list, -1, "x", 2));

    CommentHistory h;
    for (int i = 0; i < 25; ++i) h.Add("c" + std::to_string(i));
    h.Add("  c10 ");
    h.Add("   ");
    ASSERT_EQ(h.Items().size(), 20u);
    EXPECT_EQ(h.Items()[0], "c10");
    EXPECT_EQ(std::count(h.Items().begin(), h.Items().end(), "c10"), 1);
}

}  // namespace
}  // namespace velview
