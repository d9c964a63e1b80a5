// The data control: examines a delivery folder, decides its format, lets the matching format
// object read it and keeps everything read until the next load.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/tree_ini.h"
#include "data/db_exp_inp.h"

namespace velview {

enum class DataKind : int { None = 0, ProductCsv = 1, PhotoXml = 2, PhotoInfoCsv = 3 };

// The questions loading may ask; the GUI shows dialogs, the command line answers itself.
struct DataControlCallbacks {
    // Asked to insert medium `number` (or choose its folder, changing `path`); false gives up.
    std::function<bool(std::string& path, int number, const std::string& fileName)> requestMedium;
    // An information question with OK / Cancel; false is Cancel.
    std::function<bool(const std::string& text)> confirm;
    // The folder command for the next medium of a takeover; true when a folder was chosen.
    std::function<bool()> requestFolder;
    // Progress text while digests are computed (empty text: done).
    std::function<void(const std::string& text)> progress;
};

class TEIControl : public TTreeIni {
public:
    TEIControl();
    ~TEIControl() override;

    DataKind Kind() const { return kind_; }
    int MediumNumber() const { return medium_; }
    int BackupVersion() const { return backupVersion_; }
    const std::string& Folder() const { return folder_; }
    TDBExpInp* Format() { return format_.get(); }
    const TDBExpInp* Format() const { return format_.get(); }
    bool TakeoverRunning() const { return takeoverRunning_; }

    // Stores the folder, with a trailing "/".
    void SetFolder(const std::string& folder);
    // Reads the backup information of the folder and decides the data kind.
    void Examine(const std::string& folder);
    // Examines, makes sure the expected medium is present, replaces the format object and lets
    // it read. 0 loaded; 2 not loaded (read failure, no data, medium request given up).
    int Load(const std::string& folder, int expectedMedium);

    // The MD5 digest of each photo file, one entry per photo of the loaded list (or only those
    // with inspection data), asking for further media as needed. Files that cannot be read
    // keep an empty entry and are named in `unreadable`. False when the user gave up.
    bool TakeoverDigests(std::vector<std::string>& list, bool withStateOnly, std::vector<std::string>* unreadable = nullptr);

    DataControlCallbacks callbacks;

private:
    DataKind kind_ = DataKind::None;
    int medium_ = 0;
    int backupVersion_ = 0;
    std::string folder_;
    std::unique_ptr<TDBExpInp> format_;
    bool takeoverRunning_ = false;
};

// The single data control of the program.
TEIControl& DataControl();

}  // namespace velview
