#pragma once

#include "BOM_UI.h"
#include "ModelInterfaces.h"
#include "WindowMatching.h"

#include <memory>
#include <mutex>

#include <string>
#include <vector>

class TQuendaWindows;

// The configuration program's side of the root: its plug "CongifBuilder", its command
// collections and the commands that belong to the whole configuration. The resident program
// registers none; as the tree binding reaches the tree view and the panels through interfaces
// only, it links no forms.
struct IRootUIController : IConfigBuilder {
    // Both answer true when the command is not the controller's.
    virtual bool UpdateCommand(TUICommand& action) = 0;
    virtual bool ExecuteCommand(TUICommand& action) = 0;
    // The configuration file was written: tell the resident program.
    virtual void ConfigurationSaved() = 0;
};
__CRT_UUID_DECL(IRootUIController, 0x5B0E3C41, 0x7D2A, 0x4F61, 0x9C, 0x3E, 0x21, 0x8A, 0x6F, 0x04, 0xD7, 0x93)

// Made for every new root, in its Init; null: none.
using TRootUIControllerFactory = ComPtr<IRootUIController> (*)(TQuendaWindows& root);
void RegisterRootUIController(TRootUIControllerFactory factory);

// The root of a loaded configuration: the window rules, the modified flag and the plugs.
class TQuendaWindows : public TBOM_UI_Object, public IControlCenter, public IUI {
    GLZ_INTERFACES(TBOM_UI_Object, IControlCenter, IUI)

public:
    std::string GetCaption() override;
    // The root node's children are the rules themselves.
    ComPtr<IUIList> GetUIList() override;
    std::unique_ptr<IDetailPanel> CreateDetailPanel(const std::string& name, HWND parent) override;
    void FindRuleDescriptor(HWND window, std::string& text) override;
    void ClearOwner() override;

    bool Modified = false;

    // Writes the configuration file when modified and tells the resident program to reload.
    // Raises when nothing could be written; the flag then stays set.
    void SaveConfiguration();

protected:
    void Init() override;
    bool IsRoot() override { return true; }
    ComPtr<IUnknown> QueryKind(const std::string& kind) override;
    bool IsKindOf(const std::string& kind) override;
    void Changed(const std::string& path, IBOMObject* source, const std::string& from,
                 IBOMObject* sender) override;
    void NameChanged(const std::string& path, IBOMObject* source, const std::string& from, IBOMObject* sender,
                     const std::string& oldNamePath) override;
    void Notify(int code, int param1, int param2) override;
    bool ShouldSave(IBOMObject* child) override;
    bool UpdateCommand(TUICommand& action) override;
    bool ExecuteCommand(TUICommand& action) override;

private:
    ComPtr<IRootUIController> controller_;
    // Held while it is used: a rebuild by another thread leaves a query running on the old one.
    std::shared_ptr<TRuleMatcher> matcher_;
    unsigned long long matcherEdits_ = 0;
    std::mutex matcherLock_;
};

// ApplicationFolder followed by ConfigFileName.
std::string ConfigurationFilePath();
// Far beyond any hand-written or generated configuration: the resident program takes a larger
// file for a mistake and does not read it, so the configuration program never writes one.
inline constexpr unsigned long long MaxConfigurationFileSize = 64ull << 20;

// A new root from the file, owners wired; null when the file is missing or not XML. Rules of the
// file that the model cannot hold (of an unknown or another kind of "type", or in a "content"
// after the first) are left out; their names go to notKept, so that the user hears of them
// before a save writes the file without them.
ComPtr<IBOMObjectSlave> LoadConfiguration(const std::string& fileName,
                                          std::vector<std::string>* notKept = nullptr);
ComPtr<IBOMObjectSlave> LoadConfiguration(std::vector<std::string>* notKept = nullptr);

// Selects the user's language; a setting of the wrong type means the built-in one.
void InitLanguageFromRegistry();
