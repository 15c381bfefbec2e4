#include "Frame.h"

TFrame::TFrame(TComponent* owner) : TWinControl(owner) {
    SetClassName("TFrame");
    CreateLayerWindow({"GLZ_Frame"}, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                      WS_EX_CONTROLPARENT, 100, MinHeight);
    SetConstraints(0, MinHeight);
    SetAlign(TAlign::alClient);
}

TFrame::~TFrame() {
    MarkDestroying();
}
