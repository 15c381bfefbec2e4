#include "CheckBox.h"

void TKLVCheckBox::SetChecked(bool checked) {
    Silently([&] { TCheckBox::SetChecked(checked); });
}
