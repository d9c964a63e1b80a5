// Typed views of the standard-dependent information of the current standard: the basic
// information defaults (with values stored per delivery), JPEG and TIFF limits.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/tree_ini.h"

namespace velview {

// The settings tree that holds the stored values ("\EntDependentInfo\<name>"); supplied by
// the data control of the loaded delivery. Without one, stored values read as empty.
void SetDependentInfoStore(TTreeIni* store);

class TCustomEntDependentInfo {
public:
    virtual ~TCustomEntDependentInfo() = default;
    const std::vector<std::string>& Keys() const { return keys_; }
    // The value stored for key i (after a reset when the standard changed since).
    std::string StoredValue(int i);
    void SetStoredValue(int i, std::string_view text);

protected:
    TCustomEntDependentInfo(std::string name, std::vector<std::string> keys)
        : name_(std::move(name)), keys_(std::move(keys)) {}
    // Records the current code in "LastEntCode"; descendants copy their defaults.
    virtual void Reset(TExtStringList& values, const std::string& code);
    TExtStringList* StoreSection();
    std::string name_;
    std::vector<std::string> keys_;
};

class TBaseInfo : public TCustomEntDependentInfo {
public:
    static TBaseInfo& Instance();
    // The value of key i in C\BaseInfo of the current standard.
    std::string DefaultValue(int i) const;
    // "KojKnrAplStd" of C\BaseInfo, or the stored "AplStd" when that is empty.
    std::string AppliedStandardText();

protected:
    void Reset(TExtStringList& values, const std::string& code) override;

private:
    TBaseInfo();
};

class TStdJpgProp : public TCustomEntDependentInfo {
public:
    static TStdJpgProp& Instance();
    // Keys 0-2 from C\StdJpgProp, 3-7 from C\StdJpgProp\PixelRange; 0 when missing.
    int Limit(int i) const;
    bool HasPixelRange() const;

private:
    TStdJpgProp();
};

class TStdTiffProp : public TCustomEntDependentInfo {
public:
    static TStdTiffProp& Instance();
    int Limit(int i) const;
    bool HasResolutionLimit() const;

private:
    TStdTiffProp();
};

}  // namespace velview
