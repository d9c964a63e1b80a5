#include <gtest/gtest.h>

#include "browse/info_layout.h"
#include "data/field_index.h"
#include "data/pct_info.h"

namespace velview {
namespace {

TEST(InfoLayout, SkoTableRows) {
    struct Case {
        const char* text;
        std::vector<SkoRow> rows;
    };
    const Case cases[] = {
        {"幅：設計 3.5m・実測 3.52m", {{"幅", "3.5", "m", "3.52", "m"}}},
        {"延長：3.5m", {{"延長：3.5m", "", "", "", ""}}},  // neither 設計 nor 実測
        {"A：設計 1;B", {{"A", "1", "", "", ""}, {"B", "", "", "", ""}}},
        {"厚さ:実測 152mm、幅 : 設計 3,500mm・実測 3,512 mm", {{"厚さ", "", "", "152", "mm"}, {"幅", "3,500", "mm", "3,512", "mm"}}},
        {"角度：設計 45°30′・実測 45°31′｜備考", {{"角度", "45°30′", "", "45°31′", ""}, {"備考", "", "", "", ""}}},
        {"高さ：設計 ｍ", {{"高さ", "", "", "", ""}}},  // no digit: no value, and nothing after the skip
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseSkoTable(c.text), c.rows) << c.text;
    EXPECT_EQ(ParseSkoTable("厚さ:実測 152mm")[0].Unit(), "mm") << "the measured unit when there is no design unit";
}

TEST(InfoLayout, SectionsAndColumnsPerLayout) {
    struct Case {
        ItemLayout layout;
        int dtd;
        std::size_t sections;
        std::size_t columns;
        const char* lastColumn;
        std::vector<int> shown;  // column numbers shown by default
    };
    const Case cases[] = {
        {ItemLayout::Type1, 1, 8, 35, "参考図3-MIME", {0, 1, 5, 6, 7, 8, 9, 10, 17}},
        {ItemLayout::Type2, 2, 7, 26, "写真情報予備", {0, 1, 6, 7, 8, 9, 10, 11, 18}},
        {ItemLayout::Type34, 3, 5, 20, "請負者説明文", {0, 1, 4, 5, 6, 7, 8, 9, 15}},
        {ItemLayout::Type5, 5, 5, 21, "請負者説明文", {0, 1, 4, 5, 6, 7, 8, 9, 15}},
        {ItemLayout::H, 5, 5, 22, "監督員説明文", {0, 1, 4, 5, 6, 7, 8, 9, 15}},
        {ItemLayout::D, 2, 6, 17, "受注者説明文", {0, 1, 3, 4, 5, 6, 7, 8, 13}},
    };
    for (const Case& c : cases) {
        const auto sections = InfoSections(c.layout, c.dtd, false);
        EXPECT_EQ(sections.size(), c.sections) << LayoutName(c.layout);
        const auto columns = GridColumns(c.layout);
        ASSERT_EQ(columns.size(), c.columns) << LayoutName(c.layout);
        EXPECT_EQ(columns.back().caption, c.lastColumn);
        std::vector<int> shown;
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (columns[i].shownByDefault) shown.push_back(static_cast<int>(i));
        EXPECT_EQ(shown, c.shown) << LayoutName(c.layout);
    }
    // The 施工管理値 section of edition 5: its title, 提出頻度写真, and the contractor's label.
    const auto five = InfoSections(ItemLayout::Type5, 5, false);
    EXPECT_EQ(five[4].title, "施工管理値・その他");
    ASSERT_EQ(five[4].rows.size(), 4u);
    EXPECT_EQ(five[4].rows[2].field, fld::FrqPct);
    EXPECT_EQ(five[4].rows[3].label, "請負者説明文");
    EXPECT_EQ(InfoSections(ItemLayout::Type5, 5, true)[4].rows[3].label, "受注者説明文");
    EXPECT_EQ(InfoSections(ItemLayout::H, 5, false)[4].rows[3].label, "受注者説明文");
    EXPECT_TRUE(five[2].perDrawing);
    EXPECT_EQ(five[2].rows.back().field, -1) << "a blank row closes each drawing block";
    EXPECT_EQ(InfoSections(ItemLayout::Type1, 1, false)[4].title, "施工管理値");
}

TEST(InfoLayout, ValuesAsShown) {
    TEIPctInfo r;
    r.SetField(fld::PctFNm, "PIC/P0000001.JPG");
    r.FieldList(fld::RefFNX)->SetText("DRA/D0000001.JPG\r\nDRA/D0000002.JPG\r\n");
    r.FieldList(fld::RefTtX)->SetText("位置図\r\n");
    EXPECT_EQ(DisplayValue(r, fld::PctFNm), "P0000001.JPG");
    EXPECT_EQ(DisplayValue(r, fld::RefFNX), "D0000001.JPG\nD0000002.JPG");
    EXPECT_EQ(DisplayValue(r, fld::RefTtX), "位置図");
    EXPECT_EQ(GridSettingPrefix(ItemLayout::H), std::string("GsHSRFx"));
}

}  // namespace
}  // namespace velview
