// The two photo-information CSV formats: "撮記堂.csv" (kind 1) and "写真情報.csv" (kind 3).
#pragma once

#include "data/db_exp_inp.h"

namespace velview {

class TDBExpInpVel : public TDBExpInp {
public:
    using TDBExpInp::TDBExpInp;
    // 0 when read (a missing file gives an empty delivery); 2 when the file cannot be read.
    int Read() override;
};

class TDBExpInpCSV : public TDBExpInp {
public:
    using TDBExpInp::TDBExpInp;
    // 0 when read; 2 when the file is missing or cannot be read.
    int Read() override;
};

}  // namespace velview
