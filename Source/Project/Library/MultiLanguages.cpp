#include "MultiLanguages.h"

#include "AppSpecificConsts.h"
#include "Handles.h"
#include "Pex.h"
#include "PersistenceService.h"
#include "ResourceFiles.h"
#include "TextCuts.h"
#include "XMLStorage.h"

#include <windows.h>

namespace {

constexpr const char* LanguagesFolder = "Languages";
constexpr const char* LanguageFileMask = "*.lng";

// Every occurrence of marker (any case), left to right, inserted text not scanned again. A marker
// begins with "%", which has no other case: only there is a comparison worth making.
std::string ReplaceIgnoringCase(const std::string& text, const std::string& marker,
                                const std::string& value) {
    std::string result;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == marker.front() && text.size() - i >= marker.size() &&
            TextEqualsIgnoreCase(text.substr(i, marker.size()), marker)) {
            result += value;
            i += marker.size();
        } else {
            result += text[i++];
        }
    }
    return result;
}

// Deletes the file when it goes out of scope: nothing reads the built-in copy again.
class TTempFile {
public:
    explicit TTempFile(std::string name) : name_(std::move(name)) {}
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    ~TTempFile() {
        if (!name_.empty())
            DeleteFileA(name_.c_str());
    }
    const std::string& Name() const noexcept { return name_; }

private:
    std::string name_;
};

class TGlobalHolder {
public:
    TGlobalHolder() : object_(std::make_unique<TMultiLanguages>()) {}
    ~TGlobalHolder() { object_.reset(); }
    TMultiLanguages* Get() const noexcept { return object_.get(); }

private:
    std::unique_ptr<TMultiLanguages> object_;
};

TGlobalHolder Global;

} // namespace

std::string TMLStrings::Get(const std::string& key, const std::string& defaultText) const {
    return items_.Exists(key) ? items_.Get(key) : defaultText;
}

std::string TLanguage::GetDisplayName() const {
    return LeadingCharacters(OriginalName.empty() ? Name : Name + " - " + OriginalName, MaxCaptionCharacters);
}

const TLanguage* TLanguages::Add(const std::string& id, const std::string& name, const std::string& fileName,
                                 const std::string& originalName) {
    auto record = std::make_unique<TLanguage>(TLanguage{id, name, fileName, originalName});
    if (ids_.Add(record.get(), false, id) == nullptr)
        return nullptr;
    records_.push_back(std::move(record));
    return records_.back().get();
}

std::string TMultiLanguages::Translate(const std::string& key, const std::string& defaultText,
                                       TTextKind kind) const {
    const std::size_t limit = kind == TTextKind::HelpText ? MaxHelpTextCharacters : MaxCaptionCharacters;
    return LeadingCharacters(ApplyMacros(Strings.Get(key, defaultText)), limit);
}

bool TMultiLanguages::LoadLanguage(const std::string& id) {
    Strings.Clear();
    if (const TLanguage* language = id.empty() ? nullptr : Languages.Get(id))
        if (LoadFromFile(language->FileName))
            return true;
    const TTempFile builtIn(MakeTempFileName(TempFilePrefix));
    if (builtIn.Name().empty() ||
        !SaveResourceToFile(GetModuleHandleA(nullptr), DefaultLanguageResource, RT_RCDATA, builtIn.Name()))
        return false;
    return LoadFromFile(builtIn.Name());
}

void TMultiLanguages::ScanLanguages() {
    const std::string folder = ApplicationFolder + LanguagesFolder + "\\";
    WIN32_FIND_DATAA entry;
    const UniqueFind search(FindFirstFileA((folder + LanguageFileMask).c_str(), &entry));
    if (!search)
        return;
    do {
        // Every kind of entry counts; one that is no XML file is skipped when it is read.
        AddLanguageFile(folder + entry.cFileName);
    } while (FindNextFileA(search.Get(), &entry));
}

void TMultiLanguages::AddLanguageFile(const std::string& fileName) {
    const auto root = OpenXMLFile(fileName);
    if (!root)
        return;
    const std::string id = root->ReadAttr("id", "");
    const std::string name = root->ReadAttr("name", "");
    if (!id.empty() && !name.empty())
        Languages.Add(id, name, fileName, root->ReadAttr("original_name", ""));
}

bool TMultiLanguages::LoadFromFile(const std::string& fileName) {
    Strings.Clear();
    const auto root = OpenXMLFile(fileName);
    return root ? LoadFromStorage(root.Get()) : false;
}

bool TMultiLanguages::LoadFromStorage(IHierStorage* root) {
    Strings.Clear();
    if (root == nullptr || root->ChildCount("strings") < 1)
        return false;
    const auto strings = root->Child("strings", 0);
    const int count = strings->ChildCount("string");
    for (int i = 0; i < count; ++i) {
        const auto entry = strings->Child("string", i);
        const std::string key = entry->ReadAttr("name", "");
        if (!key.empty())
            Strings.Add(entry->GetText(), key);
    }
    return true;
}

void TMultiLanguages::SetMacro(const std::string& name, const std::string& value) {
    for (std::size_t i = 0; i < MacroNames.size(); ++i)
        if (TextEqualsIgnoreCase(MacroNames[i], name)) {
            MacroNames.erase(MacroNames.begin() + static_cast<std::ptrdiff_t>(i));
            MacroValues.erase(MacroValues.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    MacroNames.push_back(name);
    MacroValues.push_back(value);
}

std::string TMultiLanguages::ApplyMacros(const std::string& text) const {
    std::string result = text;
    for (std::size_t i = 0; i < MacroNames.size(); ++i)
        result = ReplaceIgnoringCase(result, "%" + MacroNames[i] + "%", MacroValues[i]);
    return result;
}

TMultiLanguages* MultiLanguages() noexcept {
    return Global.Get();
}

std::string Translate(const std::string& key, const std::string& defaultText, TTextKind kind) {
    const TMultiLanguages* object = MultiLanguages();
    return object ? object->Translate(key, defaultText, kind) : defaultText;
}

bool LoadLanguage(const std::string& id) {
    TMultiLanguages* object = MultiLanguages();
    return object ? object->LoadLanguage(id) : false;
}

void ScanLanguages() {
    if (TMultiLanguages* object = MultiLanguages())
        object->ScanLanguages();
}

const TLanguages* GetLanguages() {
    const TMultiLanguages* object = MultiLanguages();
    return object ? &object->GetLanguages() : nullptr;
}

void SetMacro(const std::string& name, const std::string& value) {
    if (TMultiLanguages* object = MultiLanguages())
        object->SetMacro(name, value);
}
