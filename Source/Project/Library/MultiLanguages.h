#pragma once

#include "KLVCollection.h"

#include <memory>
#include <string>
#include <vector>

struct IHierStorage;

// The kind of control that shows a translated text, which bounds its length: a longer text from
// a language file is cut there (never inside a character). A page's help text stands in a
// multi-line edit, which lays a paragraph out at a cost that grows faster than its square
// (under Wine 8.0 a paragraph of 2,048 characters takes under 0.1 s, 4,096 up to 0.3 s, 10,000
// up to five seconds); every other text is a caption, hint, menu item, title or message, of a line or
// two, and a window refuses a title of 32,767 characters.
enum class TTextKind { Caption, HelpText };
inline constexpr std::size_t MaxCaptionCharacters = 1024;
inline constexpr std::size_t MaxHelpTextCharacters = 2048;

// Key to text of the loaded language; the first entry of a key wins.
class TMLStrings {
public:
    void Add(const std::string& text, const std::string& key) { items_.Add(text, false, key); }
    std::string Get(const std::string& key, const std::string& defaultText) const;
    void Clear() { items_.Clear(); }
    int Count() const noexcept { return items_.Count(); }

private:
    TStringCollection items_;
};

struct TLanguage {
    std::string Id;
    std::string Name;
    std::string FileName;
    std::string OriginalName;

    // Bounded as a caption: the names come from the file.
    std::string GetDisplayName() const;
};

// The languages found by scanning, in the order they were added, keyed by Id.
class TLanguages {
public:
    int Count() const noexcept { return ids_.Count(); }
    // Key: a position from 0 or an Id; null when there is none.
    const TLanguage* Get(const Variant& key) const { return static_cast<const TLanguage*>(ids_.Get(key)); }
    // Null when Id is already listed.
    const TLanguage* Add(const std::string& id, const std::string& name, const std::string& fileName,
                         const std::string& originalName);

private:
    std::vector<std::unique_ptr<TLanguage>> records_;
    TPointerCollection ids_;
};

class TMultiLanguages {
public:
    TMLStrings Strings;
    TLanguages Languages;
    std::vector<std::string> MacroNames;
    std::vector<std::string> MacroValues;

    // Cut to what Kind's control holds.
    std::string Translate(const std::string& key, const std::string& defaultText,
                          TTextKind kind = TTextKind::Caption) const;
    bool LoadLanguage(const std::string& id);
    void ScanLanguages();
    void AddLanguageFile(const std::string& fileName);
    bool LoadFromFile(const std::string& fileName);
    bool LoadFromStorage(IHierStorage* root);
    void SetMacro(const std::string& name, const std::string& value);
    std::string ApplyMacros(const std::string& text) const;
    const TLanguages& GetLanguages() const noexcept { return Languages; }

    // The built-in language, a resource of the running program.
    static constexpr const char* DefaultLanguageResource = "DEFAULTLNG";
    static constexpr const char* TempFilePrefix = "~ln";
};

// The program's translation object; null before module initialisation and after finalisation.
TMultiLanguages* MultiLanguages() noexcept;

std::string Translate(const std::string& key, const std::string& defaultText,
                      TTextKind kind = TTextKind::Caption);
bool LoadLanguage(const std::string& id);
void ScanLanguages();
const TLanguages* GetLanguages();
void SetMacro(const std::string& name, const std::string& value);
