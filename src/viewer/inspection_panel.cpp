#include "viewer/inspection_panel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>
#include <vector>

#include "data/pct_info.h"
#include "viewer/icons.h"
#include "viewer/qt_text.h"

namespace velview::viewer {
namespace {
// Every panel of the program, so that a change reaches the others showing the same photo.
std::vector<InspectionPanel*>& Panels() {
    static std::vector<InspectionPanel*> p;
    return p;
}
}  // namespace

InspectionPanel::InspectionPanel(QWidget* parent) : QWidget(parent) {
    Panels().push_back(this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("検査状態："), this));
    states_ = new QButtonGroup(this);
    const struct {
        const char* caption;
        int state;
    } buttons[] = {{"検査済", 1}, {"指摘あり", 2}, {"－", 0}};
    for (const auto& b : buttons) {
        auto* r = new QRadioButton(QString::fromUtf8(b.caption), this);
        states_->addButton(r, b.state);
        layout->addWidget(r);
    }
    icon_ = new QLabel(this);
    layout->addWidget(icon_);
    layout->addSpacing(12);
    layout->addWidget(new QLabel(QStringLiteral("検査コメント："), this));
    comment_ = new QComboBox(this);
    comment_->setEditable(true);
    comment_->setInsertPolicy(QComboBox::NoInsert);
    comment_->setMaxVisibleItems(10);
    comment_->lineEdit()->setMaxLength(255);
    comment_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    comment_->setAttribute(Qt::WA_InputMethodEnabled);
    comment_->lineEdit()->installEventFilter(this);
    // Tinted while it has the focus, so the inspector sees where the typing goes.
    comment_->setStyleSheet(QStringLiteral("QComboBox QLineEdit:focus { background: #fff4c8; }"));
    layout->addWidget(comment_, 1);
    connect(states_, &QButtonGroup::idClicked, this, &InspectionPanel::StateClicked);
    connect(comment_->lineEdit(), &QLineEdit::textEdited, this, &InspectionPanel::CommentEdited);
    // A comment picked from the history is typed, as far as the record goes.
    connect(comment_, &QComboBox::textActivated, this, &InspectionPanel::CommentEdited);
    ShowPhoto(-1);
}

InspectionPanel::~InspectionPanel() { Panels().erase(std::remove(Panels().begin(), Panels().end(), this), Panels().end()); }

QRadioButton* InspectionPanel::StateButton(int state) const { return qobject_cast<QRadioButton*>(states_->button(state)); }

void InspectionPanel::ShowPhoto(int photo) {
    photo_ = photo;
    Refresh();
}

void InspectionPanel::Refresh() {
    setting_ = true;
    const TPctSateItem* item = photo_ >= 0 ? TPctStateList::Instance().Find(photo_) : nullptr;
    StateButton(item ? item->InspectionState() : 0)->setChecked(true);
    icon_->setPixmap(StateIcon(item ? item->InspectionState() : 0, 18));
    const QString text = item ? Q(item->comment) : QString();
    if (comment_->currentText() != text) comment_->setEditText(text);
    for (auto* b : states_->buttons()) b->setEnabled(photo_ >= 0);
    comment_->setEnabled(photo_ >= 0);
    setting_ = false;
}

void InspectionPanel::ClearComment() { comment_->setEditText(QString()); }

void InspectionPanel::StateClicked(int state) {
    // Nothing is stored for "no photo", nor while the panel sets its own buttons.
    if (setting_ || photo_ < 0) return;
    SetInspectionState(TPctStateList::Instance(), photo_, state);
    ShowState();
    Propagate();
    emit InspectionChanged(photo_);
}

void InspectionPanel::CommentEdited(const QString& text) {
    if (setting_ || photo_ < 0) return;
    SetInspectionComment(TPctStateList::Instance(), photo_, S(text), commentState_);
    ShowState();
    Propagate();
    emit InspectionChanged(photo_);
}

void InspectionPanel::ShowState() {
    const TPctSateItem* item = TPctStateList::Instance().Find(photo_);
    setting_ = true;
    StateButton(item ? item->InspectionState() : 0)->setChecked(true);
    icon_->setPixmap(StateIcon(item ? item->InspectionState() : 0, 18));
    setting_ = false;
}

void InspectionPanel::Propagate() {
    for (InspectionPanel* p : Panels())
        if (p != this && p->photo_ == photo_) p->Refresh();
}

bool InspectionPanel::eventFilter(QObject* watched, QEvent* e) {
    if (watched == comment_->lineEdit() && e->type() == QEvent::FocusOut) {
        // The comment left behind goes to the top of the history.
        const QString text = comment_->currentText().trimmed();
        if (!text.isEmpty()) {
            history_.Add(S(text));
            setting_ = true;
            const QString keep = comment_->currentText();
            comment_->clear();
            for (const auto& h : history_.Items()) comment_->addItem(Q(h));
            comment_->setEditText(keep);
            setting_ = false;
        }
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace velview::viewer
