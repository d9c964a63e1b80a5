#include <gtest/gtest.h>

#include "common/ext_string_list.h"
#include "common/tree_ini.h"
#include "test_support.h"

namespace velview {
namespace {

using test::ReadBytes;
using test::ScratchDir;

std::vector<std::string> Lines(std::initializer_list<const char*> l) { return {l.begin(), l.end()}; }

TEST(TreeIni, HeadersNestByColumnButOnlyOneLevelAtATime) {
    TTreeIni t;
    t.SetText(Lines({"[A]", "a=1", "   [B]", "b=2", "      [C]", "  [D]", "[E]", "  e = 5  "}), LoadMode::Open);
    TTreeIniItem* a = t.FindChild("A");
    ASSERT_NE(a, nullptr);
    TTreeIniItem* b = a->FindChild("B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Level(), 2);  // three blanks of indentation still make only a child
    ASSERT_NE(b->FindChild("C"), nullptr);
    EXPECT_EQ(b->FindChild("C")->Level(), 3);
    // Column 3 closes C (level 3) but not B (level 2), so D becomes B's child.
    EXPECT_NE(b->FindChild("D"), nullptr);
    EXPECT_EQ(t.Count(), 2);
    EXPECT_EQ(t.Values("\\E").Lines(), Lines({"e = 5"}));  // trimmed as it stands
    EXPECT_EQ(t.ReadString("A\\B", "b"), "2");
    EXPECT_EQ(t.Values("A\\B\\D").Count(), 0);
    EXPECT_EQ(t.SectionByPath("A\\B\\C").Path(), "\\A\\B\\C");
}

TEST(TreeIni, RepeatedHeaderReplacesInOpenModeAndMergesInMergeMode) {
    const auto text = Lines({"[S]", "k=1", "x=old", "[T]", "t=1", "[S]", "x=new", "plain"});
    TTreeIni open;
    open.SetText(text, LoadMode::Open);
    EXPECT_EQ(open.Count(), 2);
    EXPECT_EQ(open.Values("S").Lines(), Lines({"x=new", "plain"}));

    TTreeIni merged;
    merged.SetText(text, LoadMode::Merge);
    EXPECT_EQ(merged.Values("S").Lines(), Lines({"k=1", "x=new", "plain"}));
    // Merging again adds no copies: keys are set, other lines added only when missing.
    merged.SetText(Lines({"[S]", "K=2", "PLAIN", "[U]", "u=1"}), LoadMode::Merge);
    EXPECT_EQ(merged.Values("S").Lines(), Lines({"K=2", "x=new", "plain"}));
    EXPECT_EQ(merged.ReadInteger("U", "u", 0), 1);
}

TEST(TreeIni, SectionPathsAreNormalisedAndKeepTheLatestSpelling) {
    TTreeIni t;
    TTreeIniItem& ab = t.SectionByPath("\\A\\\\B\\");
    EXPECT_EQ(&t.SectionByPath("A\\B"), &ab);
    EXPECT_EQ(&t.SectionByPath("a\\b"), &ab);
    EXPECT_EQ(ab.Name(), "b");
    EXPECT_EQ(t.FindChild("a")->Name(), "a");
    EXPECT_EQ(&t.SectionByPath(""), &t);
    EXPECT_EQ(&t.SectionByPath("\\"), &t);
    EXPECT_FALSE(t.Modified());  // creating sections is no change
}

TEST(TreeIni, SerializerIndentsSkipsEmptySectionsAndKeepsThePreamble) {
    TTreeIni t;
    t.SetText(Lines({"; written by hand", "version 2", "[Top]", "a=1", " [Child]", "c=", " [Empty]", "[Holder]",
                     " [Inner]", " i=1"}),
              LoadMode::Open);
    t.SectionByPath("Unused");  // no values, no children: not written
    t.Values("Top").WriteString("b", "2");
    EXPECT_TRUE(t.Modified());
    EXPECT_EQ(t.Values().Lines(), Lines({"; written by hand", "version 2", "[Top]", "a=1", "b=2", "", " [Child]",
                                         " c=", "", "[Holder]", "", " [Inner]", " i=1", ""}));
}

TEST(TreeIni, ChangesMarkEveryAncestorAndOpenClearsTheMark) {
    ScratchDir dir;
    const std::string file = (dir / "m.tin").string();
    {
        TTreeIni t;
        t.SetText(Lines({"[A]", " [B]", " [C]", " x=1"}), LoadMode::Open);
        ASSERT_TRUE(t.SaveFile(file, SaveForce::Always));
        EXPECT_FALSE(t.Modified());
    }
    TTreeIni t(file);
    EXPECT_FALSE(t.Modified());
    TTreeIniItem& c = t.SectionByPath("A\\C");
    c.Values().WriteString("x", "2");
    EXPECT_TRUE(c.Modified());
    EXPECT_TRUE(t.FindChild("A")->Modified());
    EXPECT_TRUE(t.Modified());
    EXPECT_FALSE(t.SectionByPath("A\\B").Modified());
    t.LoadFile(file, LoadMode::Open);
    EXPECT_FALSE(t.Modified());
    EXPECT_EQ(t.ReadString("A\\C", "x"), "1");
}

TEST(TreeIni, SaveWritesOnlyWhenNeededAndAdoptsTheFile) {
    ScratchDir dir;
    const std::string a = (dir / "a.tin").string(), b = (dir / "sub" / "dir" / "b.ini").string();
    TTreeIni empty;
    EXPECT_FALSE(empty.SaveFile(a, SaveForce::Always));  // an empty tree writes no new file
    EXPECT_FALSE(std::filesystem::exists(a));

    TTreeIni t;
    t.Values("S").WriteString("k", "値");
    EXPECT_TRUE(t.SaveFile(a, SaveForce::IfNeeded));
    EXPECT_EQ(t.FileName(), a);
    EXPECT_FALSE(t.Modified());
    EXPECT_FALSE(t.SaveFile(a, SaveForce::IfNeeded));  // clean and same name
    EXPECT_TRUE(t.SaveFile(a, SaveForce::Always));
    EXPECT_EQ(ReadBytes(a)[0], '\x01');  // encoded saves always rotate

    EXPECT_TRUE(t.SaveFile(b, SaveForce::AlwaysKeepName));  // folders are created
    EXPECT_EQ(t.FileName(), a);
    EXPECT_EQ(ReadBytes(b), "[S]\r\nk=\x92\x6c\r\n\r\n");  // plain CP932 text with CR LF

    TTreeIni fromIni;
    fromIni.LoadFile(b, LoadMode::Open);
    EXPECT_EQ(fromIni.ReadString("S", "k"), "値");
    EXPECT_EQ(fromIni.FileName(), b);
}

TEST(TreeIni, ModifiedTreeWithAutoSaveNameIsSavedOnDestruction) {
    ScratchDir dir;
    const std::string file = (dir / "auto.tin").string();
    {
        TTreeIni t(file);  // missing file: empty tree, but the auto-save name is set
        EXPECT_EQ(t.AutoSaveName(), file);
        t.Values("Opt").WriteBool("On", true);
    }
    TTreeIni back(file);
    EXPECT_TRUE(back.Values("Opt").ReadBool("On"));
    {
        TTreeIni unnamed;
        unnamed.Values("X").WriteString("a", "b");
    }  // nothing to save to, nothing thrown
}

TEST(TreeIni, MergeLoadKeepsExistingSectionsAndFileName) {
    ScratchDir dir;
    const std::string base = (dir / "base.tin").string(), extra = (dir / "extra.ini").string();
    {
        TTreeIni t;
        t.SetText(Lines({"[Keep]", "a=1", "[Both]", "x=1"}), LoadMode::Open);
        t.SaveFile(base, SaveForce::Always);
        TTreeIni e;
        e.SetText(Lines({"[Both]", "x=2", "y=3", "[New]", "n=1"}), LoadMode::Open);
        e.SaveFile(extra, SaveForce::Always);
    }
    TTreeIni t(base);
    t.LoadFile(extra, LoadMode::Merge);
    EXPECT_EQ(t.FileName(), base);
    EXPECT_EQ(t.ReadString("Keep", "a"), "1");
    EXPECT_EQ(t.Values("Both").Lines(), Lines({"x=2", "y=3"}));
    EXPECT_EQ(t.ReadString("New", "n"), "1");
    t.LoadFile(extra, LoadMode::Replace);
    EXPECT_EQ(t.FindChild("Keep"), nullptr);
}

TEST(TreeIni, UnreadableFileLeavesTheConstructedTreeEmpty) {
    ScratchDir dir;
    test::WriteBytes(dir / "broken.tin", std::string("\x01\x05\x00\x00\x00", 5));
    TTreeIni t((dir / "broken.tin").string());
    EXPECT_EQ(t.Count(), 0);
    EXPECT_FALSE(t.Modified());
    TTreeIni strict;
    EXPECT_THROW(strict.LoadFile((dir / "broken.tin").string(), LoadMode::Open), EncodedFormatError);
}

}  // namespace
}  // namespace velview
