// The photo information pane and the inspection panel of the main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest/QTest>
#include <filesystem>
#include <memory>

#include "data/db_exp_inp.h"
#include "data/ei_control.h"
#include "data/field_index.h"
#include "data/pct_checks.h"
#include "data/pct_info.h"
#include "ent/current_standard.h"
#include "ent/program_runtime.h"
#include "viewer/info_grid.h"
#include "viewer/info_pane.h"
#include "viewer/inspection_panel.h"
#include "viewer/main_window.h"
#include "viewer/photo_display.h"
#include "viewer/zoom_view.h"
#include "viewer/qt_text.h"
#include "viewer/tree_pane.h"

namespace velview::viewer {
namespace {
namespace fs = std::filesystem;

const fs::path kSamples = fs::path(VELVIEW_SOURCE_DIR) / "samples" / "deliveries";
const QColor kPink(0xFF, 0xBB, 0xBB), kYellow(0xFF, 0xFF, 0xB0);

void Screenshot(QWidget* w, const char* name) {
    const char* dir = std::getenv("VELVIEW_SCREENSHOT_DIR");
    if (!dir || !*dir) return;
    QApplication::processEvents();
    w->grab().save(QString::fromUtf8((fs::path(dir) / name).string().c_str()));
}

class PanesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageHandler([](MessageKind, const std::string&) { return true; });  // standard switches
    }
    void Open(const fs::path& folder) {
        TPctStateList::Instance().Clear();
        window = std::make_unique<MainWindow>(runtime, DataControl(), folder.string());
        window->resize(1280, 860);
        window->show();
        window->setWindowState(Qt::WindowNoState);
        window->resize(1280, 860);
        QElapsedTimer t;
        t.start();
        while ((window->Tree()->Folder().empty() || window->Tree()->Busy()) && t.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    // Makes the photo with this number current.
    void ShowPhoto(int photo) {
        const auto& seq = window->PhotoSequence();
        const auto at = std::find(seq.begin(), seq.end(), photo);
        ASSERT_NE(at, seq.end());
        window->SelectPosition(static_cast<int>(at - seq.begin()) + 1);
    }
    InfoPane::ShownRow Row(const QString& label) const {
        for (const auto& r : window->InformationPane()->Rows())
            if (r.label == label) return r;
        ADD_FAILURE() << "no row " << label.toStdString();
        return {};
    }
    void TearDown() override {
        TPctStateList::Instance().Clear();
        if (window) window->close();
        window.reset();
        SetMessageHandler(nullptr);
    }
    // Typed text as an input method hands it over (Japanese is never typed key by key).
    static void Type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        QInputMethodEvent e;
        e.setCommitString(text);
        QApplication::sendEvent(edit, &e);
    }
    ProgramRuntime runtime;
    std::unique_ptr<MainWindow> window;
};

TEST_F(PanesTest, EditionFiveRowsMarksAndFaultColours) {
    Open(kSamples / "r5-sjis");
    ASSERT_EQ(CurrentStandard().dtdVer, 5);
    ShowPhoto(2);  // no 写真タイトル: a required fault
    const auto title = Row(QStringLiteral("写真タイトル"));
    EXPECT_EQ(title.mark, QStringLiteral("◎"));
    EXPECT_EQ(title.colour, kPink);
    EXPECT_EQ(title.value, QString());
    EXPECT_FALSE(Row(QStringLiteral("写真区分")).colour.isValid()) << "a good value has the window colour";
    ShowPhoto(3);  // a 写真タイトル far beyond its length
    EXPECT_EQ(Row(QStringLiteral("写真タイトル")).colour, kYellow);
    // The sections of edition 5, the file name without its folder.
    EXPECT_EQ(Row(QStringLiteral("写真ファイル名")).value, QStringLiteral("P0000004.JPG"));
    EXPECT_EQ(Row(QStringLiteral("提出頻度写真")).section, QStringLiteral("施工管理値・その他"));
    Screenshot(window->InformationPane(), "info-pane-type5.png");

    // Marks off: no mark column text.
    window->Action("showMark")->setChecked(false);
    EXPECT_EQ(Row(QStringLiteral("写真タイトル")).mark, QString());
    window->Action("showMark")->setChecked(true);
}

TEST_F(PanesTest, LayoutDRowsAndColours) {
    Open(kSamples / "expressway");
    ASSERT_EQ(CurrentCheckContext()->layout, ItemLayout::D) << CurrentStandard().code;
    const auto rows = window->InformationPane()->Rows();
    EXPECT_EQ(Row(QStringLiteral("受注者説明文")).section, QStringLiteral("その他"));
    for (const auto& r : rows) EXPECT_NE(r.label, QStringLiteral("写真ファイル        日本語名")) << "not in layout D";
    // A required item emptied, and one made too long.
    TEIPctInfo& record = DataControl().Format()->Photos.Items(window->PhotoSequence()[0]);
    record.SetField(fld::PctTtl, "");
    record.SetField(fld::PctPlc, std::string(400, 'X'));
    window->ShowCurrentPhoto();
    EXPECT_EQ(Row(QStringLiteral("写真タイトル")).colour, kPink);
    EXPECT_EQ(Row(QStringLiteral("撮影箇所")).colour, kYellow);
    Screenshot(window->InformationPane(), "info-pane-layout-d.png");
}

TEST_F(PanesTest, SkoTable) {
    Open(kSamples / "r5-clean");
    TEIPctInfo& record = DataControl().Format()->Photos.Items(window->PhotoSequence()[0]);
    record.SetField(fld::SkoKan, "幅：設計 3.5m・実測 3.52m;延長：3.5m");
    window->ShowCurrentPhoto();
    QTableWidget* table = window->InformationPane()->SkoTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("幅"));
    EXPECT_EQ(table->item(0, 1)->text(), QStringLiteral("3.5"));
    EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("3.52"));
    EXPECT_EQ(table->item(0, 3)->text(), QStringLiteral("m"));
    EXPECT_EQ(table->item(1, 0)->text(), QStringLiteral("延長：3.5m"));
    EXPECT_EQ(table->item(1, 1)->text(), QString());
    window->Action("skoGrid")->setChecked(false);
    EXPECT_EQ(window->InformationPane()->SkoTable(), nullptr);
    EXPECT_EQ(Row(QStringLiteral("施工管理値")).value, QStringLiteral("幅：設計 3.5m・実測 3.52m;延長：3.5m"));
    window->Action("skoGrid")->setChecked(true);
}

