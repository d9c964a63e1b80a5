#include "viewer/tree_pane.h"

#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <numeric>
#include <set>

#include "browse/viewer_rules.h"
#include "common/ext_registry.h"
#include "common/text_encoding.h"
#include "data/db_exp_inp.h"
#include "data/ei_control.h"
#include "data/field_index.h"
#include "data/pct_info.h"
#include "data/photo_xml_reader.h"
#include "ent/current_standard.h"
#include "viewer/icons.h"
#include "viewer/qt_text.h"
#include "viewer/viewer_settings.h"

namespace velview::viewer {
namespace fs = std::filesystem;

const char* const TreePane::kNoCondition = "(絞り込み無し)";

namespace {

constexpr int kNodeRole = Qt::UserRole + 1;
constexpr int kHistoryMax = 10;

const char* const kCheckCaptions[] = {"情報エラー",   "代表写真",   "提出頻度写真",
                                      "検査済写真",   "指摘あり写真", "未検査写真",
                                      "写真の撮影日(Exif)がない写真", "改竄された写真(小黒板電子化)", "重複した写真"};
enum CheckIndex { kInfoError, kRepresentative, kFrequency, kInspected, kFindings, kUnchecked, kNoExif, kTampered, kDuplicate };

double FileDate(const fs::path& file) {
    struct stat st {};
    if (file.empty() || ::stat(file.c_str(), &st) != 0) return 0;
    return static_cast<double>(st.st_mtim.tv_sec) + static_cast<double>(st.st_mtim.tv_nsec) / 1e9;
}

bool FolderHoldsExtension(const std::string& folder, const char* ext) {
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) return false;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (text::EqualsAsciiNoCase(it->path().extension().string(), ext)) return true;
    return false;
}

// The 整理フラグ picker: ten boxes and the clear-with-filters switch, closed by Enter or by
// leaving it.
class FlagPicker : public QFrame {
public:
    FlagPicker(const QString& digits, bool clearToo, QWidget* parent) : QFrame(parent, Qt::Popup) {
        setWindowTitle(QStringLiteral("整理フラグ"));
        setFrameShape(QFrame::Box);
        auto* grid = new QGridLayout(this);
        for (int d = 0; d < 10; ++d) {
            boxes_[d] = new QCheckBox(QString::number(d), this);
            boxes_[d]->setChecked(digits.contains(QChar('0' + d)));
            grid->addWidget(boxes_[d], d / 5, d % 5);
        }
        clear_ = new QCheckBox(QStringLiteral("絞込解除時に整理フラグもクリア"), this);
        clear_->setChecked(clearToo);
        grid->addWidget(clear_, 2, 0, 1, 5);
    }
    QString Text() const {
        QStringList d;
        for (int i = 0; i < 10; ++i)
            if (boxes_[i]->isChecked()) d << QString::number(i);
        return d.isEmpty() ? QString::fromUtf8(TreePane::kNoCondition) : d.join(',');
    }
    bool ClearToo() const { return clear_->isChecked(); }
    std::function<void()> onClose;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() >= Qt::Key_0 && e->key() <= Qt::Key_9) {
            QCheckBox* b = boxes_[e->key() - Qt::Key_0];
            b->setChecked(!b->isChecked());
            return;
        }
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            close();
            return;
        }
        QFrame::keyPressEvent(e);
    }
    void hideEvent(QHideEvent* e) override {
        QFrame::hideEvent(e);
        if (onClose) {
            auto f = std::move(onClose);
            onClose = nullptr;
            f();
        }
    }

private:
    std::array<QCheckBox*, 10> boxes_{};
    QCheckBox* clear_ = nullptr;
};

}  // namespace

void ConditionCombo::showPopup() {
    emit AboutToPopup();
    QComboBox::showPopup();
}

