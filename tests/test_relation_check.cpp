#include <gtest/gtest.h>

#include "checks/tree_string.h"
#include "checks/work_type_master.h"
#include "common/ext_registry.h"
#include "common/text_encoding.h"
#include "ent/current_standard.h"
#include "ent/ent_info.h"
#include "test_support.h"

namespace velview {
namespace {

using test::ScratchDir;
using test::WriteBytes;

TEST(TreeString, DepthIsAtMostOneDeeperAndCommentsAreCut) {
    TTreeString t;
    t.SetText("土工\r\n\t\t\t掘削工\tコメント\r\n\t\t道路掘削\n\t\t捨土掘削\r舗装工\r\n\t\r\n");
    ASSERT_EQ(t.Count(), 2);
    ASSERT_TRUE(t.HasNonEmptyChild(0));
    const TTreeString& kinds = t.ChildList(0);
    EXPECT_EQ(kinds.Depth(), 1);
    ASSERT_EQ(kinds.Count(), 1);
    EXPECT_EQ(kinds.Line(0), "掘削工");  // three TABs under a work type: a kind
    EXPECT_EQ(t.ChildList(0).ChildList(0).Count(), 2);
    EXPECT_EQ(t.Line(1), "舗装工");
    EXPECT_EQ(t.ChildList(1).Line(0), "");  // a line of only a TAB is an empty kind
    EXPECT_EQ(t.GetText(), "土工\r\n\t掘削工\r\n\t\t道路掘削\r\n\t\t捨土掘削\r\n舗装工\r\n\t\r\n");
    TTreeString copy = t;
    EXPECT_EQ(copy.GetText(), t.GetText());
    EXPECT_EQ(copy.ChildList(0).ChildList(0).Depth(), 2);
}

class RelationCheck : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string master = text::EncodeCp932("土工\r\n\t掘削工\r\n\t\t道路掘削\r\n舗装工\r\n").bytes;
        for (const char* m : {"Ksh111", "Ksh130", "Ksh146"}) WriteBytes(dir_ / (std::string(m) + ".txt"), master);
        SetWorkTypeMasterFolder(dir_.path());
        TEntInfo::Instance().ReplaceContent({"[D00001807]", "DefKshID=Ksh111", " [KbnTree]", "  [K]", "  Name=工事",
                                             "   [A]", "   Name=施工状況写真", "[D00002407]", "DefKshID=Ksh130",
                                             "[D00002807]", "DefKshID=Ksh146", "[DEFAULT]", " [KojKnrChkInfo]",
                                             " 工事名称=100", " 工事番号=0", "[C00002005]", " [KojKnrChkInfo]",
                                             " 工事名称=50"});
    }
    void TearDown() override {
        TEntInfo::Instance().ReplaceContent({});
        CurrentStandard() = TEntType();
    }
    int WorkTypes(const std::string& code, std::vector<std::string> lines) {
        CurrentStandard().code = code;
        return TRuleInspector::Instance().CheckWorkTypes(code, lines);
    }
    ScratchDir dir_;
};

TEST_F(RelationCheck, WorkTypesFollowTheMasterWithTheSpecialCases) {
    struct Case {
        const char* code;
        std::vector<std::string> lines;
        int result;
    } cases[] = {
        {"D00001807", {"工事", "施工状況写真", "土工", "掘削工", "道路掘削"}, 2},
        {"D00001807", {"工事", "施工状況写真", "土工", "掘削工", ""}, 2},      // kind found, no detail
        {"D00001807", {"工事", "施工状況写真", "土工", "掘削工", "無い細別"}, 1},
        {"D00001807", {"工事", "施工状況写真", "土工"}, 2},                    // this code: work type alone
        {"D00001807", {"工事", "施工状況写真", "土工", "無い種別"}, 0},
        {"D00001807", {"工事", "施工状況写真", "ＸＸ工"}, -1},
        {"D00001807", {"工事", "施工状況写真", "土工 "}, -1},                  // exact match only
        {"D00001807", {"測量", "施工状況写真", "ＸＸ工"}, 2},                  // not 工事
        {"D00001807", {"工事", "施工状況写真"}, 2},                            // nothing entered
        {"D00002407", {"工事", "施工状況写真", "土工", "無い種別", "x"}, 2},   // any found level
        {"D00002407", {"工事", "施工状況写真", "ＸＸ工"}, -1},
        {"D00002807", {"工事", "施工状況写真", "舗装工"}, 2},                  // current standard's code
        {"C00002005", {"工事", "施工状況写真", "ＸＸ工"}, 2},                  // not an expressway standard
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " " + (c.lines.size() > 2 ? c.lines[2] : ""));
        EXPECT_EQ(WorkTypes(c.code, c.lines), c.result);
    }
    EXPECT_TRUE(TRuleInspector::Instance().TakeProblems().empty());
}

TEST_F(RelationCheck, ClassificationPathAndTheUsersSwitch) {
    TRuleInspector& r = TRuleInspector::Instance();
    CurrentStandard().code = "D00001807";
    EXPECT_EQ(r.CheckClassification("D00001807", {"工事", "施工状況写真"}), 1);
    EXPECT_EQ(r.CheckClassification("D00001807", {"工事", "無い写真"}), 0);
    EXPECT_EQ(r.CheckClassification("D00001807", {"測量", "施工状況写真"}), 1);
    TExtRegistry("frmSelEntType").WriteInteger("ChkKSS", 1);  // the user turned the check off
    EXPECT_FALSE(r.Active());
    EXPECT_EQ(r.CheckClassification("D00001807", {"工事", "無い写真"}), 1);
    EXPECT_EQ(r.CheckWorkTypes("D00001807", {"工事", "施工状況写真", "ＸＸ工"}), 2);
}

TEST_F(RelationCheck, MissingMasterTurnsTheCheckOffOnceReported) {
    CurrentStandard().code = "D00001412";  // no master file was written for it
    TRuleInspector& r = TRuleInspector::Instance();
    EXPECT_EQ(r.CheckWorkTypes("D00001412", {"工事", "k", "ＸＸ工"}), 2);
    EXPECT_EQ(r.CheckWorkTypes("D00001412", {"工事", "k", "ＸＸ工"}), 2);
    auto problems = r.TakeProblems();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("Ksh102.txt"), std::string::npos) << problems[0];
}

TEST_F(RelationCheck, ConstructionLengthLimitsFallBackToDefault) {
    CurrentStandard().code = "C00002005";
    TKojKnrChk& k = TKojKnrChk::Instance();
    EXPECT_EQ(k.LengthLimit("工事名称"), 50);
    EXPECT_EQ(k.LengthLimit("工事番号", 64), 64);  // 0 in DEFAULT: the given default
    EXPECT_EQ(k.LengthLimit("無い項目"), 0);
    CurrentStandard().code = "OTHER";
    EXPECT_EQ(k.LengthLimit("工事名称"), 100);
}

}  // namespace
}  // namespace velview
