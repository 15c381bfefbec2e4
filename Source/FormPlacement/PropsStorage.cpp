#include "PropsStorage.h"

#include "Errors.h"
#include "Forms.h"
#include "Pex.h"
#include "PlacementStrings.h"

#include <charconv>
#include <cstdlib>
#include <map>
#include <optional>

namespace {

constexpr char NullReference[] = "(null)";

bool IsTextKind(TTypeKind kind) {
    return kind == TTypeKind::tkString || kind == TTypeKind::tkWChar || kind == TTypeKind::tkLString;
}

int SignificantDigits(TFloatType type) {
    switch (type) {
    case TFloatType::ftSingle:
        return 7;
    case TFloatType::ftDouble:
        return 15;
    case TFloatType::ftCurr:
        return 19;
    case TFloatType::ftExtended:
    case TFloatType::ftComp:
        break;
    }
    return 18;
}

// General format with "." whatever the locale, the exponent as "E20" and "E-5".
std::string FloatText(long double value, TFloatType type) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general,
                                      SignificantDigits(type));
    std::string text(buffer, result.ptr);
    if (const auto e = text.find('e'); e != std::string::npos) {
        std::string exponent = text.substr(e + 1);
        const bool negative = exponent[0] == '-';
        exponent = exponent.substr(exponent.find_first_not_of("+-0") == std::string::npos
                                       ? exponent.size() - 1
                                       : exponent.find_first_not_of("+-0"));
        text = text.substr(0, e) + "E" + (negative ? "-" : "") + exponent;
    }
    return text;
}

std::optional<long double> ParseFloat(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const long double value = std::strtold(text.c_str(), &end);
    if (end != text.c_str() + text.size())
        return std::nullopt;
    return value;
}

// A damaged count must not make the load build items without end: beyond the limit it
// counts as not numeric.
constexpr long long MaxStoredCount = 100000;

long long StoredCount(const std::string& text, long long fallback) {
    const auto count = ParseDecimal(TrimText(text));
    return count && *count <= MaxStoredCount ? *count : fallback;
}

std::string StripClassPrefix(const std::string& className) {
    return !className.empty() && (className[0] == 'T' || className[0] == 't') ? className.substr(1)
                                                                              : className;
}

struct TCaseless {
    bool operator()(const std::string& a, const std::string& b) const noexcept {
        return CompareTextIgnoreCase(a, b) < 0;
    }
};

} // namespace

