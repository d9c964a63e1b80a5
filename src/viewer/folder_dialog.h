// The folder selection dialog: a folder tree whose OK is offered only where a delivery's data
// file lies (or below it, in its Photo folder).
#pragma once

#include <QDialog>
#include <string>

class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

namespace velview::viewer {

// What a folder holds for the dialog: a data file of its own, or one in "Photo/".
struct FolderOffer {
    bool usable = false;
    bool parentOfPhoto = false;
};
FolderOffer ExamineFolderForDialog(const std::string& folder);

class FolderDialog : public QDialog {
    Q_OBJECT
public:
    // `current`: the data folder now open (with "Photo/" taken off when the last choice was
    // its parent).
    FolderDialog(const std::string& current, QWidget* parent = nullptr);
    // The chosen folder, with "Photo/" appended when the parent of the photo folder was chosen.
    std::string Result() const { return result_; }
    void SelectFolder(const QString& folder);
    QPushButton* OkButton() const { return ok_; }
    QString StatusText() const;

protected:
    void accept() override;
    void done(int r) override;

private:
    void Examine();
    QFileSystemModel* model_;
    QTreeView* tree_;
    QLabel* status_;
    QPushButton* ok_;
    FolderOffer offer_;
    std::string result_;
};

}  // namespace velview::viewer
