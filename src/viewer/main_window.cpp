#include "viewer/main_window.h"

#include <sys/statvfs.h>

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <array>
#include <cstring>
#include <filesystem>

#include "browse/photo_order.h"
#include "browse/viewer_rules.h"
#include "checks/pct_file_info.h"
#include "common/ext_registry.h"
#include "common/file_io.h"
#include "data/db_exp_inp.h"
#include "data/ei_control.h"
#include "data/field_index.h"
#include "data/pct_checks.h"
#include "data/inspection_rules.h"
#include "data/pct_info.h"
#include "data/photo_xml_reader.h"
#include "ent/current_standard.h"
#include "ent/program_runtime.h"
#include "ent/standard_flags.h"
#include "imaging/picture_loader.h"
#include "imaging/zoom_model.h"
#include "viewer/folder_dialog.h"
#include "viewer/icons.h"
#include "viewer/info_grid.h"
#include "viewer/info_pane.h"
#include "viewer/inspection_panel.h"
#include "viewer/photo_display.h"
#include "viewer/photo_list_view.h"
#include "viewer/qt_text.h"
#include "viewer/raster_image.h"
#include "viewer/thumbnail_provider.h"
#include "viewer/title_window.h"
#include "viewer/tree_pane.h"

namespace velview::viewer {
namespace fs = std::filesystem;

namespace {

std::string WithSlash(std::string s) {
    if (!s.empty() && s.back() != '/') s += '/';
    return s;
}

QWidget* Placeholder(const QString& title, QWidget* parent) {
    auto* w = new QLabel(title, parent);
    w->setAlignment(Qt::AlignCenter);
    w->setFrameShape(QFrame::StyledPanel);
    w->setStyleSheet(QStringLiteral("color: #808080; background: #fafafa;"));
    return w;
}

}  // namespace

MainWindow::MainWindow(ProgramRuntime& runtime, TEIControl& control, std::string folderArgument, QWidget* parent)
    : QMainWindow(parent), runtime_(runtime), control_(control), folderArgument_(std::move(folderArgument)) {
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    thumbnails_ = new ThumbnailProvider(this);
    CreatePanes();
    CreateCommands();
    position_ = 1;
    viewMode_ = 0;
    ApplyViewMode();
}

MainWindow::~MainWindow() = default;

TDBExpInp* MainWindow::Data() const { return tree_->Loaded() ? control_.Format() : nullptr; }

int MainWindow::DtdType() const { return CurrentStandard().dtdVer; }

void MainWindow::CreatePanes() {
    columns_ = new QSplitter(Qt::Horizontal, this);
    columns_->setChildrenCollapsible(false);
    leftColumn_ = new QWidget(columns_);
    auto* left = new QVBoxLayout(leftColumn_);
    left->setContentsMargins(0, 0, 0, 0);
    paneSwitch_ = new QPushButton(QStringLiteral("分類ツリー・写真情報切替"), leftColumn_);
    paneSwitch_->hide();
    left->addWidget(paneSwitch_);
    connect(paneSwitch_, &QPushButton::clicked, this, [this] {
        const bool tree = !showTree_;
        const bool info = !showInfo_;
        QSignalBlocker a(Action("showTree")), b(Action("showInfo"));
        Action("showTree")->setChecked(tree);
        Action("showInfo")->setChecked(info);
        showTree_ = tree;
        showInfo_ = info;
        ApplyPaneVisibility();
    });
    tree_ = new TreePane(control_, [this] { return runtime_.StandardList(); }, leftColumn_);
    left->addWidget(tree_);
    leftColumn_->setMinimumWidth(269);
    info_ = new InfoPane(columns_);
    infoPane_ = info_;

    clientColumn_ = new QWidget(columns_);
    clientColumn_->setMinimumWidth(450);
    auto* clientLayout = new QVBoxLayout(clientColumn_);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->setSpacing(0);
    client_ = new QSplitter(Qt::Vertical, clientColumn_);
    client_->setChildrenCollapsible(false);
    display_ = new PhotoDisplay(client_);
    listArea_ = new QWidget(client_);
    listArea_->setMinimumHeight(176);
    auto* listLayout = new QVBoxLayout(listArea_);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(1);

    // The selected class (when the tree is hidden) and the photo combo.
    auto* strips = new QWidget(listArea_);
    auto* stripLayout = new QHBoxLayout(strips);
    stripLayout->setContentsMargins(2, 1, 2, 1);
    classStrip_ = new QWidget(strips);
    auto* classLayout = new QHBoxLayout(classStrip_);
    classLayout->setContentsMargins(0, 0, 0, 0);
    classLayout->addWidget(new QLabel(QStringLiteral(" 分類："), classStrip_));
    classPath_ = new QLabel(classStrip_);
    classPath_->setTextFormat(Qt::RichText);
    classLayout->addWidget(classPath_, 1);
    stripLayout->addWidget(classStrip_, 1);
    stripLayout->addWidget(new QLabel(QStringLiteral("  表示ﾌｧｲﾙ"), strips));
    photoCombo_ = new QComboBox(strips);
    photoCombo_->setMinimumWidth(settings_.fileNameWidth);
    photoCombo_->setMaxVisibleItems(20);
    stripLayout->addWidget(photoCombo_);
    listLayout->addWidget(strips);

    listStack_ = new QStackedWidget(listArea_);
    list_ = new PhotoListView(this, thumbnails_, listStack_);
    listStack_->addWidget(list_);
    grid_ = new InfoGrid(listStack_);
    listStack_->addWidget(grid_);
    listStack_->addWidget(Placeholder(QStringLiteral("ファイル情報一覧"), listStack_));
    listLayout->addWidget(listStack_, 1);
    inspection_ = new InspectionPanel(listArea_);
    inspectionStrip_ = inspection_;
    listLayout->addWidget(inspectionStrip_);
    connect(inspection_, &InspectionPanel::InspectionChanged, this, [this](int photo) { list_->Model()->PhotoChanged(photo); });
    clientLayout->addWidget(client_);
    setCentralWidget(columns_);
    columns_->setStretchFactor(0, 0);
    columns_->setStretchFactor(1, 0);
    columns_->setStretchFactor(2, 1);

    status1_ = new QLabel(this);
    status2_ = new QLabel(this);
    statusBar()->addWidget(status1_);
    statusBar()->addWidget(status2_, 1);

    connect(tree_, &TreePane::SelectionChanged, this, &MainWindow::RebuildPhotoSequence);
    connect(tree_, &TreePane::BusyStarted, this, [this] { if (QAction* a = Action("folder")) a->setEnabled(false); });
    connect(tree_, &TreePane::BusyEnded, this, [this] { if (QAction* a = Action("folder")) a->setEnabled(true); });
    connect(tree_->TreeView(), &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        QMenu menu(this);
        const QModelIndex at = tree_->TreeView()->indexAt(p);
        if (at.isValid()) tree_->TreeView()->setCurrentIndex(at);
        if (at.isValid() && tree_->TreeView()->model()->hasChildren(at)) {
            const bool open = tree_->TreeView()->isExpanded(at);
            menu.addAction(open ? QStringLiteral("全て閉じる(&E)") : QStringLiteral("全て開く(&E)"), this, [this, at, open] {
                if (open) {
                    tree_->TreeView()->collapse(at);
                } else {
                    tree_->TreeView()->expandRecursively(at);
                }
            });
        }
        QMenu* sort = menu.addMenu(QStringLiteral("並べ替え(&S)"));
        for (const char* name : {"treeImport", "treeClass", "treeUp", "treeDown"}) sort->addAction(Action(name));
        menu.exec(tree_->TreeView()->viewport()->mapToGlobal(p));
    });
    connect(photoCombo_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0) return;
        position_ = index + 1;
        ShowCurrentPhoto();
        if (viewMode_ == 0) list_->SelectPosition(position_);
        if (viewMode_ == 1) grid_->SelectPosition(position_);
        if (QAction* a = Action("copy")) a->setEnabled(photoCombo_->count() > 0);
    });
    connect(list_, &PhotoListView::PositionChosen, this, &MainWindow::SelectPosition);
    list_->Model()->pathOf = [this](int photo) { return PhotoPath(photo); };
    connect(grid_, &InfoGrid::PositionChosen, this, &MainWindow::SelectPosition);
    connect(grid_, &InfoGrid::ContextMenuWanted, this, &MainWindow::ShowListContextMenu);
    connect(grid_, &InfoGrid::PrintTargetClicked, this, [this](int photo) {
        if (photo < 0) return;
        TPctSateItem& s = TPctStateList::Instance().Item(photo);
        s.SetBits(1, !s.TestBits(1));
        RepaintLists();
    });
    connect(list_, &PhotoListView::PrintTargetClicked, this, [this](int photo) {
        TPctSateItem& s = TPctStateList::Instance().Item(photo);
        s.SetBits(1, !s.TestBits(1));
        list_->Model()->PhotoChanged(photo);
    });
    connect(list_, &PhotoListView::ContextMenuWanted, this, &MainWindow::ShowListContextMenu);
    list_->hintText = [this](int photo) -> QString {
        const std::string path = PhotoPath(photo);
        const TPctFileInfo info = path.empty() ? TPctFileInfo{} : GatherFileInfo(path, false);
        if (!info.filled) return QStringLiteral("ファイル情報を取得できません");
        QStringList lines;
        lines << QStringLiteral("種類           ：") + Q(info.typeName);
        if (info.typeName == "JPEG イメージファイル" || info.typeName == "SVG ファイル")
            lines << QStringLiteral("写真の撮影日：") + Q(ShootingTimeText(info.shootingTime));
        lines << QStringLiteral("更新日時     ：") + Q(DateTimeText(info.fileTime));
        lines << QStringLiteral("大きさ          ：") + Q(info.pixelText);
        lines << QStringLiteral("サイズ          ：") + Q(info.sizeText);
        return lines.join('\n');
    };
    connect(display_, &PhotoDisplay::ZoomChanged, this, &MainWindow::OnZoomChanged);
    connect(display_, &PhotoDisplay::Shown, this, [this] {
        UpdateCommandStates();
        UpdateStatusBar();
    });
    connect(display_, &PhotoDisplay::Rotated, this, [this](int angle) {
        if (QAction* a = Action(("rotate" + std::to_string(angle)).c_str())) a->setChecked(true);
    });
    connect(display_, &PhotoDisplay::ViewChanged, this, [this](int) { FillReferenceMenu(); });
    connect(display_, &PhotoDisplay::PriorClicked, this, [this] { MoveBy(-1); });
    connect(display_, &PhotoDisplay::NextClicked, this, [this] { MoveBy(1); });
}