TEST_F(PanesTest, CommentRuleAndStateButtons) {
    Open(kSamples / "r5-clean");
    InspectionPanel* panel = window->Inspection();
    const int photo = window->PhotoSequence()[0];
    ASSERT_EQ(panel->Photo(), photo);
    // A comment for a "－" photo makes it 指摘あり (the default).
    Type(panel->CommentBox()->lineEdit(), QStringLiteral("ひび割れ"));
    EXPECT_EQ(TPctStateList::Instance().Find(photo)->InspectionState(), 2);
    EXPECT_EQ(TPctStateList::Instance().Find(photo)->comment, "ひび割れ");
    EXPECT_TRUE(panel->StateButton(2)->isChecked());
    EXPECT_EQ(window->Card(photo).state, 2) << "the list follows";
    // Clearing the comment does not change the state.
    panel->CommentBox()->lineEdit()->selectAll();
    QTest::keyClick(panel->CommentBox()->lineEdit(), Qt::Key_Delete);
    EXPECT_EQ(TPctStateList::Instance().Find(photo)->comment, "");
    EXPECT_EQ(TPctStateList::Instance().Find(photo)->InspectionState(), 2);
    // A state button.
    panel->StateButton(1)->click();
    EXPECT_EQ(TPctStateList::Instance().Find(photo)->InspectionState(), 1);
    // With "「－」 → 「検査済」", a comment on another "－" photo makes it 検査済; on a 検査済
    // photo it changes nothing.
    window->Action("commentInspected")->trigger();
    window->SelectPosition(2);
    const int second = window->PhotoSequence()[1];
    Type(panel->CommentBox()->lineEdit(), QStringLiteral("良好"));
    EXPECT_EQ(TPctStateList::Instance().Find(second)->InspectionState(), 1);
    // Bulk commands keep the comments and reach the panel.
    window->SetInspectionState(0, true);
    EXPECT_EQ(TPctStateList::Instance().Find(second)->comment, "良好");
    EXPECT_TRUE(panel->StateButton(0)->isChecked());
    Screenshot(window.get(), "main-window-panes.png");
}

