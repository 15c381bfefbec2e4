#include "BOMObjects.h"

#include "BOMRoutines.h"

#include <atomic>
#include <unordered_set>

namespace {

constexpr const char* UnitName = "Source/Project/BOM/BOMObjects";

[[noreturn]] void Fail(const std::string& message, int line) {
    throw EAssertionFailed(message, UnitName, line);
}

// A copy of the items, so that receivers may change the list while it is walked.
std::vector<ComPtr<IBOMObject>> Snapshot(IBOMCollection* list) {
    std::vector<ComPtr<IBOMObject>> result;
    const int count = list->Count();
    result.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        result.push_back(list->Item(Variant(i)));
    return result;
}

void SetOwnerOfAll(IBOMCollection* list, IBOMObjectOwner* owner) {
    for (const auto& item : Snapshot(list))
        MustCast<IBOMObjectSlave>(item)->SetOwner(owner);
}

void ClearOwnerOfAll(IBOMCollection* list) {
    for (const auto& item : Snapshot(list))
        MustCast<IBOMObjectSlave>(item)->ClearOwner();
}

// Adds the item; only an item that was really taken gets the owner, so a refused
// duplicate keeps no references into the tree.
void AddOwned(IBOMCollection* list, IBOMObject* item, IBOMObjectOwner* owner) {
    if (item == nullptr)
        return;
    list->Add(item);
    if (owner == nullptr)
        return;
    ComPtr<IBOMObject> stored = list->Item(Variant(item->GetName()));
    if (SameObject(stored.Get(), item))
        MustCast<IBOMObjectSlave>(item)->SetOwner(owner);
}

// Saves each item that can be stored into a new element of that name.
void SaveItems(IHierStorage* storage, IBOMCollection* list, const std::string& elementName, bool alwaysType) {
    for (const auto& item : Snapshot(list)) {
        ComPtr<IPersistObject> persist = Supports<IPersistObject>(item);
        if (!persist)
            continue;
        ComPtr<IHierStorage> element = storage->AddChild(elementName);
        if (!element)
            continue;
        persist->Save(element.Get());
        const std::string classKey = MustCast<IBOMObjectSlave>(item)->GetClassKey();
        if (alwaysType || classKey != "BOMPARAM")
            element->WriteAttr("type", classKey);
    }
}

// The first of base + " " + first, base + " " + (first + 1), ... that isFree accepts.
template <class IsFree> std::string NumberedName(const std::string& base, int first, IsFree isFree) {
    for (int n = first;; ++n) {
        std::string candidate = base + " " + std::to_string(n);
        if (isFree(candidate))
            return candidate;
    }
}

// Loads every element of that name into the item of its name; unknown names make new items.
// With keepEvery, an element without a name or with the name of an element before it is an
// item of its own too, under a free name: a hand-written file loses nothing.
template <class AddFn>
void LoadItems(IHierStorage* storage, const std::string& elementName, const std::string& defaultClass,
               IBOMCollection* list, AddFn add, bool keepEvery = false, const std::string& newNameBase = "") {
    std::unordered_set<IBOMObject*> loaded;
    std::unordered_set<std::string> fileNames;
    // Child answers null past the last element: no separate count, which would walk them twice.
    for (int i = 0;; ++i) {
        ComPtr<IHierStorage> element = storage->Child(elementName, i);
        if (!element)
            break;
        ComPtr<IBOMObject> item;
        const std::string name = element->ReadAttr("name", "");
        if (!name.empty())
            item = list->Item(Variant(name));
        const bool needsName = keepEvery && (name.empty() || (item && loaded.count(item.Get()) > 0));
        if (needsName)
            item.Reset();
        const bool isNew = !item;
        if (isNew) {
            const std::string classKey = element->ReadAttr("type", defaultClass);
            if (classKey.empty())
                continue;
            item = CreateBOMObject(classKey, "");
            if (!item)
                continue;
        }
        if (ComPtr<IPersistObject> persist = Supports<IPersistObject>(item))
            persist->Load(element.Get());
        if (needsName) {
            // Names that later elements bring are no free names either.
            if (fileNames.empty())
                for (int k = 0; ComPtr<IHierStorage> other = storage->Child(elementName, k); ++k)
                    fileNames.insert(AsciiUpper(other->ReadAttr("name", "")));
            const auto isFree = [&](const std::string& candidate) {
                return !list->Item(Variant(candidate)) && fileNames.count(AsciiUpper(candidate)) == 0;
            };
            MustCast<IBOMObjectSlave>(item)->SetName(name.empty() ? NumberedName(newNameBase, 1, isFree)
                                                                  : NumberedName(name, 2, isFree));
        }
        if (isNew)
            add(item.Get());
        loaded.insert(item.Get());
    }
}

std::atomic<unsigned long long> editCount{0};

void NoteEdit() noexcept {
    editCount.fetch_add(1, std::memory_order_relaxed);
}

std::string NameTakenMessage(const std::string& name) {
    return "The name \"" + name + "\" is already in use.";
}

} // namespace

