#include "QuendaWindows.h"

#include "AppSpecificConsts.h"
#include "Declarations.h"
#include "LanguageSetting.h"
#include "BOMRoutines.h"
#include "CenterCommands.h"
#include "DetailPanels.h"
#include "FileReplacement.h"
#include "Handles.h"
#include "ModelKeys.h"
#include "MultiLanguages.h"
#include "Pex.h"
#include "ProcessesCommunication.h"
#include "XMLStorage.h"

#include <vector>

namespace {
constexpr const char* RootElement = "quenda_windows";
constexpr const char* PlugControlCenter = "ControlCenter";
constexpr const char* PlugConfigBuilder = "CongifBuilder"; // spelled so
TRootUIControllerFactory RootUIControllerFactory = nullptr;
// Only the configuration program uses these; they are never saved.
bool IsCommandChild(const std::string& name) {
    return name == "menu" || name == "toolbar";
}

// Why a file could not be written, as the user knows the causes.
std::string SaveFailureReason(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_PRIVILEGE_NOT_HELD:
        return Translate("AW_SaveAccessDenied",
                         "Access is denied: the file is read-only, or you may not change it or its folder.");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return Translate("AW_SaveInUse", "Another program is using the file.");
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return Translate("AW_SaveDiskFull", "The disk is full.");
    case ERROR_FILE_TOO_LARGE:
        return Translate("AW_SaveTooLarge",
                         "The configuration would be larger than the 64 MiB that %appname% reads.");
    default:
        break;
    }
    char* text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    const UniqueLocalMemory owned(text);
    std::string system = length > 0 && text != nullptr ? std::string(text, length) : std::string();
    while (!system.empty() && (system.back() == '\n' || system.back() == '\r' || system.back() == ' '))
        system.pop_back();
    if (system.empty())
        system = "error " + std::to_string(error);
    return Translate("AW_SaveSystemError", "The system reports:") + " " + system;
}

std::string SaveFailureText(DWORD error, const std::string& path) {
    return Translate("AW_SaveFailed", "The changes could not be saved to") + " \"" + path + "\".\n\n" +
           SaveFailureReason(error) + "\n\n" +
           Translate("AW_SaveKept", "Your changes are kept: save them again once this is put right.");
}

bool IsRuleType(const std::string& type) {
    return TextEqualsIgnoreCase(type, KeyWindowRule);
}

// An item of another kind in the rule list is no rule: nothing matches it, and it could not be
// deleted in the tree.
void DropItemsThatAreNoRules(IBOMObject* root) {
    ComPtr<IBOMCollection> rules = Supports<IBOMCollection>(root->ResolvePath("window_rules").Get());
    for (int i = rules ? rules->Count() - 1 : -1; i >= 0; --i)
        if (ComPtr<IBOMObjectSlave> item = Supports<IBOMObjectSlave>(rules->Item(Variant(i)).Get());
            !item || !IsRuleType(item->GetClassKey()))
            rules->Delete(Variant(i));
}

// The names of the file's rules that a load leaves out.
std::vector<std::string> RulesNotKept(IHierStorage* document) {
    std::vector<std::string> names;
    ComPtr<IHierStorage> rules = document->Child("window_rules", 0);
    const int contents = rules ? rules->ChildCount("content") : 0;
    for (int c = 0; c < contents; ++c) {
        ComPtr<IHierStorage> content = rules->Child("content", c);
        const int count = content->ChildCount("window_rule");
        for (int i = 0; i < count; ++i) {
            ComPtr<IHierStorage> rule = content->Child("window_rule", i);
            if (c > 0 || !IsRuleType(rule->ReadAttr("type", KeyWindowRule)))
                names.push_back(rule->ReadAttr("name", ""));
        }
    }
    return names;
}

} // namespace

void TQuendaWindows::Init() {
    TBOM_UI_Object::Init();
    classKey_ = KeyQuendaWindows;
    elementName_ = RootElement;
    AddChild(KeyWindowRules, "window_rules");
    // The command collections come with the configuration program; an unknown key adds nothing.
    AddChild("BOMUICOMMANDS", "menu");
    AddChild("BOMUICOMMANDS", "toolbar");
    ImageIndex = 0;
    HasChildren = true;
    if (RootUIControllerFactory != nullptr)
        controller_ = RootUIControllerFactory(*this);
}

void RegisterRootUIController(TRootUIControllerFactory factory) {
    RootUIControllerFactory = factory;
}

void TQuendaWindows::FindRuleDescriptor(HWND window, std::string& text) {
    // The rules are worked out again only after an edit anywhere; the window is read afresh,
    // outside the lock, as the resident program asks from more than one thread.
    std::shared_ptr<TRuleMatcher> matcher;
    {
        const std::lock_guard<std::mutex> guard(matcherLock_);
        const unsigned long long edits = BOMEditCount();
        if (!matcher_ || matcherEdits_ != edits) {
            matcher_ = std::make_shared<TRuleMatcher>(
                Supports<IBOMCollection>(ResolvePath("window_rules").Get()).Get());
            matcherEdits_ = edits;
        }
        matcher = matcher_;
    }
    matcher->Find(window, text);
}