void MainWindow::ApplyViewMode() {
    listStack_->setCurrentIndex(viewMode_);
    ApplyPaneVisibility();
    if (viewMode_ == 0) list_->SelectPosition(position_);
    if (viewMode_ == 1) grid_->SelectPosition(position_);
}

void MainWindow::ApplyPaneVisibility() {
    const bool fourUp = viewMode_ == 0 && settings_.viewStyle == 4;
    display_->setVisible(settings_.showDisplay && !fourUp);
    // Both columns when tree and information are on; with one of them, that one alone on the
    // left; the information pane has no place in the grid mode.
    const bool info = showInfo_ && viewMode_ != 1;
    // With only one of tree and information on, both share the left column and a strip at
    // its top switches between them.
    const bool single = viewMode_ != 1 && showTree_ != showInfo_;
    if (single && infoPane_->parentWidget() != leftColumn_) {
        leftColumn_->layout()->addWidget(infoPane_);
    } else if (!single && infoPane_->parentWidget() != columns_) {
        columns_->insertWidget(1, infoPane_);
        columns_->setSizes({settings_.leftWidth, settings_.infoWidth, std::max(645, width() - settings_.leftWidth - settings_.infoWidth)});
    }
    paneSwitch_->setVisible(single);
    infoPane_->setVisible(single ? showInfo_ : (showTree_ && info));
    leftColumn_->setVisible(showTree_ || info);
    tree_->setVisible(showTree_);
    classStrip_->setVisible(!showTree_ && viewMode_ != 1);
    if (QAction* a = Action("showInfo")) a->setEnabled(viewMode_ != 1);
    if (QAction* a = Action("showDisplay")) a->setEnabled(!fourUp);
    UpdateClassStrip();
}

