// The main window on the sample deliveries: tree, filters, photo order, list sizes, the texts
// of the combo, the counter and the status bar, and the command states.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QMimeData>
#include <QUrl>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <numeric>

#include "browse/photo_order.h"
#include "browse/viewer_rules.h"
#include "data/db_exp_inp.h"
#include "data/ei_control.h"
#include "data/field_index.h"
#include "data/pct_info.h"
#include "ent/program_runtime.h"
#include "viewer/card_delegate.h"
#include "viewer/main_window.h"
#include "viewer/photo_display.h"
#include "viewer/photo_list_view.h"
#include "viewer/qt_text.h"
#include "viewer/thumbnail_provider.h"
#include "viewer/tree_pane.h"

namespace velview::viewer {
namespace {
namespace fs = std::filesystem;

const fs::path kSamples = fs::path(VELVIEW_SOURCE_DIR) / "samples" / "deliveries";

// Saves a picture of a widget when VELVIEW_SCREENSHOT_DIR names a folder.
void Screenshot(QWidget* w, const char* name) {
    const char* dir = std::getenv("VELVIEW_SCREENSHOT_DIR");
    if (!dir || !*dir) return;
    QApplication::processEvents();
    w->grab().save(QString::fromUtf8((fs::path(dir) / name).string().c_str()));
}

void WaitFor(const std::function<bool()>& done, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A message box would wait for a click that never comes: every message is a test
        // failure unless a test expects it.
        SetMessageHandler([](MessageKind, const std::string& text) {
            ADD_FAILURE() << "unexpected message: " << text;
            return true;
        });
    }
    void Open(const fs::path& folder) {
        TPctStateList::Instance().Clear();
        window = std::make_unique<MainWindow>(runtime, DataControl(), folder.string());
        window->resize(1280, 860);
        window->show();
        window->setWindowState(Qt::WindowNoState);
        window->resize(1280, 860);
        WaitFor([&] { return !window->Tree()->Folder().empty() && !window->Tree()->Busy(); });
        QApplication::processEvents();
    }
    void WaitForThumbnails() {
        WaitFor([&] { return window->Thumbnails()->QueuedCount() == 0 && window->Display()->Canvas()->Ready(); });
        QApplication::processEvents();
    }
    std::vector<int> Sequence() const { return window->PhotoSequence(); }
    QTreeView* Tree() const { return window->Tree()->TreeView(); }
    void SelectTreeText(const QString& text) {
        const QModelIndexList hits = Tree()->model()->match(Tree()->model()->index(0, 0), Qt::DisplayRole, text, 1,
                                                            Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_FALSE(hits.isEmpty()) << text.toStdString();
        Tree()->setCurrentIndex(hits.first());
        WaitFor([] { return false; }, 50);  // the selection is handled when idle
    }
    void TearDown() override {
        SetMessageHandler([](MessageKind, const std::string&) { return true; });
        if (window) {
            // Nothing to lose: closing asks nothing.
            TPctStateList::Instance().Clear();
            window->close();
        }
        window.reset();
    }
    ProgramRuntime runtime;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, OpensDeliveryWithTreeComboCounterAndStatus) {
    Open(kSamples / "r5-sjis");  // a construction folder: its PHOTO sub-folder is opened
    EXPECT_EQ(Sequence().size(), 12u);
    EXPECT_EQ(Tree()->model()->index(0, 0).data().toString(), QStringLiteral("全写真"));
    EXPECT_EQ(window->ComboText(), QStringLiteral("   1 | P0000001.JPG"));
    EXPECT_EQ(window->CounterText(), QStringLiteral("1/12"));
    EXPECT_EQ(window->StatusText(1), QStringLiteral("写真枚数 : 12 枚  代表写真 : 2 枚"));
    EXPECT_FALSE(window->Action("prior")->isEnabled());
    EXPECT_TRUE(window->Action("next")->isEnabled());
    EXPECT_TRUE(window->Action("copy")->isEnabled());
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("撮記堂 XML ビューア - ")));
    // Commands of later windows are there and disabled.
    EXPECT_FALSE(window->Action("printList")->isEnabled());
    EXPECT_FALSE(window->Action("compare")->isEnabled());

