#pragma once

// Registers the panels of the rule page and of the configuration under their names.
void RegisterRulePagePanels();
