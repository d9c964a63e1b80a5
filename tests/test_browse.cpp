#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browse/class_tree.h"
#include "browse/photo_order.h"
#include "common/ext_registry.h"
#include "data/field_index.h"
#include "data/pct_info.h"
#include "test_support.h"

namespace velview {
namespace {

using Strings = std::vector<std::string>;
using Ints = std::vector<int>;

// Writes one field of photos 0, 1, ... from the given values.
void SetColumn(TPctInfoList& photos, int field, const Strings& values) {
    for (std::size_t i = 0; i < values.size(); ++i) photos.Items(static_cast<int>(i)).SetField(field, values[i]);
}

Ints PhotosOf(const ClassNode& node) { return node.photos; }

Strings ChildTexts(const ClassNode& node) {
    Strings texts;
    for (const auto& child : node.children) texts.push_back(child->text);
    return texts;
}

// --- title and place comparisons ------------------------------------------------------------

TEST(PhotoOrder, TitleAndPlaceComparisons) {
    enum Kind { Title, Place };
    struct Case {
        Kind kind;
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        // numbers inside titles compare as numbers
        {Title, "写真1", "写真2", -1},
        {Title, "写真2", "写真10", -1},
        {Title, "写真10", "写真9", 1},
        {Title, "写真007", "写真7", 0},
        {Title, "写真12345678901234567890", "写真12345678901234567891", -1},  // beyond a double
        // a "." opening a number part is skipped
        {Title, "A.5", "A5", 0},
        {Title, "写真1.5", "写真1.25", 1},  // a decimal point inside a number
        // several dots: each further dot begins the next number
        {Title, "1.2.3", "1.2.10", -1},
        {Title, "写真1.2.3", "写真1.2.3a", -1},
        // texts decide before numbers; double-byte digits are text
        {Title, "写真", "写真1", -1},
        {Title, "A10", "B1", -1},
        {Title, "写真１", "写真2", 1},
        {Title, "abc", "abd", -1},
        {Title, "B", "a", -1},  // byte order, case-sensitive
        {Title, "", "", 0},
        {Title, "", "a", -1},
        {Title, "", "1", -1},
        {Title, "", "0", 0},  // an empty number reads 0
        // offsets compare numerically; the station first
        {Place, "No.1+5.5", "No.1+20", -1},
        {Place, "No.1+20", "No.2", -1},
        {Place, "No.1+5.5", "No.2", -1},
        {Place, "No.1+5.5", "No.1+5.50", 0},
        // signs
        {Place, "No.1-5", "No.1", -1},
        {Place, "No.1", "No.1+5", -1},
        {Place, "No.-1", "No.0", -1},
        {Place, "No.1-0", "No.1+0", 0},
        // blanks and commas inside numbers are skipped
        {Place, "No.1,000", "No.999", 1},
        {Place, "No.1 + 5", "No.1+5", 0},
        // several dots: the next dot begins the next text part
        {Place, "No.1.2.3", "No.1.2.10", -1},
        // the leading text decides first, then the texts after the numbers
        {Place, "A9", "B1", -1},
        {Place, "No.1+5a", "No.1+5b", -1},
        {Place, "No.1+5", "No.1+5a", -1},
        {Place, "abc", "abd", -1},
        {Place, "", "", 0},
        {Place, "", "No.1", -1},
        {Place, "", "0", 0},
    };
    for (const Case& c : cases) {
        const auto compare = c.kind == Title ? TitleCompare : PlaceCompare;
        SCOPED_TRACE(std::string(c.kind == Title ? "title " : "place ") + c.a + " / " + c.b);
        EXPECT_EQ(compare(c.a, c.b), c.expected);
        EXPECT_EQ(compare(c.b, c.a), -c.expected);
    }
}

TEST(PhotoOrder, ComparisonsSurviveArbitraryBytes) {
    // Texts of dots, signs and separators only: each must end and agree with its mirror.
    const Strings texts = {".", "..", "...", "+", "-", "--5", "+-", ",", " ", "1.", ".5.", "+.", "-.-", "\xff\x01"};
    for (const auto& a : texts) {
        for (const auto& b : texts) {
            EXPECT_EQ(TitleCompare(a, b), -TitleCompare(b, a)) << a << " / " << b;
            EXPECT_EQ(PlaceCompare(a, b), -PlaceCompare(b, a)) << a << " / " << b;
        }
    }
}

// --- sorting the photo sequence -------------------------------------------------------------

TEST(PhotoOrder, StableSortInEveryOrderAndDirection) {
    TPctInfoList photos;
    SetColumn(photos, fld::PctFNm, {"P/B.JPG", "P/A.JPG", "P/C.JPG", "P/A.JPG", "Q/A.JPG"});
    SetColumn(photos, fld::PctTtl, {"写真10", "写真2", "写真1", "A5", "A.5"});
    SetColumn(photos, fld::PctPlc, {"No.2", "No.1+20", "No.1+5.5", "No.1+5.50", "No.2"});
    SetColumn(photos, fld::PctYMD, {"2021-05-01", "2021-04-30", "2021-05-01", "2021-04-30", "2021-05-01"});
    const int groups[] = {2, 0, 1, 2, 1};
    for (int i = 0; i < 5; ++i) photos.Items(i).duplicateGroup = groups[i];
    const Ints treeOrder = {3, 0, 4, 1, 2};

    struct Case {
        PhotoOrder order;
        bool ascending;
        bool grouped;
        Ints expected;
    };
    const Case cases[] = {
        {PhotoOrder::Class, true, false, {3, 0, 4, 1, 2}},
        {PhotoOrder::Class, false, false, {2, 1, 4, 0, 3}},  // exactly reversed
        // 3 and 1 share a path and keep their order both ways
        {PhotoOrder::FileName, true, false, {3, 1, 0, 2, 4}},
        {PhotoOrder::FileName, false, false, {4, 2, 0, 3, 1}},
        // A5 and A.5 are equal titles
        {PhotoOrder::Title, true, false, {3, 4, 2, 1, 0}},
        {PhotoOrder::Title, false, false, {0, 1, 2, 3, 4}},
        {PhotoOrder::Place, true, false, {3, 2, 1, 0, 4}},
        {PhotoOrder::Place, false, false, {0, 4, 1, 3, 2}},
        {PhotoOrder::Date, true, false, {3, 1, 0, 4, 2}},
        {PhotoOrder::Date, false, false, {0, 4, 2, 3, 1}},
        // the duplicate group is the first key
        {PhotoOrder::Class, true, true, {1, 4, 2, 3, 0}},
        {PhotoOrder::Class, false, true, {0, 3, 2, 4, 1}},
        {PhotoOrder::FileName, true, true, {1, 2, 4, 3, 0}},
        {PhotoOrder::Title, false, true, {0, 3, 2, 4, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.order)) + (c.ascending ? " up" : " down") +
                     (c.grouped ? " grouped" : ""));
        Ints sequence = treeOrder;
        SortPhotoSequence(sequence, photos, {c.order, c.ascending}, c.grouped);
        EXPECT_EQ(sequence, c.expected);
    }
}

TEST(PhotoOrder, ComboCounterAndCaptions) {
    EXPECT_EQ(PhotoComboText(7, "PHOTO\\PIC\\P0000007.JPG"), "   7 | P0000007.JPG");
    EXPECT_EQ(PhotoComboText(12345, "a/b.jpg"), "12345 | b.jpg");
    EXPECT_EQ(PhotoComboText(1, "P1.JPG"), "   1 | P1.JPG");
    EXPECT_EQ(CounterText(0, 0), "0/0");
    EXPECT_EQ(CounterText(3, 12), "3/12");

    TPctInfoList photos;
    photos.Items(0).SetField(fld::PctFNm, "PIC\\P1.JPG");
    photos.Items(0).SetField(fld::PctTtl, "床掘状況");
    photos.Items(0).SetField(fld::PctPlc, "No.3+10");
    EXPECT_EQ(CardCaption(photos, 0, 1), "P1.JPG");
    EXPECT_EQ(CardCaption(photos, 0, 2), "床掘状況");
    EXPECT_EQ(CardCaption(photos, 0, 3), "No.3+10");
    EXPECT_EQ(CardCaption(photos, 5, 2), "");  // no such photo
}

// --- the classification tree ----------------------------------------------------------------

// Level items are item numbers - 1.
constexpr int kKoshu = 2;     // (3) 工種
constexpr int kShubetsu = 3;  // (4) 種別
constexpr int kTitle = 5;     // (6) 写真タイトル

// 工種 and 種別 of seven photos; the classes of one 工種 are not adjacent.
void FillWorkTypes(TPctInfoList& photos) {
    SetColumn(photos, fld::KshNam, {"擁壁工", "土工", "擁壁工", "土工", "擁壁工", "  ", " 土工\t"});
    SetColumn(photos, fld::SbtNam, {"作業土工", "掘削工", "場所打擁壁工", "掘削工", "作業土工", "", "盛土工"});
}

ClassTreeBuild TwoLevels(bool importOrder, bool ascending) {
    ClassTreeBuild how;
    how.importOrder = importOrder;
    how.ascending = ascending;
    how.levelItems = {kKoshu, kShubetsu};
    return how;
}

TEST(ClassTree, ImportOrderKeepsFirstAppearance) {
    TPctInfoList photos;
    FillWorkTypes(photos);
    const Ints all = {0, 1, 2, 3, 4, 5, 6};
    const std::string blank = "        ";
    ClassTree tree;

    tree.Build(photos, all, TwoLevels(true, true));
    const ClassNode& root = tree.Root();
    EXPECT_EQ(root.text, "全写真");
    EXPECT_EQ(ChildTexts(root), (Strings{"擁壁工", "土工", blank}));
    EXPECT_EQ(PhotosOf(*root.children[0]), (Ints{0, 2, 4}));
    EXPECT_EQ(PhotosOf(*root.children[1]), (Ints{1, 3, 6}));  // 6 reads "土工" once trimmed
    EXPECT_EQ(ChildTexts(*root.children[0]), (Strings{"作業土工", "場所打擁壁工"}));
    EXPECT_EQ(PhotosOf(*root.children[0]->children[0]), (Ints{0, 4}));
    EXPECT_EQ(ChildTexts(*root.children[2]), (Strings{blank}));
    EXPECT_EQ(root.photos, (Ints{0, 2, 4, 1, 3, 6, 5}));  // class by class
    EXPECT_EQ(root.children[0]->icon, 3);
    EXPECT_EQ(root.children[0]->children[1]->icon, 4);
    EXPECT_EQ(root.children[0]->children[1]->level, 1);
    EXPECT_EQ(root.children[0]->children[1]->parent, root.children[0].get());
    EXPECT_EQ(tree.NodeCount(), 9);

    // Descending runs the photos from the last; a filtered build names the root so.
    ClassTreeBuild down = TwoLevels(true, false);
    down.filtered = true;
    tree.Build(photos, {1, 2, 4, 5, 6}, down);
    EXPECT_EQ(tree.Root().text, "絞り込んだ全写真");
    EXPECT_EQ(ChildTexts(tree.Root()), (Strings{"土工", blank, "擁壁工"}));
    EXPECT_EQ(tree.Root().photos, (Ints{6, 1, 5, 4, 2}));
    EXPECT_EQ(ChildTexts(*tree.Root().children[0]), (Strings{"盛土工", "掘削工"}));

    // Without levels the root holds the ordered photos; with none passed it is empty.
    ClassTreeBuild flat = down;
    flat.levelItems.clear();
    tree.Build(photos, all, flat);
    EXPECT_TRUE(tree.Root().children.empty());
    EXPECT_EQ(tree.Root().photos, (Ints{6, 5, 4, 3, 2, 1, 0}));
    tree.Build(photos, {}, down);
    EXPECT_TRUE(tree.Root().photos.empty());
    EXPECT_EQ(&tree.Select({"土工"}, false), &tree.Root());
}

TEST(ClassTree, ClassNameOrderSortsAndKeepsOneNodePerText) {
    TPctInfoList photos;
    SetColumn(photos, fld::KshNam, {"B", "A", "B", "B", "A", "B"});
    SetColumn(photos, fld::PctTtl, {"写真10", "写真2", "A5", "A.5", "写真2", "A5"});
    const Ints all = {0, 1, 2, 3, 4, 5};
    ClassTreeBuild how;
    how.importOrder = false;
    how.levelItems = {kKoshu, kTitle};
    ClassTree tree;

    tree.Build(photos, all, how);
    EXPECT_EQ(ChildTexts(tree.Root()), (Strings{"A", "B"}));
    const ClassNode& b = *tree.Root().children[1];
    // A.5 and A5 are equal titles, yet each text gets one node: "A.5" sorts first byte-wise.
    EXPECT_EQ(ChildTexts(b), (Strings{"A.5", "A5", "写真10"}));
    EXPECT_EQ(PhotosOf(*b.children[1]), (Ints{2, 5}));
    EXPECT_EQ(tree.Root().photos, (Ints{1, 4, 3, 2, 5, 0}));

    how.ascending = false;
    tree.Build(photos, all, how);
    EXPECT_EQ(ChildTexts(tree.Root()), (Strings{"B", "A"}));
    EXPECT_EQ(ChildTexts(*tree.Root().children[0]), (Strings{"写真10", "A5", "A.5"}));
    EXPECT_EQ(tree.Root().photos, (Ints{0, 5, 2, 3, 4, 1}));

    EXPECT_LT(ClassCompare(photos, 3, 2, how.levelItems), 0);  // "A.5" before "A5"
    EXPECT_GT(ClassCompare(photos, 5, 2, how.levelItems), 0);  // equal: the smaller index first
    EXPECT_LT(ClassCompare(photos, 1, 0, how.levelItems), 0);  // the first level decides
}

TEST(ClassTree, LargeDeliveryInBothOrders) {
    // Tens of thousands of photos in thousands of interleaved classes.
    constexpr int kPhotos = 50000, kClasses = 5000;
    TPctInfoList photos;
    Ints all;
    for (int i = 0; i < kPhotos; ++i) {
        const int c = (i * 7919) % kClasses;
        photos.Items(i).SetField(fld::KshNam, "工種" + std::to_string(c));
        photos.Items(i).SetField(fld::PctTtl, "写真" + std::to_string(i % 3));
        all.push_back(i);
    }
    ClassTreeBuild how;
    how.levelItems = {kKoshu, kTitle};
    ClassTree tree;
    for (bool importOrder : {true, false}) {
        how.importOrder = importOrder;
        tree.Build(photos, all, how);
        ASSERT_EQ(tree.Root().children.size(), static_cast<std::size_t>(kClasses));
        EXPECT_EQ(tree.Root().photos.size(), static_cast<std::size_t>(kPhotos));
        EXPECT_EQ(tree.Root().children[0]->photos.size(), static_cast<std::size_t>(kPhotos / kClasses));
    }
    // Class-name order compares 工種 byte-wise: 工種0, 工種1, 工種10, 工種100 …
    EXPECT_EQ(tree.Root().children[2]->text, "工種10");
    EXPECT_EQ(tree.Root().children[0]->children.size(), 3u);
}

TEST(ClassTree, SelectionFollowAndLevelValues) {
    TPctInfoList photos;
    FillWorkTypes(photos);
    ClassTree tree;
    tree.Build(photos, {0, 1, 2, 3, 4, 5, 6}, TwoLevels(true, true));
    const ClassNode& yoheki = *tree.Root().children[0];
    const ClassNode& doko = *tree.Root().children[1];

    // The first node in tree order whose text contains its level's condition.
    EXPECT_EQ(&tree.Select({"土工"}, false), &doko);
    EXPECT_EQ(&tree.Select({"", "土工"}, false), yoheki.children[0].get());  // 作業土工
    EXPECT_EQ(&tree.Select({"", "盛土"}, false), doko.children[1].get());
    EXPECT_EQ(&tree.Select({"土工"}, true), yoheki.children[0].get());  // any level
    EXPECT_EQ(&tree.Select({"", ""}, false), &tree.Root());
    EXPECT_EQ(&tree.Select({""}, true), &tree.Root());
    EXPECT_EQ(&tree.Select({"橋梁"}, false), &tree.Root());

    const ClassNode& moritsuchi = *doko.children[1];
    EXPECT_EQ(ClassTree::PathOf(moritsuchi), (Strings{"土工", "盛土工"}));
    EXPECT_TRUE(ClassTree::PathOf(tree.Root()).empty());
    EXPECT_EQ(&tree.Follow({"土工", "盛土工"}), &moritsuchi);
    EXPECT_EQ(&tree.Follow({"土工", "路体盛土工"}), &doko);  // as far as the texts match
    EXPECT_EQ(&tree.Follow({"土"}), &tree.Root());          // whole texts only
    // A rebuilt tree still finds the class by its path.
    tree.Build(photos, {1, 5, 6}, TwoLevels(true, true));
    EXPECT_EQ(ClassTree::PathOf(tree.Follow({"土工", "盛土工"})), (Strings{"土工", "盛土工"}));
    tree.Build(photos, {0, 1, 2, 3, 4, 5, 6}, TwoLevels(true, true));

    // Drop-down values: sorted, distinct, without the blank caption of empty values.
    const auto values = tree.LevelValues();
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0], (Strings{"土工", "擁壁工"}));
    EXPECT_EQ(values[1], (Strings{"作業土工", "場所打擁壁工", "掘削工", "盛土工"}));
    EXPECT_EQ(tree.LevelValuesBelow(1, {"土工"}), (Strings{"掘削工", "盛土工"}));
    EXPECT_EQ(tree.LevelValuesBelow(1, {""}), values[1]);
    EXPECT_TRUE(tree.LevelValuesBelow(1, {"土"}).empty());  // compared whole
    EXPECT_EQ(tree.LevelValuesBelow(0, {}), values[0]);
    EXPECT_TRUE(tree.LevelValuesBelow(2, {}).empty());
}