// --- settings ---------------------------------------------------------------------------

void MainWindow::RestoreSettings() {
    settings_.Load();
    TExtRegistry store(kMainWindowSection);
    bool placed = false;
    if (settings_.placementSaved) {
        if (auto p = store.LoadWindowPlacement(kMainWindowSection, true); p && p->hasBounds) {
            setGeometry(p->left, p->top, std::max(p->width, 640), std::max(p->height, 480));
            if (p->windowState == 2) setWindowState(Qt::WindowMaximized);
            placed = true;
        } else if (const QScreen* s = screen()) {
            int l = 0, t = 0;
            TExtRegistry::CentredPosition(s->availableGeometry().width(), s->availableGeometry().height(), width(), height(), l, t);
            move(l, t);
            placed = true;
        }
    }
    if (!placed) setWindowState(Qt::WindowMaximized);
    columns_->setSizes({settings_.leftWidth, settings_.infoWidth, std::max(645, width() - settings_.leftWidth - settings_.infoWidth)});
    client_->setSizes({std::max(200, client_->height() - settings_.listHeight), settings_.listHeight});
    Action("showDisplay")->setChecked(settings_.showDisplay);
    const int size = settings_.viewStyle >= 1 && settings_.viewStyle <= 3 ? settings_.viewStyle : 4;
    SetListSize(size);
    Action(std::array{"titleFile", "titleTitle", "titlePlace"}[static_cast<std::size_t>(settings_.viewTitle - 1)])->setChecked(true);
    Action(settings_.treeImportOrder ? "treeImport" : "treeClass")->setChecked(true);
    Action(settings_.treeAscending ? "treeUp" : "treeDown")->setChecked(true);
    tree_->SetTreeOrder(settings_.treeImportOrder, settings_.treeAscending);
    Action(std::array{"orderClass", "orderFile", "orderTitle", "orderPlace", "orderDate"}[static_cast<std::size_t>(settings_.photoOrder.order) - 1])
        ->setChecked(true);
    Action(settings_.photoOrder.ascending ? "orderUp" : "orderDown")->setChecked(true);
    Action("skoGrid")->setChecked(settings_.skoGrid);
    Action("showMark")->setChecked(settings_.showMark);
    Action("hints")->setChecked(settings_.fileInfoHints);
    list_->SetHints(settings_.fileInfoHints);
    Action(settings_.commentSetsState == 2 ? "commentFindings" : "commentInspected")->setChecked(true);
    inspection_->SetCommentState(settings_.commentSetsState);
    info_->SetMarks(settings_.showMark);
    info_->SetSkoTable(settings_.skoGrid);
    photoCombo_->setMinimumWidth(settings_.fileNameWidth);
}

void MainWindow::SaveSettings() {
    const QList<int> widths = columns_->sizes();
    if (widths.size() == 3) {
        if (widths[0] > 0) settings_.leftWidth = widths[0];
        if (widths[1] > 0) settings_.infoWidth = widths[1];
    }
    const QList<int> heights = client_->sizes();
    if (heights.size() == 2 && heights[1] > 0) settings_.listHeight = heights[1];
    settings_.directory = tree_->Folder().empty() ? settings_.directory : tree_->Folder();
    settings_.Save();
    TExtRegistry store(kMainWindowSection);
    WindowPlacement p;
    p.windowState = isMaximized() ? 2 : (isMinimized() ? 1 : 0);
    const QRect g = normalGeometry().isValid() ? normalGeometry() : geometry();
    p.hasBounds = true;
    p.left = g.left();
    p.top = g.top();
    p.width = g.width();
    p.height = g.height();
    store.SaveWindowPlacement(kMainWindowSection, p, true);
}

// --- start, folder choice, reload, close ------------------------------------------------