    // To the last photo: next is disabled there, prior enabled.
    window->SelectPosition(12);
    EXPECT_EQ(window->CounterText(), QStringLiteral("12/12"));
    EXPECT_TRUE(window->Action("prior")->isEnabled());
    EXPECT_FALSE(window->Action("next")->isEnabled());
    // Photo 10 names a file outside the delivery: the second panel asks for its medium.
    const auto& seq = Sequence();
    const int position = static_cast<int>(std::find(seq.begin(), seq.end(), 9) - seq.begin()) + 1;
    window->SelectPosition(position);
    EXPECT_TRUE(window->StatusText(2).endsWith(QStringLiteral("番目のメディアを挿入し、再読み込み（F5）を行って下さい。")))
        << window->StatusText(2).toStdString();

    WaitForThumbnails();
    Screenshot(window.get(), "main-window-medium.png");
}

TEST_F(MainWindowTest, TreeNodesFilterAndClear) {
    Open(kSamples / "r5-sjis");
    SelectTreeText(QStringLiteral("施工状況写真"));
    EXPECT_EQ(Sequence().size(), 5u);
    EXPECT_EQ(window->StatusText(1), QStringLiteral("写真枚数 : 5 枚  代表写真 : 0 枚"));
    TDBExpInp* f = DataControl().Format();
    for (int n : Sequence()) EXPECT_EQ(f->Photos.At(n)->FieldView(fld::PctKbn), "施工状況写真");

    // Easy filter: the text may stand at any level.
    TreePane* pane = window->Tree();
    pane->SetEasyMode(true);
    pane->SetEasyText(QStringLiteral("舗装"));
    pane->RunFilter();
    WaitFor([] { return false; }, 50);
    EXPECT_EQ(Tree()->model()->index(0, 0).data().toString(), QStringLiteral("絞り込んだ全写真"));
    EXPECT_TRUE(pane->ClearButton()->isEnabled());
    const std::vector<int> filtered = pane->FilteredPhotos();
    EXPECT_EQ(filtered, (std::vector<int>{3, 8, 9, 10}));
    Screenshot(pane, "filter-easy.png");

    // Clearing returns to all photos and to the class selected before, where it still exists.
    SelectTreeText(QStringLiteral("施工状況写真"));
    pane->RunClear();
    WaitFor([] { return false; }, 50);
    EXPECT_EQ(Tree()->model()->index(0, 0).data().toString(), QStringLiteral("全写真"));
    EXPECT_EQ(pane->FilteredPhotos().size(), 12u);
    ASSERT_NE(pane->SelectedNode(), nullptr);
    EXPECT_EQ(pane->SelectedNode()->text, "施工状況写真");
    EXPECT_FALSE(pane->ClearButton()->isEnabled());

    // Detailed mode: 写真区分 contains "管理", and a check box.
    pane->SetEasyMode(false);
    pane->SetLevelText(1, QStringLiteral("管理"));
    pane->RunFilter();
    WaitFor([] { return false; }, 50);
    EXPECT_EQ(pane->FilteredPhotos(), (std::vector<int>{3, 4, 10, 11}));
    Screenshot(pane, "filter-detailed.png");
    pane->Condition(QStringLiteral("代表写真"))->setChecked(true);
    pane->RunFilter();
    WaitFor([] { return false; }, 50);
    EXPECT_EQ(pane->FilteredPhotos(), (std::vector<int>{10}));

    // A filter that removes every photo: the root is selected, with nothing listed.
    pane->SetLevelText(1, QStringLiteral("存在しない区分"));
    pane->RunFilter();
    WaitFor([] { return false; }, 50);
    EXPECT_TRUE(pane->FilteredPhotos().empty());
    EXPECT_TRUE(Sequence().empty());
    EXPECT_EQ(window->CounterText(), QStringLiteral("0/0"));
    EXPECT_FALSE(window->Action("next")->isEnabled());
    EXPECT_FALSE(window->Action("copy")->isEnabled());
}

