#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "browse/viewer_rules.h"
#include "data/field_index.h"
#include "data/pct_info.h"
#include "test_support.h"

namespace velview {
namespace {
namespace fs = std::filesystem;

TEST(ViewerRules, DataFileHash) {
    // Values worked out independently of this code.
    struct Case {
        std::string bytes;
        std::int32_t hash;
    };
    const Case cases[] = {
        {"", -1},
        {"A", -524223},
        {"AB", -507582},
        {"<?xml version=\"1.0\"?>", -374387095},
        {"PHOTO \x8e\xca\x90^", 612636576},  // "PHOTO 写真" in Shift_JIS: bytes above 127
    };
    for (const Case& c : cases) EXPECT_EQ(PhotoXmlHash(c.bytes), c.hash) << c.bytes;

    test::ScratchDir dir;
    EXPECT_EQ(DataFileHash(dir.path()), 0) << "no data file";
    { std::ofstream(dir.path() / "写真情報.csv") << "AB"; }
    EXPECT_EQ(DataFileHash(dir.path()), -507582) << "a CSV delivery is hashed by its own data file";
    { std::ofstream(dir.path() / "PHOTO.XML") << "A"; }
    EXPECT_EQ(DataFileOf(dir.path()).filename(), "PHOTO.XML") << "PHOTO.XML comes first, in any letter case";
    EXPECT_EQ(DataFileHash(dir.path()), -524223);
}

TEST(ViewerRules, InspectionLossAndStatusTexts) {
    TPctStateList& states = TPctStateList::Instance();
    states.Clear();
    states.Item(3);  // an item without state or comment
    EXPECT_FALSE(InspectionDataPresent(states));
    states.Item(5).comment = "傷あり";
    EXPECT_TRUE(InspectionDataPresent(states));
    states.Clear();
    states.Item(0).SetInspectionState(1);
    EXPECT_TRUE(InspectionDataPresent(states));
    states.Clear();

    const std::string t = InspectionLossText("再読み込みを行うと、", "再読み込みを行いますか？");
    EXPECT_EQ(t.rfind("再読み込みを行うと、写真の「検査状態」や「検査コメント」の情報が失われます。\r", 0), 0u);
    EXPECT_NE(t.find("「指摘あり写真」をチェックし、「絞込」ボタンをクリック\r"), std::string::npos);
    EXPECT_EQ(t.substr(t.size() - std::string("\r\r再読み込みを行いますか？").size()), "\r\r再読み込みを行いますか？");

    TPctInfoList photos;
    photos.Items(0).SetField(fld::DaiPct, "1");
    photos.Items(1).SetField(fld::DaiPct, "0");
    photos.Items(2).SetField(fld::DaiPct, "1");
    EXPECT_EQ(PhotoCountStatus(photos, {0, 1}, 2), "写真枚数 : 2 枚");
    EXPECT_EQ(PhotoCountStatus(photos, {0, 1, 2}, 5), "写真枚数 : 3 枚  代表写真 : 2 枚");
    EXPECT_EQ(InsertMediumStatus("2"), "2番目のメディアを挿入し、再読み込み（F5）を行って下さい。");
    EXPECT_EQ(InsertMediumStatus(""), "");
    EXPECT_EQ(MainWindowTitle(true, "○○橋補修工事"), "撮記堂 XML ビューア - ○○橋補修工事");
    EXPECT_EQ(MainWindowTitle(false, "○○橋補修工事"), "撮記堂 XML ビューア");
}

TEST(ViewerRules, ConstructionFileAndSaveTargets) {
    test::ScratchDir dir;
    fs::create_directories(dir.path() / "PHOTO" / "PIC");
    { std::ofstream(dir.path() / "index_c.xml") << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<constdata><基礎情報/><工事件名等><工事名称>市道改良工事</工事名称></工事件名等></constdata>"; }
    const fs::path file = ConstructionFilePath(dir.path() / "PHOTO/", "INDEX_C.XML");
    EXPECT_EQ(file.filename(), "index_c.xml") << "found whatever its letter case";
    EXPECT_EQ(ConstructionNameFromFile(file), "市道改良工事");
    EXPECT_EQ(ConstructionNameFromFile(dir.path() / "missing.xml"), "");

    EXPECT_EQ(SavePhotoFilter(".tif"), "TIFF(*.TIF)|*.TIF");
    EXPECT_EQ(SavePhotoFilter(".JPG"), "JPEG (*.JPG)|*.JPG|ビットマップ (*.BMP)|*.BMP");
    const fs::path delivery = dir.path() / "PHOTO/";
    const fs::path source = delivery / "PIC" / "P0000001.JPG";
    struct Case {
        fs::path target;
        bool allowed;
    };
    const Case cases[] = {
        {source, false},                                 // the source itself
        {delivery / "PIC" / "copy.jpg", false},          // inside the delivery
        {dir.path() / "PHOTO" / "x" / "y.jpg", false},   // deeper inside it
        {dir.path() / "PHOTO2" / "y.jpg", true},         // a sibling whose name starts alike
        {dir.path() / "saved.jpg", true},
    };
    for (const Case& c : cases) EXPECT_EQ(SavePhotoTargetAllowed(source, c.target, delivery), c.allowed) << c.target;
}

TEST(ViewerRules, OnlyPlainDeliveryFilesOpenElsewhere) {
    test::ScratchDir dir;
    const fs::path medium = dir / "medium";
    fs::create_directories(medium / "PHOTO" / "DRA");
    const auto make = [](const fs::path& p) { std::ofstream(p) << "x"; };
    make(medium / "PHOTO" / "DRA" / "D0000001.PDF");
    make(medium / "PHOTO" / "DRA" / "open.desktop");
    make(medium / "PHOTO" / "DRA" / "tool.bin");
    fs::permissions(medium / "PHOTO" / "DRA" / "tool.bin", fs::perms::owner_exec, fs::perm_options::add);
    make(dir / "outside.pdf");
    fs::create_symlink(dir / "outside.pdf", medium / "PHOTO" / "DRA" / "link.pdf");
    make(medium / "PHOTO" / "DRA" / "plain");
    fs::permissions(medium / "PHOTO" / "DRA" / "plain", fs::perms::owner_exec, fs::perm_options::add);
    struct Case {
        const char* name;
        bool safe;
    };
    const Case cases[] = {
        {"D0000001.PDF", true},
        {"open.desktop", false},  // a launcher
        {"tool.bin", false},      // executable
        {"plain", false},         // executable without a telling name
        {"link.pdf", false},      // leads outside the medium
        {"missing.pdf", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SafeToOpenExternally(medium / "PHOTO" / "DRA" / c.name, medium), c.safe) << c.name;
    EXPECT_FALSE(SafeToOpenExternally(medium / "PHOTO" / "DRA", medium)) << "a folder";
}

}  // namespace
}  // namespace velview