std::string MainWindow::FolderToOpen() const {
    std::error_code ec;
    if (!folderArgument_.empty() && fs::is_directory(folderArgument_, ec)) {
        // A construction folder stands for its PHOTO sub-folder.
        const std::string folder = WithSlash(fs::absolute(folderArgument_).lexically_normal().string());
        if (DataFileOf(folder).empty()) {
            const fs::path photo = FindEntryNoCase(folder, "PHOTO");
            if (!photo.empty() && !DataFileOf(photo).empty()) return WithSlash(photo.string());
        }
        return folder;
    }
    const fs::path program = fs::read_symlink("/proc/self/exe", ec).parent_path();
    if (!ec && !program.empty()) {
        if (CurrentStandard().id == "P22012403" && !FindEntryNoCase(program, "PHOTO.XML").empty()) return WithSlash(program.string());
        const fs::path photo = FindEntryNoCase(program, "PHOTO");
        if (!photo.empty() && !FindEntryNoCase(photo, "PHOTO.XML").empty()) return WithSlash(photo.string());
    }
    return WithSlash(settings_.directory);
}

void MainWindow::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (shownOnce_) return;
    shownOnce_ = true;
    {
        // Where the program lies, for the earlier product's tools.
        std::error_code ec;
        const fs::path program = fs::read_symlink("/proc/self/exe", ec).parent_path();
        if (!ec) TExtRegistry("VelXmlViewer", false).WriteString("InsFolder", WithSlash(program.string()));
    }
    RestoreSettings();
    const std::string folder = FolderToOpen();
    QTimer::singleShot(0, this, [this, folder] { OpenFolder(folder); });
}

void MainWindow::OpenFolder(const std::string& folder) {
    photoXmlHash_ = DataFileHash(folder);
    tree_->LoadFolder(folder);
    UpdateTitle();
    ResetInspectionStates();
    ApplyPaneVisibility();
}

void MainWindow::ResetInspectionStates() {
    TPctStateList::Instance().Clear();
    inspection_->Refresh();
    RepaintLists();
}

bool MainWindow::ConfirmInspectionLoss(const char* lead, const char* question) {
    if (!InspectionDataPresent(TPctStateList::Instance())) return true;
    return AskYesNo(this, InspectionLossText(lead, question));
}

bool MainWindow::FolderSelection() {
    QAction* command = Action("folder");
    command->setEnabled(false);
    FolderDialog dialog(tree_->Folder().empty() ? settings_.directory : tree_->Folder(), this);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    if (chosen) ChooseFolder(dialog.Result());
    command->setEnabled(true);
    // A takeover asking for its next medium learns from this whether one was chosen.
    return chosen;
}

void MainWindow::ChooseFolder(const std::string& folder) {
    const std::int32_t hash = DataFileHash(folder);
    if (hash == photoXmlHash_) {
        // The same data (another medium of the delivery, or the folder again): the inspection
        // states stay.
        tree_->LoadFolder(folder);
        UpdateTitle();
    } else if (!control_.TakeoverRunning() &&
               ConfirmInspectionLoss("新たに PHOTO フォルダを選択すると、", "新たに PHOTO フォルダを選択しますか？")) {
        photoXmlHash_ = hash;
        sequence_.clear();
        list_->ClearList();
        thumbnails_->Clear();
        paths_.clear();
        tree_->ClearConditions();
        tree_->ResetFilterState();
        tree_->LoadFolder(folder);
        UpdateTitle();
        ResetInspectionStates();
        if (!Action("showTree")->isChecked()) Action("showTree")->setChecked(true);
    }
}

void MainWindow::Reload() {
    if (reloadGuard_) return;
    reloadGuard_ = true;
    struct Clear {
        bool& flag;
        ~Clear() { flag = false; }
    } clear{reloadGuard_};
    const std::string folder = tree_->Folder();
    if (folder.empty()) return;
    // A medium that is not there answers no free-space question.
    for (;;) {
        struct statvfs vfs {};
        if (::statvfs(folder.c_str(), &vfs) == 0) break;
        const auto answer = QMessageBox::warning(
            this, QApplication::applicationDisplayName(),
            MessageText("メディアが挿入されていないか、デバイスの準備ができていません。\r\rメディアを確認してください。"),
            QMessageBox::Abort | QMessageBox::Retry, QMessageBox::Retry);
        if (answer != QMessageBox::Retry) return;
    }
    std::int64_t size = -1;
    int count = -1;
    if (const TDBExpInp* f = Data()) {
        std::error_code sizeError;
        size = static_cast<std::int64_t>(fs::file_size(DataFileOf(folder), sizeError));
        count = f->Photos.Count();
    }
    const std::int32_t hash = DataFileHash(folder);
    if (hash != photoXmlHash_ && !ConfirmInspectionLoss("再読み込みを行うと、", "再読み込みを行いますか？")) return;
    photoXmlHash_ = hash;
    thumbnails_->Clear();
    paths_.clear();
    tree_->LoadFolder(folder);
    UpdateTitle();
    std::error_code ec;
    const std::int64_t newSize = static_cast<std::int64_t>(fs::file_size(DataFileOf(folder), ec));
    const TDBExpInp* f = Data();
    if (!f || newSize != size || f->Photos.Count() != count) {
        ResetInspectionStates();
        tree_->ClearConditions();
    }
    if (!Action("showTree")->isChecked()) Action("showTree")->setChecked(true);
    RepaintLists();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    const std::string lead = std::string(kApplicationTitle) + " を終了すると、";
    if (!ConfirmInspectionLoss(lead.c_str(), "終了してもよろしいですか？")) {
        e->ignore();
        return;
    }
    SaveSettings();
    e->accept();
}

// --- the photo sequence -----------------------------------------------------------------