TEST_F(MainWindowTest, InspectionFiltersFollowTheStates) {
    Open(kSamples / "r5-clean");
    window->SelectPosition(2);
    window->SetInspectionState(2, false);
    window->SelectPosition(4);
    window->SetInspectionState(1, false);
    TreePane* pane = window->Tree();
    pane->Condition(QStringLiteral("指摘あり写真"))->setChecked(true);
    pane->RunFilter();
    WaitFor([] { return false; }, 50);
    ASSERT_EQ(Sequence().size(), 1u);
    EXPECT_EQ(TPctStateList::Instance().Find(Sequence()[0])->InspectionState(), 2);
    pane->Condition(QStringLiteral("検査済写真"))->setChecked(true);
    pane->RunFilter();
    WaitFor([] { return false; }, 50);
    EXPECT_EQ(Sequence().size(), 2u);
    // States would be lost by another folder: the question is asked (answered here by the
    // rule that decides whether to ask at all).
    EXPECT_TRUE(InspectionDataPresent(TPctStateList::Instance()));
}

TEST_F(MainWindowTest, PhotoOrderAndListSizes) {
    Open(kSamples / "r5-sjis");
    window->SetPhotoOrder(PhotoOrder::Title);
    window->SetPhotoOrderAscending(false);
    std::vector<int> expected(12);
    std::iota(expected.begin(), expected.end(), 0);
    SortPhotoSequence(expected, DataControl().Format()->Photos, {PhotoOrder::Title, false}, false);
    EXPECT_EQ(Sequence(), expected);
    EXPECT_EQ(window->List()->Model()->Sequence(), expected);
    EXPECT_EQ(window->ComboText().left(7), QStringLiteral("   1 | "));
    window->SetPhotoOrder(PhotoOrder::Class);
    window->SetPhotoOrderAscending(true);
    EXPECT_EQ(Sequence().front(), 0);

    // Sizes: cards of (size × 40 + 40) × (size × 30 + 30) thumbnails; 4枚 hides the display.
    for (int size = 1; size <= 4; ++size) {
        window->SetListSize(size);
        QApplication::processEvents();
        if (size < 4) {
            EXPECT_EQ(window->List()->Delegate()->ThumbnailRect(QRect(QPoint(0, 0), window->List()->Delegate()->CardSize())).size(),
                      ThumbnailProvider::AreaOf(size));
            EXPECT_TRUE(window->Display()->isVisible());
        } else {
            // Two rows and two columns fill the pane.
            WaitFor([] { return false; }, 100);
            const QSize card = window->List()->Delegate()->CardSize();
            const QSize view = window->List()->viewport()->size();
            EXPECT_LE(2 * card.height(), view.height()) << card.height() << " in " << view.height();
            EXPECT_GE(2 * card.height(), view.height() - 24) << card.height() << " in " << view.height();
            EXPECT_LE(2 * card.width(), view.width());
            EXPECT_FALSE(window->Display()->isVisible());
            EXPECT_FALSE(window->Action("showDisplay")->isEnabled());
        }
        WaitForThumbnails();
        static const char* const names[] = {"main-window-small.png", "main-window-medium-2.png", "main-window-large.png",
                                            "main-window-four.png"};
        if (size != 2) Screenshot(window.get(), names[size - 1]);
    }
    window->SetListSize(2);
}

TEST_F(MainWindowTest, PrintTargetsAndCardColours) {
    Open(kSamples / "r5-clean");
    window->SetAllPrintTargets(true);
    for (int n : Sequence()) EXPECT_TRUE(window->Card(n).marked);
    window->SetAllPrintTargets(false);
    EXPECT_FALSE(window->Card(Sequence()[0]).marked);
    EXPECT_EQ(CardBackground(true, true), QColor(0xD0, 0xFF, 0x90));
    EXPECT_EQ(CardBackground(true, false), QColor(0xC0, 0xFF, 0xFF));
    EXPECT_EQ(CardBackground(false, true), QColor(0xFF, 0xFF, 0x80));
    EXPECT_EQ(CardBackground(false, false), QColor(0xE0, 0xE0, 0xE0));
    // Thumbnails arrive without the list waiting for them.
    WaitForThumbnails();
    bool failed = true;
    const QImage thumb = window->Thumbnails()->Get(Sequence()[0], window->Card(Sequence()[0]).path, 3, {}, &failed);
    EXPECT_FALSE(failed);
    EXPECT_FALSE(thumb.isNull());
    EXPECT_LE(thumb.width(), 160);
    EXPECT_LE(thumb.height(), 120);
}

