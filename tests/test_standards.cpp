#include <gtest/gtest.h>

#include "common/ext_registry.h"
#include "common/text_encoding.h"
#include "common/tree_ini.h"
#include "ent/code_derivation.h"
#include "ent/current_standard.h"
#include "ent/ent_info.h"
#include "ent/ent_type.h"
#include "ent/ent_type_list.h"
#include "ent/time_code.h"
#include "test_support.h"

namespace velview {
namespace {

using test::ScratchDir;

TEST(CodeDerivation, NamesGiveCodesByDtdTypeAndKeywordOrder) {
    struct Case {
        const char* id;
        int dtd;
        const char* name;
        const char* code;
        const char* base;
    } cases[] = {
        {"000C0020", 5, "whatever", "C00002005", "国土交通省 [平成20年5月版]"},
        {"00000001", 2, "静岡県", "C00001407", "国土交通省 [平成14年7月版]"},  // the id decides first
        {"X1", 1, "静岡県[平成11年8月版]", "P22000001", "国土交通省 [平成11年8月版]"},
        {"X1", 1, "水資源開発公団", "M00001212", "水資源機構 [平成12年12月版]"},
        {"X1", 1, "どこか", "C00001108", "国土交通省 [平成11年8月版]"},
        // "(施設編)" is tried before the plain agency name that it contains.
        {"X2", 2, "日本道路公団(施設編)[平成16年4月版]", "DS0001604", "日本道路公団(施設編) [平成16年4月版]"},
        {"X2", 2, "日本道路公団[平成14年12月版]", "D00001412", "日本道路公団 [平成14年12月版]"},
        {"X2", 2, "中日本高速道路株式会社", "D00001807", "東・中・西日本高速道路株式会社 [平成18年7月版]"},
        {"X2", 2, "営繕部", "EZ0001411", "国土交通省 [平成14年7月版]"},
        {"X3", 3, "福井県(農林関係)電気通信設備", "NE2001703", "福井県 [平成17年3月版]"},
        {"X3", 3, "福井県(港湾空港関係)", "K20001703", "福井県 [平成17年3月版]"},
        {"X3", 3, "国土交通省 電気通信設備 18年", "CE00Z1801", "国土交通省 -暫定版- [平成18年1月版]"},
        {"X3", 3, "国土交通省 電気通信設備", "CE0001606", "国土交通省 [平成16年6月版]"},
        {"X3", 3, "電子納品対象外", "TG0000000", "国土交通省 [平成16年6月版]"},
        {"X3", 3, "熊本県 19", "P43001904", "熊本県 [平成19年4月版]"},
        {"X3", 3, "どこか", "NOTHING", "keep"},
        {"X4", 4, "近畿地方整備局 電気通信設備", "CE0501903", "近畿地方整備局 [平成19年3月版]"},
        {"X4", 4, "北海道開発局", "K01001806", "北海道開発局 [平成18年6月版]"},
        {"X4", 4, "国土交通省", "C00001904", "国土交通省 [平成18年1月版]"},
        {"X5", 5, "国土交通省[令和5年3月版]", "NOTHING", "keep"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DerivedCode d = DeriveCode(c.id, c.name, c.dtd, "keep");
        EXPECT_EQ(d.code, c.code);
        EXPECT_EQ(d.baseName, c.base);
    }
}

TEST(CodeDerivation, CorrectionsOfKnownWrongCombinations) {
    struct Case {
        const char *code, *base, *name, *wantCode, *wantBase;
    } cases[] = {
        {"D00001412", "国土交通省 [平成14年7月版]", "x", "D00001412", "日本道路公団 [平成14年12月版]"},
        {"D00001412", "国土交通省 [平成11年8月版]", "x", "C00001108", "国土交通省 [平成11年8月版]"},
        {"C00001108", "b", "静岡県版", "P22000001", "b"},
        {"C00001108", "b", "愛知県版", "C00001108", "b"},
    };
    for (const auto& c : cases) {
        std::string code = c.code, base = c.base;
        CorrectCode(code, base, c.name);
        EXPECT_EQ(code, c.wantCode);
        EXPECT_EQ(base, c.wantBase);
    }
}

TEST(TimeCode, StrictlyIncreasingBase36) {
    EXPECT_EQ(TimeCodeText(0), "00000000");
    EXPECT_EQ(TimeCodeText(36), "00000010");
    EXPECT_EQ(TimeCodeText(35), "0000000Z");
    // Two codes taken in the same millisecond differ by one.
    const std::uint64_t now = 4000000000000ull;
    const std::uint64_t a = NextTimeCodeValue(now), b = NextTimeCodeValue(now);
    EXPECT_EQ(b, a + 1);
    EXPECT_GT(NextTimeCodeValue(now - 5), b);  // a clock set back still gives a later code
    EXPECT_NE(NewTimeCode(), NewTimeCode());
}

TEST(EntType, TextFormRoundTripAndKeyOrder) {
    TEntType e;
    e.ApplyTemplate("000C0020");
    e.groupIdx = "2,5,1";
    TExtStringList v;
    e.Write(v);
    std::vector<std::string> keys;
    for (const auto& l : v.Lines()) keys.emplace_back(TExtStringList::KeyOf(l));
    EXPECT_EQ(keys, (std::vector<std::string>{"Version", "ID", "EditDate", "Name", "BasNeed", "BasKind", "KojNeed",
                                              "KojKind", "PctNeed", "PctKind", "ChkKsh", "DTDVer", "Code",
                                              "BaseName", "GroupIdx"}));
    EXPECT_EQ(v.ReadString("PctNeed"), "113112222131213211123");
    EXPECT_EQ(v.ReadString("ChkKsh"), "True");
    TEntType back;
    back.Read(v);
    EXPECT_TRUE(back.Equals(e, kCompareName | kCompareId | kCompareDtdType | kCompareBaseName));
    EXPECT_EQ(back.Group(1), 5);

    // Absent keys keep their values; a DTD type that is no number is a format error.
    TExtStringList partial;
    partial.SetLines({"Name=別名"});
    back.Read(partial);
    EXPECT_EQ(back.dtdVer, 5);
    EXPECT_EQ(back.name, "別名");
    partial.SetLines({"DTDVer=five"});
    EXPECT_THROW(back.Read(partial), EStandardFormat);
}

TEST(EntType, VariantClassEditionAndGroups) {
    struct Case {
        const char* code;
        int dtd;
        int variant;
        int edition;
    } cases[] = {
        {"N00001504", 2, 3, 1504}, {"M00001212", 1, 4, 1212}, {"P13010001", 1, 2, 1},
        {"D00002407", 2, 5, 2407}, {"C00001108", 1, 1, 1108}, {"C00001407", 2, 0, 1407},
        {"C00001606", 3, 6, 1606}, {"C00001904", 4, 7, 1904}, {"C00002005", 5, 8, 2005},
        {"C0000R503", 5, 8, 3503}, {"NOTHING", 5, 8, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        TEntType e;
        e.code = c.code;
        e.dtdVer = c.dtd;
        EXPECT_EQ(e.VariantClass(), c.variant);
        EXPECT_EQ(e.EditionNumber(), c.edition);
    }
    TEntType r1, h31;
    r1.code = "C0000R105";  // May 2019, the first Reiwa month
    h31.code = "C00003104";
    EXPECT_GT(r1.EditionNumber(), h31.EditionNumber());  // every Reiwa edition ranks above Heisei

    TEntType g;
    EXPECT_EQ(g.Group(0), -1);
    EXPECT_TRUE(g.IsUserGroup());
    g.groupIdx = "0,3";
    EXPECT_EQ(g.Group(1), 3);
    EXPECT_EQ(g.Group(2), -1);
    EXPECT_FALSE(g.IsUserGroup());
}

class StandardsWithInfo : public ::testing::Test {
protected:
    void SetUp() override {
        TEntInfo::Instance().ReplaceContent({"[AUTO0001]", "AutoInpKss=True", "[C00002005]", " [KbnTree]",
                                             " KssItem=K", "  [K]", "  Name=工事", "   [A]", "   Name=施工状況写真",
                                             "   KssIdx=220", "   [B]", "   Name=品質管理写真", "   [C]",
                                             "   Name=その他", "   KssIdx=000"});
    }
    void TearDown() override { TEntInfo::Instance().ReplaceContent({}); }
    ScratchDir dir_;
};

TEST_F(StandardsWithInfo, ReadTurnsTheWorkTypeCheckOffAndLoadsCategories) {
    TEntType e;
    TExtStringList v;
    v.SetLines({"ID=U1", "Code=AUTO0001", "ChkKsh=True", "DTDVer=5"});
    e.Read(v);
    EXPECT_FALSE(e.chkKsh);  // "AutoInpKss" wins over the file
    EXPECT_EQ(e.kss.Count(), 8);  // no "KssItem": the default table

    v.SetLines({"ID=U2", "Code=C00002005", "ChkKsh=True", "DTDVer=5"});
    e.Read(v);
    EXPECT_TRUE(e.chkKsh);
    ASSERT_EQ(e.kss.Count(), 3);
    EXPECT_EQ(e.kss[1].digits, "333");  // no "KssIdx"
    EXPECT_EQ(e.RequiredLevelsOfCategory("工事", "施工状況写真"), 2);
    EXPECT_EQ(e.RequiredLevelsOfCategory("工事", "その他"), 0);
    EXPECT_EQ(e.RequiredLevelsOfCategory("工事", "無い写真"), -1);
    EXPECT_EQ(e.RequiredLevelsOfCategory("測量", "施工状況写真"), -1);
}

TEntType Standard(const char* id, const char* code, int dtd, const char* group, const char* pctNeed = "1") {
    TEntType e;
    e.id = id;
    e.code = code;
    e.dtdVer = dtd;
    e.groupIdx = group;
    e.name = std::string("std ") + id;
    e.Items(ItemGroup::Photo).SetNeed(pctNeed);
    return e;
}

TEST(EntTypeList, CompareTellsSameDifferentAndCopies) {
    TEntTypeList list;
    list.AddCopy(Standard("A", "C1", 5, "0,-1,1"));
    TEntType same = list.At(0), changed = list.At(0), renamedCopy = list.At(0), other = Standard("Z", "C9", 5, "4");
    changed.Items(ItemGroup::Photo).SetNeed("3");
    renamedCopy.id = "B";
    EXPECT_EQ(list.Compare(same), 0);
    EXPECT_EQ(list.Compare(changed), 2);
    EXPECT_EQ(list.Compare(renamedCopy), 1);  // the same standard under another id
    EXPECT_EQ(list.Compare(other), 3);
}

TEST(EntTypeList, MergeKeepsEditedBuiltInsAndLeadsWithTheBuiltIns) {
    TEntTypeList builtIns;
    builtIns.AddCopy(Standard("B1", "C00002005", 5, "0,-1,1", "111"));
    builtIns.AddCopy(Standard("B2", "C0000R503", 5, "0,-1,1", "222"));

    TEntTypeList user;
    user.AddCopy(Standard("U1", "NOTHING", 5, "4,-1,0"));
    user.AddCopy(Standard("B2", "C0000R503", 5, "0,-1,1", "223"));  // the user edited built-in B2
    user.AddCopy(Standard("B1", "C00002005", 5, "0,-1,1", "111"));  // unchanged copy of B1
    user.AddCopy(Standard("P1", "C000Z1801", 3, "0,-1,1"));          // outdated provisional edition
    user.AddCopy(Standard("E1", "EZ0001411", 2, "4,-1,0"));
    user.MergeBuiltIns(builtIns);

    ASSERT_EQ(user.Count(), 4);
    EXPECT_EQ(user.At(0).id, "B1");
    EXPECT_EQ(user.At(1).id, "B2");
    EXPECT_EQ(user.At(1).Items(ItemGroup::Photo).Need(), "222");
    // The edited copy lives on as the user's own standard under a new id.
    int edited = -1;
    for (int i = 0; i < user.Count(); ++i)
        if (user.At(i).Items(ItemGroup::Photo).Need() == "223") edited = i;
    ASSERT_GE(edited, 2);
    EXPECT_NE(user.At(edited).id, "B2");
    EXPECT_EQ(user.At(edited).groupIdx, "4,-1,0");
    EXPECT_EQ(user.IndexOfId("U1") >= 2, true);
    EXPECT_FALSE(user.HasCode("C000Z1801"));
    EXPECT_FALSE(user.HasCode("EZ0001411"));
}

TEST(EntTypeList, TemplatesCopiesAndSerializedText) {
    TEntTypeList list;
    const int a = list.AddTemplateById("000C0Z18");
    EXPECT_EQ(list.At(a).code, "C000Z1801");
    EXPECT_EQ(list.At(a).dtdVer, 3);
    EXPECT_EQ(list.At(a).Items(ItemGroup::Photo).Need(), "11311222213121321223");
    EXPECT_EQ(list.At(a).groupIdx, "4,-1,0");
    EXPECT_EQ(list.At(a).id.size(), 8u);
    const int k = list.AddTemplateByKind(1);
    EXPECT_EQ(list.At(k).code, "C00001108");
    EXPECT_EQ(list.At(k).Items(ItemGroup::Photo).Count(), 35);
    const int d = list.Duplicate(a);
    EXPECT_NE(list.At(d).id, list.At(a).id);
    const int c = list.AddCopy(list.At(a));  // same id: a new one
    EXPECT_NE(list.At(c).id, list.At(a).id);

    const auto text = list.Serialize();
    EXPECT_EQ(text[0], "[EntType0000]");
    TEntTypeList back;
    back.Parse(text);
    ASSERT_EQ(back.Count(), list.Count());
    for (int i = 0; i < list.Count(); ++i)
        EXPECT_TRUE(back.At(i).Equals(list.At(i), kCompareName | kCompareId | kCompareDtdType | kCompareBaseName));
    EXPECT_THROW(back.Parse({"[EntType0000]", "DTDVer=x"}), EStandardFormat);
}

TEST(CurrentStandard, StoredUserListAndTheChoiceAtStartUp) {
    ScratchDir dir;
    TEntTypeList builtIns;
    builtIns.AddCopy(Standard("000C0020", "C00002005", 5, "0,-1,1"));
    builtIns.AddCopy(Standard("000C0018", "C00001904", 4, "0,-1,1"));
    SetBuiltInStandardText(builtIns.Serialize());

    // An older stored generation is read when the newest is absent.
    TEntTypeList old;
    old.AddCopy(Standard("USR00001", "NOTHING", 5, "4,-1,0"));
    old.At(0).name = "私の基準[令和5年3月版]";
    std::string text;
    for (const auto& l : old.Serialize()) text += l + "\r\n";
    const std::string bytes = text::EncodeCp932(text).bytes;
    TExtRegistry reg("frmViewer");
    reg.WriteBinaryString("ETStrings15", bytes, bytes.size());
    reg.WriteInteger("ETLength15", static_cast<int>(bytes.size()));

    TEntTypeList list = LoadStandardList();
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.At(0).id, "000C0020");
    EXPECT_EQ(list.At(2).name, "私の基準[令和5年3月版]");

    list.At(2).name = "改名";
    SaveUserStandards(list);
    EXPECT_EQ(reg.ReadInteger("ETLengthG", 0) > 0, true);
    EXPECT_EQ(LoadStandardList().At(2).name, "改名");

    // Start-up: the stored id, else the first entry; a fixed file beside the program wins.
    reg.WriteString("CurETID", "000C0018");
    ChooseCurrentStandard(list, dir.path());
    EXPECT_EQ(CurrentStandard().id, "000C0018");
    EXPECT_FALSE(StandardFixedByFile());
    reg.WriteString("CurETID", "GONE");
    ChooseCurrentStandard(list, dir.path());
    EXPECT_EQ(CurrentStandard().id, "000C0020");
    TEntType fixedStd = list.At(1);
    fixedStd.name = "固定";
    fixedStd.SaveToFile((dir / "VELVIEW.TIN").string(), true);
    ChooseCurrentStandard(list, dir.path());
    EXPECT_TRUE(StandardFixedByFile());
    EXPECT_EQ(CurrentStandard().name, "固定");
}

TEST(CurrentStandard, MatchingSwitchesOnlyWhenTheDataDoesNotFit) {
    ScratchDir dir;
    TEntTypeList list;
    list.AddCopy(Standard("000C0020", "C00002005", 5, "0,-1,1"));
    list.AddCopy(Standard("000C0018", "C00001904", 4, "0,-1,1"));
    list.AddCopy(Standard("000D0018", "D00001807", 2, "1,-1,1"));
    list.AddCopy(Standard("000D0024", "D00002407", 2, "1,-1,1"));
    list.At(0).name = "五";
    TExtRegistry reg("frmViewer");

    CurrentStandard() = list.At(1);
    EXPECT_FALSE(MatchStandardToDelivery({4, 7, false}, list));  // type 4 data, type 4 standard
    EXPECT_FALSE(MatchStandardToDelivery({0, 0, false}, list));  // no document type: nothing to match

    // A stored type-5 choice that is not of type 5 falls back to the national type-5 entry.
    reg.WriteString("DTDVer5ETID", "000C0018");
    auto msg = MatchStandardToDelivery({5, 8, false}, list);
    ASSERT_TRUE(msg);
    EXPECT_EQ(*msg, "使用する適用基準（案）を '五' に設定します。");
    EXPECT_EQ(CurrentStandard().id, "000C0020");
    EXPECT_EQ(reg.ReadString("CurETID"), "000C0020");
    EXPECT_FALSE(MatchStandardToDelivery({5, 8, false}, list));  // fits now: asked once only

    // Expressway data: the company layout goes with PHOTO04.DTD, the older one without.
    auto m1 = MatchStandardToDelivery({2, 5, true}, list);
    EXPECT_TRUE(m1);
    EXPECT_EQ(CurrentStandard().id, "000D0024");
    EXPECT_FALSE(MatchStandardToDelivery({2, 5, true}, list));
    EXPECT_TRUE(MatchStandardToDelivery({2, 5, false}, list));
    EXPECT_EQ(CurrentStandard().id, "000D0018");

    // Recording a choice: the type-5 value only ever names a type-5 standard.
    reg.WriteString("DTDVer5ETID", "000C0020");
    RecordStandardChoice(list.At(1), std::nullopt);
    EXPECT_EQ(reg.ReadString("CurETID"), "000C0018");
    EXPECT_EQ(reg.ReadString("DTDVer5ETID"), "000C0020");
    RecordStandardChoice(list.At(3), DeliveryKind{2, 5, true});
    EXPECT_EQ(reg.ReadString("LastNDK14ID_DTD04"), "000D0024");
}

}  // namespace
}  // namespace velview
