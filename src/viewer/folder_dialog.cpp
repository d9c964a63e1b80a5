#include "viewer/folder_dialog.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <filesystem>

#include "common/ext_registry.h"
#include "common/text_encoding.h"
#include "data/delivery_files.h"
#include "viewer/qt_text.h"

namespace velview::viewer {
namespace fs = std::filesystem;

namespace {
const char* const kSection = "frmSelFolder";

bool HasFile(const fs::path& folder, const char* name) {
    const fs::path p = FindEntryNoCase(folder, name);
    std::error_code ec;
    return !p.empty() && fs::is_regular_file(p, ec);
}

std::string WithSlash(std::string s) {
    if (!s.empty() && s.back() != '/') s += '/';
    return s;
}
}  // namespace

FolderOffer ExamineFolderForDialog(const std::string& folder) {
    FolderOffer o;
    if (folder.empty()) return o;
    for (const char* name : {"撮記堂.csv", "Photo.xml", "写真情報.csv"})
        if (HasFile(folder, name)) {
            o.usable = true;
            return o;
        }
    const fs::path photo = FindEntryNoCase(folder, "Photo");
    if (!photo.empty() && HasFile(photo, "Photo.xml")) {
        o.usable = true;
        o.parentOfPhoto = true;
    }
    return o;
}

FolderDialog::FolderDialog(const std::string& current, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("フォルダ選択"));
    setMinimumSize(130, 145);
    resize(420, 480);
    auto* layout = new QVBoxLayout(this);
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setRootPath(QStringLiteral("/"));
    tree_ = new QTreeView(this);
    tree_->setModel(model_);
    for (int c = 1; c < model_->columnCount(); ++c) tree_->hideColumn(c);
    tree_->header()->hide();
    layout->addWidget(tree_, 1);
    status_ = new QLabel(this);
    layout->addWidget(status_);
    auto* buttons = new QHBoxLayout;
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &FolderDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &FolderDialog::reject);
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this, &FolderDialog::Examine);

    TExtRegistry store(kSection);
    if (auto p = store.LoadWindowPlacement(kSection, true); p && p->hasBounds) setGeometry(p->left, p->top, p->width, p->height);
    // After a choice of the photo folder's parent, the dialog opens on that parent again.
    std::string start = current;
    if (store.ReadBool("ParentOfPhoto", false)) {
        fs::path p(start);
        if (!p.has_filename()) p = p.parent_path();
        if (text::EqualsAsciiNoCase(p.filename().string(), "photo")) start = p.parent_path().string();
    }
    SelectFolder(Q(start));
    Examine();
}

void FolderDialog::SelectFolder(const QString& folder) {
    const QModelIndex at = model_->index(folder);
    if (!at.isValid()) return;
    tree_->setCurrentIndex(at);
    tree_->scrollTo(at);
    Examine();
}

QString FolderDialog::StatusText() const { return status_->text(); }

void FolderDialog::Examine() {
    const QString path = model_->filePath(tree_->currentIndex());
    offer_ = ExamineFolderForDialog(S(path));
    ok_->setEnabled(offer_.usable);
    status_->setText(offer_.usable ? path : QStringLiteral("データが保存されていません。"));
}

void FolderDialog::accept() {
    if (!offer_.usable) return;
    std::string folder = WithSlash(S(model_->filePath(tree_->currentIndex())));
    if (offer_.parentOfPhoto) {
        const fs::path photo = FindEntryNoCase(folder, "Photo");
        folder = WithSlash(photo.string());
    }
    result_ = folder;
    TExtRegistry(kSection).WriteBool("ParentOfPhoto", offer_.parentOfPhoto);
    QDialog::accept();
}

void FolderDialog::done(int r) {
    TExtRegistry store(kSection);
    WindowPlacement p;
    p.hasBounds = true;
    p.left = geometry().left();
    p.top = geometry().top();
    p.width = width();
    p.height = height();
    store.SaveWindowPlacement(kSection, p, true);
    QDialog::done(r);
}

}  // namespace velview::viewer
