#include <gtest/gtest.h>

#include <filesystem>

#include "common/text_encoding.h"
#include "exchange/csv_io.h"
#include "test_support.h"

namespace velview {
namespace {

namespace fs = std::filesystem;
using test::RunCliIn;
using test::ScratchDir;

const fs::path kSamples = fs::path(VELVIEW_SOURCE_DIR) / "samples" / "deliveries";


bool Has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

TEST(CliCheck, ReportsTheDeliberateFaultsOfTheSample) {
    if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
    ScratchDir dir;
    auto r = RunCliIn(dir, {"check", (kSamples / "r5-sjis").string(), "--standard", "C0000R503", "--json"});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    const std::string& j = r.out;
    EXPECT_TRUE(Has(j, "\"standard_code\":\"C0000R503\""));
    EXPECT_TRUE(Has(j, "{\"number\":2,\"file\":\"P0000003.JPG\",\"note\":\"\",\"faults\":[{\"field\":\"PctTtl\","
                       "\"item\":\"写真タイトル\",\"kind\":\"required\",\"mark\":\"◎\""))
        << j;
    EXPECT_TRUE(Has(j, "\"field\":\"PctTtl\",\"item\":\"写真タイトル\",\"kind\":\"length\""));
    EXPECT_TRUE(Has(j, "\"field\":\"PctLBn\",\"item\":\"写真-大分類\",\"kind\":\"class\""));
    EXPECT_TRUE(Has(j, "\"field\":\"PctKbn\",\"item\":\"写真区分\",\"kind\":\"class\""));
    EXPECT_TRUE(Has(j, "\"field\":\"PctYMD\",\"item\":\"撮影年月日\",\"kind\":\"required\""));
    EXPECT_TRUE(Has(j, "\"kind\":\"file\",\"mark\":\"◎\",\"detail\":\"file not found\""));
    EXPECT_TRUE(Has(j, "\"detail\":\"file name leads outside the delivery\""));
    EXPECT_TRUE(Has(j, "\"summary\":{\"photos\":12,\"photos_with_faults\":7,\"required\":2,\"length\":1,"
                       "\"class\":2,\"prefix\":0,\"rule\":0,\"file\":2}"))
        << j;
}

TEST(CliFilter, ConditionsSelectThePhotos) {
    if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
    ScratchDir dir;
    const std::string sjis = (kSamples / "r5-sjis").string();
    auto listed = [&](std::vector<std::string> args, const char* standard = "C0000R503") {
        args.insert(args.begin(), "filter");
        args.insert(args.end(), {"--standard", standard});
        auto r = RunCliIn(dir, args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::string numbers;
        for (std::size_t at = 0; at < r.out.size();) {
            const std::size_t space = r.out.find(' ', at), end = r.out.find('\n', at);
            if (space == std::string::npos || end == std::string::npos) break;
            numbers += (numbers.empty() ? "" : ",") + r.out.substr(at, space - at);
            at = end + 1;
        }
        return numbers;
    };
    // Record faults only: the missing and outside files are no information error.
    EXPECT_EQ(listed({sjis, "--info-error"}), "2,3,4,5,6");
    EXPECT_EQ(listed({sjis, "--representative"}), "0,10");
    EXPECT_EQ(listed({sjis, "--text", "掘削"}), "1");
    EXPECT_EQ(listed({sjis, "--text", "掘削", "--info-error"}), "");
    // Without Exif: P5, P11; the two photos whose file is not at hand cannot be judged and stay.
    EXPECT_EQ(listed({sjis, "--no-exif-date"}), "4,7,9,10");

    // A copy whose second photo repeats the first, with a history marking one finding.
    const fs::path copy = dir / "copy";
    fs::copy(kSamples / "r5-clean", copy, fs::copy_options::recursive);
    fs::copy_file(copy / "PHOTO" / "PIC" / "P0000001.JPG", copy / "PHOTO" / "PIC" / "P0000002.JPG",
                  fs::copy_options::overwrite_existing);
    EXPECT_EQ(listed({copy.string(), "--duplicate"}), "0,1");
    const fs::path history = dir / "h.csv";
    ASSERT_EQ(RunCliIn(dir, {"history", "export", copy.string(), "--out", history.string()}).exitCode, 0);
    TCsvList csv;
    csv.LoadFromFile(history);
    std::vector<CsvRow> rows = csv.Rows();
    ASSERT_EQ(rows.size(), 6u);
    rows[3][1] = "指摘あり";
    rows[4][1] = "検査済";
    WriteCsvFile(history, rows);
    EXPECT_EQ(listed({copy.string(), "--from", history.string(), "--findings"}), "2");
    EXPECT_EQ(listed({copy.string(), "--from", history.string(), "--findings", "--inspected"}), "2,3");
    EXPECT_EQ(listed({copy.string(), "--from", history.string(), "--unchecked", "--duplicate"}), "0,1");

    // 整理フラグ (edition 1 only): a flag that is no number passes, one beyond 9 matches none.
    const fs::path ed1 = dir / "ed1";
    fs::copy(kSamples / "ed1", ed1, fs::copy_options::recursive);
    std::string xml = test::ReadBytes(ed1 / "PHOTO.XML");
    const std::string tag = text::EncodeCp932(">0</写真整理フラグ>").bytes;
    std::size_t at = 0;
    for (const char* v : {">3", ">x", ">13", ">0"}) {
        at = xml.find(tag, at);
        ASSERT_NE(at, std::string::npos);
        xml.replace(at, 2, v);
        at += 1;
    }
    test::WriteBytes(ed1 / "PHOTO.XML", xml);
    EXPECT_EQ(listed({ed1.string(), "--flags", "3,0"}, "C00001108"), "0,1,3");
    EXPECT_EQ(listed({ed1.string(), "--flags", "3,0"}), "0,1,2,3");  // not an edition-1 standard
}

TEST(CliHistory, ImportFilesThatCannotBeReadOrDoNotBelong) {
    if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
    ScratchDir dir;
    const std::string clean = (kSamples / "r5-clean").string();
    auto r = RunCliIn(dir, {"history", "import", clean, (dir / "none.csv").string()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(Has(r.err, "ファイルの読み込みに失敗しました。")) << r.err;
    test::WriteBytes(dir / "header.csv", "\"NO.\"\r\n");
    r = RunCliIn(dir, {"history", "import", clean, (dir / "header.csv").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Has(r.out, "この検査履歴データは、読み込んでいる PHOTO.XML のデータではありません。")) << r.out;
    r = RunCliIn(dir, {"takeover", "export", clean, "--from", (dir / "none.csv").string(), "--out",
                    (dir / "t.tod").string()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(fs::exists(dir / "t.tod"));
}

TEST(CliCheck, CleanDeliveriesPassAndOtherMediaAreNotes) {
    if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
    ScratchDir dir;
    for (const char* d : {"r5-clean", "r5-utf8", "r5-utf8-bom"}) {
        auto r = RunCliIn(dir, {"check", (kSamples / d).string(), "--standard", "C0000R503"});
        EXPECT_EQ(r.exitCode, 0) << d << "\n" << r.out << r.err;
    }
    auto two = RunCliIn(dir, {"check", (kSamples / "two-media" / "Disk1").string(), "--json"});
    EXPECT_EQ(two.exitCode, 0) << two.out;
    EXPECT_TRUE(Has(two.out, "\"note\":\"the photo file is on medium 2\""));
    // The expressway delivery switches to the company standard and finds the unknown work type.
    auto ex = RunCliIn(dir, {"check", (kSamples / "expressway").string(), "--json"});
    EXPECT_EQ(ex.exitCode, 1);
    EXPECT_TRUE(Has(ex.err, "使用する適用基準（案）を '東・中・西日本高速道路株式会社[平成24年7月版]' に設定します。"))
        << ex.err;
    EXPECT_TRUE(Has(ex.out, "\"field\":\"KshNam\",\"item\":\"工種\",\"kind\":\"rule\""));
}

TEST(CliCheck, FoldersThatDoNotLoad) {
    ScratchDir dir;
    fs::create_directories(dir / "emptyfolder");
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"check", (dir / "nowhere").string()}, "not a folder"},
        {{"check", (dir / "emptyfolder").string()}, "no delivery data"},
        {{"check"}, "usage"},
        {{"check", (dir / "emptyfolder").string(), "--standard", "NOPE"}, "no standard with id or code"},
    };
    for (const auto& c : cases) {
        auto r = RunCliIn(dir, c.args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(Has(r.err, c.message)) << r.err;
    }
}

TEST(CliInfo, JsonShapeWithRelativePaths) {
    if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
    ScratchDir dir;
    auto r = RunCliIn(dir, {"info", (kSamples / "ed2").string(), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\"data_kind\":2,\"medium\":1,\"dtd_version\":2,\"dtd_variant\":0"));
    EXPECT_TRUE(Has(r.out, "\"PctFNm\":\"PIC/P0000001.JPG\""));
    EXPECT_TRUE(Has(r.out, "\"RefFNX\":[\"DRA/D0000001.JPG\"]"));
    EXPECT_TRUE(Has(r.out, "\"工事名称\":\"一般国道999号 あおば地区舗装修繕工事\""));
}

}  // namespace
}  // namespace velview
