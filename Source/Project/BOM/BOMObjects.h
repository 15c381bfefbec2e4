#pragma once

#include "BOMInterfaces.h"
#include "GeneralClasses.h"
#include "KLVCollection.h"
#include "PersistenceService.h"

#include <string>
#include <vector>

// Classes that add a second interface derived from IBOMObject route its slots to the one
// implementation of their base.
#define GLZ_BOM_FORWARD_PATHS(Base)                                                                          \
    ComPtr<IBOMObject> ResolvePath(const std::string& path) override {                                       \
        return Base::ResolvePath(path);                                                                      \
    }                                                                                                        \
    std::string GetName() override {                                                                         \
        return Base::GetName();                                                                              \
    }                                                                                                        \
    std::string GetPath() override {                                                                         \
        return Base::GetPath();                                                                              \
    }                                                                                                        \
    ULONG GetRefCount() override {                                                                           \
        return Base::GetRefCount();                                                                          \
    }

#define GLZ_BOM_FORWARD_KINDS(Base)                                                                          \
    ComPtr<IUnknown> QueryKind(const std::string& kind) override {                                           \
        return Base::QueryKind(kind);                                                                        \
    }                                                                                                        \
    bool IsKindOf(const std::string& kind) override {                                                        \
        return Base::IsKindOf(kind);                                                                         \
    }

#define GLZ_BOM_FORWARD_MESSAGES(Base)                                                                       \
    void Changed(const std::string& path, IBOMObject* source, const std::string& from, IBOMObject* sender)   \
        override {                                                                                           \
        Base::Changed(path, source, from, sender);                                                           \
    }                                                                                                        \
    void NameChanged(const std::string& path, IBOMObject* source, const std::string& from,                   \
                     IBOMObject* sender, const std::string& oldNamePath) override {                          \
        Base::NameChanged(path, source, from, sender, oldNamePath);                                          \
    }

#define GLZ_BOM_FORWARD_NOTIFY(Base)                                                                         \
    void Notify(int code, int param1, int param2) override {                                                 \
        Base::Notify(code, param1, param2);                                                                  \
    }

// IBOMCollection of an object that keeps its entries in items_: every call goes through the
// virtual item operations, so overrides of AddItem and the like are honoured.
#define GLZ_BOM_COLLECTION_THROUGH_ITEMS                                                                     \
    int Count() override {                                                                                   \
        return items_->Count();                                                                              \
    }                                                                                                        \
    ComPtr<IBOMObject> Item(const Variant& key) override {                                                   \
        return GetItem(key);                                                                                 \
    }                                                                                                        \
    void Add(IBOMObject* item) override {                                                                    \
        AddItem(item);                                                                                       \
    }                                                                                                        \
    void Delete(const Variant& key) override {                                                               \
        DeleteItem(key);                                                                                     \
    }                                                                                                        \
    int IndexOf(const std::string& name) override {                                                          \
        return items_->IndexOf(name);                                                                        \
    }                                                                                                        \
    void Clear() override {                                                                                  \
        ClearItems();                                                                                        \
    }                                                                                                        \
    void Rename(IBOMObject* item, const std::string& newName) override {                                     \
        RenameItem(item, newName);                                                                           \
    }

// Whether a path can reach a child of this name: none with "/" or ":", nor ".", ".." or "all".
bool IsReachableName(const std::string& name);

// A name refused for a child: taken by another item, or one that no path can reach.
class EBOMNameError : public Exception {
public:
    using Exception::Exception;
};

// Named object with a counted reference to its owner.
class TBOMAbstractObject : public TAbstractObject, public IBOMObjectSlave {
    GLZ_INTERFACES(TAbstractObject, IBOMObject, IBOMObjectSlave)

    virtual bool IsRoot();
    virtual ComPtr<IBOMObject> GetRoot();
    virtual ComPtr<IBOMObject> FindUp(const std::string& kind);
    virtual ComPtr<IBOMObject> GetChild(const std::string& name);

    ComPtr<IBOMObject> ResolvePath(const std::string& path) override;
    std::string GetName() override;
    std::string GetPath() override;
    ComPtr<IUnknown> QueryKind(const std::string& kind) override;
    bool IsKindOf(const std::string& kind) override;
    void Changed(const std::string& path, IBOMObject* source, const std::string& from,
                 IBOMObject* sender) override;
    void NameChanged(const std::string& path, IBOMObject* source, const std::string& from, IBOMObject* sender,
                     const std::string& oldNamePath) override;
    void Notify(int code, int param1, int param2) override;
    ULONG GetRefCount() override;

    void SetOwner(IBOMObjectOwner* owner) override;
    void ClearOwner() override;
    std::string GetClassKey() override;
    void SetName(const std::string& newName) override;

    IBOMObjectOwner* Owner() const noexcept { return owner_.Get(); }

protected:
    IBOMObject* Self() noexcept { return static_cast<IBOMObjectSlave*>(this); }

