#pragma once

#include "BOMInterfaces.h"
#include "Controls.h"

#include <optional>
#include <string>

// The parameter at path from an object ("params/enabled", "../../actions/StayOnTop/params/enabled").
ComPtr<IBOMParam> FindParam(IBOMObject* from, const std::string& path);
// Its value as text; none when there is no such parameter.
std::optional<std::string> ParamText(IBOMObject* from, const std::string& path);
// True when the parameter exists and is exactly "yes".
bool ParamIsYes(IBOMObject* from, const std::string& path);
// Sets the parameter to "yes" or "no", with change notification; nothing when it is missing.
void SetParamFlag(IBOMObject* from, const std::string& path, bool on);

std::string Trim(const std::string& text);
// Captions of group boxes and check boxes keep one blank on either side of their text.
std::string Padded(const std::string& text);

class TGroupBox;

// A group box that fills panel, with its designed caption.
TGroupBox* CreateClientGroupBox(TWinControl* panel, const std::string& caption);
// The caption of a group box or check box translated, blanks kept around it.
std::string TranslatePadded(const std::string& key, const std::string& caption);

// Shows child, made in its parent, as a row aligned to the top: below the rows made before it.
void ShowAsTopRow(TWinControl* child);

// Back to its designed place on its panel.
inline void PlaceAsDesigned(TWinControl* control, const TDesignBounds& bounds) {
    control->SetBounds(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
}