TreePane::TreePane(TEIControl& control, std::function<TEntTypeList()> standards, QWidget* parent)
    : QWidget(parent), control_(control), standards_(std::move(standards)) {
    items_.Load(TExtRegistry(kTreeSection));
    BuildPanel();
    LoadHistory();
    RelabelRows();
    UpdateConditionRows();
}

TreePane::~TreePane() { SaveSettings(); }

void TreePane::BuildPanel() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    tree_ = new QTreeView(this);
    tree_->setModel(&model_);
    tree_->setHeaderHidden(true);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(tree_, 1);
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (loading_ || selectionPending_) return;
        // Handled when the event loop is idle, so that a load in progress is never re-entered.
        selectionPending_ = true;
        QTimer::singleShot(0, this, [this] {
            selectionPending_ = false;
            if (!loading_) emit SelectionChanged();
        });
    });

    panel_ = new QWidget(this);
    auto* p = new QVBoxLayout(panel_);
    p->setContentsMargins(2, 2, 2, 2);
    p->setSpacing(2);
    easyToggle_ = new QCheckBox(QStringLiteral("簡易絞込"), panel_);
    p->addWidget(easyToggle_);
    modes_ = new QStackedWidget(panel_);
    auto* detailed = new QWidget(modes_);
    rowsLayout_ = new QGridLayout(detailed);
    rowsLayout_->setContentsMargins(0, 0, 0, 0);
    rowsLayout_->setVerticalSpacing(1);
    for (int k = 0; k < 7; ++k) {
        rowLabels_[k] = new QLabel(detailed);
        rows_[k] = new ConditionCombo(detailed);
        rows_[k]->setEditable(true);
        rows_[k]->setInsertPolicy(QComboBox::NoInsert);
        rows_[k]->lineEdit()->setMaxLength(128);
        rows_[k]->setMinimumContentsLength(8);
        rows_[k]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        rows_[k]->setFixedHeight(20 + 2);
        rows_[k]->setStyleSheet(QStringLiteral("QComboBox QLineEdit:focus { background: #fff4c8; }"));
        rowsLayout_->addWidget(rowLabels_[k], k, 0);
        rowsLayout_->addWidget(rows_[k], k, 1);
        connect(rows_[k], &ConditionCombo::AboutToPopup, this, [this, k] { RebuildLaterList(k); });
        connect(rows_[k]->lineEdit(), &QLineEdit::returnPressed, this, &TreePane::RunFilter);
        connect(rows_[k], &QComboBox::currentTextChanged, this, &TreePane::RefreshClearState);
    }
    rowsLayout_->setColumnStretch(1, 1);
    modes_->addWidget(detailed);
    auto* easyPage = new QWidget(modes_);
    auto* e = new QHBoxLayout(easyPage);
    e->setContentsMargins(0, 0, 0, 0);
    e->addWidget(new QLabel(QStringLiteral("全 区 分"), easyPage));
    easy_ = new QComboBox(easyPage);
    easy_->setEditable(true);
    easy_->setInsertPolicy(QComboBox::NoInsert);
    easy_->lineEdit()->setMaxLength(128);
    e->addWidget(easy_, 1);
    connect(easy_->lineEdit(), &QLineEdit::returnPressed, this, &TreePane::RunFilter);
    connect(easy_, &QComboBox::currentTextChanged, this, &TreePane::RefreshClearState);
    modes_->addWidget(easyPage);
    p->addWidget(modes_);
    connect(easyToggle_, &QCheckBox::toggled, this, [this](bool on) {
        ShowMode(on);
        RefreshClearState();
    });

    auto* flagsRow = new QHBoxLayout;
    flagsLabel_ = new QLabel(QStringLiteral("整理ﾌﾗｸﾞ"), panel_);
    flags_ = new ConditionCombo(panel_);
    flags_->setEditable(true);
    flags_->lineEdit()->setMaxLength(20);
    flags_->addItem(QString::fromUtf8(kNoCondition));
    flagsRow->addWidget(flagsLabel_);
    flagsRow->addWidget(flags_, 1);
    p->addLayout(flagsRow);
    connect(flags_, &ConditionCombo::AboutToPopup, this, [this] {
        // The picker stands in for the list.
        QTimer::singleShot(0, this, [this] {
            flags_->hidePopup();
            OpenFlagPicker();
        });
    });
    connect(flags_->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        flags_->setEditText(NormaliseFlags(flags_->currentText()));
        RefreshClearState();
    });

    auto* checks = new QGridLayout;
    checks->setVerticalSpacing(0);
    for (std::size_t i = 0; i < std::size(kCheckCaptions); ++i) {
        auto* box = new QCheckBox(QString::fromUtf8(kCheckCaptions[i]), panel_);
        checks_.push_back(box);
        const int row = static_cast<int>(i);
        checks->addWidget(box, row, 0);
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) {
            // 代表写真 and 提出頻度写真 exclude each other when both are offered.
            if (on && i == kRepresentative && !checks_[kFrequency]->isHidden()) checks_[kFrequency]->setChecked(false);
            if (on && i == kFrequency && !checks_[kRepresentative]->isHidden()) checks_[kRepresentative]->setChecked(false);
            RefreshClearState();
        });
    }
    p->addLayout(checks);
    auto* buttons = new QHBoxLayout;
    filterButton_ = new QPushButton(QStringLiteral("絞込"), panel_);
    clearButton_ = new QPushButton(QStringLiteral("解除"), panel_);
    buttons->addStretch(1);
    buttons->addWidget(filterButton_);
    buttons->addWidget(clearButton_);
    p->addLayout(buttons);
    connect(filterButton_, &QPushButton::clicked, this, &TreePane::RunFilter);
    connect(clearButton_, &QPushButton::clicked, this, &TreePane::RunClear);
    layout->addWidget(panel_);
    filterButton_->setEnabled(false);
    clearButton_->setEnabled(false);
}

