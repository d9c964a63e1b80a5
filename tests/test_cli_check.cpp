#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"

namespace velview {
namespace {

namespace fs = std::filesystem;
using test::RunCli;
using test::ScratchDir;

const fs::path kSamples = fs::path(VELVIEW_SOURCE_DIR) / "samples" / "deliveries";

test::ProcessResult RunIn(const ScratchDir& dir, std::vector<std::string> args) {
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    auto r = RunCli(args, dir.path());
    ::unsetenv("XDG_CONFIG_HOME");
    return r;
}

bool Has(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

TEST(CliCheck, ReportsTheDeliberateFaultsOfTheSample) {
    if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
    ScratchDir dir;
    auto r = RunIn(dir, {"check", (kSamples / "r5-sjis").string(), "--standard", "C0000R503", "--json"});
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

TEST(CliCheck, CleanDeliveriesPassAndOtherMediaAreNotes) {
    if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
    ScratchDir dir;
    for (const char* d : {"r5-clean", "r5-utf8", "r5-utf8-bom"}) {
        auto r = RunIn(dir, {"check", (kSamples / d).string(), "--standard", "C0000R503"});
        EXPECT_EQ(r.exitCode, 0) << d << "\n" << r.out << r.err;
    }
    auto two = RunIn(dir, {"check", (kSamples / "two-media" / "Disk1").string(), "--json"});
    EXPECT_EQ(two.exitCode, 0) << two.out;
    EXPECT_TRUE(Has(two.out, "\"note\":\"the photo file is on medium 2\""));
    // The expressway delivery switches to the company standard and finds the unknown work type.
    auto ex = RunIn(dir, {"check", (kSamples / "expressway").string(), "--json"});
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
        auto r = RunIn(dir, c.args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(Has(r.err, c.message)) << r.err;
    }
}

TEST(CliInfo, JsonShapeWithRelativePaths) {
    if (!fs::exists(kSamples)) GTEST_SKIP() << "no samples";
    ScratchDir dir;
    auto r = RunIn(dir, {"info", (kSamples / "ed2").string(), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\"data_kind\":2,\"medium\":1,\"dtd_version\":2,\"dtd_variant\":0"));
    EXPECT_TRUE(Has(r.out, "\"PctFNm\":\"PIC/P0000001.JPG\""));
    EXPECT_TRUE(Has(r.out, "\"RefFNX\":[\"DRA/D0000001.JPG\"]"));
    EXPECT_TRUE(Has(r.out, "\"工事名称\":\"一般国道999号 あおば地区舗装修繕工事\""));
}

}  // namespace
}  // namespace velview