void MainWindow::RebuildPhotoSequence() {
    sequence_ = tree_->SelectedPhotos();
    if (TDBExpInp* f = Data()) SortPhotoSequence(sequence_, f->Photos, settings_.photoOrder, tree_->GroupByDuplicates());
    photoCombo_->blockSignals(true);
    photoCombo_->clear();
    if (TDBExpInp* f = Data()) {
        QStringList items;
        items.reserve(static_cast<qsizetype>(sequence_.size()));
        for (std::size_t i = 0; i < sequence_.size(); ++i)
            items << Q(PhotoComboText(static_cast<int>(i) + 1, f->Photos.At(sequence_[i])->FieldView(fld::PctFNm)));
        photoCombo_->addItems(items);
        // The drop-down is as wide as its longest item (and its scroll bar past 20 items).
        int widest = 0;
        const QFontMetrics fm(photoCombo_->font());
        for (const QString& item : items) widest = std::max(widest, fm.horizontalAdvance(item));
        photoCombo_->view()->setMinimumWidth(widest + fm.height() / 2 + 16 +
                                             (items.size() > 20 ? photoCombo_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0));
    }
    position_ = sequence_.empty() ? 0 : 1;
    photoCombo_->setCurrentIndex(position_ - 1);
    photoCombo_->blockSignals(false);
    list_->Refill(sequence_);
    list_->SelectPosition(position_);
    grid_->Rebuild(Data() ? &Data()->Photos : nullptr, sequence_, settings_.showMark);
    grid_->SelectPosition(position_);
    ShowCurrentPhoto();
    UpdateStatusBar();
    UpdateClassStrip();
    UpdateCommandStates();
}

void MainWindow::ShowCurrentPhoto() {
    const int count = static_cast<int>(sequence_.size());
    display_->SetCounter(Q(velview::CounterText(position_, count)));
    display_->SetPriorNextEnabled(position_ > 1, position_ >= 1 && position_ < count);
    TDBExpInp* f = Data();
    if (!f || position_ < 1 || position_ > count) {
        display_->Clear();
        info_->ShowRecord(nullptr, -1);
        inspection_->ShowPhoto(-1);
    } else {
        const int current = sequence_[static_cast<std::size_t>(position_ - 1)];
        info_->ShowRecord(&f->Photos, current);
        inspection_->ShowPhoto(current);
        const int photo = sequence_[static_cast<std::size_t>(position_ - 1)];
        QString medium = Q(f->Photos.At(photo)->FieldView(fld::MdaNum));
        if (medium.isNull()) medium = QStringLiteral("");
        // The record's reference drawings, as far as their files are at hand.
        std::vector<std::string> drawings;
        if (const TPIStrings* list = f->Photos.At(photo)->FieldList(fld::RefFNX))
            for (const std::string& name : list->Items()) {
                const ResolvedFile file = f->DrawingFile(name);
                drawings.push_back(file.status == FileStatus::Ok ? file.path.string() : std::string());
            }
        display_->SetDeliveryRoot(ConstructionFilePath(tree_->Folder(), "").string());
        display_->SetPhoto(PhotoPath(photo), medium, std::move(drawings));
        // Brightness and rotation start afresh with every photo.
        Action("gamma0")->setChecked(true);
        Action("rotate0")->setChecked(true);
        FillReferenceMenu();
    }
    UpdateStatusBar();
    UpdateCommandStates();
}

void MainWindow::SelectPosition(int position) {
    if (position < 1 || position > static_cast<int>(sequence_.size())) return;
    photoCombo_->setCurrentIndex(position - 1);
}

void MainWindow::MoveBy(int delta) {
    if (tree_->Busy()) return;
    const int next = position_ + delta;
    if (next >= 1 && next <= static_cast<int>(sequence_.size())) SelectPosition(next);
}

std::string MainWindow::PhotoPath(int photo) const {
    TDBExpInp* f = Data();
    if (!f) return {};
    auto [it, fresh] = paths_.try_emplace(photo);
    if (fresh) {
        const ResolvedFile file = f->PhotoFile(f->Photos.Items(photo));
        if (file.status == FileStatus::Ok) it->second = file.path.string();
    }
    return it->second;
}

CardData MainWindow::Card(int photo) const {
    CardData c;
    TDBExpInp* f = Data();
    if (!f || !f->Photos.At(photo)) return c;
    const TEIPctInfo& r = *f->Photos.At(photo);
    c.caption = Q(CardCaption(f->Photos, photo, settings_.viewTitle));
    if (const TPctSateItem* s = TPctStateList::Instance().Find(photo)) {
        c.state = s->InspectionState();
        c.marked = s->TestBits(1);
    }
    c.representative = r.FieldView(fld::DaiPct) == "1";
    c.frequency = r.FieldView(fld::FrqPct) == "1";
    c.hasReference = r.FieldList(fld::RefFNX) && r.FieldList(fld::RefFNX)->Count() > 0;
    c.medium = Q(r.FieldView(fld::MdaNum));
    c.path = PhotoPath(photo);
    return c;
}

// --- panes and texts ----------------------------------------------------------------------

void MainWindow::SetListSize(int size) {
    settings_.viewStyle = (size >= 1 && size <= 4) ? size : 2;
    Action(std::array{"sizeSmall", "sizeMedium", "sizeLarge", "sizeFour"}[static_cast<std::size_t>(settings_.viewStyle - 1)])->setChecked(true);
    ApplyPaneVisibility();
    list_->SetListSize(settings_.viewStyle);
    UpdateCommandStates();
}

void MainWindow::SetCaptionMode(int mode) {
    settings_.viewTitle = (mode >= 1 && mode <= 3) ? mode : 1;
    Action(std::array{"titleFile", "titleTitle", "titlePlace"}[static_cast<std::size_t>(settings_.viewTitle - 1)])->setChecked(true);
    list_->Model()->AllChanged();
}

