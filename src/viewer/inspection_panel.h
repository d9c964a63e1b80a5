// The inspection panel: the state of the photo shown ("検査済", "指摘あり", "－") and its
// inspection comment with a history of recent comments. Every panel showing the same photo
// follows a change made in any of them.
#pragma once

#include <QWidget>

#include "data/inspection_rules.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QRadioButton;

namespace velview::viewer {

class InspectionPanel : public QWidget {
    Q_OBJECT
public:
    explicit InspectionPanel(QWidget* parent = nullptr);
    ~InspectionPanel() override;

    // Shows a photo's state and comment (-1: none).
    void ShowPhoto(int photo);
    int Photo() const { return photo_; }
    // Re-reads the state and comment (changed elsewhere).
    void Refresh();
    // The state a comment gives a "－" photo: 2 "指摘あり", 1 "検査済".
    void SetCommentState(int setting) { commentState_ = setting; }
    // Clears the comment box (a new delivery).
    void ClearComment();

    // The controls, also for tests.
    QRadioButton* StateButton(int state) const;
    QComboBox* CommentBox() const { return comment_; }
    const CommentHistory& History() const { return history_; }

signals:
    // A state or comment was changed in this panel.
    void InspectionChanged(int photo);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void StateClicked(int state);
    void CommentEdited(const QString& text);
    void ShowState();
    // The other panels showing the same photo follow this one.
    void Propagate();

    int photo_ = -1;
    int commentState_ = 2;
    bool setting_ = false;
    QButtonGroup* states_ = nullptr;
    QLabel* icon_ = nullptr;
    QComboBox* comment_ = nullptr;
    CommentHistory history_;
};

}  // namespace velview::viewer
