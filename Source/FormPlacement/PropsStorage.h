#pragma once

#include "PropertyInfo.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TForm;

// A line ComponentName.PropertyName of a form storage, with the component once resolved.
struct TStoredItem {
    std::string Text;
    TComponent* Component = nullptr;
};
using TStoredItems = std::vector<TStoredItem>;

// Split at the first "."; both parts trimmed; valid only when neither is empty.
bool SplitStoredItem(const std::string& item, std::string& component, std::string& property);
// Empty when either part is.
std::string JoinStoredItem(const std::string& component, const std::string& property);
// Empty when the item is not valid.
std::string RenameStoredItem(const std::string& item, const std::string& newComponentName);

// From the form: attach each line's component (lines without one go). To the form: rewrite
// each line with its component's current name (lines without a component go).
void SyncStoredList(TComponent* form, TStoredItems* list, bool fromForm);

// A form of this thread with that name, letter case ignored; null when none.
TForm* FindFormByName(const std::string& name);

using TReadTextEvent = std::function<std::string(const std::string& section, const std::string& ident,
                                                 const std::string& fallback)>;
using TWriteTextEvent =
    std::function<void(const std::string& section, const std::string& ident, const std::string& value)>;
using TClearSectionEvent = std::function<void(const std::string& section)>;

// Turns published properties into named text values and back, through three events that
// the caller binds to a store.
class TPropsStorage {
public:
    TPropsStorage() = default;
    TPropsStorage(const TPropsStorage&) = delete;
    TPropsStorage& operator=(const TPropsStorage&) = delete;
    virtual ~TPropsStorage() = default;

    // Each listed property of form's components, as ComponentName_PropertyName.
    void SaveAll(TComponent* form, TStoredItems& list);
    // Never fails outward: a value that does not convert leaves its property as it was.
    void LoadAll(TComponent* form, TStoredItems& list);
    void SaveOne(const TPropInfo& info);
    void LoadOne(const TPropInfo& info);

    virtual std::string ReadText(const std::string& section, const std::string& ident,
                                 const std::string& fallback);
    virtual void WriteText(const std::string& section, const std::string& ident, const std::string& value);
    virtual void ClearSection(const std::string& section);
    virtual std::string ValueName(const std::string& propertyName) const { return Prefix + propertyName; }
    // For nested objects; the caller copies the events it needs into it.
    virtual std::unique_ptr<TPropsStorage> NewStorage() { return std::make_unique<TPropsStorage>(); }

    // Against which component references resolve; set only during SaveAll and LoadAll.
    TComponent* Owner = nullptr;
    std::string Prefix;
    std::string Section;
    TReadTextEvent OnReadText;
    TWriteTextEvent OnWriteText;
    TClearSectionEvent OnClearSection;

private:
    template <class Step> void ForEachItem(TComponent* form, TStoredItems& list, Step step);
    std::string ValueText(const TPropInfo& info) const;
    void SetValueText(const TPropInfo& info, const std::string& text);
    std::string SaveObjectProp(const TPropInfo& info);
    void LoadObjectProp(const std::string& text, const TPropInfo& info);
    // Every published property of object but its methods; none without an object.
    void SaveProperties(TPersistent* object);
    void LoadProperties(TPersistent* object);
    std::unique_ptr<TPropsStorage> Nested(const std::string& prefix, const std::string& section);
    std::string ComponentReference(const TComponent* component) const;
    void ResolveReference(const std::string& text, const TPropInfo& info);
};

// Trimmed of blanks and control characters at both ends.
std::string TrimText(const std::string& text);