    std::string name_;
    ComPtr<IBOMObjectOwner> owner_;
};

// The plain list under "all", under the params object and under a collection.
class TBOMInnerCollection : public TBOMAbstractObject, public IBOMCollection {
    GLZ_INTERFACES(TBOMAbstractObject, IBOMCollection)
    GLZ_BOM_FORWARD_PATHS(TBOMAbstractObject)
    GLZ_BOM_FORWARD_KINDS(TBOMAbstractObject)
    GLZ_BOM_FORWARD_MESSAGES(TBOMAbstractObject)
    GLZ_BOM_FORWARD_NOTIFY(TBOMAbstractObject)

    ComPtr<IBOMObject> GetChild(const std::string& name) override;

    int Count() override;
    ComPtr<IBOMObject> Item(const Variant& key) override;
    void Add(IBOMObject* item) override;
    void Delete(const Variant& key) override;
    int IndexOf(const std::string& name) override;
    void Clear() override;
    void Rename(IBOMObject* item, const std::string& newName) override;

private:
    TInterfaceCollection list_;
};

class TBOMAllCollection : public TBOMInnerCollection {};

// An object with an "all" collection of children; stores itself.
class TBOMObjectWithAll : public TBOMAbstractObject, public IBOMObjectOwner, public IPersistObject {
    GLZ_INTERFACES(TBOMAbstractObject, IBOMObjectOwner, IPersistObject)
    GLZ_BOM_FORWARD_PATHS(TBOMAbstractObject)
    GLZ_BOM_FORWARD_KINDS(TBOMAbstractObject)

    ComPtr<IBOMObject> GetChild(const std::string& name) override;
    void Changed(const std::string& path, IBOMObject* source, const std::string& from,
                 IBOMObject* sender) override;
    void NameChanged(const std::string& path, IBOMObject* source, const std::string& from, IBOMObject* sender,
                     const std::string& oldNamePath) override;
    void Notify(int code, int param1, int param2) override;
    void SetOwner(IBOMObjectOwner* owner) override;
    void ClearOwner() override;

    virtual void ChangedFromOwner(const std::string& path, IBOMObject* source, const std::string& from,
                                  IBOMObject* sender);
    virtual void ChangedFromChild(const std::string& path, IBOMObject* source, const std::string& from,
                                  IBOMObject* sender);
    virtual void NameChangedFromOwner(const std::string& path, IBOMObject* source, const std::string& from,
                                      IBOMObject* sender, const std::string& oldNamePath);
    virtual void NameChangedFromChild(const std::string& path, IBOMObject* source, const std::string& from,
                                      IBOMObject* sender, const std::string& oldNamePath);
    virtual bool ShouldSave(IBOMObject* child);
    void RenameChild(IBOMObjectSlave* child, const std::string& newName) override;
    void Save(IHierStorage* storage) override;
    void Load(IHierStorage* storage) override;
    std::string GetElementName() override;

    // Creates and adds a child to All (not when the name is taken); its owner is not set.
    ComPtr<IBOMObjectSlave> AddChild(const std::string& classKey, const std::string& name);
    IBOMCollection* All() const noexcept { return all_.Get(); }

protected:
    void Init() override;
    IBOMObjectOwner* SelfOwner() noexcept { return static_cast<IBOMObjectOwner*>(this); }
    // Whether a message was passed down by the owner rather than up by a child.
    bool FromOwner(const std::string& from, IBOMObject* sender);
    // Down: one level further from the change; Up: through this object to its owner.
    static std::string Down(const std::string& path);
    std::string Up(const std::string& path);

    ComPtr<IBOMCollection> all_;
};

// The "params" child: named values.
class TBOMParams : public TBOMObjectWithAll, public IBOMCollection {
    GLZ_INTERFACES(TBOMObjectWithAll, IBOMCollection)
    GLZ_BOM_FORWARD_PATHS(TBOMObjectWithAll)
    GLZ_BOM_FORWARD_KINDS(TBOMObjectWithAll)
    GLZ_BOM_FORWARD_MESSAGES(TBOMObjectWithAll)
    GLZ_BOM_FORWARD_NOTIFY(TBOMObjectWithAll)

    std::string GetDefaultItemClass() { return "BOMPARAM"; }
    virtual ComPtr<IBOMObject> GetItem(const Variant& key);
    virtual void AddItem(IBOMObject* item);
    virtual void DeleteItem(const Variant& key);
    virtual void ClearItems();
    void RenameItem(IBOMObject* item, const std::string& newName);

