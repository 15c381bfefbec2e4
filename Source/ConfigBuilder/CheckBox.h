#pragma once

#include "StdCtrls.h"

// A check box that panels set from code to show a model value: that never runs its click
// handler, so the value is not written back. A click by the user does.
class TKLVCheckBox : public TCheckBox {
public:
    using TCheckBox::TCheckBox;
    void SetChecked(bool checked) override;
};
