#pragma once

#include "RegistryKey.h"

#include <windows.h>

#include <optional>
#include <string>

// Where a form keeps its placement: sections of named text values, in a registry key (a
// section is a subkey) or an ini file. Nothing here reports a failure: what cannot be read
// gives the default, what cannot be written is lost.
class TPlacementStore {
public:
    TPlacementStore() = default;
    TPlacementStore(const TPlacementStore&) = delete;
    TPlacementStore& operator=(const TPlacementStore&) = delete;
    virtual ~TPlacementStore() = default;

    virtual std::string ReadText(const std::string& section, const std::string& ident,
                                 const std::string& fallback) = 0;
    virtual void WriteText(const std::string& section, const std::string& ident,
                           const std::string& value) = 0;
    virtual void EraseSection(const std::string& section) = 0;
    // Decimal, or hexadecimal after "$"; nothing for any other text.
    virtual std::optional<int> ParseInteger(const std::string& text) const;
};

// A key below a registry root. HKEY_CURRENT_USER gets the key created even for reading (a
// restore on a fresh installation leaves the empty key behind, as it always has); another
// root only for writing. HKEY_DYN_DATA is never opened: current Windows has no such root.
class TRegistryStore : public TPlacementStore {
public:
    TRegistryStore(HKEY root, const std::string& path, bool readOnly);

    std::string ReadText(const std::string& section, const std::string& ident,
                         const std::string& fallback) override;
    void WriteText(const std::string& section, const std::string& ident, const std::string& value) override;
    void EraseSection(const std::string& section) override;

    bool Opened() const noexcept { return static_cast<bool>(key_); }

private:
    TRegistryKey key_;
    bool readOnly_;
};

// An ini file through the private-profile calls; a name without a folder lies in the Windows
// folder, as those calls place it.
class TIniFileStore : public TPlacementStore {
public:
    explicit TIniFileStore(std::string fileName) : fileName_(std::move(fileName)) {}

    std::string ReadText(const std::string& section, const std::string& ident,
                         const std::string& fallback) override;
    // A value enclosed in quotes gets one more pair of double quotes: reading strips one pair.
    void WriteText(const std::string& section, const std::string& ident, const std::string& value) override;
    void EraseSection(const std::string& section) override;
    // Also "0x" and "0X" before hexadecimal digits.
    std::optional<int> ParseInteger(const std::string& text) const override;

    const std::string& FileName() const noexcept { return fileName_; }

private:
    std::string fileName_;
};

// Store-neutral access; a null store reads the default and ignores writes.
std::string StoreReadText(TPlacementStore* store, const std::string& section, const std::string& ident,
                          const std::string& fallback);
void StoreWriteText(TPlacementStore* store, const std::string& section, const std::string& ident,
                    const std::string& value);
int StoreReadInt(TPlacementStore* store, const std::string& section, const std::string& ident, int fallback);
void StoreWriteInt(TPlacementStore* store, const std::string& section, const std::string& ident, int value);

// "(1280x1024)" for the primary screen's size in pixels.
std::string ScreenSizeSuffix();
// The value saved at this screen size, else the last one saved at any size.
std::string ReadScreenValue(TPlacementStore* store, const std::string& section, const std::string& ident);
// Under the screen-size name, then under the plain name.
void WriteScreenValue(TPlacementStore* store, const std::string& section, const std::string& ident,
                      const std::string& value);

class TComponent;

// Where a component keeps its values by default: a form's class name; a control's form class
// name (or parent name) followed by its own name; another component's "OwnerClass.Name".
std::string DefaultSectionName(const TComponent* component);
// The program file's name without folder, its extension replaced by ".INI".
std::string DefaultIniFileName();
// "Software\" and the program file's name without folder and extension.
std::string DefaultRegistryKey();