    ComPtr<IBOMObject> GetChild(const std::string& name) override;
    void SetOwner(IBOMObjectOwner* owner) override;
    void ClearOwner() override;
    void ChangedFromOwner(const std::string& path, IBOMObject* source, const std::string& from,
                          IBOMObject* sender) override;
    void ChangedFromChild(const std::string& path, IBOMObject* source, const std::string& from,
                          IBOMObject* sender) override;
    void NameChangedFromOwner(const std::string& path, IBOMObject* source, const std::string& from,
                              IBOMObject* sender, const std::string& oldNamePath) override;
    void NameChangedFromChild(const std::string& path, IBOMObject* source, const std::string& from,
                              IBOMObject* sender, const std::string& oldNamePath) override;
    void Save(IHierStorage* storage) override;
    void Load(IHierStorage* storage) override;
    std::string GetElementName() override;

    GLZ_BOM_COLLECTION_THROUGH_ITEMS

protected:
    void Init() override;

private:
    ComPtr<IBOMCollection> items_;
};

// The usual object: a class key, an element name and a "params" child.
class TBOMObject : public TBOMObjectWithAll {
public:
    std::string GetClassKey() override;
    void SetName(const std::string& newName) override;
    void Load(IHierStorage* storage) override;
    std::string GetElementName() override;

    // The result is the new param, also when the name was taken and it was not added.
    ComPtr<IBOMParam> AddParam(const std::string& name, const Variant& value);
    ComPtr<IBOMParam> GetParam(const std::string& name);
    void UpdateNameParam();

protected:
    void Init() override;

    std::string classKey_;
    std::string elementName_;
};

// An object that also holds typed items, stored inside its "content" element.
class TBOMCollection : public TBOMObject, public IBOMCollection {
    GLZ_INTERFACES(TBOMObject, IBOMCollection)
    GLZ_BOM_FORWARD_PATHS(TBOMObject)
    GLZ_BOM_FORWARD_MESSAGES(TBOMObject)

    virtual std::string GetItemElementName();
    virtual std::string GetDefaultItemClass();
    // A loaded item without a name is named this, a blank and the first free number.
    virtual std::string GetNewItemNameBase();
    virtual ComPtr<IBOMObject> GetItem(const Variant& key);
    virtual void AddItem(IBOMObject* item);
    virtual void DeleteItem(const Variant& key);
    virtual void ClearItems();
    virtual void RenameItem(IBOMObject* item, const std::string& newName);

    ComPtr<IBOMObject> GetChild(const std::string& name) override;
    ComPtr<IUnknown> QueryKind(const std::string& kind) override;
    bool IsKindOf(const std::string& kind) override;
    void Notify(int code, int param1, int param2) override;
    void SetOwner(IBOMObjectOwner* owner) override;
    void ClearOwner() override;
    void ChangedFromOwner(const std::string& path, IBOMObject* source, const std::string& from,
                          IBOMObject* sender) override;
    void ChangedFromChild(const std::string& path, IBOMObject* source, const std::string& from,
                          IBOMObject* sender) override;
    void NameChangedFromOwner(const std::string& path, IBOMObject* source, const std::string& from,
                              IBOMObject* sender, const std::string& oldNamePath) override;
    void NameChangedFromChild(const std::string& path, IBOMObject* source, const std::string& from,
                              IBOMObject* sender, const std::string& oldNamePath) override;
    void RenameChild(IBOMObjectSlave* child, const std::string& newName) override;
    void Save(IHierStorage* storage) override;
    void Load(IHierStorage* storage) override;

    GLZ_BOM_COLLECTION_THROUGH_ITEMS

protected:
    void Init() override;

    std::string itemElementName_;
    std::string defaultItemClass_;

private:
    ComPtr<IBOMCollection> items_;
};

// A named value; a new one holds the integer 0.
class TBOMParam : public TBOMAbstractObject, public IPersistObject, public IBOMParam {
    GLZ_INTERFACES(TBOMAbstractObject, IPersistObject, IBOMParam)
    GLZ_BOM_FORWARD_PATHS(TBOMAbstractObject)
    GLZ_BOM_FORWARD_KINDS(TBOMAbstractObject)
    GLZ_BOM_FORWARD_MESSAGES(TBOMAbstractObject)
    GLZ_BOM_FORWARD_NOTIFY(TBOMAbstractObject)

    std::string GetClassKey() override;

    Variant GetValue() override;
    void SetValue(const Variant& value) override;
    void SetValueSilent(const Variant& value) override;
    void NotifyValueChanged();

    void Save(IHierStorage* storage) override;
    void Load(IHierStorage* storage) override;
    std::string GetElementName() override;

protected:
    void Init() override;

private:
    Variant value_;
};

// Creates a BOM object of class T with Init run; the caller takes the first reference.
template <class T> T* ConstructBOM() {
    return static_cast<T*>(TAbstractObject::Create(ClassOf<T>(), {}));
}

// Grows with every change of a value, a name or a list of any object in this process, so that
// what is worked out from a tree can tell that it is out of date.
unsigned long long BOMEditCount() noexcept;

// "BOMCOLLECTION", "BOMPARAM", "BOMOBJECT"; the registry must be initialised.
void RegisterBOMClasses();