// Paths split at "/", take a final ":" for a kind and read ".", ".." and "all" as steps, so a
// child with such a name could never be found again.
bool IsReachableName(const std::string& name) {
    return name.find_first_of("/:") == std::string::npos && name != "." && name != ".." && name != "all";
}

// TBOMAbstractObject

bool TBOMAbstractObject::IsRoot() {
    return false;
}

ComPtr<IBOMObject> TBOMAbstractObject::GetRoot() {
    if (IsRoot())
        return Self();
    return owner_ ? owner_->ResolvePath("/") : nullptr;
}

ComPtr<IBOMObject> TBOMAbstractObject::FindUp(const std::string& kind) {
    if (IsKindOf(kind))
        return Self();
    return owner_ ? owner_->ResolvePath(kind + ":") : nullptr;
}

ComPtr<IBOMObject> TBOMAbstractObject::GetChild(const std::string&) {
    return nullptr;
}

ComPtr<IBOMObject> TBOMAbstractObject::ResolvePath(const std::string& path) {
    if (path.empty())
        return Self();
    std::string head, rest;
    SplitPath(path, head, rest);
    ComPtr<IBOMObject> next;
    if (head == ".")
        return ResolvePath(rest);
    if (head == "..")
        next = owner_;
    else if (head == "/")
        next = GetRoot();
    else if (head.back() == ':')
        next = FindUp(head.substr(0, head.size() - 1));
    else
        next = GetChild(head);
    return next ? next->ResolvePath(rest) : nullptr;
}

std::string TBOMAbstractObject::GetName() {
    return name_;
}

std::string TBOMAbstractObject::GetPath() {
    return owner_ ? owner_->GetPath() + "/" + name_ : name_;
}

ComPtr<IUnknown> TBOMAbstractObject::QueryKind(const std::string&) {
    return nullptr;
}

bool TBOMAbstractObject::IsKindOf(const std::string&) {
    return false;
}

void TBOMAbstractObject::Changed(const std::string&, IBOMObject*, const std::string&, IBOMObject*) {}

void TBOMAbstractObject::NameChanged(const std::string&, IBOMObject*, const std::string&, IBOMObject*,
                                     const std::string&) {}

void TBOMAbstractObject::Notify(int, int, int) {}

ULONG TBOMAbstractObject::GetRefCount() {
    return RefCount();
}

void TBOMAbstractObject::SetOwner(IBOMObjectOwner* owner) {
    owner_ = owner;
}

void TBOMAbstractObject::ClearOwner() {
    owner_.Reset();
}

std::string TBOMAbstractObject::GetClassKey() {
    return {};
}

void TBOMAbstractObject::SetName(const std::string& newName) {
    name_ = newName;
    NoteEdit();
}