void TreePane::LoadHistory() {
    const TExtRegistry r(kTreeSection);
    easy_->clear();
    easy_->addItem(QString::fromUtf8(kNoCondition));
    for (int n = 1; n <= kHistoryMax; ++n) {
        const std::string w = r.ReadString("SiboriWord " + std::to_string(n));
        if (w.empty()) break;
        easy_->addItem(Q(w));
    }
    easyToggle_->setChecked(r.ReadBool("KantanDown", false));
    ShowMode(easyToggle_->isChecked());
    clearFlagsToo_ = r.ReadBool("ClearPctFlg", true);
}

void TreePane::SaveSettings() const {
    TExtRegistry r(kTreeSection);
    items_.Save(r);
    for (int n = 0; n < easy_->count() && n <= kHistoryMax; ++n) r.WriteString("SiboriWord " + std::to_string(n), S(easy_->itemText(n)));
    r.WriteBool("KantanDown", easyToggle_->isChecked());
    r.WriteBool("ClearPctFlg", clearFlagsToo_);
}

QString TreePane::NormaliseFlags(const QString& text) {
    std::set<int> digits;
    for (QChar c : text)
        if (c >= QChar('0') && c <= QChar('9')) digits.insert(c.unicode() - '0');
    if (digits.empty()) return QString::fromUtf8(kNoCondition);
    QStringList parts;
    for (int d : digits) parts << QString::number(d);
    return parts.join(',');
}

void TreePane::OpenFlagPicker() {
    if (findChild<FlagPicker*>()) return;  // only one at a time
    auto* picker = new FlagPicker(flags_->currentText() == QString::fromUtf8(kNoCondition) ? QString() : flags_->currentText(),
                                  clearFlagsToo_, this);
    picker->setAttribute(Qt::WA_DeleteOnClose);
    picker->adjustSize();
    const int width = std::max({208, flags_->width(), picker->sizeHint().width()});
    picker->resize(width, picker->sizeHint().height());
    QPoint at = flags_->mapToGlobal(QPoint(0, flags_->height()));
    if (const QScreen* s = flags_->screen(); s && at.y() + picker->height() > s->availableGeometry().bottom())
        at = flags_->mapToGlobal(QPoint(0, -picker->height()));
    picker->move(at);
    picker->onClose = [this, picker] {
        flags_->setEditText(picker->Text());
        clearFlagsToo_ = picker->ClearToo();
        RefreshClearState();
    };
    picker->show();
}

