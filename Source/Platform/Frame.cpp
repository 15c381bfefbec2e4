#include "Frame.h"

TFrame::TFrame(TComponent* owner, TParent parent) : TWinControl(owner) {
    SetClassName("TFrame");
    CreateLayerWindow(parent, {"GLZ_Frame"}, WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                      WS_EX_CONTROLPARENT, 100, MinHeight);
    SetConstraints(0, MinHeight);
    SetAlign(TAlign::alClient);
}

TFrame::~TFrame() {
    MarkDestroying();
}