// TBOMInnerCollection

ComPtr<IBOMObject> TBOMInnerCollection::GetChild(const std::string& name) {
    return Item(Variant(name));
}

int TBOMInnerCollection::Count() {
    return list_.Count();
}

ComPtr<IBOMObject> TBOMInnerCollection::Item(const Variant& key) {
    return list_.GetAs<IBOMObject>(key);
}

void TBOMInnerCollection::Add(IBOMObject* item) {
    if (item == nullptr)
        return;
    list_.Add(item, false, item->GetName());
    NoteEdit();
}

void TBOMInnerCollection::Delete(const Variant& key) {
    list_.Delete(key);
    NoteEdit();
}

int TBOMInnerCollection::IndexOf(const std::string& name) {
    return list_.IndexOf(name);
}

void TBOMInnerCollection::Clear() {
    list_.Clear();
    NoteEdit();
}

void TBOMInnerCollection::Rename(IBOMObject* item, const std::string& newName) {
    if (item == nullptr)
        return;
    const std::string oldName = item->GetName();
    const int taken = list_.IndexOf(newName);
    if (taken >= 0 && taken != list_.IndexOf(oldName))
        throw EBOMNameError(NameTakenMessage(newName));
    // Re-keyed in place: the position decides which rule applies and the saved order.
    if (!list_.Rename(oldName, newName))
        throw EElHashListError("Hash not found.");
    NoteEdit();
}

// TBOMObjectWithAll

void TBOMObjectWithAll::Init() {
    TBOMAbstractObject::Init();
    all_ = static_cast<IBOMCollection*>(ConstructBOM<TBOMAllCollection>());
}

ComPtr<IBOMObject> TBOMObjectWithAll::GetChild(const std::string& name) {
    if (name == "all")
        return all_;
    return all_->Item(Variant(name));
}

std::string TBOMObjectWithAll::Down(const std::string& path) {
    return ExcludeTrailingSlash("../" + path);
}

std::string TBOMObjectWithAll::Up(const std::string& path) {
    return ExcludeTrailingSlash(name_ + "/" + path);
}

bool TBOMObjectWithAll::FromOwner(const std::string& from, IBOMObject* sender) {
    // A child's name may itself begin with "..": the sender tells, not the text.
    if (owner_)
        return SameObject(sender, owner_.Get());
    // Not wired yet: only an owner passes ".." on.
    return from == "..";
}

void TBOMObjectWithAll::Changed(const std::string& path, IBOMObject* source, const std::string& from,
                                IBOMObject* sender) {
    if (FromOwner(from, sender))
        ChangedFromOwner(path, source, from, sender);
    else
        ChangedFromChild(path, source, from, sender);
}

void TBOMObjectWithAll::NameChanged(const std::string& path, IBOMObject* source, const std::string& from,
                                    IBOMObject* sender, const std::string& oldNamePath) {
    if (FromOwner(from, sender)) {
        NameChangedFromOwner(path, source, from, sender, oldNamePath);
        return;
    }
    if (!GetChild(from))
        Fail("AfterChangeObjectName - "
             "\xED\xE5\xE2\xE5\xF0\xED\xEE\xE5\x20\xE8\xEC\xFF\x20\xF0\xE5\xE1\xE5\xED\xEA\xE0"
             ". {9FC4CBFB-E5CD-4B8E-A935-8F2E08202540}",
             __LINE__);
    NameChangedFromChild(path, source, from, sender, oldNamePath);
}

void TBOMObjectWithAll::ChangedFromOwner(const std::string& path, IBOMObject* source, const std::string&,
                                         IBOMObject*) {
    for (const auto& child : Snapshot(all_.Get()))
        child->Changed(Down(path), source, "..", Self());
}