TEST_F(MainWindowTest, PanesShareTheLeftColumnAndCardsDragTheirFile) {
    Open(kSamples / "r5-clean");
    EXPECT_FALSE(window->PaneSwitch()->isVisible());
    window->Action("showInfo")->setChecked(false);
    EXPECT_TRUE(window->PaneSwitch()->isVisible());
    EXPECT_TRUE(window->Tree()->isVisible());
    EXPECT_FALSE(window->InfoWidget()->isVisible());
    EXPECT_FALSE(window->ClassStrip()->isVisible());
    // The strip's button shows the other one.
    window->PaneSwitch()->click();
    EXPECT_FALSE(window->Tree()->isVisible());
    EXPECT_TRUE(window->InfoWidget()->isVisible());
    EXPECT_TRUE(window->ClassStrip()->isVisible()) << "the selected class is shown above the list";
    EXPECT_FALSE(window->Action("showTree")->isChecked());
    EXPECT_TRUE(window->Action("showInfo")->isChecked());
    window->Action("showTree")->setChecked(true);
    EXPECT_FALSE(window->PaneSwitch()->isVisible());
    EXPECT_TRUE(window->InfoWidget()->isVisible());

    PhotoSequenceModel* model = window->List()->Model();
    std::unique_ptr<QMimeData> mime(model->mimeData({model->index(0)}));
    ASSERT_TRUE(mime);
    const QList<QByteArray> parts = mime->data(PhotoSequenceModel::kPhotoMime).split('\n');
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[0].toInt(), Sequence()[0]);
    EXPECT_TRUE(parts[1].endsWith("P0000001.JPG"));
    ASSERT_EQ(mime->urls().size(), 1);
    EXPECT_TRUE(fs::exists(mime->urls()[0].toLocalFile().toStdString()));
}

TEST_F(MainWindowTest, InspectionStatesSurviveOnlyTheSameData) {
    Open(kSamples / "r5-clean");
    int asked = 0;
    bool answer = false;
    std::vector<std::string> told;
    SetMessageHandler([&](MessageKind kind, const std::string& text) {
        if (kind != MessageKind::Question) {
            told.push_back(text);
            return true;
        }
        ++asked;
        EXPECT_EQ(text.rfind("新たに PHOTO フォルダを選択すると、写真の「検査状態」", 0), 0u) << text;
        return answer;
    });
    window->SetInspectionState(1, true);
    // The same delivery again, and another copy with the same PHOTO.XML: nothing is asked and
    // the states stay.
    window->ChooseFolder((kSamples / "r5-clean" / "PHOTO").string() + "/");
    EXPECT_EQ(asked, 0);
    window->ChooseFolder((kSamples / "r5-utf8" / "PHOTO").string() + "/");
    EXPECT_EQ(asked, 1) << "another encoding is other data";
    EXPECT_EQ(TPctStateList::Instance().Find(0)->InspectionState(), 1);
    // Other data: asked; No keeps everything.
    const std::string other = (kSamples / "ed3").string() + "/";
    window->ChooseFolder(other);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(TPctStateList::Instance().Find(0)->InspectionState(), 1);
    EXPECT_NE(window->Tree()->Folder(), other);
    // Yes loads the other delivery and clears the states.
    answer = true;
    window->ChooseFolder(other);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(window->Tree()->Folder(), other);
    EXPECT_FALSE(InspectionDataPresent(TPctStateList::Instance()));
    EXPECT_EQ(Sequence().size(), 4u);
    // An edition-3 delivery under an edition-5 standard: the standard is switched, and said so.
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].rfind("使用する適用基準（案）を '", 0), 0u) << told[0];
    // Without states, nothing is asked at all.
    window->ChooseFolder((kSamples / "r5-clean" / "PHOTO").string() + "/");
    EXPECT_EQ(asked, 3);
}

TEST_F(MainWindowTest, NoDataFolderShowsTheNoDataText) {
    QTemporaryDir empty;
    Open(empty.path().toStdString());
    EXPECT_EQ(window->StatusText(1),
              QStringLiteral("現在のフォルダには、データが保存されていません。 別のフォルダを選択して下さい。"));
    EXPECT_TRUE(Sequence().empty());
    EXPECT_FALSE(window->Tree()->FilterButton()->isEnabled());
}

}  // namespace
}  // namespace velview::viewer