TEST_F(PanesTest, GridRowsColumnsAndColours) {
    Open(kSamples / "r5-sjis");
    window->SetViewMode(1);
    InfoGrid* grid = window->Grid();
    ASSERT_TRUE(grid->isVisible());
    EXPECT_FALSE(window->InfoWidget()->isVisible()) << "no information pane beside the grid";
    InfoGridModel* model = grid->Model();
    EXPECT_EQ(model->rowCount(), 12);
    // Edition 5 by default: シリアル番号, ファイル名, 大分類 … タイトル, 撮影箇所, after the fixed column.
    EXPECT_EQ(model->Shown(), (std::vector<int>{0, 1, 4, 5, 6, 7, 8, 9, 15}));
    // Grid column k + 1 shows layout column Shown()[k]: 写真タイトル is the eighth.
    EXPECT_EQ(model->headerData(8, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("写真タイトル ◎"));
    const auto& seq = window->PhotoSequence();
    const int row = static_cast<int>(std::find(seq.begin(), seq.end(), 2) - seq.begin());
    EXPECT_EQ(model->data(model->index(row, 8), Qt::BackgroundRole).value<QColor>(), kPink) << "no 写真タイトル";
    EXPECT_FALSE(model->data(model->index(row, 4), Qt::BackgroundRole).isValid());
    EXPECT_EQ(model->data(model->index(row, 2), Qt::DisplayRole).toString(), QStringLiteral("P0000003.JPG"));
    EXPECT_EQ(model->data(model->index(row, 0), Qt::DisplayRole).toString(), QStringLiteral("    3"));
    // A row chosen makes its photo current; the column settings change the grid.
    grid->selectRow(4);
    EXPECT_EQ(window->CurrentPosition(), 5);
    SetGridColumnShown(ItemLayout::Type5, 17, true);  // 代表写真
    grid->Rebuild(&DataControl().Format()->Photos, seq, true);
    EXPECT_EQ(model->Shown().back(), 17);
    SetGridColumnShown(ItemLayout::Type5, 17, false);
    Screenshot(window.get(), "grid.png");
    window->SetViewMode(0);
}

TEST_F(PanesTest, ZoomMenuFollowsTheViewAndScreenshots) {
    Open(kSamples / "r5-sjis");
    ZoomView* view = window->Display()->Canvas();
    QElapsedTimer t;
    t.start();
    while (!view->Ready() && t.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(window->Action("zoomFit")->isChecked());
    EXPECT_TRUE(window->Action("zoom800")->isEnabled()) << "a small photo allows 800 %";
    EXPECT_TRUE(window->Action("rotateMenu")->isEnabled());
    Screenshot(window.get(), "display-fit.png");
    window->Action("zoom400")->trigger();
    EXPECT_TRUE(window->Action("zoom400")->isChecked());
    EXPECT_EQ(view->Model().Requested(), 4.0);
    while (!view->Ready() && t.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 10);
    Screenshot(window.get(), "display-400-percent.png");
    view->ZoomIn();
    EXPECT_TRUE(window->Action("zoom800")->isChecked()) << "the menu follows a zoom made in the view";
    window->Action("rotate90")->trigger();
    while (!view->Ready() && t.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(window->Display()->Rotation(), 90);
    EXPECT_TRUE(window->Action("zoomFit")->isChecked()) << "a new rendition is shown fitted";
    Screenshot(window.get(), "display-rotated.png");
    // The next photo starts without rotation.
    window->SelectPosition(2);
    EXPECT_EQ(window->Display()->Rotation(), 0);
    EXPECT_TRUE(window->Action("rotate0")->isChecked());
}

}  // namespace
}  // namespace velview::viewer