void TBOMObjectWithAll::ChangedFromChild(const std::string& path, IBOMObject* source, const std::string& from,
                                         IBOMObject*) {
    for (const auto& child : Snapshot(all_.Get()))
        if (child->GetName() != from)
            child->Changed(Down(path), source, "..", Self());
    if (ComPtr<IBOMObjectOwner> owner = owner_)
        owner->Changed(Up(path), source, name_, Self());
}

void TBOMObjectWithAll::NameChangedFromOwner(const std::string& path, IBOMObject* source, const std::string&,
                                             IBOMObject*, const std::string& oldNamePath) {
    for (const auto& child : Snapshot(all_.Get()))
        child->NameChanged(Down(path), source, "..", Self(), Down(oldNamePath));
}

void TBOMObjectWithAll::NameChangedFromChild(const std::string& path, IBOMObject* source,
                                             const std::string& from, IBOMObject*,
                                             const std::string& oldNamePath) {
    for (const auto& child : Snapshot(all_.Get()))
        if (child->GetName() != from)
            child->NameChanged(Down(path), source, "..", Self(), Down(oldNamePath));
    if (ComPtr<IBOMObjectOwner> owner = owner_)
        owner->NameChanged(Up(path), source, name_, Self(), Up(oldNamePath));
}

void TBOMObjectWithAll::Notify(int code, int param1, int param2) {
    TBOMAbstractObject::Notify(code, param1, param2);
    for (const auto& child : Snapshot(all_.Get()))
        child->Notify(code, param1, param2);
}

void TBOMObjectWithAll::SetOwner(IBOMObjectOwner* owner) {
    TBOMAbstractObject::SetOwner(owner);
    MustCast<IBOMObjectSlave>(all_)->SetOwner(SelfOwner());
    SetOwnerOfAll(all_.Get(), SelfOwner());
}

void TBOMObjectWithAll::ClearOwner() {
    ClearOwnerOfAll(all_.Get());
    MustCast<IBOMObjectSlave>(all_)->ClearOwner();
    TBOMAbstractObject::ClearOwner();
}

bool TBOMObjectWithAll::ShouldSave(IBOMObject*) {
    return true;
}

void TBOMObjectWithAll::RenameChild(IBOMObjectSlave*, const std::string&) {}

void TBOMObjectWithAll::Save(IHierStorage* storage) {
    storage->WriteAttr("name", name_);
    for (const auto& child : Snapshot(all_.Get())) {
        ComPtr<IPersistObject> persist = Supports<IPersistObject>(child);
        if (!persist)
            continue;
        const std::string elementName = persist->GetElementName();
        if (elementName.empty() || !ShouldSave(child.Get()))
            continue;
        if (ComPtr<IHierStorage> element = storage->AddChild(elementName))
            persist->Save(element.Get());
    }
}

void TBOMObjectWithAll::Load(IHierStorage* storage) {
    name_ = storage->ReadAttr("name", name_);
    NoteEdit();
    for (const auto& child : Snapshot(all_.Get())) {
        ComPtr<IPersistObject> persist = Supports<IPersistObject>(child);
        if (!persist)
            continue;
        const std::string elementName = persist->GetElementName();
        if (elementName.empty())
            continue;
        if (ComPtr<IHierStorage> element = storage->Child(elementName, 0))
            persist->Load(element.Get());
    }
}

std::string TBOMObjectWithAll::GetElementName() {
    return {};
}

ComPtr<IBOMObjectSlave> TBOMObjectWithAll::AddChild(const std::string& classKey, const std::string& name) {
    ComPtr<IBOMObjectSlave> child = CreateBOMObject(classKey, name);
    if (child)
        all_->Add(child.Get());
    return child;
}

// TBOMParams

void TBOMParams::Init() {
    items_ = static_cast<IBOMCollection*>(ConstructBOM<TBOMInnerCollection>());
    TBOMObjectWithAll::Init();
    TBOMAbstractObject::SetName("params");
}

ComPtr<IBOMObject> TBOMParams::GetItem(const Variant& key) {
    return items_->Item(key);
}

