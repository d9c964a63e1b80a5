// The command table of the main window: menus, keys and toolbar buttons, one handler each.
#include <QActionGroup>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "viewer/icons.h"
#include "viewer/info_grid.h"
#include "viewer/info_pane.h"
#include "data/db_exp_inp.h"
#include "viewer/inspection_panel.h"
#include "viewer/main_window.h"
#include "viewer/photo_display.h"
#include "viewer/photo_list_view.h"
#include "viewer/tree_pane.h"

namespace velview::viewer {

QAction* MainWindow::AddAction(QMenu* menu, const char* name, const QString& caption, const QKeySequence& key) {
    auto* a = menu->addAction(caption);
    a->setObjectName(QString::fromUtf8(name));
    if (!key.isEmpty()) a->setShortcut(key);
    actions_[name] = a;
    return a;
}

QAction* MainWindow::Action(const char* name) const {
    const auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::CreateCommands() {
    QMenuBar* bar = menuBar();
    // ファイル
    QMenu* file = bar->addMenu(QStringLiteral("ファイル(&F)"));
    connect(AddAction(file, "folder", QStringLiteral("フォルダ選択 (&F)...")), &QAction::triggered, this, &MainWindow::FolderSelection);
    connect(AddAction(file, "reload", QStringLiteral("再読み込み (&R)"), QKeySequence(Qt::Key_F5)), &QAction::triggered, this,
            &MainWindow::Reload);
    QMenu* print = file->addMenu(QStringLiteral("印刷 (&P)..."));
    AddAction(print, "printList", QStringLiteral("写真一覧印刷 (&P)..."), QKeySequence(Qt::CTRL | Qt::Key_P));
    AddAction(print, "printHistory", QStringLiteral("検査履歴印刷 (&L)..."));
    AddAction(print, "printFileInfo", QStringLiteral("ファイル情報印刷 (&F)..."));
    actions_["printMenu"] = print->menuAction();
    AddAction(file, "historyImport", QStringLiteral("検査履歴CSV取り込み (&I)..."));
    AddAction(file, "historyExport", QStringLiteral("検査履歴CSV出力 (&O)..."));
    AddAction(file, "fileInfoExport", QStringLiteral("ファイル情報CSV出力 (&L)..."));
    QMenu* takeover = file->addMenu(QStringLiteral("検査履歴の引継ぎ(&T)..."));
    AddAction(takeover, "takeoverImport", QStringLiteral("引継ぎデータ取り込み(&I)..."));
    AddAction(takeover, "takeoverExport", QStringLiteral("引継ぎデータ出力(&O)..."));
    file->addSeparator();
    connect(AddAction(file, "exit", QStringLiteral("終了 (&X)")), &QAction::triggered, this, &QWidget::close);

    // 編集
    QMenu* edit = bar->addMenu(QStringLiteral("編集(&E)"));
    connect(AddAction(edit, "copy", QStringLiteral("クリップボードへコピー(&C)")), &QAction::triggered, this,
            &MainWindow::CopyToClipboard);

    // 表示
    QMenu* view = bar->addMenu(QStringLiteral("表示(&V)"));
    connect(AddAction(view, "photoXml", QStringLiteral("写真管理情報 - PHOTO.XML (&P)...")), &QAction::triggered, this,
            [this] { OpenInformationFile(false); });
    connect(AddAction(view, "constructionXml", QStringLiteral("工事管理情報 - INDEX_C.XML (&X)...")), &QAction::triggered, this,
            [this] { OpenInformationFile(true); });
    view->addSeparator();
    QAction* treeToggle = AddAction(view, "showTree", QStringLiteral("分類ツリー表示(&T)"));
    treeToggle->setCheckable(true);
    treeToggle->setChecked(true);
    connect(treeToggle, &QAction::toggled, this, [this](bool on) {
        showTree_ = on;
        ApplyPaneVisibility();
    });
    QAction* infoToggle = AddAction(view, "showInfo", QStringLiteral("写真情報表示(&I)"));
    infoToggle->setCheckable(true);
    infoToggle->setChecked(true);
    connect(infoToggle, &QAction::toggled, this, [this](bool on) {
        showInfo_ = on;
        ApplyPaneVisibility();
    });
    QAction* displayToggle = AddAction(view, "showDisplay", QStringLiteral("写真表示(&V)"));
    displayToggle->setCheckable(true);
    displayToggle->setChecked(true);
    connect(displayToggle, &QAction::toggled, this, [this](bool on) {
        settings_.showDisplay = on;
        ApplyPaneVisibility();
        UpdateCommandStates();
    });
    QMenu* modes = view->addMenu(QStringLiteral("表示切替(&F)"));
    actions_["viewModeMenu"] = modes->menuAction();
    auto* modeGroup = new QActionGroup(this);
    const char* modeNames[] = {"viewList", "viewGrid", "viewFileInfo"};
    const QString modeCaptions[] = {QStringLiteral("写真一覧表示(&L)"), QStringLiteral("写真情報一覧表示(&G)"),
                                    QStringLiteral("ファイル情報一覧表示(&F)")};
    for (int m = 0; m < 3; ++m) {
        QAction* a = AddAction(modes, modeNames[m], modeCaptions[m]);
        a->setCheckable(true);
        a->setChecked(m == 0);
        modeGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, m] { SetViewMode(m); });
    }
    view->addSeparator();
    AddAction(view, "confirm", QStringLiteral("写真確認(&C)"));
    AddAction(view, "compare", QStringLiteral("写真比較(&H)"));
    connect(AddAction(view, "prior", QStringLiteral("前の写真 (&P)"), QKeySequence(Qt::CTRL | Qt::Key_PageUp)), &QAction::triggered,
            this, [this] { MoveBy(-1); });
    connect(AddAction(view, "next", QStringLiteral("次の写真 (&N)"), QKeySequence(Qt::CTRL | Qt::Key_PageDown)), &QAction::triggered,
            this, [this] { MoveBy(1); });
    referenceMenu_ = view->addMenu(QStringLiteral("写真・参考図切替 (&S)"));
    actions_["referenceMenu"] = referenceMenu_->menuAction();
    QMenu* rotate = view->addMenu(QStringLiteral("写真回転(&R)"));
    actions_["rotateMenu"] = rotate->menuAction();
    auto* rotateGroup = new QActionGroup(this);
    const char* const rotateCaptions[] = {"&0°", "&90°", "&180°", "&270°"};
    for (int q = 0; q < 4; ++q) {
        const std::string name = "rotate" + std::to_string(q * 90);
        QAction* a = AddAction(rotate, name.c_str(), QString::fromUtf8(rotateCaptions[q]));
        a->setCheckable(true);
        a->setChecked(q == 0);
        rotateGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, q] { display_->SetRotation(q * 90); });
    }
    QMenu* bright = view->addMenu(QStringLiteral("明るさ補正(&A)"));
    actions_["brightnessMenu"] = bright->menuAction();
    auto* brightGroup = new QActionGroup(this);
    for (int step = -5; step <= 3; ++step) {
        const std::string name = "gamma" + std::to_string(step);
        QAction* a = AddAction(bright, name.c_str(), BrightnessCaption(step));
        a->setCheckable(true);
        a->setChecked(step == 0);
        brightGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, step] { display_->SetBrightness(step); });
    }
    QMenu* zoom = view->addMenu(QStringLiteral("写真表示倍率 (&Z)"));
    actions_["zoomMenu"] = zoom->menuAction();
    auto* zoomGroup = new QActionGroup(this);
    QAction* fit = AddAction(zoom, "zoomFit", QStringLiteral("全体表示 (&Z)"));
    fit->setCheckable(true);
    fit->setChecked(true);
    zoomGroup->addAction(fit);
    connect(fit, &QAction::triggered, this, [this] { display_->Canvas()->SetZoom(0); });
    for (int percent : {25, 50, 100, 200, 400, 800}) {
        const std::string name = "zoom" + std::to_string(percent);
        QAction* a = AddAction(zoom, name.c_str(), QStringLiteral("%1 %").arg(percent));
        a->setCheckable(true);
        zoomGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, percent] { display_->Canvas()->SetZoom(percent / 100.0); });
    }

    // 設定
    QMenu* set = bar->addMenu(QStringLiteral("設定(&S)"));
    QMenu* titles = set->addMenu(QStringLiteral("写真一覧タイトル切替(&T)"));
    auto* titleGroup = new QActionGroup(this);
    const char* titleNames[] = {"titleFile", "titleTitle", "titlePlace"};
    const QString titleCaptions[] = {QStringLiteral("ファイル名(&F)"), QStringLiteral("写真タイトル(&T)"), QStringLiteral("撮影箇所(&K)")};
    for (int m = 1; m <= 3; ++m) {
        QAction* a = AddAction(titles, titleNames[m - 1], titleCaptions[m - 1]);
        a->setCheckable(true);
        titleGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, m] { SetCaptionMode(m); });
    }
    QMenu* sizes = set->addMenu(QStringLiteral("サイズ切替(&M)"));
    auto* sizeGroup = new QActionGroup(this);
    const char* sizeNames[] = {"sizeSmall", "sizeMedium", "sizeLarge", "sizeFour"};
    const QString sizeCaptions[] = {QStringLiteral("小(&S)"), QStringLiteral("中(&M)"), QStringLiteral("大(&L)"), QStringLiteral("4枚(&4)")};
    for (int s = 1; s <= 4; ++s) {
        QAction* a = AddAction(sizes, sizeNames[s - 1], sizeCaptions[s - 1]);
        a->setCheckable(true);
        sizeGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, s] { SetListSize(s); });
    }
    QAction* hints = AddAction(set, "hints", QStringLiteral("ファイル情報のヒント表示(&F)"));
    hints->setCheckable(true);
    connect(hints, &QAction::toggled, this, [this](bool on) {
        settings_.fileInfoHints = on;
        list_->SetHints(on);
    });
    QMenu* treeSort = set->addMenu(QStringLiteral("分類ツリーの並べ替え(&S)"));
    auto* treeOrderGroup = new QActionGroup(this);
    auto* treeDirGroup = new QActionGroup(this);
    QAction* treeImport = AddAction(treeSort, "treeImport", QStringLiteral("取り込み順(&T)"));
    QAction* treeClass = AddAction(treeSort, "treeClass", QStringLiteral("分類名順(&B)"));
    treeSort->addSeparator();
    QAction* treeUp = AddAction(treeSort, "treeUp", QStringLiteral("昇順(&U)"));
    QAction* treeDown = AddAction(treeSort, "treeDown", QStringLiteral("降順(&D)"));
    for (QAction* a : {treeImport, treeClass}) {
        a->setCheckable(true);
        treeOrderGroup->addAction(a);
    }
    for (QAction* a : {treeUp, treeDown}) {
        a->setCheckable(true);
        treeDirGroup->addAction(a);
    }
    connect(treeImport, &QAction::triggered, this, [this] { SetTreeOrder(true, settings_.treeAscending); });
    connect(treeClass, &QAction::triggered, this, [this] { SetTreeOrder(false, settings_.treeAscending); });
    connect(treeUp, &QAction::triggered, this, [this] { SetTreeOrder(settings_.treeImportOrder, true); });
    connect(treeDown, &QAction::triggered, this, [this] { SetTreeOrder(settings_.treeImportOrder, false); });

    QMenu* photoSort = set->addMenu(QStringLiteral("写真の並べ替え(&N)"));
    auto* orderGroup = new QActionGroup(this);
    auto* dirGroup = new QActionGroup(this);
    const char* orderNames[] = {"orderClass", "orderFile", "orderTitle", "orderPlace", "orderDate"};
    const QString orderCaptions[] = {QStringLiteral("分類順(&B)"), QStringLiteral("ファイル名順(&F)"), QStringLiteral("タイトル順(&T)"),
                                     QStringLiteral("撮影箇所順(&K)"), QStringLiteral("撮影年月日順(&N)")};
    for (int o = 1; o <= 5; ++o) {
        QAction* a = AddAction(photoSort, orderNames[o - 1], orderCaptions[o - 1]);
        a->setCheckable(true);
        orderGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, o] { SetPhotoOrder(static_cast<PhotoOrder>(o)); });
    }
    photoSort->addSeparator();
    QAction* up = AddAction(photoSort, "orderUp", QStringLiteral("昇順(&U)"));
    QAction* down = AddAction(photoSort, "orderDown", QStringLiteral("降順(&D)"));
    for (QAction* a : {up, down}) {
        a->setCheckable(true);
        dirGroup->addAction(a);
    }
    connect(up, &QAction::triggered, this, [this] { SetPhotoOrderAscending(true); });
    connect(down, &QAction::triggered, this, [this] { SetPhotoOrderAscending(false); });
    set->addSeparator();
    QAction* sko = AddAction(set, "skoGrid", QStringLiteral("施工管理値を表形式で表示(&L)"));
    sko->setCheckable(true);
    connect(sko, &QAction::toggled, this, [this](bool on) {
        settings_.skoGrid = on;
        info_->SetSkoTable(on);
    });
    AddAction(set, "standard", QStringLiteral("適用基準（案）選択(&K)..."));
    QAction* marks = AddAction(set, "showMark", QStringLiteral("記入必要度の記号を表示(&H)"));
    marks->setCheckable(true);
    connect(marks, &QAction::toggled, this, [this](bool on) {
        settings_.showMark = on;
        info_->SetMarks(on);
        grid_->Rebuild(Data() ? &Data()->Photos : nullptr, sequence_, on);
        grid_->SelectPosition(position_);
    });
    connect(AddAction(set, "gridColumns", QStringLiteral("一覧表示項目設定(&I)...")), &QAction::triggered, this,
            &MainWindow::GridColumnSettings);
    connect(AddAction(set, "treeItems", QStringLiteral("分類ツリー表示項目設定(&B)...")), &QAction::triggered, this,
            &MainWindow::TreeItemSettings);
    QMenu* comment = set->addMenu(QStringLiteral("検査コメント入力時の設定 (&O)"));
    auto* commentGroup = new QActionGroup(this);
    QAction* toFindings = AddAction(comment, "commentFindings", QStringLiteral("「－」 → 「指摘あり」 (&U)"));
    QAction* toInspected = AddAction(comment, "commentInspected", QStringLiteral("「－」 → 「検査済」 (&I)"));
    for (QAction* a : {toFindings, toInspected}) {
        a->setCheckable(true);
        commentGroup->addAction(a);
    }
    connect(toFindings, &QAction::triggered, this, [this] {
        settings_.commentSetsState = 2;
        inspection_->SetCommentState(2);
    });
    connect(toInspected, &QAction::triggered, this, [this] {
        settings_.commentSetsState = 1;
        inspection_->SetCommentState(1);
    });

    // ヘルプ
    QMenu* help = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    connect(AddAction(help, "about", QStringLiteral("バージョン情報 (&A)...")), &QAction::triggered, this, &MainWindow::About);

    // The commands whose windows come later are there, and disabled.
    for (const char* later : {"printList", "printHistory", "printFileInfo", "historyImport", "historyExport", "fileInfoExport",
                              "takeoverImport", "takeoverExport", "viewFileInfo", "confirm", "compare", "standard"})
        Action(later)->setEnabled(false);
    Action("printMenu")->setEnabled(false);

    // The toolbar: the same actions.
    QToolBar* tools = addToolBar(QStringLiteral("ツールバー"));
    tools->setObjectName(QStringLiteral("tools"));
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    const auto button = [&](const char* action, const char* icon, const QString& caption) {
        // Icon and short caption belong to the action, so they survive its state changes.
        QAction* a = Action(action);
        a->setIcon(ToolIcon(icon));
        a->setIconText(caption);
        auto* b = new QToolButton(tools);
        b->setDefaultAction(a);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        tools->addWidget(b);
        return b;
    };
    button("folder", "folder", QStringLiteral("ﾌｫﾙﾀﾞ選択"));
    QToolButton* printButton = button("printList", "print", QStringLiteral("印  刷"));
    printButton->setPopupMode(QToolButton::MenuButtonPopup);
    printButton->setMenu(print);
    QToolButton* info = button("photoXml", "info", QStringLiteral("工事情報"));
    auto* infoMenu = new QMenu(info);
    infoMenu->addAction(Action("photoXml"));
    infoMenu->addAction(Action("constructionXml"));
    info->setMenu(infoMenu);
    info->setPopupMode(QToolButton::InstantPopup);
    tools->addSeparator();
    button("showTree", "tree", QStringLiteral("ﾂﾘｰ表示"));
    button("showInfo", "info", QStringLiteral("情報表示"));
    button("showDisplay", "photo", QStringLiteral("写真表示"));
    // The button steps through the view modes that are offered.
    QAction* cycle = new QAction(QStringLiteral("表示切替"), this);
    actions_["viewCycle"] = cycle;
    connect(cycle, &QAction::triggered, this, [this] {
        const char* names[] = {"viewList", "viewGrid", "viewFileInfo"};
        for (int k = 1; k <= 3; ++k) {
            const int m = (viewMode_ + k) % 3;
            if (Action(names[m])->isEnabled()) {
                SetViewMode(m);
                return;
            }
        }
    });
    QToolButton* modeButton = button("viewCycle", "view", QStringLiteral("表示切替"));
    modeButton->setMenu(modes);
    modeButton->setPopupMode(QToolButton::MenuButtonPopup);
    button("compare", "compare", QStringLiteral("写真比較"));
    tools->addSeparator();
    button("prior", "prior", QStringLiteral("前の写真"));
    button("next", "next", QStringLiteral("次の写真"));
    tools->addSeparator();
    button("exit", "exit", QStringLiteral("終　了"));
}

}  // namespace velview::viewer