void TQuendaWindows::ClearOwner() {
    {
        const std::lock_guard<std::mutex> guard(matcherLock_);
        matcher_.reset();
    }
    TBOM_UI_Object::ClearOwner();
}

std::string TQuendaWindows::GetCaption() {
    return Translate("AppRootNodeCaption", "Window Rules");
}

ComPtr<IUIList> TQuendaWindows::GetUIList() {
    ComPtr<IUIElement> rules = AsUIElement(ResolvePath("window_rules").Get());
    return Supports<IUIList>(rules.Get());
}

std::unique_ptr<IDetailPanel> TQuendaWindows::CreateDetailPanel(const std::string&, HWND parent) {
    return ::CreateDetailPanel("QuendaWindowsDetailPanel", parent);
}

ComPtr<IUnknown> TQuendaWindows::QueryKind(const std::string& kind) {
    if (ComPtr<IUnknown> found = TBOM_UI_Object::QueryKind(kind))
        return found;
    if (kind == PlugControlCenter)
        return ComPtr<IUnknown>(static_cast<IControlCenter*>(this));
    if (kind == PlugConfigBuilder && controller_)
        return ComPtr<IUnknown>(static_cast<IConfigBuilder*>(controller_.Get()));
    return nullptr;
}

bool TQuendaWindows::IsKindOf(const std::string& kind) {
    return TBOM_UI_Object::IsKindOf(kind) || kind == PlugControlCenter ||
           (kind == PlugConfigBuilder && controller_);
}

bool TQuendaWindows::UpdateCommand(TUICommand& action) {
    return controller_ ? controller_->UpdateCommand(action) : TBOM_UI_Object::UpdateCommand(action);
}

bool TQuendaWindows::ExecuteCommand(TUICommand& action) {
    return controller_ ? controller_->ExecuteCommand(action) : TBOM_UI_Object::ExecuteCommand(action);
}

void TQuendaWindows::Changed(const std::string& path, IBOMObject* source, const std::string& from,
                             IBOMObject* sender) {
    TBOM_UI_Object::Changed(path, source, from, sender);
    if (!IsCommandChild(from))
        Modified = true;
}

void TQuendaWindows::NameChanged(const std::string& path, IBOMObject* source, const std::string& from,
                                 IBOMObject* sender, const std::string& oldNamePath) {
    TBOM_UI_Object::NameChanged(path, source, from, sender, oldNamePath);
    Modified = true;
}

void TQuendaWindows::Notify(int code, int param1, int param2) {
    const bool wasModified = Modified;
    TBOM_UI_Object::Notify(code, param1, param2);
    // Translating texts is no change of the configuration.
    if (code == NotifyTranslateTexts)
        Modified = wasModified;
}

bool TQuendaWindows::ShouldSave(IBOMObject* child) {
    if (child != nullptr && IsCommandChild(child->GetName()))
        return false;
    return TBOM_UI_Object::ShouldSave(child);
}

void TQuendaWindows::SaveConfiguration() {
    if (!Modified)
        return;
    ComPtr<TXMLStorage> storage = NewObject<TXMLStorage>();
    // No document means nothing was written: that is a failed save, not a success.
    if (!storage->NewDocument(RootElement))
        throw Exception("Configuration document could not be created");
    storage->SaveObject(Supports<IPersistObject>(Self()).Get());
    const std::string path = ConfigurationFilePath();
    try {
        const std::string bytes = storage->SavedBytes();
        if (bytes.size() > MaxConfigurationFileSize)
            throw EFileWriteError(ERROR_FILE_TOO_LARGE, path);
        ReplaceFileContents(path, bytes);
    } catch (const EFileWriteError& error) {
        throw Exception(SaveFailureText(error.ErrorCode(), path));
    }
    Modified = false;
    if (controller_)
        controller_->ConfigurationSaved();
    else
        SendCenterCommand(cmdReloadConfiguration);
}

std::string ConfigurationFilePath() {
    return ApplicationFolder + ConfigFileName;
}

ComPtr<IBOMObjectSlave> LoadConfiguration(const std::string& fileName, std::vector<std::string>* notKept) {
    ComPtr<TXMLStorage> storage = NewObject<TXMLStorage>();
    if (!storage->LoadFromFile(fileName))
        return nullptr;
    ComPtr<IBOMObjectSlave> root = CreateBOMObject(KeyQuendaWindows, "");
    if (!root)
        return nullptr;
    storage->LoadObject(Supports<IPersistObject>(root).Get());
    DropItemsThatAreNoRules(root.Get());
    if (notKept != nullptr)
        *notKept = RulesNotKept(storage.Get());
    root->SetOwner(nullptr);
    return root;
}

ComPtr<IBOMObjectSlave> LoadConfiguration(std::vector<std::string>* notKept) {
    return LoadConfiguration(ConfigurationFilePath(), notKept);
}

void InitLanguageFromRegistry() {
    const std::string language = ReadLanguageSetting();
    ScanLanguages();
    LoadLanguage(language);
    SetMacro("appname", ProductName);
}