void TBOMParams::AddItem(IBOMObject* item) {
    AddOwned(items_.Get(), item, owner_ ? SelfOwner() : nullptr);
}

void TBOMParams::DeleteItem(const Variant& key) {
    items_->Delete(key);
}

void TBOMParams::ClearItems() {
    items_->Clear();
}

void TBOMParams::RenameItem(IBOMObject* item, const std::string& newName) {
    items_->Rename(item, newName);
}

ComPtr<IBOMObject> TBOMParams::GetChild(const std::string& name) {
    if (ComPtr<IBOMObject> child = TBOMObjectWithAll::GetChild(name))
        return child;
    return items_->Item(Variant(name));
}

void TBOMParams::SetOwner(IBOMObjectOwner* owner) {
    TBOMObjectWithAll::SetOwner(owner);
    SetOwnerOfAll(items_.Get(), SelfOwner());
}

void TBOMParams::ClearOwner() {
    ClearOwnerOfAll(items_.Get());
    TBOMObjectWithAll::ClearOwner();
}

// Params hear nothing from elsewhere; their own changes only travel up.
void TBOMParams::ChangedFromOwner(const std::string&, IBOMObject*, const std::string&, IBOMObject*) {}

void TBOMParams::ChangedFromChild(const std::string& path, IBOMObject* source, const std::string&,
                                  IBOMObject*) {
    if (ComPtr<IBOMObjectOwner> owner = owner_)
        owner->Changed(Up(path), source, name_, Self());
}

void TBOMParams::NameChangedFromOwner(const std::string&, IBOMObject*, const std::string&, IBOMObject*,
                                      const std::string&) {}

void TBOMParams::NameChangedFromChild(const std::string& path, IBOMObject* source, const std::string&,
                                      IBOMObject*, const std::string& oldNamePath) {
    if (ComPtr<IBOMObjectOwner> owner = owner_)
        owner->NameChanged(Up(path), source, name_, Self(), Up(oldNamePath));
}

void TBOMParams::Save(IHierStorage* storage) {
    TBOMObjectWithAll::Save(storage);
    SaveItems(storage, items_.Get(), "param", false);
}

void TBOMParams::Load(IHierStorage* storage) {
    TBOMObjectWithAll::Load(storage);
    LoadItems(storage, "param", "BOMPARAM", items_.Get(), [this](IBOMObject* item) { AddItem(item); });
}

std::string TBOMParams::GetElementName() {
    return "params";
}

// TBOMObject

void TBOMObject::Init() {
    TBOMObjectWithAll::Init();
    classKey_ = "BOMOBJECT";
    elementName_ = "object";
    all_->Add(static_cast<IBOMCollection*>(ConstructBOM<TBOMParams>()));
    AddParam("name", Variant(name_));
}

std::string TBOMObject::GetClassKey() {
    return classKey_;
}

void TBOMObject::SetName(const std::string& newName) {
    const std::string oldName = name_;
    name_ = newName;
    NoteEdit();
    NameChangedFromChild("", Self(), "", Self(), oldName);
    UpdateNameParam();
}

void TBOMObject::Load(IHierStorage* storage) {
    TBOMObjectWithAll::Load(storage);
    UpdateNameParam();
}

std::string TBOMObject::GetElementName() {
    return elementName_;
}

ComPtr<IBOMParam> TBOMObject::AddParam(const std::string& name, const Variant& value) {
    ComPtr<IBOMParam> param = CreateParam(name);
    param->SetValue(value);
    ComPtr<IBOMCollection> params = Supports<IBOMCollection>(ResolvePath("params"));
    if (!params)
        Fail("TBOMObject.CreateParam. "
             "\xCE\xF8\xE8\xE1\xEA\xE0\x20\xEF\xF0\xE8\x20\xEF\xEE\xEB\xF3\xF7\xE5\xED\xE8\xE8"
             " Params - {C0278020-676B-4FC2-9A4C-FBB34EB0B5D6}",
             __LINE__);
    params->Add(param.Get());
    return param;
}

