#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "common/text_encoding.h"
#include "data/ei_control.h"
#include "data/photo_xml_reader.h"
#include "data/tag_reader.h"
#include "test_support.h"

namespace velview {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using test::ScratchDir;
using test::WriteBytes;

const fs::path kSamples = fs::path(VELVIEW_SOURCE_DIR) / "samples" / "deliveries";

TEST(TagReader, StackEntitiesAndJoinedLines) {
    TTagReader r;
    r.Open("<?xml version=\"1.0\"?><!DOCTYPE photodata SYSTEM \"PHOTO05.DTD\"><a><b/><c>x &amp;lt; y\n"
           " &quot;z&quot;</c><d>1</e>");
    r.Next();
    EXPECT_EQ(r.Tag(), "?xml version=\"1.0\"?");
    r.Next();
    r.Next();
    EXPECT_EQ(r.Name(), "a");
    r.Next();
    EXPECT_TRUE(r.IsEmptyElement());
    r.Next();
    EXPECT_EQ(r.ContentOf("c"), "x &lt; y \"z\"");  // "&amp;" is resolved last; lines join as they stand
    r.Next();
    EXPECT_EQ(r.ContentOf("d"), "");  // closed by another name: a structural break
    EXPECT_TRUE(r.StructureError());
    EXPECT_TRUE(r.AtEnd("/anything"));
}

TEST(TagReader, TagsMayWrapAndCloseByName) {
    TTagReader r;
    r.Open("<写真情報\r\n   id=\"3\"><写真タイトル>t</写真タイトル></写真情報><x>");
    r.Next();
    EXPECT_EQ(r.Name(), "写真情報");
    EXPECT_EQ(r.Line(), 1);
    r.Next();
    EXPECT_EQ(r.ContentOf("写真タイトル"), "t");
    r.Next();
    EXPECT_EQ(r.Name(), "/写真情報");
    EXPECT_FALSE(r.StructureError());
    r.Next();
    r.Next();
    EXPECT_TRUE(r.Tag().empty());  // end of text
}

TEST(TagReader, EncodingDetection) {
    struct Case {
        const char* what;
        std::string bytes;
        XmlEncoding want;
    } cases[] = {
        {"double-quoted utf-8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>", XmlEncoding::Utf8},
        {"single-quoted utf-8", "<?xml version='1.0' encoding='utf-8'?>", XmlEncoding::Utf8},
        {"no encoding", "<?xml version=\"1.0\"?>", XmlEncoding::Utf8},
        {"byte-order mark, no declaration", "\xEF\xBB\xBF<photodata>", XmlEncoding::Utf8},
        {"Shift_JIS", "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>", XmlEncoding::ShiftJis},
        {"no declaration", "<photodata>", XmlEncoding::ShiftJis},
    };
    for (const auto& c : cases) EXPECT_EQ(DetectXmlEncoding(c.bytes), c.want) << c.what;
    auto bad = DecodeXmlBytes("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<a>\x80</a>");
    ASSERT_EQ(bad.problems.size(), 1u);
    EXPECT_EQ(bad.problems[0], "line 2: byte 0x80 is not valid Shift_JIS");
}

// Reads a PHOTO.XML text (UTF-8) through a folder of its own.
class XmlDoc : public ::testing::Test {
protected:
    TDBExpInpXML& Read(const std::string& body, const std::string& doctype = "PHOTO05.DTD") {
        const std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE photodata SYSTEM \"" + doctype +
                                "\">\n<photodata DTD_version=\"05\">\n" + body + "\n</photodata>\n";
        WriteBytes(dir_ / "PHOTO.XML", xml);
        control_.Examine(dir_.path().string());
        EXPECT_EQ(control_.Load(dir_.path().string(), 1), 0);
        return *static_cast<TDBExpInpXML*>(control_.Format());
    }
    ScratchDir dir_;
    TEIControl control_;
};

TEST_F(XmlDoc, GroupsRepeatAndFillListsAndMirrors) {
    auto& x = Read(
        "<写真情報><写真ファイル情報><写真ファイル名>P1.JPG</写真ファイル名></写真ファイル情報>"
        "<撮影工種区分><工種区分予備>k1</工種区分予備><工種区分予備>k2</工種区分予備></撮影工種区分>"
        "<付加情報><参考図ファイル名>D1.JPG</参考図ファイル名><参考図タイトル>t1</参考図タイトル></付加情報>"
        "<付加情報><参考図ファイル名>D2.JPG</参考図ファイル名><参考図タイトル>t2</参考図タイトル>"
        "<付加情報予備>second</付加情報予備></付加情報>"
        "<代表写真>1</代表写真><提出頻度写真>0</提出頻度写真><受注者説明文>note</受注者説明文></写真情報>"
        "<写真情報><提出頻度写真>0</提出頻度写真><代表写真>1</代表写真><写真タイトル/>"
        "<写真ファイル情報><写真ファイル名></写真ファイル名></写真ファイル情報></写真情報>");
    ASSERT_EQ(x.Photos.Count(), 2);
    const TEIPctInfo& a = x.Photos.Items(0);
    EXPECT_EQ(a.GetField(fld::PctFNm), x.PhotoFolder + "P1.JPG");
    EXPECT_EQ(a.FieldList(fld::PctKRX)->Items(), (Lines{"k1", "k2"}));
    EXPECT_EQ(a.GetField(fld::PctKR2), "k2");
    EXPECT_EQ(a.FieldList(fld::RefFNX)->Items(), (Lines{x.DrawingFolder + "D1.JPG", x.DrawingFolder + "D2.JPG"}));
    EXPECT_EQ(a.GetField(fld::RefFN2), x.DrawingFolder + "D2.JPG");
    EXPECT_EQ(a.FieldList(fld::RefTtX)->Items(), (Lines{"t1", "t2"}));
    EXPECT_EQ(a.FieldList(fld::AddIRX)->Items(), (Lines{"", "second"}));
    EXPECT_EQ(a.GetField(fld::AddIfR), "");
    EXPECT_EQ(a.GetField(fld::FrqPct), "0");  // 代表写真 1, then 提出頻度写真 0
    EXPECT_EQ(a.GetField(fld::UkeExR), "note");
    const TEIPctInfo& b = x.Photos.Items(1);
    EXPECT_EQ(b.GetField(fld::FrqPct), "1");  // 提出頻度写真 0, then 代表写真 1
    EXPECT_EQ(b.GetField(fld::PctFNm), "");   // an empty name stays empty
    EXPECT_EQ(x.DtdVersion, 5);
}

TEST_F(XmlDoc, EditionOneRepeatsOverwriteAndGuidelineRule) {
    auto& x = Read("<写真情報><撮影情報予備>a</撮影情報予備><撮影情報予備>b</撮影情報予備></写真情報>", "PHOTO.DTD");
    EXPECT_EQ(x.DtdVersion, 1);
    EXPECT_EQ(x.Photos.Items(0).FieldList(fld::TPcIRX)->Items(), (Lines{"b"}));

    auto& y = Read("<基礎情報><適用要領基準>工事記録写真等撮影要領 H24</適用要領基準></基礎情報><写真情報></写真情報>",
                   "PHOTO04.DTD");
    EXPECT_EQ(y.DtdVersion, 2);
    EXPECT_EQ(y.DtdVariant, 5);
}

TEST_F(XmlDoc, AttributesOnSectionsDoNotStopReading) {
    auto& x = Read("<写真情報 id=\"1\"><写真タイトル>one</写真タイトル></写真情報>"
                   "<写真情報\n  id=\"2\"><写真タイトル>two</写真タイトル></写真情報>"
                   "<写真情報><写真タイトル>three</写真タイトル></写真情報>");
    ASSERT_EQ(x.Photos.Count(), 3);
    EXPECT_EQ(x.Photos.Items(2).GetField(fld::PctTtl), "three");
    EXPECT_TRUE(x.Problems.empty());
}

TEST_F(XmlDoc, UnreadablePhotoXmlIsAFailedLoad) {
    fs::create_directory(dir_ / "PHOTO.XML");  // something that is not a regular file
    control_.Examine(dir_.path().string());
    EXPECT_EQ(control_.Load(dir_.path().string(), 1), 2);
    ASSERT_FALSE(control_.Format()->Problems.empty());
    EXPECT_NE(control_.Format()->Problems[0].find("not a regular file"), std::string::npos);
}

struct EditionCase {
    const char* folder;
    int version, variant, photos;
};

TEST(PhotoXmlSamples, EveryEditionLoads) {
    if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
    const EditionCase cases[] = {
        {"r5-sjis/PHOTO", 5, 8, 12}, {"r5-clean/PHOTO", 5, 8, 5}, {"r5-utf8/PHOTO", 5, 8, 5},
        {"r5-utf8-bom/PHOTO", 5, 8, 5}, {"ed1", 1, 1, 4}, {"ed2", 2, 0, 5}, {"ed2n", 2, 3, 4}, {"ed3", 3, 6, 4},
        {"ed4", 4, 7, 4}, {"expressway", 2, 5, 5}, {"two-media/Disk1", 5, 8, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        TEIControl control;
        const std::string dir = (kSamples / c.folder).string();
        control.Examine(dir);
        ASSERT_EQ(control.Kind(), DataKind::PhotoXml);
        ASSERT_EQ(control.Load(dir, control.MediumNumber()), 0);
        auto* x = static_cast<TDBExpInpXML*>(control.Format());
        EXPECT_EQ(x->DtdVersion, c.version);
        EXPECT_EQ(x->DtdVariant, c.variant);
        EXPECT_EQ(x->Photos.Count(), c.photos);
        EXPECT_TRUE(x->Problems.empty()) << x->Problems.front();
        EXPECT_EQ(x->Photos.Items(0).GetField(fld::SrlNum), "1");
        EXPECT_EQ(x->PhotoFile(x->Photos.Items(0)).status, FileStatus::Ok);
    }
}

TEST(PhotoXmlSamples, FieldsOfTheEditionFiveSample) {
    if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
    TEIControl control;
    const std::string dir = (kSamples / "r5-sjis" / "PHOTO").string();
    control.Examine(dir);
    ASSERT_EQ(control.Load(dir, 1), 0);
    TDBExpInp& f = *control.Format();
    EXPECT_EQ(f.BaseInfo.guideline, "土木202303-01");
    EXPECT_EQ(f.Photos.Items(0).GetField(fld::PctPlc), "No.0～No.21 全景");
    EXPECT_EQ(f.Photos.Items(1).FieldList(fld::AddIRX)->Count(), 2);
    EXPECT_EQ(f.Photos.Items(10).GetField(fld::PctTtl), "下層路盤 厚さ測定(A&B区間)");
    EXPECT_EQ(f.PhotoFile(f.Photos.Items(8)).status, FileStatus::Ok);         // other letter case
    EXPECT_EQ(f.PhotoFile(f.Photos.Items(7)).status, FileStatus::Missing);
    EXPECT_EQ(f.PhotoFile(f.Photos.Items(9)).status, FileStatus::Outside);    // ../../INDEX_C.XML
}

TEST(PhotoXmlSamples, BrokenFilesLoadWhatCanBeRead) {
    if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
    struct Case {
        const char* folder;
        int photos;
        const char* problem;
    } cases[] = {
        {"broken/truncated", 3, "ends before </photodata>"},
        {"broken/badbytes", 5, "is not valid Shift_JIS"},
        {"broken/empty", 0, "no photodata element"},
        {"broken/wrapped-tag", 5, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        TEIControl control;
        const std::string dir = (kSamples / c.folder).string();
        control.Examine(dir);
        ASSERT_EQ(control.Load(dir, 1), 0);
        EXPECT_EQ(control.Format()->Photos.Count(), c.photos);
        const auto& p = control.Format()->Problems;
        if (c.problem) {
            ASSERT_FALSE(p.empty());
            EXPECT_NE(p[0].find(c.problem), std::string::npos) << p[0];
        } else {
            EXPECT_TRUE(p.empty());
        }
    }
}

}  // namespace
}  // namespace velview