void MainWindow::SetPhotoOrder(PhotoOrder order) {
    settings_.photoOrder.order = order;
    Action(std::array{"orderClass", "orderFile", "orderTitle", "orderPlace", "orderDate"}[static_cast<std::size_t>(order) - 1])->setChecked(true);
    RebuildPhotoSequence();
}

void MainWindow::SetPhotoOrderAscending(bool ascending) {
    settings_.photoOrder.ascending = ascending;
    Action(ascending ? "orderUp" : "orderDown")->setChecked(true);
    RebuildPhotoSequence();
}

void MainWindow::SetTreeOrder(bool importOrder, bool ascending) {
    settings_.treeImportOrder = importOrder;
    settings_.treeAscending = ascending;
    Action(importOrder ? "treeImport" : "treeClass")->setChecked(true);
    Action(ascending ? "treeUp" : "treeDown")->setChecked(true);
    tree_->SetTreeOrder(importOrder, ascending);
}

std::string MainWindow::ConstructionFile() const {
    const auto flags = StandardFlagsPtr(CurrentStandard().code);
    return ConstructionFilePath(tree_->Folder(), flags ? flags->KojKnrXMLName : "INDEX_C.XML").string();
}

void MainWindow::UpdateTitle() {
    const TDBExpInp* f = Data();
    const bool xml = f && control_.Kind() == DataKind::PhotoXml;
    std::string name;
    if (xml) {
        name = f->KojiInfo.Get(4);
        if (name.empty()) name = ConstructionNameFromFile(ConstructionFile());
    }
    setWindowTitle(Q(MainWindowTitle(xml, name)));
    const std::string file = fs::path(ConstructionFile()).filename().string();
    Action("constructionXml")->setText(QStringLiteral("工事管理情報 - ") + Q(file) + QStringLiteral(" (&X)..."));
    Action("photoXml")->setEnabled(xml);
    Action("constructionXml")->setEnabled(xml && IsRegularFile(ConstructionFile()));
}

void MainWindow::UpdateStatusBar() {
    status1_->setMinimumWidth(leftColumn_->isVisible() ? leftColumn_->width() + 1 : 0);
    const TDBExpInp* f = Data();
    if (!f) {
        status1_->setText(QString::fromUtf8(kNoDataStatus));
        status2_->clear();
        return;
    }
    status1_->setText(Q(PhotoCountStatus(f->Photos, sequence_, DtdType())));
    if (position_ >= 1 && position_ <= static_cast<int>(sequence_.size())) {
        const int photo = sequence_[static_cast<std::size_t>(position_ - 1)];
        status2_->setText(PhotoPath(photo).empty() ? Q(InsertMediumStatus(f->Photos.At(photo)->FieldView(fld::MdaNum))) : QString());
    } else {
        status2_->clear();
    }
}

void MainWindow::UpdateClassStrip() {
    if (!classStrip_->isVisible()) return;
    QStringList parts;
    for (const auto& [icon, text] : tree_->SelectedPath()) parts << text.c_str();
    QString path = parts.join(QStringLiteral(" › "));
    // The deepest levels stay; the first ones give way to "...".
    const QFontMetrics fm(classPath_->font());
    while (parts.size() > 1 && fm.horizontalAdvance(path) > std::max(100, classPath_->width())) {
        parts.removeFirst();
        path = QStringLiteral("... › ") + parts.join(QStringLiteral(" › "));
    }
    classPath_->setText(path.toHtmlEscaped());
}

QString MainWindow::StatusText(int panel) const { return panel == 1 ? status1_->text() : status2_->text(); }
QString MainWindow::ComboText() const { return photoCombo_->currentText(); }
QString MainWindow::CounterText() const { return display_->Counter(); }

void MainWindow::RepaintLists() {
    list_->Model()->AllChanged();
    grid_->Model()->Repaint();
}

void MainWindow::GridColumnSettings() {
    GridColumnsDialog dialog(CurrentCheckContext()->layout, this);
    if (dialog.exec() != QDialog::Accepted) return;
    grid_->Rebuild(Data() ? &Data()->Photos : nullptr, sequence_, settings_.showMark);
    grid_->SelectPosition(position_);
}

void MainWindow::OnZoomChanged() {
    const ZoomModel& z = display_->Canvas()->Model();
    const char* name = "zoomFit";
    if (!z.FitMode()) {
        static const std::pair<int, const char*> kSteps[] = {{25, "zoom25"}, {50, "zoom50"}, {100, "zoom100"},
                                                            {200, "zoom200"}, {400, "zoom400"}, {800, "zoom800"}};
        name = nullptr;
        for (const auto& [percent, step] : kSteps)
            if (std::lround(z.Requested() * 100) == percent) name = step;
    }
    for (QAction* a : Action("zoomFit")->actionGroup()->actions()) a->setChecked(name && a == Action(name));
    UpdateCommandStates();
}

void MainWindow::FillReferenceMenu() {
    referenceMenu_->clear();
    auto* group = new QActionGroup(referenceMenu_);
    for (int n = 0; n <= display_->DrawingCount(); ++n) {
        QAction* a = referenceMenu_->addAction(n == 0 ? QStringLiteral("写真") : QStringLiteral("参考図%1").arg(n), this,
                                               [this, n] { display_->SelectView(n); });
        a->setCheckable(true);
        a->setChecked(display_->View() == n);
        group->addAction(a);
    }
}

