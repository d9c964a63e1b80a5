// The format objects of the three delivery formats: the photo list, the basic and
// construction information and the folders a reader fills.
#pragma once

#include <string>
#include <vector>

#include "data/delivery_files.h"
#include "data/pct_info.h"

namespace velview {

class TEIControl;

class TDBExpInp {
public:
    explicit TDBExpInp(const TEIControl& control) : control_(control) {}
    virtual ~TDBExpInp() = default;
    TDBExpInp(const TDBExpInp&) = delete;
    TDBExpInp& operator=(const TDBExpInp&) = delete;

    // 0 when read (also partly), 2 when reading failed.
    virtual int Read() = 0;
    // BaseFolder := the examined folder; photos in its PIC, drawings in its DRA sub-folder
    // (found whatever their case).
    virtual void SetupPaths();
    // Points the photo and drawing folders at `folder` (another medium of the delivery)
    // without reading anything again.
    virtual void SetBaseFolder(const std::string& folder);

    std::string BaseFolder, PhotoFolder, DrawingFolder;  // each ending in "/"
    TPctInfoList Photos;
    TBaseInformation BaseInfo;
    TKojiInformation KojiInfo;
    // What went wrong while reading, each naming the file and, where known, the line.
    std::vector<std::string> Problems;

    // The photo file of a record (field 10), resolved inside the photo folder.
    ResolvedFile PhotoFile(const TCustomPctInfo& record) const;
    // A drawing file (a full path of field 40 or 11-13), resolved inside the drawing folder.
    ResolvedFile DrawingFile(std::string_view fieldValue) const;

protected:
    const TEIControl& control_;

private:
    std::string readPhotoFolder_, readDrawingFolder_;  // set when another medium is first set
};

}  // namespace velview
