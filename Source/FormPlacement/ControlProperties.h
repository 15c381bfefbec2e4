#pragma once

#include "Controls.h"
#include "PropertyInfo.h"

// The published properties of the layer's controls: Left, Top, Width, Height, Align,
// Visible, Enabled, Hint and Tag.
void DescribeControl(TWinControl* control, TPropList& list);