ComPtr<IBOMParam> TBOMObject::GetParam(const std::string& name) {
    ComPtr<IBOMObject> found = ResolvePath("params/" + name);
    return found ? MustCast<IBOMParam>(found) : nullptr;
}

void TBOMObject::UpdateNameParam() {
    ComPtr<IBOMParam> param = GetParam("name");
    if (!param)
        Fail("TBOMObject.UpdateNameParam: Can\"t find param \"Name\" {50360B40-C9FD-489D-84B8-053539072DA8}",
             __LINE__);
    param->SetValue(Variant(name_));
}

// TBOMCollection

void TBOMCollection::Init() {
    // The items exist before the base Init, whose path lookups already reach GetChild.
    items_ = static_cast<IBOMCollection*>(ConstructBOM<TBOMInnerCollection>());
    TBOMObject::Init();
    classKey_ = "BOMCOLLECTION";
    elementName_ = "collection";
}

std::string TBOMCollection::GetItemElementName() {
    return itemElementName_;
}

std::string TBOMCollection::GetDefaultItemClass() {
    return defaultItemClass_;
}

std::string TBOMCollection::GetNewItemNameBase() {
    return itemElementName_.empty() ? std::string("item") : itemElementName_;
}

ComPtr<IBOMObject> TBOMCollection::GetItem(const Variant& key) {
    return items_->Item(key);
}

void TBOMCollection::AddItem(IBOMObject* item) {
    AddOwned(items_.Get(), item, owner_ ? SelfOwner() : nullptr);
}

void TBOMCollection::DeleteItem(const Variant& key) {
    items_->Delete(key);
}

void TBOMCollection::ClearItems() {
    items_->Clear();
}

void TBOMCollection::RenameItem(IBOMObject* item, const std::string& newName) {
    items_->Rename(item, newName);
}

ComPtr<IBOMObject> TBOMCollection::GetChild(const std::string& name) {
    if (ComPtr<IBOMObject> item = items_->Item(Variant(name)))
        return item;
    return TBOMObject::GetChild(name);
}

ComPtr<IUnknown> TBOMCollection::QueryKind(const std::string& kind) {
    if (ComPtr<IUnknown> found = TBOMObject::QueryKind(kind))
        return found;
    if (kind == "Collection")
        return static_cast<IBOMCollection*>(this);
    return nullptr;
}

bool TBOMCollection::IsKindOf(const std::string& kind) {
    return TBOMObject::IsKindOf(kind) || kind == "Collection";
}

void TBOMCollection::Notify(int code, int param1, int param2) {
    TBOMObject::Notify(code, param1, param2);
    for (const auto& item : Snapshot(items_.Get()))
        item->Notify(code, param1, param2);
}

void TBOMCollection::SetOwner(IBOMObjectOwner* owner) {
    TBOMObject::SetOwner(owner);
    SetOwnerOfAll(items_.Get(), SelfOwner());
}

void TBOMCollection::ClearOwner() {
    ClearOwnerOfAll(items_.Get());
    TBOMObject::ClearOwner();
}

void TBOMCollection::ChangedFromOwner(const std::string& path, IBOMObject* source, const std::string& from,
                                      IBOMObject* sender) {
    TBOMObject::ChangedFromOwner(path, source, from, sender);
    for (const auto& item : Snapshot(items_.Get()))
        item->Changed(Down(path), source, "..", Self());
}

void TBOMCollection::ChangedFromChild(const std::string& path, IBOMObject* source, const std::string& from,
                                      IBOMObject* sender) {
    for (const auto& item : Snapshot(items_.Get()))
        if (item->GetName() != from)
            item->Changed(Down(path), source, "..", Self());
    TBOMObject::ChangedFromChild(path, source, from, sender);
}