void TreePane::ShowMode(bool easy) {
    // Only the page shown takes room: the easy box is one row, the detailed panel one row
    // per level.
    modes_->setCurrentIndex(easy ? 1 : 0);
    for (int i = 0; i < modes_->count(); ++i)
        modes_->widget(i)->setSizePolicy(QSizePolicy::Preferred, i == modes_->currentIndex() ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    modes_->adjustSize();
    panel_->adjustSize();
}

bool TreePane::EasyMode() const { return easyToggle_->isChecked(); }
void TreePane::SetEasyMode(bool on) { easyToggle_->setChecked(on); }
void TreePane::SetLevelText(int level, const QString& text) {
    if (level >= 0 && level < 7) rows_[level]->setEditText(text);
}
void TreePane::SetEasyText(const QString& text) { easy_->setEditText(text); }
void TreePane::SetFlagsText(const QString& text) { flags_->setEditText(text); }

QCheckBox* TreePane::Condition(const QString& caption) const {
    for (QCheckBox* b : checks_)
        if (b->text() == caption) return b;
    return nullptr;
}

void TreePane::RelabelRows() {
    const std::vector<int> levels = items_.LevelItems();
    levelCount_ = static_cast<int>(levels.size());
    for (int k = 0; k < 7; ++k) {
        const bool shown = k < levelCount_;
        rowLabels_[k]->setVisible(shown);
        rows_[k]->setVisible(shown);
        if (shown) rowLabels_[k]->setText(QString::fromUtf8(TreeItems()[static_cast<std::size_t>(levels[static_cast<std::size_t>(k)])].label));
    }
}

void TreePane::UpdateConditionRows() {
    const int dtd = CurrentStandard().dtdVer;
    flagsLabel_->setEnabled(loaded_ && dtd == 1);
    flags_->setEnabled(loaded_ && dtd == 1);
    checks_[kRepresentative]->setVisible(dtd > 2);
    checks_[kFrequency]->setVisible(dtd > 4);
    if (dtd <= 2) checks_[kRepresentative]->setChecked(false);
    if (dtd <= 4) checks_[kFrequency]->setChecked(false);
}

void TreePane::ApplyStandardType() { UpdateConditionRows(); }

bool TreePane::AnyCondition() const {
    const QString none = QString::fromUtf8(kNoCondition);
    const auto set = [&](const QString& t) { return !t.isEmpty() && t != none; };
    if (EasyMode()) {
        if (set(easy_->currentText())) return true;
    } else {
        for (int k = 0; k < levelCount_; ++k)
            if (set(rows_[k]->currentText())) return true;
    }
    if (clearFlagsToo_ && flags_->isEnabled() && set(flags_->currentText())) return true;
    for (const QCheckBox* b : checks_)
        if (b->isChecked() && !b->isHidden()) return true;
    return false;
}

void TreePane::RefreshClearState() {
    filterButton_->setEnabled(loaded_);
    clearButton_->setEnabled(loaded_ && (lastFiltered_ || AnyCondition()));
}

PhotoFilter TreePane::CurrentFilter() const {
    PhotoFilter f;
    const QString none = QString::fromUtf8(kNoCondition);
    const std::vector<int> levels = items_.LevelItems();
    for (int item : levels) f.levelFields.push_back(TreeItems()[static_cast<std::size_t>(item)].field);
    f.easyMode = EasyMode();
    if (f.easyMode) {
        // The easy box passes every photo while it shows the no-condition entry.
        if (easy_->currentText() != none) f.easyText = S(easy_->currentText());
    } else {
        for (std::size_t k = 0; k < levels.size(); ++k) {
            const QString t = rows_[k]->currentText();
            f.levelTexts.push_back(t == none ? std::string() : S(t));
        }
    }
    if (CurrentStandard().dtdVer == 1) {
        for (QChar c : flags_->currentText())
            if (c >= QChar('0') && c <= QChar('9')) f.sortFlags.push_back(c.unicode() - '0');
    }
    const auto on = [&](int i) { return checks_[static_cast<std::size_t>(i)]->isChecked() && !checks_[static_cast<std::size_t>(i)]->isHidden(); };
    f.infoError = on(kInfoError);
    f.representative = on(kRepresentative);
    f.frequency = on(kFrequency);
    f.inspected = on(kInspected);
    f.findings = on(kFindings);
    f.unchecked = on(kUnchecked);
    f.noExifDate = on(kNoExif);
    f.tampered = on(kTampered);
    f.duplicate = on(kDuplicate);
    return f;
}

void TreePane::ComputeDuplicates(TDBExpInp& f) {
    bool multipleMedia = false;
    comparison_ = std::make_unique<TComparisonFileList>();
    ComputeDuplicateGroups(f, *comparison_, multipleMedia);
    duplicatesComputed_ = true;
}

void TreePane::ResetFilterState() {
    if (TDBExpInp* f = control_.Format())
        for (int i = 0; i < f->Photos.Count(); ++i) f->Photos.Items(i).duplicateGroup = 0;
    duplicatesComputed_ = false;
    comparison_.reset();
}

void TreePane::LoadFolder(const std::string& folder) {
    const bool changed = folder != folder_;
    loading_ = true;
    folder_ = folder;
    if (changed) duplicatesComputed_ = false;
    const double date = FileDate(DataFileOf(folder));
    if (date <= 0) loaded_ = false;
    bool reloaded = changed || date != dataFileDate_;
    if (date > 0 && reloaded) {
        control_.Examine(folder);
        loaded_ = control_.Kind() != DataKind::None && control_.Load(folder, control_.MediumNumber()) == 0;
        fileInfos_.clear();
        comparison_.reset();
        duplicatesComputed_ = false;
        if (!loaded_) {
            std::string text = folder + "\r";
            if (const TDBExpInp* f = control_.Format()) {
                int shown = 0;
                for (const auto& problem : f->Problems)
                    if (shown++ < 10) text += "\r" + problem;
            }
            Warning(this, text + "\r\rデータを読み込めませんでした。");
        }
    }
    dataFileDate_ = date;
    if (loaded_ && control_.Kind() == DataKind::PhotoXml) {
        if (auto* xml = dynamic_cast<TDBExpInpXML*>(control_.Format())) {
            if (auto message = MatchStandardToDelivery({xml->DtdVersion, xml->DtdVariant, xml->HasPhoto04Dtd}, standards_(), true)) {
                Information(this, *message);
                reloaded = true;
            }
        }
    }
    if (loaded_) {
        struct stat st {};
        const fs::path file = DataFileOf(folder);
        dataFileSize_ = ::stat(file.c_str(), &st) == 0 ? st.st_size : 0;
        if (reloaded) {
            suppress_ = true;
            for (ConditionCombo* c : rows_) {
                c->clear();
                c->addItem(QString::fromUtf8(kNoCondition));
                c->setEnabled(true);
            }
            easy_->setCurrentIndex(0);
            easy_->setEditText(QString::fromUtf8(kNoCondition));
            flags_->setEditText(QString::fromUtf8(kNoCondition));
            checks_[kInfoError]->setEnabled(true);
            suppress_ = false;
        }
        UpdateConditionRows();
        BuildTree(reloaded);
        if (const TDBExpInp* f = control_.Format()) {
            hasSvg_ = hasSvg_ || FolderHoldsExtension(f->PhotoFolder, ".svg") || FolderHoldsExtension(f->DrawingFolder, ".svg");
            hasMp4_ = hasMp4_ || FolderHoldsExtension(f->PhotoFolder, ".mp4") || FolderHoldsExtension(f->DrawingFolder, ".mp4");
        }
    } else {
        dataFileSize_ = 0;
        filtered_.clear();
        classTree_.Clear();
        model_.clear();
        for (ConditionCombo* c : rows_) {
            c->clear();
            c->setEnabled(false);
        }
        easy_->setEditText(QString());
        flags_->setEditText(QString());
        checks_[kInfoError]->setEnabled(false);
        lastFiltered_ = false;
        UpdateConditionRows();
    }
    RefreshClearState();
    loading_ = false;
    emit SelectionChanged();
}

void TreePane::BuildTree(bool reloaded) {
    loading_ = true;
    TDBExpInp& f = *control_.Format();
    const int n = f.Photos.Count();
    const PhotoFilter filter = CurrentFilter();
    std::vector<char> keep(static_cast<std::size_t>(n), 1);
    bool filtered = false;
    if (n > 0 && filter.Any()) {
        QProgressDialog meter(QStringLiteral("一覧を作成しています。"), QStringLiteral("ｷｬﾝｾﾙ"), 0, n, this);
        meter.setWindowModality(Qt::WindowModal);
        meter.setMinimumDuration(2000);
        if (filter.duplicate && !duplicatesComputed_) ComputeDuplicates(f);
        FilterInputs in;
        in.states = &TPctStateList::Instance();
        in.fileInfo = [&](int photo) -> const TPctFileInfo* {
            auto [it, fresh] = fileInfos_.try_emplace(photo);
            if (fresh) {
                const ResolvedFile file = f.PhotoFile(f.Photos.Items(photo));
                if (file.status == FileStatus::Ok) {
                    TPctFileInfo info = GatherFileInfo(file.path, true);
                    if (info.filled) it->second = std::move(info);
                }
            }
            return it->second ? &*it->second : nullptr;
        };
        std::set<int> listed;
        if (comparison_)
            for (const auto& e : comparison_->Entries()) listed.insert(e.photoIndex);
        in.comparable = [&](int photo) { return f.PhotoFile(f.Photos.Items(photo)).status == FileStatus::Ok; };
        in.inComparisonList = [&](int photo) { return listed.count(photo) > 0; };
        for (int i = n - 1; i >= 0; --i) {
            if (!PassesFilter(filter, *f.Photos.At(i), i, in)) {
                keep[static_cast<std::size_t>(i)] = 0;
                filtered = true;
            }
            meter.setValue(n - i);
            if (meter.wasCanceled()) {
                Information(this, "絞込みを中断しました。");
                break;
            }
        }
        if (!in.allFilesAvailable) allFilesAvailable_ = false;
    }
    filtered_.clear();
    for (int i = 0; i < n; ++i)
        if (keep[static_cast<std::size_t>(i)]) filtered_.push_back(i);
    ClassTreeBuild how;
    how.importOrder = importOrder_;
    how.ascending = ascending_;
    how.levelItems = items_.LevelItems();
    how.filtered = filtered;
    levelCount_ = static_cast<int>(how.levelItems.size());
    classTree_.Build(f.Photos, filtered_, how);
    groupByDuplicates_ = filtered && filter.duplicate;
    lastFiltered_ = filtered;
    if (reloaded) {
        valueTree_.Build(f.Photos, filtered_, how);
        RefillDropDowns();
    }
    FillModel();
    std::vector<std::string> conditions;
    if (EasyMode()) {
        if (easy_->currentText() != QString::fromUtf8(kNoCondition)) conditions.push_back(S(easy_->currentText()));
    } else {
        for (int k = 0; k < levelCount_; ++k) {
            const QString t = rows_[k]->currentText();
            conditions.push_back(t == QString::fromUtf8(kNoCondition) ? std::string() : S(t));
        }
    }
    SelectNode(classTree_.Select(conditions, EasyMode()));
    loading_ = false;
    if (!allFilesAvailable_) {
        Information(this, "サムネイルが表示されていない写真については、保存先のメディアを\r挿入してから再度「絞込」を行ってください。");
        allFilesAvailable_ = true;
    }
}

void TreePane::RefillDropDowns() {
    const auto values = valueTree_.LevelValues();
    suppress_ = true;
    for (int k = 0; k < 7; ++k) {
        const QString keep = rows_[k]->currentText();
        rows_[k]->clear();
        rows_[k]->addItem(QString::fromUtf8(kNoCondition));
        if (static_cast<std::size_t>(k) < values.size())
            for (const auto& v : values[static_cast<std::size_t>(k)]) rows_[k]->addItem(Q(v));
        rows_[k]->setEditText(keep.isEmpty() ? QString::fromUtf8(kNoCondition) : keep);
    }
    suppress_ = false;
}

void TreePane::RebuildLaterList(int level) {
    const QString none = QString::fromUtf8(kNoCondition);
    std::vector<std::string> earlier;
    bool any = false;
    for (int k = 0; k < level; ++k) {
        const QString t = rows_[k]->currentText();
        const bool set = !t.isEmpty() && t != none;
        any = any || set;
        earlier.push_back(set ? S(t) : std::string());
    }
    std::vector<std::string> values;
    if (any) {
        values = valueTree_.LevelValuesBelow(level, earlier);
    } else {
        const auto all = valueTree_.LevelValues();
        if (static_cast<std::size_t>(level) < all.size()) values = all[static_cast<std::size_t>(level)];
    }
    const QString keep = rows_[level]->currentText();
    rows_[level]->clear();
    rows_[level]->addItem(none);
    for (const auto& v : values) rows_[level]->addItem(Q(v));
    rows_[level]->setEditText(keep);
}

namespace {
void AddChildren(QStandardItem* parent, const ClassNode& node) {
    for (const auto& child : node.children) {
        auto* item = new QStandardItem(TreeNodeIcon(child->icon), Q(child->text));
        item->setData(QVariant::fromValue(reinterpret_cast<quintptr>(child.get())), kNodeRole);
        parent->appendRow(item);
        AddChildren(item, *child);
    }
}
}  // namespace

void TreePane::FillModel() {
    model_.clear();
    const ClassNode& root = classTree_.Root();
    auto* top = new QStandardItem(TreeNodeIcon(0), QString::fromUtf8(ClassTree::RootCaption(lastFiltered_)));
    top->setData(QVariant::fromValue(reinterpret_cast<quintptr>(&root)), kNodeRole);
    model_.appendRow(top);
    AddChildren(top, root);
    tree_->expand(top->index());
    if (!items_.Entries().empty() && items_.Entries()[0].checked)
        for (int r = 0; r < top->rowCount(); ++r) tree_->expand(top->child(r)->index());
}

void TreePane::SelectNode(const ClassNode& node) {
    std::vector<const ClassNode*> chain;
    for (const ClassNode* n = &node; n; n = n->parent) chain.push_back(n);
    std::reverse(chain.begin(), chain.end());
    QStandardItem* item = model_.item(0);
    for (std::size_t k = 1; item && k < chain.size(); ++k) {
        QStandardItem* next = nullptr;
        for (int r = 0; r < item->rowCount(); ++r)
            if (item->child(r)->data(kNodeRole).value<quintptr>() == reinterpret_cast<quintptr>(chain[k])) next = item->child(r);
        item = next;
    }
    if (!item) item = model_.item(0);
    if (item) {
        tree_->setCurrentIndex(item->index());
        tree_->scrollTo(item->index());
    }
}

const ClassNode* TreePane::SelectedNode() const {
    const QModelIndex at = tree_->currentIndex();
    if (!at.isValid()) return model_.rowCount() > 0 ? &classTree_.Root() : nullptr;
    return reinterpret_cast<const ClassNode*>(at.data(kNodeRole).value<quintptr>());
}

std::vector<std::pair<int, std::string>> TreePane::SelectedPath() const {
    std::vector<std::pair<int, std::string>> path;
    const QModelIndex at = tree_->currentIndex();
    for (QModelIndex i = at; i.isValid(); i = i.parent()) {
        const auto* node = reinterpret_cast<const ClassNode*>(i.data(kNodeRole).value<quintptr>());
        path.emplace_back(node ? node->icon : 0, S(i.data(Qt::DisplayRole).toString()));
    }
    std::reverse(path.begin(), path.end());
    return path;
}

std::vector<int> TreePane::SelectedPhotos() const {
    if (!loaded_) return {};
    if (classTree_.NodeCount() < 2) return filtered_;
    const ClassNode* node = SelectedNode();
    return node ? node->photos : std::vector<int>();
}

void TreePane::SetTreeOrder(bool importOrder, bool ascending) {
    importOrder_ = importOrder;
    ascending_ = ascending;
    if (!loaded_ || loading_) return;
    const std::vector<std::string> path = ClassTree::PathOf(*SelectedNode());
    loading_ = true;
    BuildTree(false);
    SelectNode(classTree_.Follow(path));
    loading_ = false;
    emit SelectionChanged();
}

void TreePane::RunFilter() {
    if (suppress_) return;
    emit BusyStarted();
    flags_->setEditText(NormaliseFlags(flags_->currentText()));
    for (int k = 0; k < 7; ++k)
        if (rows_[k]->currentText().isEmpty()) rows_[k]->setEditText(QString::fromUtf8(kNoCondition));
    if (!loading_) {
        // The same folder again: the tree is rebuilt with the new conditions, the data read
        // again only when the data file changed.
        const std::string folder = folder_;
        const double date = dataFileDate_;
        loading_ = true;
        if (FileDate(DataFileOf(folder)) != date) {
            loading_ = false;
            LoadFolder(folder);
        } else {
            BuildTree(false);
            loading_ = false;
            emit SelectionChanged();
        }
    }
    if (EasyMode()) {
        const QString t = easy_->currentText();
        if (!t.isEmpty() && t != QString::fromUtf8(kNoCondition) && easy_->findText(t) < 0) {
            easy_->insertItem(1, t);
            while (easy_->count() > kHistoryMax + 1) easy_->removeItem(easy_->count() - 1);
        }
        const int at = easy_->findText(t);
        if (at >= 0) easy_->setCurrentIndex(at);
    }
    RefreshClearState();
    emit BusyEnded();
}

void TreePane::ClearConditions() {
    const QString none = QString::fromUtf8(kNoCondition);
    suppress_ = true;
    easy_->setCurrentIndex(0);
    easy_->setEditText(none);
    for (ConditionCombo* c : rows_) c->setEditText(none);
    if (clearFlagsToo_) flags_->setEditText(none);
    for (QCheckBox* b : checks_) b->setChecked(false);
    suppress_ = false;
    clearButton_->setEnabled(false);
}

void TreePane::RunClear() {
    const bool wasFiltered = lastFiltered_;
    std::vector<std::string> path;
    if (wasFiltered && SelectedNode()) path = ClassTree::PathOf(*SelectedNode());
    ClearConditions();
    if (!wasFiltered) return;
    RunFilter();
    loading_ = true;
    SelectNode(classTree_.Follow(path));
    loading_ = false;
    emit SelectionChanged();
}

void TreePane::ApplyItemSettings() {
    ClearConditions();
    checks_[kInfoError]->setChecked(false);
    RelabelRows();
    // A full load: the data file date is forgotten.
    dataFileDate_ = -1;
    if (!folder_.empty()) LoadFolder(folder_);
}

}  // namespace velview::viewer