void MainWindow::UpdateCommandStates() {
    const bool listed = !sequence_.empty();
    const bool current = position_ >= 1 && position_ <= static_cast<int>(sequence_.size());
    // Zoom needs the display; rotation and brightness follow the display's edit buttons.
    const bool displayed = settings_.showDisplay && !(viewMode_ == 0 && settings_.viewStyle == 4);
    const ZoomModel& z = display_->Canvas()->Model();
    Action("zoomMenu")->setEnabled(listed && displayed);
    for (const auto& [percent, name] : std::initializer_list<std::pair<int, const char*>>{
             {25, "zoom25"}, {50, "zoom50"}, {100, "zoom100"}, {200, "zoom200"}, {400, "zoom400"}, {800, "zoom800"}})
        Action(name)->setEnabled(z.StepAllowed(percent / 100.0));
    Action("rotateMenu")->setEnabled(display_->EditsEnabled());
    Action("brightnessMenu")->setEnabled(display_->EditsEnabled());
    Action("referenceMenu")->setEnabled(listed && display_->DrawingCount() > 0);
    Action("prior")->setEnabled(current && position_ > 1);
    Action("next")->setEnabled(current && position_ < static_cast<int>(sequence_.size()));
    Action("copy")->setEnabled(photoCombo_->count() > 0);
    Action("reload")->setEnabled(!tree_->Folder().empty());
}

void MainWindow::SetInspectionState(int state, bool allListed) {
    TPctStateList& states = TPctStateList::Instance();
    if (allListed) {
        SetInspectionStateAll(states, sequence_, state);
    } else if (position_ >= 1 && position_ <= static_cast<int>(sequence_.size())) {
        velview::SetInspectionState(states, sequence_[static_cast<std::size_t>(position_ - 1)], state);
    }
    inspection_->Refresh();
    RepaintLists();
}

void MainWindow::SetAllPrintTargets(bool on) {
    SetPrintTarget(TPctStateList::Instance(), sequence_, on);
    RepaintLists();
}

void MainWindow::ShowListContextMenu(const QPoint& at) {
    QMenu menu(this);
    const bool listed = !sequence_.empty();
    menu.addAction(QStringLiteral("写真確認 (&C)"))->setEnabled(false);
    menu.addAction(QStringLiteral("写真比較（&H)"))->setEnabled(false);
    menu.addSeparator();
    menu.addAction(QStringLiteral("「検査済」にする (&I)"), this, [this] { SetInspectionState(1, false); })->setEnabled(listed);
    menu.addAction(QStringLiteral("「指摘あり」にする (&U)"), this, [this] { SetInspectionState(2, false); })->setEnabled(listed);
    menu.addAction(QStringLiteral("「－」にする (&N)"), this, [this] { SetInspectionState(0, false); })->setEnabled(listed);
    QMenu* all = menu.addMenu(QStringLiteral("検査状態一括設定(&K)"));
    all->setEnabled(sequence_.size() > 1);
    all->addAction(QStringLiteral("全て「検査済」にする (&V)"), this, [this] { SetInspectionState(1, true); });
    all->addAction(QStringLiteral("全て「指摘あり」にする (&X)"), this, [this] { SetInspectionState(2, true); });
    all->addAction(QStringLiteral("全て「－」にする (&E)"), this, [this] { SetInspectionState(0, true); });
    menu.addSeparator();
    QMenu* titles = menu.addMenu(QStringLiteral("写真一覧タイトル切替(&T)"));
    const QString titleCaptions[] = {QStringLiteral("ファイル名表示 (&F)"), QStringLiteral("写真タイトル表示 (&T)"),
                                     QStringLiteral("撮影箇所表示 (&K)")};
    for (int m = 1; m <= 3; ++m) {
        QAction* a = titles->addAction(titleCaptions[m - 1], this, [this, m] { SetCaptionMode(m); });
        a->setCheckable(true);
        a->setChecked(settings_.viewTitle == m);
    }
    QMenu* sizes = menu.addMenu(QStringLiteral("サイズ切替(&S)"));
    const QString sizeCaptions[] = {QStringLiteral("写真サイズ小 (&S)"), QStringLiteral("写真サイズ中 (&M)"),
                                    QStringLiteral("写真サイズ大 (&L)"), QStringLiteral("写真4枚表示 (&4)")};
    for (int s = 1; s <= 4; ++s) {
        QAction* a = sizes->addAction(sizeCaptions[s - 1], this, [this, s] { SetListSize(s); });
        a->setCheckable(true);
        a->setChecked(settings_.viewStyle == s);
    }
    QMenu* sort = menu.addMenu(QStringLiteral("並べ替え(&N)"));
    const QString orderCaptions[] = {QStringLiteral("分類名順(&B)"), QStringLiteral("ファイル名順(&F)"), QStringLiteral("タイトル順(&T)"),
                                     QStringLiteral("撮影箇所順(&K)"), QStringLiteral("撮影年月日順(&N)")};
    for (int o = 1; o <= 5; ++o) {
        QAction* a = sort->addAction(orderCaptions[o - 1], this, [this, o] { SetPhotoOrder(static_cast<PhotoOrder>(o)); });
        a->setCheckable(true);
        a->setChecked(static_cast<int>(settings_.photoOrder.order) == o);
    }
    sort->addSeparator();
    sort->addAction(Action("orderUp"));
    sort->addAction(Action("orderDown"));
    menu.addSeparator();
    bool someUnmarked = false;
    for (int photo : sequence_) {
        const TPctSateItem* s = TPctStateList::Instance().Find(photo);
        if (!s || !s->TestBits(1)) someUnmarked = true;
    }
    if (someUnmarked || !listed)
        menu.addAction(QStringLiteral("全写真を印刷対象にする (&A)"), this, [this] { SetAllPrintTargets(true); })->setEnabled(listed);
    else
        menu.addAction(QStringLiteral("全写真を印刷対象から解除 (&R)"), this, [this] { SetAllPrintTargets(false); });
    menu.addSeparator();
    const bool fileThere = position_ >= 1 && position_ <= static_cast<int>(sequence_.size()) &&
                           !PhotoPath(sequence_[static_cast<std::size_t>(position_ - 1)]).empty();
    if (viewMode_ == 1) {
        menu.addAction(QStringLiteral("一覧表示項目設定(&I)..."), this, &MainWindow::GridColumnSettings);
        menu.addAction(QStringLiteral("列幅の初期化(&S)"), this, [this] { grid_->ResetColumnWidths(); });
    }
    menu.addAction(QStringLiteral("写真を任意フォルダに保存 (&D)..."), this, &MainWindow::SavePhotoFile)->setEnabled(fileThere);
    menu.exec(at);
}