TEST(ClassTree, ValuesAndItemSettings) {
    TPctInfoList photos;
    photos.Items(0).SetField(fld::KshNam, " \t土工 ");
    photos.Items(0).SetField(fld::SbtNam, "　掘削工");  // an ideographic space is text
    photos.Items(0).SetField(fld::PctPlc, "No.1 ");
    EXPECT_EQ(TreeValue(photos, 0, 2), "土工");
    EXPECT_EQ(TreeValue(photos, 0, 3), "　掘削工");
    EXPECT_EQ(TreeValue(photos, 0, 6), "No.1");
    EXPECT_EQ(TreeValue(photos, 9, 2), "");

    TreeItemList list;
    EXPECT_EQ(list.LevelItems(), (Ints{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(list.Entries()[2].caption, "(3). 工　　種");
    std::swap(list.Entries()[0], list.Entries()[6]);
    list.Entries()[1].checked = false;
    list.Entries()[5].checked = false;
    EXPECT_EQ(list.ItemNumber(0), 7);
    EXPECT_EQ(list.LevelItems(), (Ints{6, 2, 3, 4, 0}));

    test::ScratchDir dir;
    TExtRegistry store("StdInfoTree");
    list.Save(store);
    TreeItemList loaded;
    loaded.Load(store);
    EXPECT_EQ(loaded.LevelItems(), list.LevelItems());
    EXPECT_EQ(store.ReadString("ItemName 0"), "(7). 撮影箇所");

    // An unknown caption takes the design caption of its position.
    store.WriteString("ItemName 0", "(9). 不明");
    store.WriteString("ItemName 6", "(1). 大 分 類");
    loaded.Load(store);
    EXPECT_EQ(loaded.Entries()[0].caption, "(1). 大 分 類");
    // That collides with entry 6 now: the design order comes back instead of a lost item.
    EXPECT_EQ(loaded.Entries()[6].caption, "(7). 撮影箇所");
    EXPECT_FALSE(loaded.Entries()[1].checked);
}

}  // namespace
}  // namespace velview
