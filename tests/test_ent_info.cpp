#include <gtest/gtest.h>

#include "ent/current_standard.h"
#include "ent/ent_dependent_info.h"
#include "ent/ent_info.h"
#include "ent/ent_items.h"
#include "ent/item_layouts.h"
#include "ent/quoted_list.h"
#include "ent/standard_flags.h"

namespace velview {
namespace {

using Lines = std::vector<std::string>;

class EntInfoTest : public ::testing::Test {
protected:
    void TearDown() override { TEntInfo::Instance().ReplaceContent({}); }
    TEntInfo& info = TEntInfo::Instance();
};

TEST_F(EntInfoTest, ReferencesCopyContentInBothForms) {
    auto problems = info.ReplaceContent({
        "[BASE]", " [KbnTree]", " KssItem=K", "  [K]", "  Name=工事", "  [S]", "  Name=測量", "  [T]", "  Name=調査",
        "[C1]", " [KbnTree]", " Reference=\\BASE\\KbnTree",           // plain: the whole subtree
        "[C2]", " [KbnTree]", " Own=1", " Reference=\"\\BASE\\KbnTree\",\"K\",'T'",  // quoted: named children
        "[C3]", " [Loop]", " Reference=\\C3",                        // an enclosing section: refused
        "[C4]", " [X]", " Reference=\\NOWHERE",                      // missing: reported
    });
    // Plain form: values and children copied, the section keeps its own name.
    TTreeIniItem* k1 = info.ClassificationRoot("C1");
    ASSERT_NE(k1, nullptr);
    EXPECT_EQ(k1->Name(), "KbnTree");
    EXPECT_EQ(k1->Values().ReadString("KssItem"), "K");
    EXPECT_EQ(info.MajorCategories("C1"), (Lines{"工事", "測量", "調査"}));
    // Quoted form: only the named children, own values kept, the reference line removed.
    TTreeIniItem* k2 = info.ClassificationRoot("C2");
    EXPECT_EQ(k2->Values().Lines(), (Lines{"Own=1"}));
    EXPECT_EQ(info.MajorCategories("C2"), (Lines{"工事", "調査"}));
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("\\C3\\Loop"), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find("NOWHERE"), std::string::npos) << problems[1];
    EXPECT_EQ(info.FindChild("NOWHERE"), nullptr);  // a failed look-up creates nothing
}

TEST_F(EntInfoTest, ChainedReferencesResolveAndCyclesEnd) {
    auto problems = info.ReplaceContent({"[A]", "Reference=\\B", "[B]", "Reference=\\C", "[C]", "v=3",
                                         "[X]", "Reference=\\Y", "[Y]", "Reference=\\X"});
    EXPECT_EQ(info.CodeValue("A", "v"), "3");
    EXPECT_EQ(problems.size(), 1u);  // X and Y refer to each other
}

TEST_F(EntInfoTest, CategoriesAndNoDataChk) {
    info.ReplaceContent({"[C5]", " [KbnTree]", "  [K]", "  Name=工事", "   [A]", "   Name=施工状況写真", "  [S]",
                         "  Name=測量", "[ANY]", "NoDataChk=True"});
    EXPECT_EQ(info.PhotoCategories("C5"), (Lines{"施工状況写真"}));
    EXPECT_TRUE(info.IsMajorCategory("C5", "測量"));
    EXPECT_FALSE(info.IsMajorCategory("C5", "設計"));
    EXPECT_TRUE(info.IsPhotoCategory("C5", 5, "", false));  // empty passes under DTD type 5 ...
    EXPECT_FALSE(info.IsPhotoCategory("C5", 5, "", true));  // ... unless asked strictly
    EXPECT_FALSE(info.IsPhotoCategory("C5", 4, "", false));
    EXPECT_TRUE(info.IsMajorCategory("ANY", "何でも"));
    EXPECT_TRUE(info.IsPhotoCategory("ANY", 3, "何でも", true));
    EXPECT_FALSE(info.IsMajorCategory("MISSING", "工事"));
}

TEST_F(EntInfoTest, SwitchesDefaultsQuotedListsAndDocumentTypeNames) {
    info.ReplaceContent({"[C6]", "NeedPctDaiKbn=2,\"出来形管理写真\",'品質''管理'", "FjnNeedDaiPct=1",
                         "IsKokH22=true", "PHOTODTDName=MY.DTD", " [StdJpgProp]", " DaiPctNeed=0"});
    auto f = StandardFlagsPtr("C6");
    EXPECT_EQ(f->NeedPctDaiKbn, (Lines{"出来形管理写真", "品質'管理"}));
    EXPECT_EQ(f->FjnNeedDaiPct, 1);
    EXPECT_FALSE(f->IsKokH22);  // booleans are true only for "True"
    EXPECT_EQ(f->DaiPctNeed, 0);
    EXPECT_EQ(PhotoDtdName(*f, 5, 8), "MY.DTD");
    EXPECT_EQ(PhotoDtdName(*f, 1, 1), "PHOTO.DTD");
    EXPECT_EQ(PhotoDtdName(*f, 2, 3), "PHOTO02N.DTD");
    auto d = StandardFlagsPtr("NONE");
    EXPECT_TRUE(d->ShowChkKsh);
    EXPECT_EQ(d->MaxExtLength_Pic, 3);
    EXPECT_EQ(PhotoDtdName(*d, 4, 7), "PHOTO04.DTD");
    EXPECT_EQ(ParseCountedList("1 \"a\" \"b\""), (Lines{"a"}));
    EXPECT_TRUE(ParseCountedList("x\"a\"").empty());
    // A replaced content is seen by later reads; an object read before stays valid.
    info.ReplaceContent({"[C6]", "FjnNeedDaiPct=2"});
    EXPECT_EQ(StandardFlagsPtr("C6")->FjnNeedDaiPct, 2);
    EXPECT_EQ(f->FjnNeedDaiPct, 1);
}

TEST_F(EntInfoTest, DependentInfoFollowsTheCurrentStandardLazily) {
    info.ReplaceContent({"[C7]", " [BaseInfo]", " PhotoDir=PHOTO/PIC", " AplStd=土木202303-01", " [StdJpgProp]",
                         " PixelMax=3000000", "  [PixelRange]", "  WMax=2000", " [StdTiffProp]", " TiffDPIMin=200",
                         "[C8]", " [BaseInfo]", " PhotoDir=PIC", " KojKnrAplStd=港湾"});
    TTreeIni store;
    SetDependentInfoStore(&store);
    CurrentStandard().code = "C7";
    TBaseInfo& base = TBaseInfo::Instance();
    EXPECT_EQ(base.StoredValue(1), "PHOTO/PIC");
    base.SetStoredValue(1, "MINE");
    EXPECT_EQ(base.StoredValue(1), "MINE");
    EXPECT_EQ(base.AppliedStandardText(), "土木202303-01");
    EXPECT_EQ(TStdJpgProp::Instance().Limit(1), 3000000);
    EXPECT_EQ(TStdJpgProp::Instance().Limit(3), 2000);
    EXPECT_TRUE(TStdJpgProp::Instance().HasPixelRange());
    EXPECT_TRUE(TStdTiffProp::Instance().HasResolutionLimit());
    // Another standard: the stored values start again from its defaults.
    CurrentStandard().code = "C8";
    EXPECT_EQ(base.StoredValue(1), "PIC");
    EXPECT_EQ(store.ReadString("\\EntDependentInfo\\BaseInfo", "LastEntCode"), "C8");
    EXPECT_EQ(base.AppliedStandardText(), "港湾");
    EXPECT_FALSE(TStdJpgProp::Instance().HasPixelRange());
    SetDependentInfoStore(nullptr);
    EXPECT_EQ(base.StoredValue(1), "");
    CurrentStandard() = TEntType();
}

TEST(EntItems, LevelsMarksAndClassesBeyondTheString) {
    TEntItems items("11123112221333222232223233333331222", "35334664444444555443314444444441111");
    EXPECT_EQ(items.Count(), 35);
    EXPECT_EQ(items.Level(40), 4);
    EXPECT_STREQ(items.Mark(40), "×");
    EXPECT_EQ(items.Class(40), 4);
    EXPECT_STREQ(items.Mark(3), "○");
    TEntItem cursor = items.Select(2);
    EXPECT_EQ(cursor.Position(), 3);
    cursor.SetLevel(12);  // the first character of "12"
    EXPECT_EQ(items.Level(2), 1);
    TEntItems other("9", "x");
    EXPECT_EQ(other.Level(0), 4);
    EXPECT_EQ(other.Class(0), 0);
}

TEST(ItemLayouts, NamesLengthsAndOverrides) {
    EXPECT_EQ(LayoutFor(5, "C0000R503", false), ItemLayout::Type5);
    EXPECT_EQ(LayoutFor(2, "D00002807", false), ItemLayout::D);
    EXPECT_EQ(LayoutFor(5, "C0000R503", true), ItemLayout::H);
    EXPECT_EQ(LayoutFor(4, "X", false), ItemLayout::Type34);
    struct Case {
        ItemLayout layout;
        std::size_t photo;
    } counts[] = {{ItemLayout::Type1, 35}, {ItemLayout::Type2, 26}, {ItemLayout::Type34, 20},
                  {ItemLayout::Type5, 21}, {ItemLayout::H, 22},     {ItemLayout::D, 17}};
    for (const auto& c : counts) {
        EXPECT_EQ(PhotoItemNames(c.layout, false).size(), c.photo);
        EXPECT_EQ(PhotoItemTable(c.layout).size(), c.photo);
    }
    EXPECT_EQ(PhotoItemNames(ItemLayout::Type5, false)[18], "提出頻度写真");
    EXPECT_EQ(PhotoItemNames(ItemLayout::Type5, true)[20], "受注者説明文");
    EXPECT_EQ(PhotoItemMaxLength(ItemLayout::Type5, "X", 3, 3, 1), 12);
    EXPECT_EQ(PhotoItemMaxLength(ItemLayout::Type5, "X", 4, 3, 1), 13);
    EXPECT_EQ(PhotoItemMaxLength(ItemLayout::Type5, "X", 3, 4, 11), 13);
    EXPECT_EQ(PhotoItemMaxLength(ItemLayout::Type2, "N43001704", 3, 3, 8), 254);
    EXPECT_EQ(PhotoItemMaxLength(ItemLayout::Type2, "N00001504", 3, 3, 8), 40);
    EXPECT_EQ(PhotoItemMaxLength(ItemLayout::D, "X", 3, 3, 17), 0);
    EXPECT_EQ(BasicItems(ItemLayout::Type5, "X")[0].maxLength, 9);
    EXPECT_EQ(BasicItems(ItemLayout::Type2, "ETH000001")[2].maxLength, 4);
    EXPECT_EQ(ConstructionItems(2, 3, "N43001704")[1].name, "案件番号");
    EXPECT_EQ(ConstructionItems(2, 3, "N43001704")[1].maxLength, 21);
    EXPECT_TRUE(ConstructionItems(5, 8, "X").empty());
    EXPECT_EQ(ClassLabel(ItemLayout::Type1, 1, 6), "全角文字（ただし英数字は含まない）");
    EXPECT_EQ(ClassLabel(ItemLayout::D, 2, 7), "半角数字・ - (HYPHEN-MINUS)");
    EXPECT_EQ(ClassLabel(ItemLayout::Type34, 3, 0), "半角英数字");
    EXPECT_EQ(ClassLabel(ItemLayout::Type5, 5, 0), "半角英大文字");
    EXPECT_STREQ(LengthColumnTitle(1), "データ長");
}

}  // namespace
}  // namespace velview
