#include "PlacementStores.h"

#include "Forms.h"
#include "ModuleFiles.h"

#include <charconv>
#include <vector>

namespace {

std::optional<int> ParseDigits(const std::string& text, std::size_t from, int base, bool negative) {
    if (from >= text.size())
        return std::nullopt;
    unsigned long long value = 0;
    const char* first = text.data() + from;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, base);
    if (error != std::errc() || end != last)
        return std::nullopt;
    // Hexadecimal covers the whole 32 bits ($FFFFFFFF is -1); decimal must fit the sign.
    if (base == 16) {
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
        const auto bits = static_cast<int>(static_cast<unsigned>(value));
        return negative ? -bits : bits;
    }
    const unsigned long long limit = negative ? 2147483648ull : 2147483647ull;
    if (value > limit)
        return std::nullopt;
    return negative ? static_cast<int>(-static_cast<long long>(value)) : static_cast<int>(value);
}

std::optional<int> ParseInt(const std::string& text, bool cPrefix) {
    std::size_t at = text.find_first_not_of(' ');
    if (at == std::string::npos)
        return std::nullopt;
    bool negative = false;
    if (text[at] == '-' || text[at] == '+') {
        negative = text[at] == '-';
        ++at;
    }
    if (at < text.size() && text[at] == '$')
        return ParseDigits(text, at + 1, 16, negative);
    if (cPrefix && at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X'))
        return ParseDigits(text, at + 2, 16, negative);
    return ParseDigits(text, at, 10, negative);
}

bool Enclosed(const std::string& value, char quote) {
    return value.front() == quote && value.back() == quote;
}

// The program file's name without its folder.
std::string ProgramFileName() {
    const std::string path = ModuleFileName();
    const auto slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WithoutExtension(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

} // namespace

std::optional<int> TPlacementStore::ParseInteger(const std::string& text) const {
    return ParseInt(text, false);
}

TRegistryStore::TRegistryStore(HKEY root, const std::string& path, bool readOnly) : readOnly_(readOnly) {
    if (root == HKEY_DYN_DATA)
        return;
    const REGSAM access = readOnly ? KEY_READ : KEY_READ | KEY_WRITE;
    if (root == HKEY_CURRENT_USER || !readOnly)
        key_ = TRegistryKey::Create(root, path, access);
    else
        key_ = TRegistryKey::Open(root, path, access);
}

std::string TRegistryStore::ReadText(const std::string& section, const std::string& ident,
                                     const std::string& fallback) {
    if (!key_)
        return fallback;
    const TRegistryKey sectionKey = TRegistryKey::Open(key_.Get(), section, KEY_READ);
    return sectionKey.ReadString(ident, fallback);
}

void TRegistryStore::WriteText(const std::string& section, const std::string& ident,
                               const std::string& value) {
    if (!key_ || readOnly_)
        return;
    TRegistryKey::Create(key_.Get(), section, KEY_WRITE).WriteString(ident, value);
}

void TRegistryStore::EraseSection(const std::string& section) {
    if (key_ && !readOnly_)
        key_.DeleteSubKey(section);
}

std::string TIniFileStore::ReadText(const std::string& section, const std::string& ident,
                                    const std::string& fallback) {
    std::vector<char> buffer(2048);
    for (;;) {
        const DWORD length =
            GetPrivateProfileStringA(section.c_str(), ident.c_str(), fallback.c_str(), buffer.data(),
                                     static_cast<DWORD>(buffer.size()), fileName_.c_str());
        // A value that filled the buffer may have been cut: ask again with more room.
        if (length + 1 < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 4);
    }
}

void TIniFileStore::WriteText(const std::string& section, const std::string& ident,
                              const std::string& value) {
    const bool quoted = !value.empty() && (Enclosed(value, '"') || Enclosed(value, '\''));
    const std::string text = quoted ? '"' + value + '"' : value;
    WritePrivateProfileStringA(section.c_str(), ident.c_str(), text.c_str(), fileName_.c_str());
}

void TIniFileStore::EraseSection(const std::string& section) {
    WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, fileName_.c_str());
}

std::optional<int> TIniFileStore::ParseInteger(const std::string& text) const {
    return ParseInt(text, true);
}

std::string StoreReadText(TPlacementStore* store, const std::string& section, const std::string& ident,
                          const std::string& fallback) {
    return store != nullptr ? store->ReadText(section, ident, fallback) : fallback;
}

void StoreWriteText(TPlacementStore* store, const std::string& section, const std::string& ident,
                    const std::string& value) {
    if (store != nullptr)
        store->WriteText(section, ident, value);
}

int StoreReadInt(TPlacementStore* store, const std::string& section, const std::string& ident, int fallback) {
    if (store == nullptr)
        return fallback;
    return store->ParseInteger(store->ReadText(section, ident, std::to_string(fallback))).value_or(fallback);
}

void StoreWriteInt(TPlacementStore* store, const std::string& section, const std::string& ident, int value) {
    StoreWriteText(store, section, ident, std::to_string(value));
}

std::string ScreenSizeSuffix() {
    return '(' + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + 'x' +
           std::to_string(GetSystemMetrics(SM_CYSCREEN)) + ')';
}

std::string ReadScreenValue(TPlacementStore* store, const std::string& section, const std::string& ident) {
    const std::string value = StoreReadText(store, section, ident + ScreenSizeSuffix(), "");
    return value.empty() ? StoreReadText(store, section, ident, "") : value;
}

void WriteScreenValue(TPlacementStore* store, const std::string& section, const std::string& ident,
                      const std::string& value) {
    StoreWriteText(store, section, ident + ScreenSizeSuffix(), value);
    StoreWriteText(store, section, ident, value);
}

std::string DefaultIniFileName() {
    return WithoutExtension(ProgramFileName()) + ".INI";
}

std::string DefaultRegistryKey() {
    return "Software\\" + WithoutExtension(ProgramFileName());
}

std::string DefaultSectionName(const TComponent* component) {
    if (component == nullptr)
        return {};
    if (dynamic_cast<const TForm*>(component) != nullptr)
        return component->ClassName();
    if (const auto* control = dynamic_cast<const TWinControl*>(component)) {
        if (const TForm* form = GetParentForm(control))
            return form->ClassName() + control->Name();
        if (const TWinControl* parent = control->Parent())
            return parent->Name() + control->Name();
        return control->Name();
    }
    if (dynamic_cast<const TForm*>(component->Owner()) != nullptr)
        return component->Owner()->ClassName() + "." + component->Name();
    return component->Name();
}
