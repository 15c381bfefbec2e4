#pragma once

#include "AbstractDetailPanel.h"

class TMemo;

// The configuration's own page: a text that explains what the tree holds.
class TQuendaWindowsDetailPanel : public TAbstractDetailPanel {
public:
    explicit TQuendaWindowsDetailPanel(TParent parent);

    void Localize() override;

    TMemo* Memo = nullptr;
};