// --- file commands ------------------------------------------------------------------------

void MainWindow::CopyToClipboard() {
    TDBExpInp* f = Data();
    if (!f || position_ < 1 || position_ > static_cast<int>(sequence_.size())) return;
    const int photo = sequence_[static_cast<std::size_t>(position_ - 1)];
    const std::string path = PhotoPath(photo);
    if (path.empty()) {
        Information(this, InsertMediumMessage(f->Photos.At(photo)->FieldView(fld::MdaNum)));
        return;
    }
    Picture picture;
    if (LoadPictureFile(path, picture, false) != 0 || picture.raster.Empty()) {
        Warning(this, path + "\r\rこのファイルは読み込めません。");
        return;
    }
    QApplication::clipboard()->setImage(ToQImage(picture.raster));
}

void MainWindow::SavePhotoFile() {
    if (position_ < 1 || position_ > static_cast<int>(sequence_.size())) return;
    const std::string source = PhotoPath(sequence_[static_cast<std::size_t>(position_ - 1)]);
    if (source.empty()) return;
    const fs::path src(source);
    // "A|*.a|B|*.b" as Qt filters.
    const QStringList parts = Q(SavePhotoFilter(src.extension().string())).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) filters << parts[i];
    const QString target = QFileDialog::getSaveFileName(this, QString(), Q((fs::path(settings_.picSaveDir) / src.filename()).string()),
                                                        filters.join(QStringLiteral(";;")));
    if (target.isEmpty()) return;
    if (!SavePhotoTargetAllowed(src, S(target), tree_->Folder())) {
        Warning(this, S(target) + "\r\r写真ファイル自身や成果品のフォルダには保存できません。");
        return;
    }
    try {
        WriteFileAtomic(S(target), ReadRegularFile(src, std::uint64_t(4) << 30));
        settings_.picSaveDir = fs::path(S(target)).parent_path().string();
    } catch (const IoError& e) {
        Warning(this, e.what());
    }
}

void MainWindow::OpenInformationFile(bool construction) {
    if (construction) {
        const std::string file = ConstructionFile();
        if (!IsRegularFile(file)) {
            Information(this, "工事管理ファイル(" + fs::path(file).filename().string() + ")が見つかりません。");
            return;
        }
        if (SafeToOpenExternally(file, ConstructionFilePath(tree_->Folder(), ""))) QDesktopServices::openUrl(QUrl::fromLocalFile(Q(file)));
        return;
    }
    const fs::path xml = FindEntryNoCase(tree_->Folder(), "PHOTO.XML");
    if (xml.empty() || !IsRegularFile(xml)) {
        Information(this, "写真管理ファイル(PHOTO.XML)が見つかりません。");
        return;
    }
    if (SafeToOpenExternally(xml, ConstructionFilePath(tree_->Folder(), ""))) QDesktopServices::openUrl(QUrl::fromLocalFile(Q(xml.string())));
}

void MainWindow::TreeItemSettings() {
    // Levels 1, 2, 6 and 7 may be switched off; 工種, 種別 and 細別 always stay.
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("分類ツリー表示項目設定"));
    auto* layout = new QVBoxLayout(&dialog);
    auto& entries = tree_->Items().Entries();
    std::vector<std::pair<int, QCheckBox*>> boxes;
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const int number = tree_->Items().ItemNumber(i);
        auto* box = new QCheckBox(Q(entries[static_cast<std::size_t>(i)].caption), &dialog);
        box->setChecked(entries[static_cast<std::size_t>(i)].checked);
        box->setEnabled(number == 1 || number == 2 || number == 6 || number == 7);
        layout->addWidget(box);
        boxes.emplace_back(i, box);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return;
    for (auto& [i, box] : boxes) entries[static_cast<std::size_t>(i)].checked = box->isChecked();
    if (!Action("showTree")->isChecked()) Action("showTree")->setChecked(true);
    tree_->ApplyItemSettings();
}

void MainWindow::About() {
    TitleWindow about(false, this);
    about.exec();
}

}  // namespace velview::viewer

namespace velview::viewer {

void MainWindow::SetViewMode(int mode) {
    viewMode_ = (mode >= 0 && mode <= 2) ? mode : 0;
    const char* names[] = {"viewList", "viewGrid", "viewFileInfo"};
    Action(names[viewMode_])->setChecked(true);
    ApplyViewMode();
    UpdateCommandStates();
}

}  // namespace velview::viewer
