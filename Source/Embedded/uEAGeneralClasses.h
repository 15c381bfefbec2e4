#pragma once

#include "EAInterfaceDeclarations.h"
#include "GeneralClasses.h"
#include "KLVCollection.h"

#include <atomic>
#include <string>

// Routes IUnknown to the one count, answers IItem through Primary (every item interface
// derives from IItem, so a direct cast would be ambiguous) and the listed interfaces.
#define EA_ITEM_INTERFACES(Parent, Primary, ...)                                                             \
public:                                                                                                      \
    GLZ_ROUTE_IUNKNOWN                                                                                       \
    std::string GetName() override {                                                                         \
        return Name;                                                                                         \
    }                                                                                                        \
                                                                                                             \
protected:                                                                                                   \
    void* FindInterface(REFIID riid) override {                                                              \
        if (IsEqualGUID(riid, __uuidof(IItem)))                                                              \
            return static_cast<IItem*>(static_cast<Primary*>(this));                                         \
        if (void* found = InterfaceOf<Primary, ##__VA_ARGS__>(this, riid))                                   \
            return found;                                                                                    \
        return Parent::FindInterface(riid);                                                                  \
    }                                                                                                        \
                                                                                                             \
public:

// A named item of glzemb, built by the core's construction (Init, then SetParam per pair).
class TAbstractItem : public TAbstractObject {
public:
    std::string Name;
};

class TAbstractParamsItem : public TAbstractItem {
protected:
    void SetParam(const std::string& name, const std::string& value) override;
};

// Process-wide numbers for default names; bumped from several threads at once.
class TNameCounter {
public:
    std::string Next(const std::string& prefix) { return prefix + std::to_string(++value_); }

private:
    std::atomic<long> value_{0};
};

// The collections' common store: items under their names, in insertion order.
class TAbstractCollection : public TDebugInterfacedObject {
public:
    std::string Name;

protected:
    TInterfaceCollection Items;
};

template <class IOwn, class IElem, bool AutoName>
class TTypedCollection : public TAbstractCollection, public IOwn, public IIndexedCollection {
    EA_ITEM_INTERFACES(TAbstractCollection, IOwn, ICollection, IIndexedCollection)

    int Count() override { return Items.Count(); }
    ComPtr<IUnknown> GetByIndex(int index) override { return HoldsIndex(index) ? Items.Get(index) : nullptr; }
    // A key that names no item changes nothing.
    void Delete(const Variant& key) override {
        if (Holds(key))
            Items.Delete(key);
    }
    int IndexOf(const std::string& name) override { return Items.IndexOf(name); }
    void Clear() override { Items.Clear(); }
    ComPtr<IIndexedCollection> AsIndexedCollection() override { return this; }

    // Null when the key names no item.
    ComPtr<IElem> Get(const Variant& key) override {
        return Holds(key) ? Supports<IElem>(Items.Get(key).Get()) : nullptr;
    }
    // An item whose name is taken is not added.
    void Add(IElem* item) override {
        if (item == nullptr)
            return;
        if constexpr (AutoName)
            Items.Add(item, true);
        else
            Items.Add(item, false, item->GetName());
    }

private:
    bool HoldsIndex(int index) const noexcept { return index >= 0 && index < Items.Count(); }
    bool Holds(const Variant& key) const {
        if (key.IsInteger())
            return HoldsIndex(key.AsInteger());
        return key.IsString() && Items.Exists(key.AsString());
    }
};

// glzemb's own registry of class keys, apart from the framework's.
class TItemClasses : public TAbstractClasses {};

TItemClasses* ItemClasses() noexcept;
void RegisterItemClass(TAbstractObjectClass cls, const std::string& key);

// KEY{params}: the key before the first "{", the text after it less the last character.
TAbstractObject* CreateItemFromText(const std::string& text);
// A new object with no reference yet, or null: unknown key, failed construction, or items
// nested deeper than any rule text needs.
TAbstractObject* CreateItemByKey(const std::string& params, const std::string& key);

// An ACTION or TRIGGER value of a rule text as an object of interface I, or null. A window
// extender is never built from such a value.
template <class I> ComPtr<I> CreateRulePart(const std::string& text);
TAbstractObject* CreateRulePartFromText(const std::string& text);

// Takes the first reference of a new object; it is freed when it lacks interface I.
template <class I> ComPtr<I> TakeItem(TAbstractObject* created) {
    const ComPtr<IUnknown> held(static_cast<IUnknown*>(created));
    return Supports<I>(held);
}

template <class I> ComPtr<I> CreateRulePart(const std::string& text) {
    return TakeItem<I>(CreateRulePartFromText(text));
}

// Item nesting that the reader accepts: extender, action or trigger, operation or agent.
constexpr int MaxItemNesting = 8;
