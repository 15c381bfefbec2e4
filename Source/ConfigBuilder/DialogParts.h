#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

#include <string>

// What the options and about dialogs share: a fixed dialog of 391 x 257 with a command panel
// along its bottom that holds buttons of 75 x 25 anchored to the right.
inline constexpr int DialogClientWidth = 391;
inline constexpr int DialogClientHeight = 257;

void SetUpDialog(TForm& dialog, const std::string& caption);
TPanel* AddCommandPanel(TForm& dialog);
TButton* AddCommandButton(TPanel* panel, const char* name, int left, const std::string& caption,
                          TModalResult result);
