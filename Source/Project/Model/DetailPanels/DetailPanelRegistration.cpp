#include "DetailPanelRegistration.h"

#include "DetailPanels.h"
#include "uConditionDetailPanel.h"
#include "uCriterionDetailPanels.h"
#include "uQuendaWindowsDetailPanel.h"
#include "uTransparentWindowActionDetailPanel.h"
#include "uWindowRuleDetailPanel.h"

void RegisterRulePagePanels() {
    RegisterDetailPanelClass(DetailPanelClassOf<TWindowCaptionCriterionDetailPanel>(),
                             "WindowCaptionCriterionDetailPanel");
    RegisterDetailPanelClass(DetailPanelClassOf<TWindowClassCriterionDetailPanel>(),
                             "WindowClassCriterionDetailPanel");
    RegisterDetailPanelClass(DetailPanelClassOf<TConditionDetailPanel>(), "ConditionDetailPanel");
    RegisterDetailPanelClass(DetailPanelClassOf<TQuendaWindowsDetailPanel>(), "QuendaWindowsDetailPanel");
    RegisterDetailPanelClass(DetailPanelClassOf<TTransparentWindowActionDetailPanel_ZEP>(),
                             "TransparentWindowActionDetailPanel_ZEP");
    RegisterDetailPanelClass(DetailPanelClassOf<TTransparentWindowActionDetailPanel_GLZ>(),
                             "TransparentWindowActionDetailPanel_GLZ");
    RegisterDetailPanelClass(DetailPanelClassOf<TSinglePurposeWindowRuleDetailPanel>(),
                             "WindowRuleDetailPanel");
}