void TBOMCollection::NameChangedFromOwner(const std::string& path, IBOMObject* source,
                                          const std::string& from, IBOMObject* sender,
                                          const std::string& oldNamePath) {
    TBOMObject::NameChangedFromOwner(path, source, from, sender, oldNamePath);
    for (const auto& item : Snapshot(items_.Get()))
        item->NameChanged(Down(path), source, "..", Self(), Down(oldNamePath));
}

void TBOMCollection::NameChangedFromChild(const std::string& path, IBOMObject* source,
                                          const std::string& from, IBOMObject* sender,
                                          const std::string& oldNamePath) {
    for (const auto& item : Snapshot(items_.Get()))
        if (item->GetName() != from)
            item->NameChanged(Down(path), source, "..", Self(), Down(oldNamePath));
    TBOMObject::NameChangedFromChild(path, source, from, sender, oldNamePath);
}

void TBOMCollection::RenameChild(IBOMObjectSlave* child, const std::string& newName) {
    if (child == nullptr)
        return;
    const std::string oldName = child->GetName();
    ComPtr<IBOMObject> item = GetItem(Variant(oldName));
    if (!item || newName.empty() || newName == oldName)
        return;
    if (!IsReachableName(newName))
        throw EBOMNameError(
            "The name \"" + newName +
            "\" cannot be used: names must not contain \"/\" or \":\" nor be \".\", \"..\" or "
            "\"all\".");
    if (GetItem(Variant(newName)))
        return;
    // Re-key first, so that the notification from the item finds it under its new name.
    RenameItem(item.Get(), newName);
    child->SetName(newName);
}

void TBOMCollection::Save(IHierStorage* storage) {
    TBOMObject::Save(storage);
    ComPtr<IHierStorage> content = storage->AddChild("content");
    if (content)
        SaveItems(content.Get(), items_.Get(), GetItemElementName(), true);
}

void TBOMCollection::Load(IHierStorage* storage) {
    TBOMObject::Load(storage);
    // Only the first "content" counts; without one the items stay as they are.
    if (ComPtr<IHierStorage> content = storage->Child("content", 0))
        LoadItems(
            content.Get(), GetItemElementName(), GetDefaultItemClass(), items_.Get(),
            [this](IBOMObject* item) { AddItem(item); }, true, GetNewItemNameBase());
}

// TBOMParam

void TBOMParam::Init() {
    TBOMAbstractObject::Init();
    value_ = Variant(0);
}

std::string TBOMParam::GetClassKey() {
    return "BOMPARAM";
}

Variant TBOMParam::GetValue() {
    return value_;
}

void TBOMParam::SetValue(const Variant& value) {
    value_ = value;
    NoteEdit();
    NotifyValueChanged();
}

void TBOMParam::SetValueSilent(const Variant& value) {
    value_ = value;
    NoteEdit();
}

void TBOMParam::NotifyValueChanged() {
    if (ComPtr<IBOMObjectOwner> owner = owner_)
        owner->Changed(name_, Self(), name_, Self());
}

void TBOMParam::Save(IHierStorage* storage) {
    storage->WriteAttr("name", name_);
    storage->SetText(value_.AsString());
}

void TBOMParam::Load(IHierStorage* storage) {
    name_ = storage->ReadAttr("name", "");
    value_ = Variant(storage->GetText());
    NoteEdit();
}

std::string TBOMParam::GetElementName() {
    return "param";
}

unsigned long long BOMEditCount() noexcept {
    return editCount.load(std::memory_order_relaxed);
}

void RegisterBOMClasses() {
    RegisterClass(ClassOf<TBOMCollection>(), "BOMCOLLECTION");
    RegisterClass(ClassOf<TBOMParam>(), "BOMPARAM");
    RegisterClass(ClassOf<TBOMObject>(), "BOMOBJECT");
}
