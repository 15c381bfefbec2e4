#pragma once

#include "BOM_UI.h"
#include "CommandAction.h"
#include "Menus.h"
#include "ToolBars.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

// The built-in descriptions of the main window's menu bar and tool bar.
extern const std::string_view MenuCommandsXML;
extern const std::string_view ToolBarCommandsXML;

enum class TCommandKind { Item, Separator, Group };

// A command of the menu or tool bar; it makes its own menu items and tool buttons.
struct IBOMUICommand : IUnknown {
    virtual TCommandAction& GetAction() = 0;
    // Owned by owner; bound to the command's action. A group's button drops its sub-menu down.
    virtual TToolButton* CreateToolButton(TComponent* owner) = 0;
    virtual TMenuItem* CreateMenuItem(TComponent* owner) = 0;
    // True when the short-cut was the command's own or one of its sub-commands'.
    virtual bool HandleShortCut(TShortCut shortCut) = 0;
};
__CRT_UUID_DECL(IBOMUICommand, 0x12AD281D, 0xDB46, 0x4008, 0xA5, 0xE0, 0xC3, 0x3C, 0xA2, 0xD1, 0xFE, 0x76)

class TBOMUICommand : public TBOM_UI_Object, public IBOMUICommand {
    GLZ_INTERFACES(TBOM_UI_Object, IBOMUICommand)

public:
    TCommandAction& GetAction() override { return *action_; }
    TToolButton* CreateToolButton(TComponent* owner) override;
    TMenuItem* CreateMenuItem(TComponent* owner) override;
    // One menu item per sub-command, to any depth.
    void AddSubItems(TMenuItem* item);
    bool HandleShortCut(TShortCut shortCut) override;

    TCommandKind CommandKind();
    void Localize() override;
    void Refresh() override;
    void Load(IHierStorage* storage) override;

protected:
    void Init() override;

private:
    std::unique_ptr<TCommandAction> action_;
};

class TBOMUICommands : public TBOM_UI_Collection {
protected:
    void Init() override;
};

// "BOMUICOMMAND" and "BOMUICOMMANDS"; the class registry must be initialised.
void RegisterBOMUICommandClasses();

// Fills commands from a description; false when the text does not load.
bool LoadCommands(IBOMObject* commands, std::string_view xml);
// Offers the short-cut to the commands of a collection from the last to the first.
bool HandleShortCutIn(IBOMObject* commands, TShortCut shortCut);