std::string TrimText(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

bool SplitStoredItem(const std::string& item, std::string& component, std::string& property) {
    const auto dot = item.find('.');
    if (dot == std::string::npos)
        return false;
    component = TrimText(item.substr(0, dot));
    property = TrimText(item.substr(dot + 1));
    return !component.empty() && !property.empty();
}

std::string JoinStoredItem(const std::string& component, const std::string& property) {
    return component.empty() || property.empty() ? std::string() : component + "." + property;
}

std::string RenameStoredItem(const std::string& item, const std::string& newComponentName) {
    std::string component;
    std::string property;
    return SplitStoredItem(item, component, property) ? JoinStoredItem(newComponentName, property)
                                                      : std::string();
}

void SyncStoredList(TComponent* form, TStoredItems* list, bool fromForm) {
    if (form == nullptr || list == nullptr)
        return;
    for (auto i = static_cast<std::ptrdiff_t>(list->size()) - 1; i >= 0; --i) {
        TStoredItem& item = (*list)[static_cast<std::size_t>(i)];
        std::string component;
        std::string property;
        bool keep = SplitStoredItem(item.Text, component, property);
        if (keep && fromForm) {
            item.Component = form->FindComponent(component);
            keep = item.Component != nullptr;
        } else if (keep) {
            keep = item.Component != nullptr;
            if (keep)
                item.Text = RenameStoredItem(item.Text, item.Component->Name());
        }
        if (!keep)
            list->erase(list->begin() + i);
    }
}

TForm* FindFormByName(const std::string& name) {
    struct TSearch {
        const std::string& Name;
        TForm* Found = nullptr;
    } search{name};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) noexcept -> BOOL {
            auto* s = reinterpret_cast<TSearch*>(data);
            auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(window));
            if (form != nullptr && TextEqualsIgnoreCase(form->Name(), s->Name)) {
                s->Found = form;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

std::string TPropsStorage::ReadText(const std::string& section, const std::string& ident,
                                    const std::string& fallback) {
    return OnReadText ? OnReadText(section, ident, fallback) : std::string();
}

void TPropsStorage::WriteText(const std::string& section, const std::string& ident,
                              const std::string& value) {
    if (OnWriteText)
        OnWriteText(section, ident, value);
}

void TPropsStorage::ClearSection(const std::string& section) {
    if (OnClearSection)
        OnClearSection(section);
}

template <class Step> void TPropsStorage::ForEachItem(TComponent* form, TStoredItems& list, Step step) {
    std::map<std::string, TPropInfoList, TCaseless> infoLists;
    try {
        SyncStoredList(form, &list, false);
        for (const auto& item : list)
            if (item.Component != nullptr && infoLists.count(item.Component->Name()) == 0)
                infoLists.emplace(item.Component->Name(), TPropInfoList(item.Component, tkProperties));
    } catch (...) {
        TraceFailure("stored properties");
        return;
    }
    struct TOwnerScope {
        TComponent*& Owner;
        ~TOwnerScope() { Owner = nullptr; }
    } scope{Owner};
    Owner = form;
    for (const auto& item : list) {
        std::string component;
        std::string property;
        if (!SplitStoredItem(item.Text, component, property) || item.Component == nullptr)
            continue;
        const auto found = infoLists.find(item.Component->Name());
        if (found == infoLists.end())
            continue;
        Prefix = item.Component->Name() + "_";
        if (const TPropInfo* info = found->second.FindByName(property))
            step(*info);
    }
}

void TPropsStorage::SaveAll(TComponent* form, TStoredItems& list) {
    ForEachItem(form, list, [this](const TPropInfo& info) { SaveOne(info); });
}

void TPropsStorage::LoadAll(TComponent* form, TStoredItems& list) {
    ForEachItem(form, list, [this](const TPropInfo& info) { LoadOne(info); });
}

std::string TPropsStorage::ValueText(const TPropInfo& info) const {
    switch (info.Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkInt64:
        return std::to_string(info.GetOrd());
    case TTypeKind::tkChar:
    case TTypeKind::tkWChar:
        return std::string(1, static_cast<char>(info.GetOrd()));
    case TTypeKind::tkEnumeration: {
        const long long index = info.GetOrd() - info.MinValue;
        return index >= 0 && index < static_cast<long long>(info.Names.size())
                   ? info.Names[static_cast<std::size_t>(index)]
                   : std::to_string(info.GetOrd());
    }
    case TTypeKind::tkSet: {
        const auto bits = static_cast<unsigned long long>(info.GetOrd());
        std::string text = "[";
        for (std::size_t member = 0; member < info.Names.size() && member < 32; ++member)
            if ((bits >> member) & 1) {
                if (text.size() > 1)
                    text += ',';
                text += info.Names[member];
            }
        return text + "]";
    }
    case TTypeKind::tkFloat:
        return FloatText(info.GetFloat(), info.FloatType);
    case TTypeKind::tkString:
    case TTypeKind::tkLString:
        return info.GetText();
    case TTypeKind::tkVariant: {
        const Variant value = info.GetVariant();
        return value.IsEmpty() ? std::string() : value.AsString();
    }
    default:
        return {};
    }
}

void TPropsStorage::SetValueText(const TPropInfo& info, const std::string& text) {
    switch (info.Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkInt64:
        // A value that is not a number loads as 0, as stored placements have always read.
        info.SetOrd(ParseDecimal(text).value_or(0));
        break;
    case TTypeKind::tkChar:
    case TTypeKind::tkWChar:
        if (!text.empty())
            info.SetOrd(static_cast<unsigned char>(text[0]));
        break;
    case TTypeKind::tkEnumeration:
        for (std::size_t i = 0; i < info.Names.size(); ++i)
            if (TextEqualsIgnoreCase(info.Names[i], text)) {
                info.SetOrd(info.MinValue + static_cast<long long>(i));
                break;
            }
        break;
    case TTypeKind::tkSet: {
        unsigned long long bits = 0;
        for (int n = 1; n <= CountWords(text, SetDelimiters); ++n) {
            const std::string word = NthWord(n, text, SetDelimiters);
            for (std::size_t member = 0; member < info.Names.size() && member < 32; ++member)
                if (TextEqualsIgnoreCase(info.Names[member], word))
                    bits |= 1ull << member;
        }
        info.SetOrd(static_cast<long long>(bits));
        break;
    }
    case TTypeKind::tkFloat:
        if (const auto value = ParseFloat(text))
            info.SetFloat(*value);
        break;
    case TTypeKind::tkString:
    case TTypeKind::tkLString:
        info.SetText(text);
        break;
    case TTypeKind::tkVariant:
        info.SetVariant(Variant(text));
        break;
    default:
        break;
    }
}

void TPropsStorage::SaveOne(const TPropInfo& info) {
    const std::string text = info.Kind == TTypeKind::tkClass ? SaveObjectProp(info) : ValueText(info);
    if (text.empty() && !IsTextKind(info.Kind))
        return;
    WriteText(Section, ValueName(info.Name), TrimText(text));
}

void TPropsStorage::LoadOne(const TPropInfo& info) {
    try {
        const bool isClass = info.Kind == TTypeKind::tkClass;
        const std::string fallback = isClass ? std::string() : ValueText(info);
        std::string text;
        if (!fallback.empty() || isClass || IsTextKind(info.Kind))
            text = TrimText(ReadText(Section, ValueName(info.Name), fallback));
        if (isClass)
            LoadObjectProp(text, info);
        else
            SetValueText(info, text);
    } catch (...) {
        // A stored value that does not convert (one written by hand) leaves the property as it is.
    }
}

std::unique_ptr<TPropsStorage> TPropsStorage::Nested(const std::string& prefix, const std::string& section) {
    std::unique_ptr<TPropsStorage> nested = NewStorage();
    nested->OnReadText = OnReadText;
    nested->OnWriteText = OnWriteText;
    nested->OnClearSection = OnClearSection;
    nested->Prefix = prefix;
    nested->Section = section;
    return nested;
}

std::string TPropsStorage::SaveObjectProp(const TPropInfo& info) {
    if (info.Reference)
        return ComponentReference(info.GetComponent ? info.GetComponent() : nullptr);
    TPersistent* object = info.GetNested ? info.GetNested() : nullptr;
    const std::string section = Section + "." + ValueName(info.Name);
    if (auto* strings = dynamic_cast<TStringList*>(object)) {
        ClearSection(section);
        if (!strings->Lines.empty()) {
            WriteText(section, "Count", std::to_string(strings->Lines.size()));
            for (std::size_t i = 0; i < strings->Lines.size(); ++i)
                WriteText(section, "Item" + std::to_string(i), strings->Lines[i]);
        }
    } else if (auto* collection = dynamic_cast<TCollection*>(object)) {
        ClearSection(section);
        WriteText(Section, Prefix + info.Name + ".Count", std::to_string(collection->Count()));
        for (int i = 0; i < collection->Count(); ++i)
            Nested("Item" + std::to_string(i) + "_", section)->SaveProperties(collection->Item(i));
    }
    Nested(Prefix + info.Name, Section)->SaveProperties(object);
    return {};
}

void TPropsStorage::LoadObjectProp(const std::string& text, const TPropInfo& info) {
    if (info.Reference) {
        ResolveReference(text, info);
        return;
    }
    TPersistent* object = info.GetNested ? info.GetNested() : nullptr;
    const std::string section = Section + "." + ValueName(info.Name);
    if (auto* strings = dynamic_cast<TStringList*>(object)) {
        const long long count = StoredCount(ReadText(section, "Count", "0"), 0);
        if (count > 0) {
            std::vector<std::string> lines;
            for (long long i = 0; i < count; ++i)
                lines.push_back(ReadText(section, "Item" + std::to_string(i), ""));
            strings->Lines = std::move(lines);
        }
    } else if (auto* collection = dynamic_cast<TCollection*>(object)) {
        const int current = collection->Count();
        const std::string countText =
            ReadText(Section, Prefix + info.Name + ".Count", std::to_string(current));
        const long long count = StoredCount(countText, current);
        struct TUpdateScope {
            TCollection* Collection;
            ~TUpdateScope() { Collection->EndUpdate(); }
        } scope{collection};
        collection->BeginUpdate();
        if (count != current) {
            collection->Clear();
            for (long long i = 0; i < count; ++i)
                collection->Add();
        }
        for (int i = 0; i < collection->Count(); ++i)
            Nested("Item" + std::to_string(i) + "_", section)->LoadProperties(collection->Item(i));
    }
    Nested(Prefix + info.Name, Section)->LoadProperties(object);
}

void TPropsStorage::SaveProperties(TPersistent* object) {
    for (const TPropInfo& info : PublishedProperties(object))
        if (info.Kind != TTypeKind::tkMethod)
            SaveOne(info);
}

void TPropsStorage::LoadProperties(TPersistent* object) {
    for (const TPropInfo& info : PublishedProperties(object))
        if (info.Kind != TTypeKind::tkMethod)
            LoadOne(info);
}

std::string TPropsStorage::ComponentReference(const TComponent* component) const {
    if (component == nullptr)
        return NullReference;
    const TComponent* owner = component->Owner();
    if (owner == nullptr || owner == Owner)
        return component->Name();
    const std::string ownerName =
        owner->Name().empty() ? StripClassPrefix(owner->ClassName()) : owner->Name();
    return ownerName + "." + component->Name();
}

void TPropsStorage::ResolveReference(const std::string& text, const TPropInfo& info) {
    if (text.empty() || !info.SetComponent)
        return;
    if (TextEqualsIgnoreCase(text, NullReference)) {
        info.SetComponent(nullptr);
        return;
    }
    const auto dot = text.find('.');
    const std::string ownerName = dot == std::string::npos ? std::string() : TrimText(text.substr(0, dot));
    const std::string name = TrimText(dot == std::string::npos ? text : text.substr(dot + 1));
    TComponent* owner = ownerName.empty() ? Owner : FindFormByName(ownerName);
    if (owner != nullptr)
        info.SetComponent(owner->FindComponent(name));
}
