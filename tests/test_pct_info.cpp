#include <gtest/gtest.h>

#include "data/pct_checks.h"
#include "data/pct_info.h"
#include "ent/current_standard.h"
#include "ent/ent_info.h"

namespace velview {
namespace {

using Lines = std::vector<std::string>;

// A standard of the given DTD type with photo requirement digits; the standard-dependent
// information is replaced for the test's code.
class RecordChecks : public ::testing::Test {
protected:
    void Use(int dtd, const std::string& pctNeed, std::vector<std::string> info = {}, const char* code = "T0000TEST") {
        TEntType s;
        s.code = code;
        s.dtdVer = dtd;
        s.Items(ItemGroup::Photo).SetNeed(pctNeed);
        s.chkKsh = true;
        std::vector<std::string> lines = {std::string("[") + code + "]"};
        lines.insert(lines.end(), info.begin(), info.end());
        TEntInfo::Instance().ReplaceContent(lines);
        s.kss.Load(code);
        CurrentStandard() = s;
    }
    void TearDown() override {
        TEntInfo::Instance().ReplaceContent({});
        CurrentStandard() = TEntType();
    }
};

TEST(PctInfo, ListsMirrorTheirFirstEntries) {
    TEIPctInfo r;
    r.SetField(fld::RefFNX, "/d/DRA/D1.JPG\r\n/d/DRA/D2.JPG");
    EXPECT_EQ(r.GetField(fld::RefFNX), "/d/DRA/D1.JPG\r\n/d/DRA/D2.JPG\r\n");
    EXPECT_EQ(r.GetField(fld::RefFN1), "/d/DRA/D1.JPG");
    EXPECT_EQ(r.GetField(fld::RefFN2), "/d/DRA/D2.JPG");
    EXPECT_EQ(r.GetField(fld::RefFN3), "");
    // Writing a mirror writes the list entry, and the list does not loop back.
    r.SetField(fld::RefFN3, "/d/DRA/D3.JPG");
    EXPECT_EQ(r.FieldList(fld::RefFNX)->Count(), 3);

    TPIStrings& l = *r.FieldList(fld::PctKRX);
    l.SetText("a\r\nb");
    l.Put(5, "");  // an empty value beyond the end changes nothing
    EXPECT_EQ(l.Count(), 2);
    l.Put(5, "x");
    EXPECT_EQ(l.Items(), (Lines{"a", "b", "", "", "", "x"}));
    EXPECT_EQ(l.Get(9), "");

    // A middle empty line stays; only empty entries at the end go.
    r.SetField(fld::TPcIRX, "p\r\n\r\nq\r\n\r\n");
    EXPECT_EQ(r.FieldList(fld::TPcIRX)->Items(), (Lines{"p", "", "q"}));

    // Clearing list 47 clears its mirrors, marking only those that held something.
    r.SetField(fld::PctIRX, "one\r\ntwo");
    r.ReplaceStates(kFieldChanged, kFieldUnchanged);
    r.FieldList(fld::PctIRX)->Clear();
    EXPECT_EQ(r.GetField(fld::PctIR1), "");
    EXPECT_EQ(r.FieldState(fld::PctIR1), kFieldChanged);
    EXPECT_EQ(r.FieldState(fld::PctIR2), kFieldChanged);
    EXPECT_EQ(r.FieldState(fld::PctIR3), kFieldUnchanged);
    EXPECT_EQ(r.FieldState(fld::PctIRX), kFieldChanged);
}

TEST(PctInfo, ValuesDatesFlagsResetAndAssign) {
    TEIPctInfo r;
    EXPECT_EQ(r.GetField(99), "");
    r.SetField(99, "ignored");
    r.SetField(fld::PctYMD, "20230517");
    const double d = r.PhotoDate();
    EXPECT_GT(d, 45000);
    r.SetField(fld::PctYMD, "2023-05-17");  // the later editions' form
    EXPECT_EQ(r.PhotoDate(), d);
    r.SetField(fld::PctYMD, "20230230");
    EXPECT_EQ(r.PhotoDate(), 0);
    r.SetPhotoDate(d);
    EXPECT_EQ(r.GetField(fld::PctYMD), "20230517");
    r.SetPhotoDate(0);
    EXPECT_EQ(r.GetField(fld::PctYMD), "00000000");

    r.SetItemSelectionText("8000000001");
    EXPECT_TRUE(r.ItemSelected(0));
    EXPECT_TRUE(r.ItemSelected(39));
    EXPECT_FALSE(r.ItemSelected(1));
    EXPECT_EQ(r.ItemSelectionText(), "8000000001");
    r.SetItemSelectionText("zz");
    EXPECT_FALSE(r.ItemSelected(0));
    r.SetItemSelectionText("8000000001");
    r.SetOrganiseFlag(12);
    EXPECT_EQ(r.GetField(fld::PctFlg), "0");
    r.SetExtInfo(255);
    EXPECT_EQ(r.GetField(fld::ExtInf), "000000FF");
    r.SetStationNumber(7);

    TEIPctInfo copy;
    copy.Assign(r);
    EXPECT_EQ(copy.GetField(fld::ExtInf), "000000FF");
    EXPECT_EQ(copy.StationNumber(), 7);
    EXPECT_TRUE(copy.ItemSelected(39));
    r.ResetRecord();
    EXPECT_EQ(r.GetField(fld::ExtInf), "");
    EXPECT_EQ(r.GetField(fld::TeiPct), "1");
    EXPECT_EQ(r.StationNumber(), -1);
    EXPECT_EQ(r.FieldState(fld::TeiPct), kFieldUnchanged);
}

// Values share one buffer per record: rewriting, growing, shrinking and copying one field of
// the record into another must never disturb the others.
TEST(PctInfo, ValuesSurviveRewritesAndCopiesWithinTheRecord) {
    TEIPctInfo r;
    std::vector<std::string> expected(kFieldCount);
    for (int round = 0; round < 40; ++round) {
        for (int f = 0; f < kFieldCount; ++f) {
            if (IsListField(f) || (f >= fld::PctKR1 && f < fld::PctKR1 + 3)) continue;
            const int len = (f * 7 + round * 13) % 90;
            std::string v(static_cast<std::size_t>(len), static_cast<char>('a' + (f + round) % 26));
            if (round % 5 == 4) v.clear();
            r.SetField(f, v);
            expected[static_cast<std::size_t>(f)] = v;
        }
        // One field's own text given to another field, and to itself.
        r.SetField(fld::PctTtl, r.FieldView(fld::PctPlc));
        expected[fld::PctTtl] = expected[fld::PctPlc];
        r.StoreField(fld::PctPlc, r.FieldView(fld::PctPlc).substr(0, 3), true);
        expected[fld::PctPlc] = expected[fld::PctPlc].substr(0, 3);
        for (int f = 0; f < kFieldCount; ++f) {
            if (IsListField(f) || (f >= fld::PctKR1 && f < fld::PctKR1 + 3)) continue;
            ASSERT_EQ(r.GetField(f), expected[static_cast<std::size_t>(f)]) << "field " << f << " round " << round;
        }
    }
    TEIPctInfo copy;
    copy.Assign(r);
    EXPECT_EQ(copy.GetField(fld::PctTtl), expected[fld::PctTtl]);
}

TEST_F(RecordChecks, RequiredLengthAndColours) {
    // Type 5 items: 写真タイトル (9) required, 工種区分予備 (10) level 1 for this test.
    Use(5, "113112222111213211123");
    TEIPctInfo r;
    r.SetField(fld::PctKRX, "a\r\n\r\nb");  // an empty entry inside a required list
    EXPECT_TRUE(r.IsRequiredFault(fld::PctKRX));
    EXPECT_TRUE(r.IsRequiredFault(fld::PctTtl));
    EXPECT_FALSE(r.RequiredOk());
    r.SetField(fld::PctTtl, std::string(255, 'x'));
    EXPECT_FALSE(r.IsRequiredFault(fld::PctTtl));
    EXPECT_TRUE(r.IsLengthFault(fld::PctTtl));
    EXPECT_EQ(CheckColour(r, 9), CellColour::Rgb(255, 255, 176));
    EXPECT_EQ(CheckColour(r, 10), CellColour::Rgb(255, 187, 187));
    // A required fault on an optional item (工種区分予備 at level 3) leaves the cell white.
    Use(5, "113112222131213211123");
    r.ClearCheckCache();
    EXPECT_FALSE(r.IsRequiredFault(fld::PctKRX));
    EXPECT_EQ(CheckColour(r, 10), CellColour::Window());
    // The file-name part of a path is measured: the folder does not count.
    r.SetField(fld::PctFNm, "/a/very/long/folder/name/PIC/P0000001.JPG");
    EXPECT_FALSE(r.IsLengthFault(fld::PctFNm));
    r.SetField(fld::PctFNm, "/PIC/P00000001.JPG");
    EXPECT_TRUE(r.IsLengthFault(fld::PctFNm));
    EXPECT_EQ(r.GetField(fld::PctYMD), "");
    EXPECT_TRUE(r.IsRequiredFault(fld::PctYMD));
    r.SetField(fld::PctYMD, "00000000");
    EXPECT_TRUE(r.IsRequiredFault(fld::PctYMD));
}

TEST_F(RecordChecks, TypeOneFlagIsALengthAndClassFault) {
    Use(1, "11123112221333222232223233333331222");
    TEIPctInfo r;
    r.SetField(fld::PctFlg, "10");
    EXPECT_TRUE(r.IsLengthFault(fld::PctFlg));
    EXPECT_TRUE(r.IsClassFault(fld::PctFlg));
    r.SetField(fld::PctFlg, "1");
    EXPECT_FALSE(r.IsClassFault(fld::PctFlg));
}

TEST_F(RecordChecks, ClassificationAgainstTheVocabulary) {
    Use(5, "113112222131213211123",
        {" [KbnTree]", "  [K]", "  Name=工事", "   [A]", "   Name=施工状況写真", "  [S]", "  Name=測量"});
    TEIPctInfo r;
    r.SetField(fld::PctLBn, "工事");
    r.SetField(fld::PctKbn, "施工状況写真");
    EXPECT_TRUE(r.ClassOk());
    r.SetField(fld::PctKbn, "未知の写真");
    EXPECT_TRUE(r.IsClassFault(fld::PctKbn));
    r.SetField(fld::PctKbn, "");  // empty passes under type 5 unless it is a frequency photo
    EXPECT_TRUE(r.ClassOk());
    r.SetField(fld::FrqPct, "1");
    EXPECT_FALSE(r.ClassOk());
    r.SetField(fld::PctLBn, "測量");  // other major categories: the photo category is not tested
    EXPECT_TRUE(r.ClassOk());
    r.SetField(fld::PctLBn, "工事X");
    EXPECT_TRUE(r.IsClassFault(fld::PctLBn));
}

TEST_F(RecordChecks, SwitchDrivenRequirements) {
    Use(5, "113112222131213211123",
        {"NeedPctPlcKbn=1,\"品質管理写真\"", "FjnNeedDaiPct=1", "FrqPctIsOne=True", "FjnHead=現場", " [KbnTree]",
         " KssItem=K", "  [K]", "  Name=工事", "   [A]", "   Name=品質管理写真", "   KssIdx=222"});
    TEIPctInfo r;
    r.SetField(fld::PctKbn, "品質管理写真");
    EXPECT_TRUE(r.IsRequiredFault(fld::PctPlc));   // this category needs the shooting place
    EXPECT_TRUE(r.IsRequiredFault(fld::FrqPct));   // only "1" counts
    EXPECT_FALSE(r.IsRequiredFault(fld::PctFJN));  // no representative mark
    r.SetField(fld::DaiPct, "0");
    EXPECT_FALSE(r.IsRequiredFault(fld::PctFJN));  // "0" is no representative photo
    r.SetField(fld::DaiPct, "1");
    EXPECT_TRUE(r.IsRequiredFault(fld::PctFJN));
    r.SetField(fld::PctFJN, "別名.JPG");
    EXPECT_TRUE(r.IsPrefixFault(fld::PctFJN));
    r.SetField(fld::PctFJN, "現場0001.JPG");
    EXPECT_TRUE(r.PrefixOk());
    // 工種 of a class whose table entry says "○" is required for frequency photos.
    EXPECT_FALSE(r.IsRequiredFault(fld::KshNam));
    r.SetField(fld::FrqPct, "1");
    EXPECT_TRUE(r.IsRequiredFault(fld::KshNam));
}

TEST(PctStateList, StatesAndComments) {
    TPctStateList& s = TPctStateList::Instance();
    s.Clear();
    TPctSateItem& i = s.Item(3);
    EXPECT_EQ(s.Count(), 4);
    EXPECT_FALSE(i.HasInspectionData());
    i.SetInspectionState(2);
    EXPECT_EQ(i.InspectionState(), 2);
    EXPECT_TRUE(i.TestBits(4));
    i.SetInspectionState(1);
    EXPECT_EQ(i.bits, 2u);
    i.SetInspectionState(0);
    i.comment = "要確認";
    EXPECT_TRUE(i.HasInspectionData());
    EXPECT_EQ(s.Find(7), nullptr);
    s.Clear();
}

}  // namespace
}  // namespace velview
